#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

#include "report/model/trepbrush.h"
#include "report/model/trepfont.h"
#include "report/model/treppen.h"
#include "report/model/treptypes.h"

// Font of a page canvas. Size is in points; Height, when non-zero, is the
// font height in the canvas' own pixels the way a recorded page keeps it
// (negative: character height without internal leading; positive: cell
// height) and wins over Size. Colour is the text colour.
struct TRepCanvasFont
{
    QString Name = QStringLiteral("Arial");
    double Size = 10;
    int Height = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    QColor Color = Qt::black;

    TRepCanvasFont() = default;
    // The model's font (its Size in points, by absolute value).
    TRepCanvasFont(const TRepFont &font);

    bool operator==(const TRepCanvasFont &) const = default;
};

// The drawing surface of a report page: the few operations the engine draws
// with, in integer device pixels of the canvas, with the conventions of the
// page records (right and bottom edges of shapes are exclusive, text is
// top-aligned at its reference point and drawn with a transparent
// background). One implementation paints on a QPainter, one records the page.
//
// Text is measured with the canvas' font at the canvas' pixel height
// (96 pixels per inch for recorded pages), so what a page record measures is
// exactly what its playback draws.
class TRepCanvas
{
public:
    virtual ~TRepCanvas();

    // Pixels per inch of the canvas coordinates (96 for recorded pages).
    virtual double Dpi() const = 0;

    void SetFont(const TRepCanvasFont &font);
    void SetFont(const TRepFont &font) { SetFont(TRepCanvasFont(font)); }
    const TRepCanvasFont &Font() const { return m_font; }
    void SetPen(const TRepPen &pen);
    const TRepPen &Pen() const { return m_pen; }
    void SetBrush(const TRepBrush &brush);
    const TRepBrush &Brush() const { return m_brush; }

    // Fills (left, top)-(right, bottom) with the brush, without outline.
    virtual void FillRect(int left, int top, int right, int bottom) = 0;
    // Outlined with the pen, filled with the brush.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    // cornerWidth/cornerHeight: size of the ellipse that rounds the corners.
    virtual void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) = 0;
    virtual void MoveTo(int x, int y) = 0;
    // Draws from the current position to (x, y), which becomes current.
    virtual void LineTo(int x, int y) = 0;
    // Writes the text with the font colour; y is the top of the text cell,
    // x its left edge, right edge or centre after the alignment.
    virtual void TextOut(int x, int y, const QString &text, TRepAlignment align = taLeftJustify) = 0;

    // Measurement in canvas pixels, rounded up as the page would occupy them.
    QSize TextExtent(const QString &text) const;
    int TextWidth(const QString &text) const { return TextExtent(text).width(); }
    int TextHeight(const QString &text) const { return TextExtent(text).height(); }
    // Unrounded measurements, for layout that wants them.
    double TextWidthF(const QString &text) const;
    double FontAscent() const;
    double FontDescent() const;
    // Left edge of `text` written at x with the alignment of TextOut.
    double TextLeft(int x, const QString &text, TRepAlignment align) const;

    // The pixel height of a font on a canvas of this resolution in the
    // Height convention (negative = character height).
    int FontHeightFor(const TRepCanvasFont &font) const;
    // The QFont that draws and measures `font` on a canvas of `dpi`.
    static QFont QtFont(const TRepCanvasFont &font, double dpi);

protected:
    virtual void FontChanged() {}
    virtual void PenChanged() {}
    virtual void BrushChanged() {}
    const QFont &CurrentQtFont() const;
    const QFontMetricsF &CurrentMetrics() const;

private:
    TRepCanvasFont m_font;
    TRepPen m_pen;
    TRepBrush m_brush;
    mutable QFont m_qtFont;
    mutable bool m_qtFontValid = false;
    mutable std::optional<QFontMetricsF> m_metrics;
};
