#include "app/townedwindow.h"

#include <QApplication>
#include <QEvent>
#include <QList>
#include <QWidget>
#include <QWindow>

namespace {
// The owned windows, the one activated last at the end.
QList<QPointer<TOwnedWindow>> &ByLastUse()
{
    static QList<QPointer<TOwnedWindow>> windows;
    return windows;
}
} // namespace

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
    // A click on an owner that is already active activates nothing, yet the
    // window manager raises the owner for it: its native window sees every
    // click in it.
    if (QWindow *native = owner->window()->windowHandle())
        native->installEventFilter(this);
    ByLastUse().append(this);
    if (screen->isVisible())
        NameOwner();
}

bool TOwnedWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_screen && event->type() == QEvent::Show) {
        QMetaObject::invokeMethod(this, &TOwnedWindow::NameOwner, Qt::QueuedConnection);
    } else if (watched == m_screen && event->type() == QEvent::WindowActivate) {
        ByLastUse().removeAll(this);
        ByLastUse().append(this);
    } else if (m_owner
               && ((watched == m_owner->window() && event->type() == QEvent::WindowActivate)
                   || (watched == m_owner->window()->windowHandle() && event->type() == QEvent::MouseButtonPress))) {
        // Every screen of the owner sees its activation; the first one to see
        // it raises them all, in one pass and in order.
        static bool raising = false;
        if (!raising) {
            raising = true;
            QMetaObject::invokeMethod(qApp, [owner = m_owner] {
                raising = false;
                if (owner)
                    RaiseScreensOf(owner);
            }, Qt::QueuedConnection);
        }
    }
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
void TOwnedWindow::RaiseScreensOf(QWidget *owner)
{
    ByLastUse().removeAll(nullptr);
    for (const QPointer<TOwnedWindow> &w : ByLastUse()) {
        if (w && w->m_owner == owner && w->m_screen->isVisible() && !w->m_screen->isMinimized())
            w->m_screen->raise();
    }
}
