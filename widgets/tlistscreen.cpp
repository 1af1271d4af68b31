#include "widgets/tlistscreen.h"

#include "widgets/tkeypreview.h"
#include "widgets/twindowbarhook.h"
#include "widgets/twindowplace.h"

#include <QApplication>

TListScreen::TListScreen(QWidget *owner)
    : QWidget(owner, Qt::Window)
    , m_keyPreview(new TKeyPreview(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    new TWindowBarHook(this);
}

void TListScreen::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        TWindowPlace::CenterOnDesktop(this);
        // Two screens of one kind (two order screens) would open one exactly
        // over the other, the second looking like the first: it steps down
        // and right until no screen of its kind stands there (or nearly: a
        // screen wider than the desktop is pushed back onto it).
        constexpr int kStep = 30;
        for (int tries = 0; tries < 20; ++tries) {
            bool covered = false;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                const QPoint d = w->pos() - pos();
                if (w != this && w->isVisible() && w->metaObject() == metaObject() && qAbs(d.x()) < kStep
                    && qAbs(d.y()) < kStep) {
                    covered = true;
                    break;
                }
            }
            if (!covered)
                break;
            move(pos() + QPoint(kStep, kStep));
        }
    }
    QWidget::showEvent(event);
}
