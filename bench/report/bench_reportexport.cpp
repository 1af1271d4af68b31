// Export of a 500-page detail report to PDF, against printing the same
// report to a PDF file through QPrinter (the toolkit's own PDF writer: the
// pass into the page store, then every page played onto the printer), and
// the same report to RTF. Each pass generates the report from its data.
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_reportexport [pages] [folder]
//
// Prints the time and file size of each (goal: the PDF export faster than
// the toolkit's writer, with a smaller file) and checks that the pages
// came out as many as asked.

#include "report/export/treppdfdocumentfilter.h"
#include "report/export/treprtfexportfilter.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbtext.h"
#include "report/model/trephrule.h"
#include "report/model/treplabel.h"
#include "report/model/trepreport.h"
#include "report/print/trepprinter.h"
#include "report/store/treppagelist.h"
#include "tests/support/trepmemorydataset.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Rows of the detail band that fill one A4 page below the header.
constexpr int RowsPerPage = 47;

void Text(TRepCustomBand *band, TRepCustomLabel *t, double left, double top, double width)
{
    band->InsertElement(t);
    t->Size().SetValues({45, left, top, width});
}

TRepDBText *Field(TRepCustomBand *band, TRepDataSet *ds, const QString &field, double left, double width,
                  TRepAlignment align = taLeftJustify)
{
    auto *t = new TRepDBText;
    Text(band, t, left, 5, width);
    t->DataSet = ds;
    t->SetDataField(field);
    t->SetAlignment(align);
    t->AutoSize = align == taLeftJustify;
    return t;
}

TRepLabel *Caption(TRepCustomBand *band, const QString &caption, double left, double top)
{
    auto *l = new TRepLabel;
    Text(band, l, left, top, 400);
    l->SetCaption(caption);
    return l;
}

double Ms(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const int pages = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    QDir().mkpath(folder);

    TRepMemoryDataSet ds;
    ds.AddField("CODIGO", TRepFieldKind::String);
    ds.AddField("NOME", TRepFieldKind::String);
    ds.AddField("CIDADE", TRepFieldKind::String);
    ds.AddField("VALOR", TRepFieldKind::String);
    const int records = pages * RowsPerPage;
    for (int i = 0; i < records; ++i)
        ds.AppendRow({QStringLiteral("%1").arg(i + 1, 6, 10, QChar('0')),
                      QStringLiteral("Cliente número %1 da Silva").arg(i + 1),
                      i % 3 ? QStringLiteral("São Paulo") : QStringLiteral("Belo Horizonte"),
                      QStringLiteral("R$ ") + QLocale().toString(12.5 * (i % 977) + 0.25, 'f', 2)});

    TRepReport report;
    report.Page().SetPaperSize(TRepPaperSize::A4);
    report.ReportTitle = QStringLiteral("Clientes");
    report.ShowProgress = false;
    report.DataSet = &ds;
    TRepBand *header = report.AddBand(rbPageHeader);
    header->Size().SetNativeValue(TRepBandSize::HeightIndex, 100);
    Caption(header, QStringLiteral("Relação de clientes"), 0, 5)->SetFont(TRepFont("Arial", 14, true));
    Caption(header, QStringLiteral("Código"), 0, 55);
    Caption(header, QStringLiteral("Nome"), 200, 55);
    TRepBand *detail = report.AddBand(rbDetail);
    detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 55);
    Field(detail, &ds, "CODIGO", 0, 180);
    Field(detail, &ds, "NOME", 200, 800);
    Field(detail, &ds, "CIDADE", 1050, 400);
    Field(detail, &ds, "VALOR", 1500, 380, taRightJustify);
    auto *rule = new TRepHRule;
    detail->InsertElement(rule);
    rule->Size().SetValues({10, 0, 50, 1890});
    TRepBand *footer = report.AddBand(rbPageFooter);
    footer->Size().SetNativeValue(TRepBandSize::HeightIndex, 60);
    Caption(footer, QStringLiteral("Ordem de Serviço - relatório de teste"), 0, 10);
    TRepGenerator *gen = TRepGenerator::Of(&report);

    // The PDF export.
    const QString pdfFile = QDir(folder).filePath(QStringLiteral("export.pdf"));
    QElapsedTimer t;
    t.start();
    {
        TRepPDFDocumentFilter pdf(pdfFile);
        gen->ExportWithFilter(&pdf);
    }
    const double pdfMs = Ms(t);

    // The toolkit's writer: the pass into the page store, then the pages
    // printed onto a PDF file.
    const QString qtFile = QDir(folder).filePath(QStringLiteral("qprinter.pdf"));
    t.start();
    TRepPrinter store(&report);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    const double storeMs = Ms(t);
    const int storePages = store.PageCount();
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(qtFile);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        QPainter painter(&printer);
        const QRectF target = TRepPrinter::StoredPageRect(2100, 2970, 0, 0, printer.resolution(), printer.resolution());
        for (int p = 1; p <= storePages; ++p) {
            if (p > 1)
                printer.newPage();
            store.PageList()->ReadPage(p).Draw(painter, target);
        }
    }
    const double qtMs = Ms(t);

    // The RTF export.
    const QString rtfFile = QDir(folder).filePath(QStringLiteral("export.rtf"));
    t.start();
    {
        TRepRTFExportFilter rtf(rtfFile);
        gen->ExportWithFilter(&rtf);
    }
    const double rtfMs = Ms(t);

    const qint64 pdfSize = QFileInfo(pdfFile).size(), qtSize = QFileInfo(qtFile).size();
    std::printf("pages              %d asked, %d in the page store (%d records)\n", pages, storePages, records);
    std::printf("PDF export         %.0f ms, %lld bytes\n", pdfMs, (long long)pdfSize);
    std::printf("QPrinter PDF       %.0f ms (%.0f ms of it the pass into the page store), %lld bytes\n", qtMs,
                storeMs, (long long)qtSize);
    std::printf("ratio export/Qt    time %.2f, size %.2f (goal: both < 1)\n", pdfMs / qtMs, double(pdfSize) / qtSize);
    std::printf("RTF export         %.0f ms, %lld bytes\n", rtfMs, (long long)QFileInfo(rtfFile).size());
    return storePages == pages ? 0 : 1;
}
