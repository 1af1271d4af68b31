#include "widgets/teditorlook.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor TEditorLook::Grey()
{
    const QColor light = QApplication::palette().color(QPalette::Active, QPalette::Midlight);
    if (!light.isValid() || light == QColor(Qt::white))
        return QColor(227, 227, 227);
    return light;
}

void TEditorLook::SetOpen(QWidget *editor, bool open)
{
    editor->setEnabled(open);
    QPalette palette = editor->palette();
    const QColor ground = open ? White() : Grey();
    // Every group: a disabled editor is drawn with the disabled colours.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, ground);
        palette.setColor(group, QPalette::Window, ground);
    }
    // Locked values stay readable, in the desktop's grey text.
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));
    editor->setPalette(palette);
    editor->setAutoFillBackground(true);
}

void TEditorLook::SetReadOnlyLook(QWidget *editor)
{
    SetOpen(editor, false);
    editor->setEnabled(true);
    // Enabled, so drawn with the active colours: the grey text of a locked
    // value in them too.
    QPalette palette = editor->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::Text, palette.color(QPalette::Disabled, QPalette::Text));
    editor->setPalette(palette);
}

bool TEditorLook::IsOpen(const QWidget *editor)
{
    return editor->isEnabled()
        && editor->palette().color(QPalette::Active, QPalette::Base) == White();
}
