#include "widgets/twindowbarhook.h"

#include "app/tguard.h"
#include "widgets/tscreenlinks.h"

#include <QWidget>
#include <QWindowStateChangeEvent>

TWindowBarHook::TWindowBarHook(QWidget *screen)
    : QObject(screen)
    , m_screen(screen)
{
    screen->installEventFilter(this);
}

bool TWindowBarHook::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_screen || event->type() != QEvent::WindowStateChange)
        return false;
    if (!m_screen->windowState().testFlag(Qt::WindowMinimized))
        return false;
    // Undo the minimise first, so that the screen comes back from the bar at
    // its old size and place.
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    m_screen->setWindowState(change->oldState() & ~Qt::WindowMinimized);
    // The hand-over waits until the window system has finished with the
    // command: it may report the same minimise twice, or show the window
    // again after the state change.
    if (m_handing)
        return false;
    m_handing = true;
    QMetaObject::invokeMethod(this, [this] {
        m_handing = false;
        if (TScreenLinks::MinimizeToWindowBar && m_screen->isVisible())
            Guard([this] { TScreenLinks::MinimizeToWindowBar(m_screen); });
    }, Qt::QueuedConnection);
    return false;
}
