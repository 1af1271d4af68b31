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

namespace {

// The two looks, made once from the application's palette (again when that
// changes). Every editor shares one of them: a palette made for each editor
// is a palette the style has not met, and the style keeps the pictures it
// draws an editor with under each palette it meets, so every screen opened
// used to leave a few more behind.
QPalette Made(bool open)
{
    const QPalette app = QApplication::palette();
    QPalette palette;
    // Every role set: the editor then takes the palette as it is, without
    // mixing in its parent's, which would make it one of its own again.
    for (int g = 0; g < QPalette::NColorGroups; ++g)
        for (int r = 0; r < QPalette::NColorRoles; ++r)
            palette.setBrush(QPalette::ColorGroup(g), QPalette::ColorRole(r),
                             app.brush(QPalette::ColorGroup(g), QPalette::ColorRole(r)));
    const QColor ground = open ? TEditorLook::White() : TEditorLook::Grey();
    // Every group: a disabled editor is drawn with the disabled colours.
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, ground);
        palette.setColor(group, QPalette::Window, ground);
    }
    // Locked values stay readable, in the desktop's grey text.
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(109, 109, 109));
    return palette;
}

const QPalette &Shared(bool open)
{
    static qint64 madeFrom = 0;
    static QPalette looks[2];
    const qint64 key = QApplication::palette().cacheKey();
    if (madeFrom != key) {
        looks[0] = Made(false);
        looks[1] = Made(true);
        madeFrom = key;
    }
    return looks[open ? 1 : 0];
}

} // namespace

void TEditorLook::SetOpen(QWidget *editor, bool open)
{
    editor->setEnabled(open);
    editor->setPalette(Shared(open));
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
