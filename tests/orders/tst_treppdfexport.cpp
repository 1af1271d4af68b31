// The service order printout exported to PDF through the generation pass:
// the document's objects and fonts, escapes, the footer's shapes, every
// text where the printed page has it, the file read back by qpdf and
// poppler, and exports that fail leaving the chosen file as it was.

#include "report/export/treppdfdocumentfilter.h"
#include "report/export/treppdffilter.h"
#include "report/generate/trepexportfilterlibrary.h"
#include "report/generate/trepgenerator.h"
#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/treplabel.h"
#include "report/model/trepshape.h"
#include "report/print/trepprinter.h"
#include "report/store/treppagelist.h"
#include "tests/orders/printoutfixture.h"
#include "tests/report/exporttools.h"
#include "tests/support/recordingfilter.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace ExportTools;

namespace {

constexpr double PointsPerMm = 72.0 / 25.4;

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Exports the report to `file`; the error text when it fails.
QString Export(TRepReport &report, const QString &file,
               const std::function<void(TRepPDFDocumentFilter &)> &setUp = {})
{
    TRepPDFDocumentFilter filter(file);
    if (setUp)
        setUp(filter);
    try {
        TRepGenerator::Of(&report)->ExportWithFilter(&filter);
    } catch (const ERepError &e) {
        return e.Message();
    }
    return {};
}

// The graphics of the first page's content as (operator, rectangle, colour).
struct Op
{
    QByteArray op;
    QByteArray rect;
    QByteArray color;
};

QList<Op> RectangleOps(const QByteArray &pdf)
{
    QList<Op> ops;
    const QByteArray content = ContentStreams(pdf).value(0);
    const QByteArray graphics = content.left(content.indexOf("\r\nBT\r\n"));
    QByteArray fill, stroke;
    for (const QByteArray &line : graphics.split('\n')) {
        const QByteArray l = line.trimmed();
        if (l.endsWith(" rg"))
            fill = l.chopped(3);
        else if (l.endsWith(" RG"))
            stroke = l.chopped(3);
        else if (l.endsWith(" re f"))
            ops.append({"f", l.chopped(5), fill});
        else if (l.endsWith(" re s"))
            ops.append({"s", l.chopped(5), stroke});
    }
    return ops;
}

} // namespace

class TstTRepPdfExport : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString printoutFile;
    QByteArray printoutPdf;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        QVERIFY(dir.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("qpdf")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("qpdf and poppler's tools are needed to read the files back");
        Printout printout(QStringLiteral("(a)"));
        printoutFile = dir.filePath(QStringLiteral("os.pdf"));
        QCOMPARE(Export(*printout.report, printoutFile), QString());
        printoutPdf = ReadAll(printoutFile);
        QVERIFY(!printoutPdf.isEmpty());
    }

    void printoutPassesQpdf() { QCOMPARE(QpdfProblems(printoutFile), QString()); }

    // Catalog, outlines, pages, one page with its contents, two objects per
    // distinct font of the printed text, information, ProcSet.
    void objectsOfThePrintout()
    {
        Printout printout;
        RecordingFilter rec;
        TRepGenerator::Of(printout.report.get())->ExportWithFilter(&rec);
        QSet<QString> fonts;
        for (const RecordingFilter::Text &t : rec.texts)
            if (!t.text.isEmpty())
                fonts.insert(t.font.Name + QString::number(t.font.Bold) + QString::number(t.font.Italic));
        QVERIFY(fonts.size() >= 2);
        const int objects = 5 + 2 * int(fonts.size()) + 2;
        QVERIFY(printoutPdf.contains("/Size " + QByteArray::number(objects + 1) + "\r\n"));
        QCOMPARE(printoutPdf.count(" 0 obj\r\n"), objects);
        QCOMPARE(printoutPdf.count("/Type /FontDescriptor"), fonts.size());
        QVERIFY(printoutPdf.contains("/Count 1\r\n/Kids [4 0 R]"));
        QVERIFY(printoutPdf.contains("5 0 obj\r\n<< /Length "));
        QCOMPARE(ContentStreams(printoutPdf).size(), 1);
        QVERIFY(printoutPdf.contains(QByteArray::number(objects - 1) + " 0 obj\r\n<<\r\n/CreationDate (D:"));
        QVERIFY(printoutPdf.contains(QByteArray::number(objects) + " 0 obj\r\n[/PDF /Text]\r\nendobj"));
        // A4 Plus: 210 x 330 mm.
        QVERIFY(printoutPdf.contains("/MediaBox [0 0 595.28 935.43]"));
    }

    // Arial at 18 and at 10 points is one font entry; its encoding names
    // codes 2 to 255.
    void oneFontEntryForTwoSizes()
    {
        static const QRegularExpression arial(QStringLiteral("/Name /(F\\d\\d)\\r\\n/BaseFont /Arial\\r\\n"));
        const auto m = arial.match(QString::fromLatin1(printoutPdf));
        QVERIFY(m.hasMatch());
        QCOMPARE(printoutPdf.count("/BaseFont /Arial\r\n"), 1);
        const QByteArray name = m.captured(1).toLatin1();
        // The sizes the page draws: 24 and 13 pixels at 96 per inch.
        const QByteArray content = ContentStreams(printoutPdf).value(0);
        QVERIFY(content.contains("/" + name + " 18 Tf\r\n"));
        QVERIFY(content.contains("/" + name + " 9.75 Tf\r\n"));
        QVERIFY(printoutPdf.contains("/BaseFont /Verdana,Bold\r\n"));
        QVERIFY(printoutPdf.contains("/Encoding  <</Type/Encoding /Differences [ 2 /space/space"));
        QVERIFY(printoutPdf.contains("/LastChar 255\r\n"));
    }

    void bracketsEscaped() { QVERIFY(ContentStreams(printoutPdf).value(0).contains(" (\\(a\\)) Tj\r\n")); }

    // The footer's shape: a white filled rectangle, then the same
    // rectangle stroked in black; band backgrounds come before any text.
    void footerShape()
    {
        const QList<Op> ops = RectangleOps(printoutPdf);
        QVERIFY(!ops.isEmpty());
        QCOMPARE(ops.first().op, QByteArray("f"));
        QCOMPARE(ops.first().color, QByteArray("1 1 1"));
        // RepShape1: 171.98 x 45.51 mm at 9.26 mm from the band's left edge,
        // the band at the 10 mm margin.
        int pairs = 0;
        for (int i = 0; i + 1 < ops.size(); ++i) {
            if (ops[i].op != "f" || ops[i + 1].op != "s" || ops[i].rect != ops[i + 1].rect)
                continue;
            QCOMPARE(ops[i].color, QByteArray("1 1 1"));
            QCOMPARE(ops[i + 1].color, QByteArray("0 0 0"));
            const QList<QByteArray> r = ops[i].rect.split(' ');
            QCOMPARE(r.size(), 4);
            QVERIFY(std::abs(r[0].toDouble() - 19.26 * PointsPerMm) < 0.5 * PointsPerMm);
            QVERIFY(std::abs(r[2].toDouble() - 171.98 * PointsPerMm) < 0.5 * PointsPerMm);
            QVERIFY(std::abs(r[3].toDouble() - 45.51 * PointsPerMm) < 0.5 * PointsPerMm);
            ++pairs;
        }
        QCOMPARE(pairs, 1);
    }

    void textsReadBack()
    {
        const QString text = PlainText(printoutFile);
        for (const char *t : {"Oficina do Zé", "Nº 1 em serviço", "Endereço:", "Descrição:", "Solução:",
                              "Rua São João, 12", "R$ 1.234,50", "05/03/2026", "(a)", "000123"})
            QVERIFY2(text.contains(QString::fromUtf8(t)), t);
    }

    // The order number is right-aligned: it ends at its element's right
    // edge, 172.51 mm from the band's left edge, itself at the 10 mm margin.
    void rightAlignedValueEndsAtItsEdge()
    {
        const QList<Word> words = Words(printoutFile);
        const auto it = std::find_if(words.begin(), words.end(), [](const Word &w) { return w.text == "000123"; });
        QVERIFY(it != words.end());
        QVERIFY2(std::abs(it->box.right() - 182.51 * PointsPerMm) <= 0.5 * PointsPerMm,
                 qPrintable(QString::number(it->box.right() / PointsPerMm)));
    }

    // Every text lies within 0.5 mm of where the printer output has it: the
    // same report's recorded page printed with QPrinter to a PDF file.
    void textsWhereThePrintedPageHasThem()
    {
        Printout printout(QStringLiteral("(a)"));
        TRepGenerator *gen = TRepGenerator::Of(printout.report.get());
        TRepPrinter store(printout.report.get());
        gen->SetPrinter(&store);
        gen->GenerateReport();
        gen->SetPrinter(nullptr);
        QCOMPARE(store.PageCount(), 1);
        const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
        {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            printer.setPageSize(QPageSize(QSizeF(210, 330), QPageSize::Millimeter));
            printer.setFullPage(true);
            printer.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter painter(&printer);
            const QRect target = TRepPrinter::StoredPageRect(2100, 3300, 0, 0, printer.resolution(),
                                                             printer.resolution());
            store.PageList()->ReadPage(1).Draw(painter, QRectF(target));
        }
        const QList<Word> want = Words(printed);
        const QList<Word> got = Words(printoutFile);
        QVERIFY(want.size() > 40);
        QCOMPARE(got.size(), want.size());
        const double tolerance = 0.5 * PointsPerMm;
        double worst = 0;
        for (const Word &w : want) {
            // The nearest word of the same text.
            double best = 1e9;
            for (const Word &g : got)
                if (g.text == w.text) {
                    const double d = std::max({std::abs(g.box.left() - w.box.left()), std::abs(g.box.right() - w.box.right()),
                                               std::abs(g.box.bottom() - w.box.bottom())});
                    best = std::min(best, d);
                }
            QVERIFY2(best <= tolerance, qPrintable(w.text + QStringLiteral(" off by %1 mm").arg(best / PointsPerMm)));
            worst = std::max(worst, best);
        }
        qInfo("largest distance: %.3f mm", worst / PointsPerMm);
    }

    // Rendered, the page shows the header line's text.
    void renderedPageShowsText()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm is not installed");
        const ToolResult r = Run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                                              printoutFile, dir.filePath(QStringLiteral("render"))});
        QCOMPARE(r.exitCode, 0);
        const QImage page(dir.filePath(QStringLiteral("render-1.png")));
        QVERIFY(!page.isNull());
        const QList<Word> words = Words(printoutFile);
        const auto it = std::find_if(words.begin(), words.end(), [](const Word &w) { return w.text == "Oficina"; });
        QVERIFY(it != words.end());
        int dark = 0;
        const QRect box = it->box.toAlignedRect().intersected(page.rect());
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                dark += qGray(page.pixel(x, y)) < 128;
        QVERIFY2(dark > box.width() * box.height() / 10, qPrintable(QString::number(dark)));
    }

    // Two pages: two page objects, a page tree counting them.
    void reportOfTwoPages()
    {
        Printout printout;
        TRepLabel *extra = new TRepLabel;
        printout.report->BandList().at(1)->InsertElement(extra);
        extra->SetCaption(QStringLiteral("Página seguinte"));
        printout.report->BandList().at(1)->ForceNewPage = true;
        const QString file = dir.filePath(QStringLiteral("two.pdf"));
        QCOMPARE(Export(*printout.report, file), QString());
        const QByteArray pdf = ReadAll(file);
        QVERIFY(pdf.contains("/Count 2\r\n/Kids [4 0 R 6 0 R]"));
        QCOMPARE(QpdfProblems(file), QString());
        const QList<Word> words = Words(file);
        const auto it = std::find_if(words.begin(), words.end(), [](const Word &w) { return w.text == "seguinte"; });
        QVERIFY(it != words.end());
        QCOMPARE(it->page, 2);
    }

    // Straight to the filter: a negative size counts by its absolute value,
    // the text at the page's pixel size; a rounded rectangle keeps its
    // corners.
    void itemsOfTheFilter()
    {
        const QString file = dir.filePath(QStringLiteral("items.pdf"));
        {
            TRepPDFDocumentFilter filter(file);
            filter.Begin(2100, 2970, TRepFont());
            filter.NewPage();
            TRepFont font(QStringLiteral("Arial"), -10);
            filter.TextOut(font, QStringLiteral("negativo"), taLeftJustify, 200, 200);
            TRepExportGraphic g;
            g.kind = TRepExportGraphic::RoundRect;
            g.X = 100;
            g.Y = 100;
            g.Width = 200;
            g.Height = 100;
            g.BrushStyle = bsClear;
            g.RoundFactor = 0.2;
            filter.AcceptGraphic(g);
            filter.EndPage();
            filter.End();
        }
        QCOMPARE(QpdfProblems(file), QString());
        const QByteArray content = ContentStreams(ReadAll(file)).value(0);
        QVERIFY(content.contains("/F00 9.75 Tf\r\n"));
        // 200 x 100 pixels at (100, 100): 150 x 75 points, corners of 15.
        QVERIFY2(content.contains("90 766.89 m\r\n"), content.constData());
        QCOMPARE(content.count(" c\r\n"), 4);
        const QList<Word> words = Words(file);
        QCOMPARE(words.size(), 1);
        QVERIFY(std::abs(words.first().box.left() - 20 * PointsPerMm) < 0.5 * PointsPerMm);
    }

    // A failed export gives its error and leaves the chosen name as it was.
    void failedExports_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("error");
        QTest::newRow("folder that does not exist") << "missing/sub/x.pdf" << 0
                                                     << "Não foi possível criar o arquivo";
        QTest::newRow("font that cannot be measured") << "font.pdf" << 1 << "GetFontData error";
        QTest::newRow("item of unknown kind") << "kind.pdf" << 2 << "Internal error: IT_INVALID";
    }
    void failedExports()
    {
        QFETCH(QString, where);
        QFETCH(int, failure);
        QFETCH(QString, error);
        const QString file = dir.filePath(where);
        const QByteArray before("an earlier export");
        if (failure) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);
        Printout printout;
        QString message;
        if (failure == 2) {
            // Straight to the filter: the engine makes no such item.
            TRepPDFDocumentFilter filter(file);
            filter.Begin(2100, 3300, TRepFont());
            TRepExportGraphic g;
            g.kind = TRepExportGraphic::Kind(42);
            try {
                filter.AcceptGraphic(g);
                filter.End();
            } catch (const ERepError &e) {
                message = e.Message();
            }
        } else {
            message = Export(*printout.report, file, [&](TRepPDFDocumentFilter &f) {
                if (failure == 1)
                    f.Writer().MeasureFont = [](const QString &, bool, bool) -> TRepFontMetrics {
                        throw ERepError("GetFontData error");
                    };
            });
        }
        QVERIFY2(message.contains(error), qPrintable(message));
        if (failure)
            QCOMPARE(ReadAll(file), before);
        else
            QVERIFY(!QFile::exists(file));
        // Nothing half written is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), filesBefore);
    }

    // The document's Title was empty: it is the report's title, a title the
    // caller gives wins, and a second export of another report takes that
    // report's own.
    void pdfTitleEmpty()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("pdfinfo is not installed");
        const auto titleOf = [](const QString &file) {
            const ToolResult r = Run(QStringLiteral("pdfinfo"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file});
            for (const QString &line : QString::fromUtf8(r.out).split(QLatin1Char('\n')))
                if (line.startsWith(QLatin1String("Title:")))
                    return line.mid(6).trimmed();
            return QString();
        };
        Printout printout;
        printout.report->ReportTitle = QStringLiteral("Ordem de Serviço nº 000123");
        const QString file = dir.filePath(QStringLiteral("titulo.pdf"));
        TRepPDFDocumentFilter filter(file);
        TRepGenerator::Of(printout.report.get())->ExportWithFilter(&filter);
        QCOMPARE(titleOf(file), QStringLiteral("Ordem de Serviço nº 000123"));
        Printout other;
        other.report->ReportTitle = QStringLiteral("Outra");
        TRepGenerator::Of(other.report.get())->ExportWithFilter(&filter);
        QCOMPARE(titleOf(file), QStringLiteral("Outra"));
        filter.Writer().Title = QStringLiteral("Dado por quem exporta");
        TRepGenerator::Of(other.report.get())->ExportWithFilter(&filter);
        QCOMPARE(titleOf(file), QStringLiteral("Dado por quem exporta"));
    }

    void replacesAnEarlierFile()
    {
        const QString file = dir.filePath(QStringLiteral("again.pdf"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x'));
        f.close();
        Printout printout;
        QCOMPARE(Export(*printout.report, file), QString());
        QVERIFY(ReadAll(file).startsWith("%PDF-1.3"));
        QCOMPARE(QpdfProblems(file), QString());
    }

    // The component offers the filter to the preview's save dialog while it
    // lives, with its settings.
    void registration()
    {
        {
            TRepPDFFilter component;
            component.CompressionOn = true;
            const auto filters = TRepExportFilterLibrary::Filters();
            const auto it = std::find_if(filters.begin(), filters.end(),
                                         [](const auto &e) { return e.Name == "Documento PDF"; });
            QVERIFY(it != filters.end());
            QCOMPARE(it->Extension, QStringLiteral("PDF"));
            auto filter = it->Create(dir.filePath(QStringLiteral("r.pdf")));
            auto *pdf = dynamic_cast<TRepPDFDocumentFilter *>(filter.get());
            QVERIFY(pdf);
            QVERIFY(pdf->CompressionOn);
            QCOMPARE(pdf->FileName(), dir.filePath(QStringLiteral("r.pdf")));
            QCOMPARE(pdf->Description(), QStringLiteral("PDF document filter"));
        }
        for (const auto &e : TRepExportFilterLibrary::Filters())
            QVERIFY(e.Name != "Documento PDF");
    }
};

QTEST_MAIN(TstTRepPdfExport)
#include "tst_treppdfexport.moc"
