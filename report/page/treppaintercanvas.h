#pragma once

#include "report/page/trepcanvas.h"

class QPainter;

// A page canvas that paints on a QPainter: screen, printer, images, and the
// playback of recorded pages (the painter's transform then stretches the
// page into its rectangle). Coordinates are canvas pixels at Dpi().
class TRepPainterCanvas : public TRepCanvas
{
public:
    explicit TRepPainterCanvas(QPainter *painter, double dpi = 96.0);

    double Dpi() const override { return m_dpi; }
    QPainter *Painter() const { return m_painter; }

    void FillRect(int left, int top, int right, int bottom) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, const QString &text, TRepAlignment align = taLeftJustify) override;

private:
    void ApplyPen();
    void ApplyBrush();
    bool HasPen() const;
    // The pen's path for a shape (left, top)-(right, bottom), pixel centred.
    QRectF ShapeRect(int left, int top, int right, int bottom) const;

    QPainter *m_painter;
    double m_dpi;
    QPoint m_pos;
};
