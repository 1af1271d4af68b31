#include "twindowbarhook.h"

#include "tguard.h"
#include "tprincipalform.h"

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
    const Qt::WindowStates now = m_screen->windowState();
    if (!now.testFlag(Qt::WindowMinimized))
        return false;
    // Undo the minimise first, so that the screen comes back from the bar at
    // its old size and place.
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    m_screen->setWindowState(change->oldState() & ~Qt::WindowMinimized);
    if (PrincipalForm)
        Guard([this] { PrincipalForm->MinimizeToWindowBar(m_screen); });
    return false;
}
