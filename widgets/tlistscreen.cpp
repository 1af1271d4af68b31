#include "widgets/tlistscreen.h"

#include "widgets/tkeypreview.h"
#include "widgets/twindowbarhook.h"
#include "widgets/twindowplace.h"

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
    }
    QWidget::showEvent(event);
}
