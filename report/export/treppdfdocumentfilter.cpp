#include "report/export/treppdfdocumentfilter.h"

#include "report/model/ereperror.h"
#include "report/model/trepreport.h"
#include "report/page/trepcanvas.h"
#include "report/print/trepprinter.h"

#include <QFontMetricsF>
#include <QHash>

#include <cmath>

namespace {

// Native units (tenths of a millimetre) to points.
constexpr double PointsPerNative = 0.1 * 72.0 / 25.4;

struct Measured
{
    QFont font;
    QFontMetricsF metrics;
};

// The font as the page canvas draws it at `dpi`, measured: cached for the
// whole run, since a report uses few fonts many times. The cache is never
// destroyed: its fonts must not outlive the application's font engines.
const Measured &Measure(const TRepFont &font, double dpi)
{
    static auto &cache = *new QHash<QString, Measured *>;
    const QString key = font.Name + QLatin1Char('|') + QString::number(std::abs(font.Size)) + QLatin1Char('|')
        + QString::number(font.Bold) + QString::number(font.Italic) + QLatin1Char('|') + QString::number(dpi);
    if (Measured *m = cache.value(key))
        return *m;
    const QFont f = TRepCanvas::QtFont(TRepCanvasFont(font), dpi);
    auto *m = new Measured{f, QFontMetricsF(f)};
    cache.insert(key, m);
    return *m;
}

} // namespace

TRepPDFDocumentFilter::TRepPDFDocumentFilter(const QString &fileName)
    : TRepFileExportFilter(fileName)
{
}

TRepDeviceMap TRepPDFDocumentFilter::Map() const
{
    return Printer() ? Printer()->DeviceMap() : TRepDeviceMap();
}

double TRepPDFDocumentFilter::PointsPerPixelX() const
{
    return 72.0 / (Map().ScaleX * 254.0);
}

double TRepPDFDocumentFilter::PointsPerPixelY() const
{
    return 72.0 / (Map().ScaleY * 254.0);
}

void TRepPDFDocumentFilter::StartFile(double paperWidth, double paperLength, const TRepFont &)
{
    m_pageWidth = std::round(paperWidth) * PointsPerNative;
    m_pageHeight = std::round(paperLength) * PointsPerNative;
    if (!(m_pageWidth > 0) || !(m_pageHeight > 0)) {
        // No paper size: A4.
        m_pageWidth = 2100 * PointsPerNative;
        m_pageHeight = 2970 * PointsPerNative;
    }
    m_firstNewPage = true;
    m_pageBegun = false;
    m_writer.Clear();
    m_writer.Compression = CompressionOn;
    // The document's title is the report's, unless the caller gave one.
    if (m_writer.Title.isEmpty() || m_writer.Title == m_titleFromReport) {
        m_titleFromReport = Report() ? Report()->ReportTitle : QString();
        m_writer.Title = m_titleFromReport;
    }
}

void TRepPDFDocumentFilter::EnsurePage()
{
    if (m_pageBegun)
        return;
    m_writer.BeginPage(m_pageWidth, m_pageHeight);
    m_pageBegun = true;
}

void TRepPDFDocumentFilter::NewPage()
{
    if (m_firstNewPage) {
        m_firstNewPage = false;
        return;
    }
    // The page before is complete; the next one begins now, so that a page
    // without any item still counts.
    m_pageBegun = false;
    EnsurePage();
}

void TRepPDFDocumentFilter::EndPage()
{
}

void TRepPDFDocumentFilter::TextOut(const TRepFont &font, const QString &text, TRepAlignment alignment, double x,
                                    double y)
{
    if (text.isEmpty())
        return;
    EnsurePage();
    const TRepDeviceMap map = Map();
    const double dpi = map.ScaleY * 254.0;
    const Measured &m = Measure(font, dpi);
    // As the page canvas writes it: top-aligned at the device pixel of
    // (x, y), left of the anchor by the width for right-aligned text, by
    // half of it for centred text.
    const double width = m.metrics.horizontalAdvance(text);
    double left = map.ToDeviceX(x);
    if (alignment == taRightJustify)
        left -= width;
    else if (alignment == taCenter)
        left -= width / 2.0;
    const double top = map.ToDeviceY(y);
    const double fx = PointsPerPixelX(), fy = PointsPerPixelY();
    TRepPdfWriter::Font f;
    f.Name = font.Name.isEmpty() ? QStringLiteral("Arial") : font.Name;
    f.Bold = font.Bold;
    f.Italic = font.Italic;
    // The page's font advances by whole steps of its pixel grid, not quite
    // as the font file's widths add up: the text is fitted to the width the
    // page gives it, so that it ends where the printed text ends.
    m_writer.AddText(f, m.font.pixelSize() * fy, font.Color, text, left * fx, (top + m.metrics.ascent()) * fy,
                     width * fx);
}

void TRepPDFDocumentFilter::AcceptGraphic(const TRepExportGraphic &g)
{
    EnsurePage();
    const double fx = PointsPerPixelX(), fy = PointsPerPixelY();
    TRepPdfWriter::Graphic out;
    out.Kind = g.kind;
    out.X = g.X * fx;
    out.Y = g.Y * fy;
    out.Width = g.Width * fx;
    out.Height = g.Height * fy;
    out.PenWidth = std::max(1, g.PenWidth) * fy;
    out.PenColor = g.PenColor;
    out.FillColor = g.BrushColor;
    // A rule is a line however its brush is set.
    out.Filled = g.kind != TRepExportGraphic::Rule && g.Filled();
    out.Stroked = g.Stroked();
    // The corner ellipse of a rounded rectangle is the width times the
    // round factor, as the page draws it.
    out.CornerRadius = std::abs(g.Width * g.RoundFactor) / 2.0 * fx;
    m_writer.AddGraphic(out);
}

void TRepPDFDocumentFilter::AcceptPicture(const QImage &image, int x, int y, int width, int height)
{
    EnsurePage();
    const double fx = PointsPerPixelX(), fy = PointsPerPixelY();
    m_writer.AddPicture(image, x * fx, y * fy, width * fx, height * fy);
}

void TRepPDFDocumentFilter::FinishFile()
{
    EnsurePage();
    m_writer.Write(Output());
}

// A document given up leaves nothing behind for the next pass.
void TRepPDFDocumentFilter::DiscardFile()
{
    m_writer.Clear();
    m_pageBegun = false;
}
