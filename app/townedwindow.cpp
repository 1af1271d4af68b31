#include "app/townedwindow.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

void TOwnedWindow::Attach(QWidget *screen, QWidget *owner)
{
    if (screen && owner)
        new TOwnedWindow(screen, owner);
}

TOwnedWindow::TOwnedWindow(QWidget *screen, QWidget *owner) : QObject(screen), m_screen(screen), m_owner(owner)
{
    setObjectName(QStringLiteral("OwnedWindow"));
    screen->installEventFilter(this);
    owner->window()->installEventFilter(this);
    if (screen->isVisible())
        NameOwner();
}

bool TOwnedWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_screen && event->type() == QEvent::Show)
        QMetaObject::invokeMethod(this, &TOwnedWindow::NameOwner, Qt::QueuedConnection);
    else if (m_owner && watched == m_owner->window() && event->type() == QEvent::WindowActivate)
        QMetaObject::invokeMethod(this, &TOwnedWindow::RaiseAboveOwner, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void TOwnedWindow::NameOwner()
{
    if (!m_owner || !m_screen->isVisible())
        return;
    QWindow *own = m_screen->windowHandle();
    QWindow *owner = m_owner->window()->windowHandle();
    if (own && owner && own->transientParent() != owner)
        own->setTransientParent(owner);
}

// Raised, not activated: the click that activated the owner keeps its
// keyboard focus there.
void TOwnedWindow::RaiseAboveOwner()
{
    if (m_owner && m_screen->isVisible() && !m_screen->isMinimized())
        m_screen->raise();
}
