#include "app/tmodalinsight.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

void TModalInSight::Install()
{
    static QPointer<TModalInSight> installed;
    if (installed || !qApp)
        return;
    installed = new TModalInSight(qApp);
    qApp->installEventFilter(installed);
}

bool TModalInSight::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::WindowStateChange || !watched->isWidgetType())
        return false;
    auto *window = static_cast<QWidget *>(watched);
    if (!window->isWindow() || !window->isModal() || !window->windowState().testFlag(Qt::WindowMinimized))
        return false;
    // After the window system is done with the command, as for the list
    // screens' window bar.
    QMetaObject::invokeMethod(this, [w = QPointer<QWidget>(window)] {
        if (!w || !w->isVisible() || !w->windowState().testFlag(Qt::WindowMinimized))
            return;
        w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->show();
        w->raise();
        w->activateWindow();
    }, Qt::QueuedConnection);
    return false;
}
