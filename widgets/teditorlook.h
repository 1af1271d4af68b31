#pragma once
// How editors show whether they may be changed: open editors are enabled on
// pure white, locked ones disabled on the desktop's 3-D light colour.
#include <QColor>

class QWidget;

class TEditorLook
{
public:
    // The desktop theme's 3-D light colour (light grey where the style's
    // own would be white and so tell nothing).
    static QColor Grey();
    static QColor White() { return QColor(255, 255, 255); }

    static void SetOpen(QWidget *editor, bool open);
    // A value shown to be read and copied, never typed over: enabled (its
    // text can be selected) on the locked grey, so it does not look open.
    static void SetReadOnlyLook(QWidget *editor);
    static bool IsOpen(const QWidget *editor);
};
