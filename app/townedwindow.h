#pragma once
// Makes a screen an owned window of the main window, as owned windows are on
// every desktop: it stays above its owner, so a click on the maximised main
// window does not bury it. Qt names the owner as the native window's
// transient parent. The window manager is not told (no WM_TRANSIENT_FOR):
// window managers treat a window and its transients as one family that is
// minimised together, and each list screen must minimise alone into the
// window bar, and the main window on its own. Instead, whenever the owner is
// activated or clicked its screens are raised above it again, in the order they were
// last used, so the screen the user worked in last stays on top.
#include <QObject>
#include <QPointer>

class QWidget;

class TOwnedWindow : public QObject
{
    Q_OBJECT
public:
    // Lives as long as the screen (a child of it).
    static void Attach(QWidget *screen, QWidget *owner);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TOwnedWindow(QWidget *screen, QWidget *owner);
    void NameOwner();
    // Raises every visible screen of `owner`, the one used last on top.
    static void RaiseScreensOf(QWidget *owner);

    QWidget *m_screen;
    QPointer<QWidget> m_owner;
};
