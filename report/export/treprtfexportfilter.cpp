#include "report/export/treprtfexportfilter.h"

#include "report/model/ereperror.h"
#include "report/model/trepcustomband.h"
#include "report/model/trepcustomlabel.h"
#include "report/model/treppapertable.h"
#include "report/model/trepreport.h"
#include "report/page/trepcanvas.h"
#include "report/print/trepprinter.h"

#include <QFontMetricsF>
#include <QHash>

#include <cmath>

namespace {

// The report's own font names, so that a reader that has them uses them
// even where this system draws them with a stand-in.
QStringList ReportFonts(const TRepReport *report, const TRepFont &font)
{
    QStringList names{font.Name};
    if (!report)
        return names;
    names << report->Font().Name;
    for (TRepPrintable *e : report->AllElements())
        if (auto *label = qobject_cast<TRepCustomLabel *>(e))
            names << label->Font().Name;
    for (TRepCustomBand *b : report->BandList())
        names << b->Font().Name;
    return names;
}

// The width the page canvas draws a text at, in native units: the printed
// page and its PDF put each word there. The measured fonts are kept for
// the run (a report uses few fonts many times) and never destroyed: they
// must not outlive the application's font engines.
double PrintedWidth(const TRepDeviceMap &map, const TRepFont &font, const QString &text)
{
    if (!(map.ScaleX > 0) || !(map.ScaleY > 0))
        return 0;
    const double dpi = map.ScaleY * 254.0;
    static auto &cache = *new QHash<QString, QFontMetricsF *>;
    const QString key = font.Name + QLatin1Char('|') + QString::number(std::abs(font.Size)) + QLatin1Char('|')
        + QString::number(font.Bold) + QString::number(font.Italic) + QLatin1Char('|') + QString::number(dpi);
    QFontMetricsF *metrics = cache.value(key);
    if (!metrics) {
        metrics = new QFontMetricsF(TRepCanvas::QtFont(TRepCanvasFont(font), dpi));
        cache.insert(key, metrics);
    }
    return metrics->horizontalAdvance(text) / map.ScaleX;
}

} // namespace

TRepRTFExportFilter::TRepRTFExportFilter(const QString &fileName)
    : TRepFileExportFilter(fileName)
    , InstalledFamilies(TRepRtfWriter::InstalledFamilies())
{
}

TRepRTFExportFilter::~TRepRTFExportFilter()
{
    m_writer.reset();
}

void TRepRTFExportFilter::StartFile(double paperWidth, double paperLength, const TRepFont &font)
{
    TRepRtfWriter::PageSetup page;
    if (const TRepReport *r = Report()) {
        // Straight from the native units: the report's own units stay as
        // they are during the pass.
        const TRepPage &p = r->Page();
        page.Width = p.NativeValue(TRepPage::WidthIndex);
        page.Length = p.NativeValue(TRepPage::LengthIndex);
        page.LeftMargin = p.NativeValue(TRepPage::LeftMarginIndex);
        page.RightMargin = p.NativeValue(TRepPage::RightMarginIndex);
        page.TopMargin = p.NativeValue(TRepPage::TopMarginIndex);
        page.BottomMargin = p.NativeValue(TRepPage::BottomMarginIndex);
        page.Landscape = p.Orientation() == poLandscape;
        page.PaperCode = TRepPaperTable::PaperCode(p.PaperSize());
    } else {
        page.Width = paperWidth;
        page.Length = paperLength;
        page.LeftMargin = page.RightMargin = page.TopMargin = page.BottomMargin = 720 / TRepRtfWriter::TwipsPerNative;
    }
    m_writer.reset();
    m_writer = std::make_unique<TRepRtfWriter>(
        Output(), page, TRepRtfWriter::FontTable(InstalledFamilies, ReportFonts(Report(), font)));
    m_writer->WriteHeader();
}

void TRepRTFExportFilter::NewPage()
{
    if (m_writer)
        m_writer->NewPage();
}

void TRepRTFExportFilter::EndPage()
{
    if (m_writer)
        m_writer->EndPage();
}

void TRepRTFExportFilter::TextOut(const TRepFont &font, const QString &text, TRepAlignment alignment, double x,
                                  double y)
{
    // An empty line shows nothing: it makes no paragraph.
    if (!m_writer || text.isEmpty())
        return;
    TRepRtfWriter::Item item;
    item.X = x;
    item.Y = y;
    item.FontName = font.Name;
    item.HalfPoints = std::abs(font.Size) * 2;
    item.Bold = font.Bold;
    item.Italic = font.Italic;
    item.Underline = font.Underline;
    item.StrikeOut = font.StrikeOut;
    item.Color = font.Color;
    item.Alignment = alignment;
    item.Text = text;
    if (Printer())
        item.Width = PrintedWidth(Printer()->DeviceMap(), font, text);
    m_writer->AddText(item);
}

void TRepRTFExportFilter::FinishFile()
{
    if (!m_writer)
        throw ERepError(QStringLiteral("Não foi possível criar o arquivo \"%1\".").arg(FileName()));
    m_writer->Finish();
    m_writer.reset();
}

void TRepRTFExportFilter::DiscardFile()
{
    m_writer.reset();
}
