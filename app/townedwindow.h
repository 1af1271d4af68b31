#pragma once
// Makes a screen an owned window of the main window, as owned windows are on
// every desktop: it stays above its owner, so a click on the maximised main
// window does not bury it. Qt names the owner as the native window's
// transient parent, but on X11 it tells the window manager so only for
// dialog-like windows; for a plain window (which keeps its minimise button)
// the WM_TRANSIENT_FOR hint is written here, each time the screen is shown.
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
    void TellWindowSystem();

    QWidget *m_screen;
    QPointer<QWidget> m_owner;
};
