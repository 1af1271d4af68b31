#include "report/preview/treppreviewimage.h"

#include "report/print/trepprinter.h"

#include <QPaintEvent>
#include <QPainter>

TRepPreviewImage::TRepPreviewImage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TRepPreviewImage"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TRepPreviewImage::SetMetafile(const TRepMetafile &page)
{
    m_page = page;
    update();
}

void TRepPreviewImage::PaintPage(QPainter &painter, const TRepMetafile &page, const QRect &rect, const QRect &clip)
{
    // A page that is not there yet shows nothing at all.
    if (page.IsNull() || rect.width() < 4 || rect.height() < 4)
        return;
    painter.save();
    if (!clip.isEmpty())
        painter.setClipRect(clip & rect);
    const int x = rect.left(), y = rect.top(), w = rect.width(), h = rect.height();
    painter.fillRect(QRect(QPoint(x + 1, y + 1), QPoint(x + w - 4, y + h - 4)), Qt::white);
    page.Draw(painter, QRectF(rect));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    const QPoint outline[] = {{x, y}, {x, y + h - 3}, {x + w - 3, y + h - 3}, {x + w - 3, y}, {x, y}};
    painter.drawPolyline(outline, 5);
    painter.fillRect(QRect(x + w - 2, y + 2, 2, h - 2), Qt::black);
    painter.fillRect(QRect(x + 2, y + h - 2, w - 2, 2), Qt::black);
    painter.restore();
}

void TRepPreviewImage::paintEvent(QPaintEvent *e)
{
    QPainter painter(this);
    PaintPage(painter, m_page, rect(), e->rect());
}

TRepMetafile TRepPreviewImage::ReadPage(const TRepPrinter *store, int n)
{
    if (!store)
        return TRepMetafile();
    try {
        return store->PageMetafile(n);
    } catch (...) {
        return TRepMetafile();
    }
}
