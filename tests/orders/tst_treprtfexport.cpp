// The RTF export: the header and its tables, slots of one point made
// paragraphs with tab stops, colours, escapes, page breaks, and the
// service order printout opened by a word processor with its accents.

#include "report/export/treppdfdocumentfilter.h"
#include "report/export/treprtfexportfilter.h"
#include "report/export/treprtffilter.h"
#include "report/export/treprtfwriter.h"
#include "report/generate/trepexportfilterlibrary.h"
#include "report/generate/trepgenerator.h"
#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepbandsize.h"
#include "report/model/trepdbtext.h"
#include "report/model/treplabel.h"
#include "report/model/treppapertable.h"
#include "report/model/trepreport.h"
#include "report/model/trepsysdata.h"
#include "tests/orders/printoutfixture.h"
#include "tests/report/exporttools.h"
#include "tests/support/recordingfilter.h"
#include "tests/support/trepmemorydataset.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace ExportTools;

namespace {

using Item = TRepRtfWriter::Item;

TRepRtfWriter::PageSetup A4Plus()
{
    TRepRtfWriter::PageSetup page;
    page.Width = 2100;
    page.Length = 3300;
    page.LeftMargin = page.RightMargin = page.TopMargin = page.BottomMargin = 100;
    page.PaperCode = TRepPaperTable::PaperCode(TRepPaperSize::A4Plus);
    return page;
}

Item Text(const QString &text, double x, double y, const QColor &color = Qt::black)
{
    Item i;
    i.X = x;
    i.Y = y;
    i.FontName = QStringLiteral("Arial");
    i.Text = text;
    i.Color = color;
    return i;
}

// Pages of items through the writer: the document's lines.
QStringList Document(const QList<QList<Item>> &pages)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TRepRtfWriter w(buffer, A4Plus(), TRepRtfWriter::FontTable({QStringLiteral("Liberation Sans")}, {QStringLiteral("Arial")}));
    w.WriteHeader();
    for (const QList<Item> &page : pages) {
        w.NewPage();
        for (const Item &i : page)
            w.AddText(i);
        w.EndPage();
    }
    w.Finish();
    return QString::fromLatin1(buffer.data()).split(QStringLiteral("\r\n"));
}

// The RTF turned into PDF by LibreOffice, with a throwaway home and profile;
// empty when it could not run here (`why` then says what it said).
QString OfficePdf(const QString &rtf, const QString &outDir, QString &why)
{
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    const ToolResult r = Run(QStringLiteral("soffice"),
                             {QStringLiteral("-env:UserInstallation=file://") + home.filePath(QStringLiteral("profile")),
                              QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                              QStringLiteral("--outdir"), outDir, rtf},
                             180000, env);
    const QString pdf = QDir(outDir).filePath(QFileInfo(rtf).completeBaseName() + QStringLiteral(".pdf"));
    if (!r.started || r.exitCode != 0 || !QFile::exists(pdf)) {
        why = QString::fromUtf8(r.err);
        return {};
    }
    return pdf;
}

// A page full of lines: one record a line, a bold 12-point label beside
// a 10-point value, on 5 mm lines from the top margin to the bottom one.
struct FullPage
{
    TRepReport report;
    TRepMemoryDataSet records{QStringLiteral("Linhas")};

    FullPage()
    {
        report.ShowProgress = false;
        report.Page().SetPaperSize(TRepPaperSize::A4Plus);
        report.Page().SetValues({100, 3300, 100, 2100, 100, 100, 0});
        TRepBand *detail = report.AddBand(rbDetail, "RepBand1");
        detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 50);
        records.AddField(QStringLiteral("TEXTO"), TRepFieldKind::String);
        for (int i = 1; i <= 62; ++i)
            records.AppendRow({QStringLiteral("valor%1 item%1 fim%1").arg(i)});
        report.DataSet = &records;
        auto *label = new TRepLabel;
        detail->InsertElement(label);
        label->Size().SetValues({45, 100, 0, 300});
        label->SetCaption(QStringLiteral("Linha:"));
        TRepFont bold = label->Font();
        bold.Size = 12;
        bold.Bold = true;
        label->SetFont(bold);
        auto *value = new TRepDBText;
        detail->InsertElement(value);
        value->Size().SetValues({45, 500, 0, 1200});
        value->DataSet = &records;
        value->SetDataField(QStringLiteral("TEXTO"));
    }
};

// A report of several pages as the shop's lists are: a page header with a
// bold title and column titles from the left margin to a right-aligned
// "Total", rows whose first column is at the left margin, and a page
// footer with "Página n de m" at the bottom of each page.
struct ListPages
{
    TRepReport report;
    TRepMemoryDataSet records{QStringLiteral("Linhas")};

    explicit ListPages(int rows)
    {
        report.ShowProgress = false;
        report.Page().SetPaperSize(TRepPaperSize::A4);
        report.Page().SetValues({100, 2970, 100, 2100, 100, 100, 0});
        report.Options |= TRepReportOption::FirstPageHeader;
        report.Options |= TRepReportOption::LastPageFooter;
        records.AddField(QStringLiteral("NUMERO"), TRepFieldKind::String);
        records.AddField(QStringLiteral("NOME"), TRepFieldKind::String);
        records.AddField(QStringLiteral("VALOR"), TRepFieldKind::Float);
        for (int i = 1; i <= rows; ++i)
            records.AppendRow({QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')),
                               QStringLiteral("Cliente número %1").arg(i), 1234.5 + i});
        report.DataSet = &records;
        const auto label = [](TRepCustomBand *band, const QString &text, std::array<double, 4> size, int points, bool bold,
                              TRepAlignment align = taLeftJustify) {
            auto *l = new TRepLabel;
            band->InsertElement(l);
            l->Size().SetValues(size);
            l->AutoSize = false;
            l->WordWrap = false;
            l->SetAlignment(align);
            l->SetCaption(text);
            TRepFont f = l->Font();
            f.Size = points;
            f.Bold = bold;
            l->SetFont(f);
            return l;
        };
        TRepBand *header = report.AddBand(rbPageHeader, "Cabecalho");
        header->Size().SetNativeValue(TRepBandSize::HeightIndex, 200);
        label(header, QStringLiteral("Oficina do Zé"), {65, 0, 0, 1900}, 14, true);
        label(header, QStringLiteral("Relação de ordens"), {55, 0, 80, 1900}, 12, true);
        label(header, QStringLiteral("Número"), {45, 0, 150, 170}, 9, true);
        label(header, QStringLiteral("Cliente"), {45, 380, 150, 440}, 9, true);
        label(header, QStringLiteral("Total"), {45, 1650, 150, 250}, 9, true, taRightJustify);
        TRepBand *detail = report.AddBand(rbDetail, "Detalhe");
        detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 50);
        const auto field = [&](const QString &name, std::array<double, 4> size, TRepAlignment align, const QString &mask) {
            auto *t = new TRepDBText;
            detail->InsertElement(t);
            t->Size().SetValues(size);
            t->AutoSize = false;
            t->WordWrap = false;
            t->SetAlignment(align);
            t->DataSet = &records;
            t->SetDataField(name);
            t->Mask = mask;
            TRepFont f = t->Font();
            f.Size = 9;
            t->SetFont(f);
        };
        field(QStringLiteral("NUMERO"), {45, 0, 2, 170}, taLeftJustify, QString());
        field(QStringLiteral("NOME"), {45, 380, 2, 440}, taLeftJustify, QString());
        field(QStringLiteral("VALOR"), {45, 1650, 2, 250}, taRightJustify, QStringLiteral("R$ #,##0.00"));
        TRepBand *footer = report.AddBand(rbPageFooter, "Rodape");
        footer->Size().SetNativeValue(TRepBandSize::HeightIndex, 70);
        auto *page = new TRepSysData;
        footer->InsertElement(page);
        page->Size().SetValues({45, 1300, 15, 600});
        page->AutoSize = false;
        page->SetAlignment(taRightJustify);
        page->SetText(QStringLiteral("Página {PAGE} de {PAGES}"));
    }
};

// Where a line of 10-point Arial whose text's top is at `y` (native units)
// starts, in twips from the top of the paper: its face's line gap above.
double LineTop(double y)
{
    return y * TRepRtfWriter::TwipsPerNative - TRepRtfWriter::MetricsOf(QStringLiteral("Arial")).Gap * 200;
}

QString Body(const QList<QList<Item>> &pages)
{
    return Document(pages).mid(3).join(QLatin1Char('\n'));
}

} // namespace

class TstTRepRtfExport : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    // Page setup in twips straight from native units; the code page; the
    // installed faces plus the report's own, sorted, one per name.
    void header()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const auto fonts = TRepRtfWriter::FontTable({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                                     QStringLiteral("liberation sans")},
                                                    {QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
        QCOMPARE(fonts.size(), 3);
        TRepRtfWriter w(buffer, A4Plus(), fonts);
        w.WriteHeader();
        const QStringList lines = QString::fromLatin1(buffer.data()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.at(0), QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720\\paperh18709\\paperw11906\\psz%1"
                                             "\\margl567\\margr567\\margt567\\margb567{\\fonttbl{\\f0\\fswiss Arial;}"
                                             "{\\f1\\fswiss DejaVu Sans;}{\\f2\\fswiss Liberation Sans;}}")
                                  .arg(TRepPaperTable::PaperCode(TRepPaperSize::A4Plus)));
        QCOMPARE(lines.at(1), QStringLiteral(
            "{\\colortbl\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;\\red128\\green128\\blue0;"
            "\\red0\\green0\\blue128;\\red128\\green0\\blue128;\\red0\\green128\\blue128;\\red128\\green128\\blue128;"
            "\\red192\\green192\\blue192;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red255\\green255\\blue0;"
            "\\red0\\green0\\blue255;\\red255\\green0\\blue255;\\red0\\green255\\blue255;\\red192\\green192\\blue192;"
            "\\red128\\green128\\blue128;\\red255\\green255\\blue255;}"));
        QCOMPARE(lines.at(2), QStringLiteral("\\deflang1033"));
        QCOMPARE(w.FontNumber(QStringLiteral("arial")), 0);
        QCOMPARE(w.FontNumber(QStringLiteral("Verdana")), -1);
    }

    void familyKeywords_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<QByteArray>("keyword");
        QTest::newRow("sans") << "Liberation Sans" << QByteArray("\\fswiss");
        QTest::newRow("serif") << "Liberation Serif" << QByteArray("\\froman");
        QTest::newRow("fixed pitch") << "Liberation Mono" << QByteArray("\\fmodern");
        QTest::newRow("not installed: as drawn") << "Courier New" << QByteArray("\\fmodern");
    }
    void familyKeywords()
    {
        QFETCH(QString, face);
        QFETCH(QByteArray, keyword);
        QCOMPARE(TRepRtfWriter::FamilyKeyword(face), keyword);
    }

    // Two labels of one line: one paragraph, tab stops left to right
    // whatever order they came in, each tab in its text's face and size;
    // the text at the left margin starts the line with no tab (a word
    // processor skips a tab stop at the margin).
    void oneLineOneParagraph()
    {
        const QString body = Body({{Text("B", 500, 200), Text("A", 100, 201)}});
        QCOMPARE(body.count(QStringLiteral("\\pard")), 1);
        // 100 native = 567 twips: the left margin.
        QVERIFY2(body.contains(QStringLiteral("\\pard\\plain\\sb%1\\tql\\tx2268\n")
                                   .arg(std::llround(LineTop(201) - 567))),
                 qPrintable(body));
        QVERIFY2(body.contains(QStringLiteral("{\\plain\\f0\\fs20 A\\plain\\f0\\fs20\\tab B}\n\\plain\\fs1\n\\par }")),
                 qPrintable(body));
    }

    // Space before a paragraph: from where the line above ends to where
    // this one starts, only when positive (a text printed over the line
    // above gets none); alignments become tab kinds.
    void paragraphsAndTabs()
    {
        Item right = Text("9,99", 1900, 400);
        right.Alignment = taRightJustify;
        Item centre = Text("meio", 1000, 400);
        centre.Alignment = taCenter;
        Item close = Text("junto", 100, 420);
        const QString body = Body({{Text("A", 100, 300), right, centre, close}});
        const QStringList lines = body.split('\n');
        const TRepRtfWriter::FaceMetrics arial = TRepRtfWriter::MetricsOf(QStringLiteral("Arial"));
        const qint64 first = std::llround(LineTop(300) - 567);
        const double height = (arial.Ascent + arial.Descent + arial.Gap) * 200;
        const qint64 second = std::llround(LineTop(400) - (567 + double(first) + height));
        QCOMPARE(lines.at(0), QStringLiteral("\\pard\\plain\\sb%1").arg(first));
        QCOMPARE(lines.at(2), QStringLiteral("\\plain\\fs1\\par"));
        QCOMPARE(lines.at(3), QStringLiteral("\\pard\\plain\\sb%1\\tqc\\tx5102\\tqr\\tx10205").arg(second));
        QCOMPARE(lines.at(6), QStringLiteral("\\pard\\plain"));
    }

    // What keeps a line where the page prints it, also where no word
    // processor is at hand to look: a small text beside a large one raised
    // to its own baseline (the large one keeps the line's), the letters of
    // a text printed narrower than its face spaced closer, a text running
    // off the paper cut at its edge and allowed into the right margin.
    void lineKeptInPlace_data()
    {
        QTest::addColumn<QList<Item>>("items");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        Item small = Text("pequeno", 100, 200);
        Item large = Text("GRANDE", 500, 200);
        large.HalfPoints = 36;
        QTest::newRow("small beside large") << QList<Item>{small, large}
                                            << QStringList{"\\fs20\\up", "\\fs36\\tab GRANDE"}
                                            << QStringList{"\\dn", "\\fs36\\up"};
        Item narrow = Text("estreito estreito", 100, 200);
        narrow.Width = TRepRtfWriter::NaturalWidth(narrow) * 0.9 / TRepRtfWriter::TwipsPerNative;
        QTest::newRow("printed narrower") << QList<Item>{narrow} << QStringList{"\\expndtw-"} << QStringList{};
        Item edge = Text(QStringLiteral("ponta ").repeated(20).trimmed(), 1900, 200);
        QTest::newRow("past the paper's edge") << QList<Item>{edge} << QStringList{"\\ri-567", " ponta"}
                                               << QStringList{QStringLiteral("ponta ").repeated(20).trimmed()};
    }
    void lineKeptInPlace()
    {
        QFETCH(QList<Item>, items);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        const QString body = Body({items});
        for (const QString &p : present)
            QVERIFY2(body.contains(p), qPrintable(p + QStringLiteral(" not in ") + body));
        for (const QString &a : absent)
            QVERIFY2(!body.contains(a), qPrintable(a + QStringLiteral(" in ") + body));
    }

    void styleAndColour_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("run");
        QTest::newRow("red") << QColor(255, 0, 0) << false << "\\fs20\\cf9 Texto}";
        QTest::newRow("black: no colour") << QColor(0, 0, 0) << false << "\\fs20 Texto}";
        QTest::newRow("navy") << QColor(0, 0, 128) << false << "\\fs20\\cf4 Texto}";
        QTest::newRow("grey: first match") << QColor(128, 128, 128) << false << "\\fs20\\cf7 Texto}";
        QTest::newRow("not in the table") << QColor(1, 2, 3) << false << "\\fs20 Texto}";
        QTest::newRow("bold red") << QColor(255, 0, 0) << true << "\\fs20\\b\\cf9 Texto}";
    }
    void styleAndColour()
    {
        QFETCH(QColor, color);
        QFETCH(bool, bold);
        QFETCH(QString, run);
        Item i = Text("Texto", 100, 200, color);
        i.Bold = bold;
        QVERIFY2(Body({{i}}).contains(run), qPrintable(Body({{i}})));
    }

    void escapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("escaped");
        QTest::newRow("backslash and braces") << "a\\b {c}" << QByteArray("a\\\\b \\{c\\}");
        QTest::newRow("accents: code page bytes") << "Ação é" << QByteArray("A\\'e7\\'e3o \\'e9");
        QTest::newRow("ordinal and euro") << "Nº €" << QByteArray("N\\'ba \\'80");
        QTest::newRow("beyond the code page") << "Ωx" << QByteArray("\\u937?x");
        QTest::newRow("high in the plane: signed") << "\uFFFD" << QByteArray("\\u-3?");
        QTest::newRow("line breaks print as nothing") << "um\ndois\r\ttr\u00eas" << QByteArray("umdoistr\\'eas");
    }
    void escapes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, escaped);
        QCOMPARE(TRepRtfWriter::EscapeText(text), escaped);
    }

    void pageBreaks_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("breaks");
        QTest::newRow("one page") << 1 << 0;
        QTest::newRow("two pages") << 2 << 1;
        QTest::newRow("three pages") << 3 << 2;
    }
    void pageBreaks()
    {
        QFETCH(int, pages);
        QFETCH(int, breaks);
        QList<QList<Item>> doc;
        for (int p = 0; p < pages; ++p)
            doc.append({Text(QStringLiteral("Página %1").arg(p + 1), 100, 200)});
        const QStringList lines = Document(doc);
        // The break opens the next page's first paragraph.
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^\\{\\\\page \\}\\{\\\\plain"))).size(), breaks);
        QCOMPARE(Body(doc).count(QStringLiteral("\\page")), breaks);
        QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("\\par }"));
    }

    // Text whose slot is not on the page is left out.
    void textOffThePage()
    {
        const QString body = Body({{Text("acima", 100, -10), Text("dentro", 100, 3290), Text("abaixo", 100, 3302)}});
        QVERIFY(body.contains(QStringLiteral("dentro")));
        QVERIFY(!body.contains(QStringLiteral("acima")));
        QVERIFY(!body.contains(QStringLiteral("abaixo")));
    }

    // The printout: one page, its texts with their accents, the report's
    // units untouched by the pass.
    void printout()
    {
        Printout printout;
        const QString file = dir.filePath(QStringLiteral("os.rtf"));
        TRepRTFExportFilter filter(file);
        const TRepUnit units = printout.report->Units();
        TRepGenerator::Of(printout.report.get())->ExportWithFilter(&filter);
        QCOMPARE(printout.report->Units(), units);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray rtf = f.readAll();
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
        QVERIFY(rtf.contains("{\\f0\\fswiss Arial;}"));
        // The letters are spaced to the width the page prints them at.
        QVERIFY(rtf.contains("\\expndtw"));
        const QString text = QString::fromLatin1(rtf).remove(QRegularExpression(QStringLiteral("\\\\expndtw-?\\d+ ")));
        QVERIFY(text.contains(QStringLiteral("\\f0\\fs36\\b\\tab")));
        QVERIFY(text.contains(QStringLiteral("Oficina do Z\\'e9")));
        QVERIFY(text.contains(QStringLiteral("Endere\\'e7o:")));
        QVERIFY(text.contains(QStringLiteral("N\\'ba 1 em servi\\'e7o")));
        QVERIFY(!rtf.contains("{\\page }"));
        QVERIFY(rtf.endsWith("\\par }\r\n"));
        for (char c : rtf)
            QVERIFY(uchar(c) < 0x80);
    }

    void deviceRunsOutOfRoom()
    {
        FullDevice full(100);
        TRepRtfWriter w(full, A4Plus(), TRepRtfWriter::FontTable({QStringLiteral("Liberation Sans")}, {}));
        try {
            w.WriteHeader();
            QFAIL("no error");
        } catch (const ERepError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Não foi possível gravar o arquivo RTF: não há espaço livre no disco."));
        }
    }

    // The engine hands over empty lines too: they make no paragraph.
    void emptyLinesMakeNoParagraph()
    {
        const QString file = dir.filePath(QStringLiteral("vazio.rtf"));
        TRepRTFExportFilter filter(file);
        filter.Begin(2100, 3300, TRepFont());
        filter.NewPage();
        filter.TextOut(TRepFont(), QString(), taLeftJustify, 100, 200);
        filter.TextOut(TRepFont(), QStringLiteral("linha"), taLeftJustify, 100, 300);
        filter.EndPage();
        filter.End();
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray rtf = f.readAll();
        QCOMPARE(rtf.count("\\pard"), 1);
        QVERIFY(rtf.contains(" linha}"));
    }

    void cannotCreateTheFile()
    {
        Printout printout;
        const QString file = dir.filePath(QStringLiteral("missing/x.rtf"));
        TRepRTFExportFilter filter(file);
        QVERIFY_THROWS_EXCEPTION(ERepError, TRepGenerator::Of(printout.report.get())->ExportWithFilter(&filter));
        QVERIFY(!QFile::exists(file));
    }

    // A pass that does not finish leaves the earlier file as it was.
    void unfinishedPassKeepsTheFile()
    {
        const QString file = dir.filePath(QStringLiteral("kept.rtf"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("earlier");
        }
        const QStringList before = QDir(dir.path()).entryList(QDir::Files);
        {
            TRepRTFExportFilter filter(file);
            filter.Begin(2100, 3300, TRepFont());
            filter.NewPage();
            filter.TextOut(TRepFont(), QStringLiteral("novo"), taLeftJustify, 100, 100);
            filter.EndPage();
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("earlier"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), before);
    }

    void registration()
    {
        {
            TRepRTFFilter component;
            const auto filters = TRepExportFilterLibrary::Filters();
            const auto it = std::find_if(filters.begin(), filters.end(),
                                         [](const auto &e) { return e.Name == "Formato Word"; });
            QVERIFY(it != filters.end());
            QCOMPARE(it->Extension, QStringLiteral("RTF"));
            auto filter = it->Create(QStringLiteral("x.rtf"));
            QVERIFY(dynamic_cast<TRepRTFExportFilter *>(filter.get()));
            QCOMPARE(filter->Description(), QStringLiteral("RTF Export filter"));
        }
        for (const auto &e : TRepExportFilterLibrary::Filters())
            QVERIFY(e.Name != "Formato Word");
    }

    // LibreOffice laid the printout over two pages (the closing paragraph
    // kept the last line's space before it) and drew its texts up to 15 mm
    // above their places (each line's space subtracted the largest font of
    // the page, not the height of the line above), then still up to 2 mm
    // off: each line's first tab was written in the document's default
    // 12-point font, making the line as high as that; a small text beside a
    // large one sat on the large one's baseline; a large text close above a
    // small one pushed the next line down; tab stops sat a point right of
    // their places; and the letters took the face's widths where the page
    // prints them a little narrower. Now one page, and every word within
    // 1 mm of where the PDF export puts it, also on a page full of lines.
    void printoutDriftsInAWordProcessor_data()
    {
        QTest::addColumn<bool>("fullPage");
        QTest::addColumn<QString>("description");
        QTest::newRow("printout") << false << QStringLiteral("Troca de tela (garantia)");
        // Printed on one line running off the paper: the word processor
        // wrapped it and pushed the rest of the page onto a second one.
        QStringList lines;
        for (int line = 0; line < 8; ++line) {
            QStringList words;
            for (int i = 1; i <= 6; ++i)
                words << QStringLiteral("reparo%1").arg(line * 6 + i, 2, 10, QLatin1Char('0'));
            lines << words.join(QLatin1Char(' '));
        }
        QTest::newRow("long description") << false << lines.join(QLatin1Char('\n'));
        QTest::newRow("full page") << true << QString();
    }
    void printoutDriftsInAWordProcessor()
    {
        QFETCH(bool, fullPage);
        QFETCH(QString, description);
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        QTemporaryDir out;
        const QString rtf = out.filePath(QStringLiteral("lugar.rtf"));
        const QString pdf = out.filePath(QStringLiteral("lugar-direto.pdf"));
        const auto exportWith = [fullPage, description](TRepExportFilter &filter) {
            if (fullPage) {
                FullPage page;
                TRepGenerator::Of(&page.report)->ExportWithFilter(&filter);
            } else {
                Printout printout(description);
                TRepGenerator::Of(printout.report.get())->ExportWithFilter(&filter);
            }
        };
        {
            TRepRTFExportFilter filter(rtf);
            exportWith(filter);
        }
        {
            TRepPDFDocumentFilter filter(pdf);
            exportWith(filter);
        }
        QString why;
        const QString office = OfficePdf(rtf, out.path(), why);
        if (office.isEmpty())
            QSKIP(qPrintable(QStringLiteral("LibreOffice could not run here: ") + why));
        const ToolResult layout = Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), office, QStringLiteral("-")});
        QCOMPARE(layout.out.count("<page "), qsizetype(1));
        const QList<Word> printed = Words(pdf), opened = Words(office);
        QVERIFY(!printed.isEmpty());
        QVERIFY(!opened.isEmpty());
        const auto once = [](const QList<Word> &words, const QString &text) {
            const Word *found = nullptr;
            for (const Word &w : words)
                if (w.text == text) {
                    if (found)
                        return static_cast<const Word *>(nullptr);
                    found = &w;
                }
            return found;
        };
        const double mm = 72 / 25.4;
        int compared = 0;
        QStringList off, far;
        for (const Word &w : printed) {
            const Word *p = once(printed, w.text);
            const Word *o = once(opened, w.text);
            if (!p || !o)
                continue;
            ++compared;
            const double dy = o->box.center().y() - p->box.center().y();
            const double dx = o->box.left() - p->box.left();
            const QString where = QStringLiteral("%1 (%2 mm, %3 mm)").arg(w.text).arg(dx / mm, 0, 'f', 1).arg(dy / mm, 0, 'f', 1);
            if (std::abs(dy) > mm || std::abs(dx) > mm)
                off << where;
            if (std::abs(dy) > 2 * mm || std::abs(dx) > 2 * mm)
                far << where;
        }
        QVERIFY2(compared >= 10, qPrintable(QString::number(compared)));
        QVERIFY2(far.isEmpty(), qPrintable(far.join(QStringLiteral("; "))));
        QVERIFY2(off.isEmpty(), qPrintable(off.join(QStringLiteral("; "))));
    }

    // A report of 5 pages opened in the word processor took 10: a text at
    // the left margin got the tab stop "\tx0", which the word processor
    // skips (every column one stop to the right, "Total" wrapped onto a
    // line of its own), and the page break came after the closing
    // paragraph, so that each next page started with an empty line and its
    // footer fell onto a page of its own. Now as many pages as the PDF
    // export, each with its own footer, the first column at the margin.
    void multiPageReportDoublesItsPages_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("three pages") << 140;
        QTest::newRow("five pages") << 240;
    }
    void multiPageReportDoublesItsPages()
    {
        QFETCH(int, rows);
        QTemporaryDir out;
        const QString rtf = out.filePath(QStringLiteral("lista.rtf"));
        const QString pdf = out.filePath(QStringLiteral("lista-direto.pdf"));
        int pages = 0;
        {
            ListPages list(rows);
            RecordingFilter rec;
            TRepGenerator::Of(&list.report)->ExportWithFilter(&rec);
            pages = rec.pages;
            TRepRTFExportFilter filter(rtf);
            TRepGenerator::Of(&list.report)->ExportWithFilter(&filter);
            TRepPDFDocumentFilter direct(pdf);
            TRepGenerator::Of(&list.report)->ExportWithFilter(&direct);
        }
        QVERIFY(pages >= 3);
        QFile f(rtf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY2(!text.contains("\\tx0\\") && !text.contains("\\tx0\r\n"), "a tab stop at the margin");
        QCOMPARE(text.count("\\page"), qsizetype(pages - 1));

        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        QString why;
        const QString office = OfficePdf(rtf, out.path(), why);
        if (office.isEmpty())
            QSKIP(qPrintable(QStringLiteral("LibreOffice could not run here: ") + why));
        const QList<Word> opened = Words(office), printed = Words(pdf);
        int officePages = 0;
        for (const Word &w : opened)
            officePages = std::max(officePages, w.page);
        QCOMPARE(officePages, pages);
        // Each page's footer on its page; the first column at the margin.
        for (int page = 1; page <= pages; ++page) {
            QStringList words;
            for (const Word &w : opened)
                if (w.page == page)
                    words << w.text;
            const QString all = words.join(QLatin1Char(' '));
            QVERIFY2(all.contains(QStringLiteral("Página %1 de %2").arg(page).arg(pages)),
                     qPrintable(QString::number(page) + ": " + all.right(300)));
        }
        const auto leftOf = [](const QList<Word> &words, const QString &text) {
            for (const Word &w : words)
                if (w.text == text)
                    return w.box.left();
            return -1.0;
        };
        for (const QString &word : {QStringLiteral("Número"), QStringLiteral("000001"), QStringLiteral("Oficina")}) {
            const double p = leftOf(printed, word), o = leftOf(opened, word);
            QVERIFY2(p >= 0 && o >= 0, qPrintable(word));
            QVERIFY2(std::abs(p - o) < 72 / 25.4, qPrintable(QStringLiteral("%1: %2 pt, %3 pt").arg(word).arg(o).arg(p)));
        }
    }

    // A word processor opens the printout's RTF with its letters.
    void wordProcessorReadsThePrintout()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        Printout printout;
        const QString file = dir.filePath(QStringLiteral("lido.rtf"));
        TRepRTFExportFilter filter(file);
        TRepGenerator::Of(printout.report.get())->ExportWithFilter(&filter);
        // Its own throwaway home and profile.
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        const ToolResult r = Run(QStringLiteral("soffice"),
                                 {QStringLiteral("-env:UserInstallation=file://") + home.filePath(QStringLiteral("profile")),
                                  QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                                  QStringLiteral("--outdir"), dir.path(), file},
                                 180000, env);
        const QString pdf = dir.filePath(QStringLiteral("lido.pdf"));
        if (!r.started || r.exitCode != 0 || !QFile::exists(pdf))
            QSKIP(qPrintable(QStringLiteral("LibreOffice could not run here: ") + QString::fromUtf8(r.err)));
        const QString text = PlainText(pdf);
        for (const char *t : {"Oficina do Zé", "Nº 1 em serviço", "Endereço:", "Descrição:", "Solução:",
                              "Rua São João, 12", "R$ 1.234,50", "Márcia"})
            QVERIFY2(text.contains(QString::fromUtf8(t)), qPrintable(QString::fromUtf8(t) + " in " + text));
    }
};

QTEST_MAIN(TstTRepRtfExport)
#include "tst_treprtfexport.moc"
