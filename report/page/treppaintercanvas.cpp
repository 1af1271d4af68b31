#include "report/page/treppaintercanvas.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

TRepPainterCanvas::TRepPainterCanvas(QPainter *painter, double dpi)
    : m_painter(painter)
    , m_dpi(dpi > 0 ? dpi : 96.0)
{
}

bool TRepPainterCanvas::HasPen() const
{
    return Pen().Style != psClear;
}

void TRepPainterCanvas::ApplyPen()
{
    const TRepPen &p = Pen();
    if (!HasPen()) {
        m_painter->setPen(Qt::NoPen);
        return;
    }
    // Wider than this is no line any page draws (and beyond what QPen takes).
    const int width = std::clamp(p.Width, 1, 4096);
    QPen pen(p.Color);
    pen.setStyle(TRepPen::ToQtStyle(p.Style));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    // A pen never gets thinner than one device pixel, however small the page
    // is drawn (thumbnails).
    const QTransform &t = m_painter->worldTransform();
    const double scale = std::sqrt(std::abs(t.determinant()));
    if (width * scale < 1.0)
        pen.setWidth(0);
    else
        pen.setWidthF(width);
    m_painter->setPen(pen);
}

void TRepPainterCanvas::ApplyBrush()
{
    const TRepBrush &b = Brush();
    if (b.Style == bsClear) {
        m_painter->setBrush(Qt::NoBrush);
        return;
    }
    m_painter->setBrush(QBrush(b.Color, TRepBrush::ToQtStyle(b.Style)));
}

QRectF TRepPainterCanvas::ShapeRect(int left, int top, int right, int bottom) const
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    QRectF r(left + 0.5, top + 0.5, std::max(0.0, double(right) - left - 1), std::max(0.0, double(bottom) - top - 1));
    if (Pen().Style == psInsideFrame && Pen().Width > 1) {
        const double inset = (Pen().Width - 1) / 2.0;
        r.adjust(inset, inset, -inset, -inset);
        if (r.width() < 0)
            r.setWidth(0);
        if (r.height() < 0)
            r.setHeight(0);
    }
    return r;
}

void TRepPainterCanvas::FillRect(int left, int top, int right, int bottom)
{
    if (Brush().Style == bsClear)
        return;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    m_painter->fillRect(QRectF(left, top, double(right) - left, double(bottom) - top),
                        QBrush(Brush().Color, TRepBrush::ToQtStyle(Brush().Style)));
}

void TRepPainterCanvas::Rectangle(int left, int top, int right, int bottom)
{
    // Without a pen the filled area ends one pixel before the right and
    // bottom edges, as on the page records.
    if (!HasPen()) {
        FillRect(std::min(left, right), std::min(top, bottom), std::max(left, right) - 1, std::max(top, bottom) - 1);
        return;
    }
    ApplyPen();
    ApplyBrush();
    m_painter->drawRect(ShapeRect(left, top, right, bottom));
}

void TRepPainterCanvas::Ellipse(int left, int top, int right, int bottom)
{
    ApplyPen();
    ApplyBrush();
    if (!HasPen()) {
        if (right < left)
            std::swap(left, right);
        if (bottom < top)
            std::swap(top, bottom);
        m_painter->drawEllipse(QRectF(left, top, std::max(0.0, double(right) - left - 1), std::max(0.0, double(bottom) - top - 1)));
        return;
    }
    m_painter->drawEllipse(ShapeRect(left, top, right, bottom));
}

void TRepPainterCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    ApplyPen();
    ApplyBrush();
    QRectF r = HasPen() ? ShapeRect(left, top, right, bottom)
                        : QRectF(std::min(left, right), std::min(top, bottom), std::max(0.0, std::abs(double(right) - left) - 1),
                                 std::max(0.0, std::abs(double(bottom) - top) - 1));
    const double rx = std::min(std::abs(double(cornerWidth)) / 2.0, r.width() / 2.0);
    const double ry = std::min(std::abs(double(cornerHeight)) / 2.0, r.height() / 2.0);
    m_painter->drawRoundedRect(r, rx, ry, Qt::AbsoluteSize);
}

void TRepPainterCanvas::MoveTo(int x, int y)
{
    m_pos = QPoint(x, y);
}

void TRepPainterCanvas::LineTo(int x, int y)
{
    if (HasPen() && QPoint(x, y) != m_pos) {
        ApplyPen();
        // As a page record draws a line: from the current pixel up to, but
        // not including, the end pixel. The pixel centres are moved back by
        // half a pixel along the line, so that the flat-capped line covers
        // exactly the pixels from the start to the one before the end.
        const QPointF from(m_pos.x() + 0.5, m_pos.y() + 0.5), to(x + 0.5, y + 0.5);
        const QPointF d = to - from;
        const QPointF back = d / (2.0 * std::hypot(d.x(), d.y()));
        m_painter->drawLine(from - back, to - back);
    }
    m_pos = QPoint(x, y);
}

void TRepPainterCanvas::TextOut(int x, int y, const QString &text, TRepAlignment align)
{
    if (text.isEmpty())
        return;
    const QFont &font = CurrentQtFont();
    const QPointF origin(TextLeft(x, text, align), y + FontAscent());
    // A page stretched far out of proportion (a damaged page size) or
    // text far beyond any glyph cache makes Qt's glyph rasteriser fail:
    // such text is filled as outlines instead.
    const QTransform t = m_painter->combinedTransform();
    const double sx = std::hypot(t.m11(), t.m12());
    const double sy = std::hypot(t.m21(), t.m22());
    const double px = font.pixelSize();
    if (!(sx > 0 && sy > 0) || sx > 2 * sy || sy > 2 * sx || px * std::max(sx, sy) > 2048) {
        QPainterPath path;
        path.addText(origin, font, text);
        m_painter->fillPath(path, Font().Color);
        return;
    }
    m_painter->setFont(font);
    m_painter->setPen(QPen(Font().Color));
    m_painter->setBackgroundMode(Qt::TransparentMode);
    m_painter->drawText(origin, text);
}
