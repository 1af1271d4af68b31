#include "app/townedwindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

void TOwnedWindow::Attach(QWidget *screen, QWidget *owner)
{
    if (screen && owner)
        new TOwnedWindow(screen, owner);
}

TOwnedWindow::TOwnedWindow(QWidget *screen, QWidget *owner) : QObject(screen), m_screen(screen), m_owner(owner)
{
    setObjectName(QStringLiteral("OwnedWindow"));
    screen->installEventFilter(this);
    if (screen->isVisible())
        TellWindowSystem();
}

bool TOwnedWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The platform's own show, which runs after this event, clears the hint:
    // it is written once the show is done.
    if (watched == m_screen && event->type() == QEvent::Show)
        QMetaObject::invokeMethod(this, &TOwnedWindow::TellWindowSystem, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void TOwnedWindow::TellWindowSystem()
{
    if (!m_owner || !m_screen->isVisible())
        return;
    QWindow *own = m_screen->windowHandle();
    QWindow *owner = m_owner->window()->windowHandle();
    if (!own || !owner)
        return;
    if (own->transientParent() != owner)
        own->setTransientParent(owner);
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    const xcb_window_t ownerId = xcb_window_t(owner->winId());
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE, xcb_window_t(own->winId()),
                        XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &ownerId);
    xcb_flush(x11->connection());
}
