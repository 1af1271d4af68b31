#include "report/page/trepcanvas.h"

#include <QFontMetricsF>
#include <QHash>
#include <cmath>

namespace {

// Largest font a page may ask for, in pixels: a damaged page record must not
// make the painter build glyphs the size of a house.
constexpr int MaxFontPixels = 2048;

// Cell height (ascent + descent) of a font family per pixel of character
// height, for fonts given by their cell height.
double CellRatio(const QFont &base)
{
    static QHash<QString, double> cache;
    const QString key = base.family() + QLatin1Char('|') + QString::number(base.bold()) + QString::number(base.italic());
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QFont probe(base);
    probe.setPixelSize(100);
    QFontMetricsF fm(probe);
    double ratio = (fm.ascent() + fm.descent()) / 100.0;
    if (!(ratio > 0.1) || ratio > 10)
        ratio = 1.0;
    cache.insert(key, ratio);
    return ratio;
}

} // namespace

TRepCanvasFont::TRepCanvasFont(const TRepFont &font)
    : Name(font.Name)
    , Size(std::abs(font.Size))
    , Bold(font.Bold)
    , Italic(font.Italic)
    , Underline(font.Underline)
    , StrikeOut(font.StrikeOut)
    , Color(font.Color)
{
}

TRepCanvas::~TRepCanvas() = default;

void TRepCanvas::SetFont(const TRepCanvasFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    m_qtFontValid = false;
    m_metrics.reset();
    FontChanged();
}

void TRepCanvas::SetPen(const TRepPen &pen)
{
    if (pen == m_pen)
        return;
    m_pen = pen;
    PenChanged();
}

void TRepCanvas::SetBrush(const TRepBrush &brush)
{
    if (brush == m_brush)
        return;
    m_brush = brush;
    BrushChanged();
}

int TRepCanvas::FontHeightFor(const TRepCanvasFont &font) const
{
    if (font.Height != 0)
        return font.Height;
    const double size = font.Size > 0 ? font.Size : 10;
    return -int(std::lround(size * Dpi() / 72.0));
}

QFont TRepCanvas::QtFont(const TRepCanvasFont &font, double dpi)
{
    QFont f(font.Name.isEmpty() ? QStringLiteral("Arial") : font.Name);
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    f.setStrikeOut(font.StrikeOut);
    // Unhinted outlines scale linearly, so a page measured at 96 pixels per
    // inch keeps its line breaks when played on a printer or zoomed.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    int h = font.Height;
    if (h == 0) {
        const double size = font.Size > 0 ? font.Size : 10;
        h = -int(std::lround(size * dpi / 72.0));
    }
    double pixels;
    if (h < 0)
        pixels = -double(h);
    else
        pixels = double(h) / CellRatio(f);
    int px = int(std::lround(pixels));
    if (px < 1)
        px = 1;
    if (px > MaxFontPixels)
        px = MaxFontPixels;
    f.setPixelSize(px);
    return f;
}

const QFont &TRepCanvas::CurrentQtFont() const
{
    if (!m_qtFontValid) {
        m_qtFont = QtFont(m_font, Dpi());
        m_qtFontValid = true;
    }
    return m_qtFont;
}

const QFontMetricsF &TRepCanvas::CurrentMetrics() const
{
    if (!m_metrics)
        m_metrics.emplace(CurrentQtFont());
    return *m_metrics;
}

QSize TRepCanvas::TextExtent(const QString &text) const
{
    const QFontMetricsF &fm = CurrentMetrics();
    const double w = text.isEmpty() ? 0.0 : fm.horizontalAdvance(text);
    return QSize(int(std::ceil(w - 1e-6)), int(std::ceil(fm.ascent() + fm.descent() - 1e-6)));
}

double TRepCanvas::TextLeft(int x, const QString &text, TRepAlignment align) const
{
    if (align == taRightJustify)
        return x - TextWidthF(text);
    if (align == taCenter)
        return x - TextWidthF(text) / 2.0;
    return x;
}

double TRepCanvas::TextWidthF(const QString &text) const
{
    return text.isEmpty() ? 0.0 : CurrentMetrics().horizontalAdvance(text);
}

double TRepCanvas::FontAscent() const
{
    return CurrentMetrics().ascent();
}

double TRepCanvas::FontDescent() const
{
    return CurrentMetrics().descent();
}
