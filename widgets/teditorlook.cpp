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

enum Look { Locked, Open, ReadOnly };

const QPalette &Shared(Look look)
{
    static qint64 madeFrom = 0;
    static QPalette looks[3];
    const qint64 key = QApplication::palette().cacheKey();
    if (madeFrom != key) {
        looks[Locked] = Made(false);
        looks[Open] = Made(true);
        // Enabled, so drawn with the active colours: the grey text of a
        // locked value in them too.
        looks[ReadOnly] = Made(false);
        for (auto group : {QPalette::Active, QPalette::Inactive})
            looks[ReadOnly].setColor(group, QPalette::Text, looks[ReadOnly].color(QPalette::Disabled, QPalette::Text));
        madeFrom = key;
    }
    return looks[look];
}

} // namespace

void TEditorLook::SetOpen(QWidget *editor, bool open)
{
    editor->setEnabled(open);
    editor->setPalette(Shared(open ? Open : Locked));
    editor->setAutoFillBackground(true);
}

void TEditorLook::SetReadOnlyLook(QWidget *editor)
{
    editor->setEnabled(true);
    editor->setPalette(Shared(ReadOnly));
    editor->setAutoFillBackground(true);
}

bool TEditorLook::IsOpen(const QWidget *editor)
{
    return editor->isEnabled()
        && editor->palette().color(QPalette::Active, QPalette::Base) == White();
}
