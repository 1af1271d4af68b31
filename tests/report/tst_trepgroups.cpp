// Group header and footer bands, totals (TRepDBCalc) and the page count
// text (TRepSysData): the order bands print in, exact sums, "n of m" on
// every page of a preview and of an export, and their stored layout form.
#include "report/generate/trepgenerator.h"
#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepdbcalc.h"
#include "report/model/trepdbtext.h"
#include "report/model/treplayout.h"
#include "report/model/trepreport.h"
#include "report/model/trepsysdata.h"
#include "report/page/trepmetafile.h"
#include "report/print/trepprinter.h"
#include "report/store/treppagelist.h"
#include "tests/support/recordingfilter.h"
#include "tests/support/trepmemorydataset.h"

#include <QtTest>

namespace {

// A report over GRUPO, SUB and VALOR: one or two group levels, a detail,
// a summary, each footer with the count and sum of its group.
struct GroupReport
{
    TRepReport report;
    TRepMemoryDataSet data{QStringLiteral("Data")};
    TRepBand *outer = nullptr, *outerFooter = nullptr, *inner = nullptr, *innerFooter = nullptr;
    TRepBand *detail = nullptr, *summary = nullptr;
    TRepDBCalc *outerCount = nullptr, *outerSum = nullptr, *total = nullptr;
    int calcs = 0;

    TRepDBCalc *Calc(TRepBand *band, TRepDBCalc::Kind kind, const QString &reset)
    {
        auto *c = new TRepDBCalc;
        c->setObjectName(QStringLiteral("Calc%1").arg(++calcs));
        band->InsertElement(c);
        c->Size().SetValues({40, 0, 0, 400});
        c->DataSet = &data;
        c->SetDataField(kind == TRepDBCalc::Sum ? QStringLiteral("VALOR") : QString());
        c->Calc = kind;
        c->ResetGroup = reset;
        return c;
    }

    explicit GroupReport(bool twoLevels, const QString &groupField = QStringLiteral("GRUPO"))
    {
        report.ShowProgress = false;
        data.AddField(QStringLiteral("GRUPO"), TRepFieldKind::String);
        data.AddField(QStringLiteral("SUB"), TRepFieldKind::String);
        data.AddField(QStringLiteral("VALOR"), TRepFieldKind::Currency);
        report.DataSet = &data;
        outer = report.AddBand(rbGroupHeader, QStringLiteral("H1"));
        outer->GroupField = groupField;
        outer->GroupFooter = QStringLiteral("F1");
        if (twoLevels) {
            inner = report.AddBand(rbGroupHeader, QStringLiteral("H2"));
            inner->GroupField = QStringLiteral("SUB");
            inner->GroupFooter = QStringLiteral("F2");
        }
        detail = report.AddBand(rbDetail, QStringLiteral("D"));
        if (twoLevels)
            innerFooter = report.AddBand(rbGroupFooter, QStringLiteral("F2"));
        outerFooter = report.AddBand(rbGroupFooter, QStringLiteral("F1"));
        summary = report.AddBand(rbSummary, QStringLiteral("S"));
        for (TRepBand *b : {outer, inner, detail, innerFooter, outerFooter, summary})
            if (b)
                b->Size().SetNativeValue(TRepBandSize::HeightIndex, 50);
        outerCount = Calc(outerFooter, TRepDBCalc::Count, QStringLiteral("H1"));
        outerSum = Calc(outerFooter, TRepDBCalc::Sum, QStringLiteral("H1"));
        total = Calc(summary, TRepDBCalc::Sum, QString());
    }
};

QStringList BandNames(const RecordingFilter &rec)
{
    QStringList names;
    for (const RecordingFilter::Band &b : rec.bands)
        names << b.name;
    return names;
}

} // namespace

class TstTRepGroups : public QObject
{
    Q_OBJECT
private slots:
    void bandOrder_data();
    void bandOrder();
    void groupTotals();
    void exactSums_data();
    void exactSums();
    void pageOfPagesOnEveryPage();
    void layoutKeepsGroupsTotalsAndPageText();
    void groupContinuedOnNextPageHasNoHeading_data();
    void groupContinuedOnNextPageHasNoHeading();
    void layoutRefusesBadGroupsAndTotals_data();
    void layoutRefusesBadGroupsAndTotals();
};

void TstTRepGroups::bandOrder_data()
{
    QTest::addColumn<bool>("twoLevels");
    QTest::addColumn<QString>("groupField");
    QTest::addColumn<QStringList>("rows");   // GRUPO and SUB, one letter each
    QTest::addColumn<QString>("bands");

    QTest::newRow("três grupos") << false << "GRUPO" << QStringList{"A1", "A1", "B1", "C1"}
                                 << "H1 D D F1 H1 D F1 H1 D F1 S";
    QTest::newRow("um só grupo") << false << "GRUPO" << QStringList{"A1", "A2", "A3"} << "H1 D D D F1 S";
    QTest::newRow("um registro") << false << "GRUPO" << QStringList{"A1"} << "H1 D F1 S";
    // The same key again later is a new group: the rows are not sorted here.
    QTest::newRow("chave que volta") << false << "GRUPO" << QStringList{"A1", "B1", "A1"}
                                     << "H1 D F1 H1 D F1 H1 D F1 S";
    QTest::newRow("sem campo de grupo") << false << "" << QStringList{"A1", "B1"} << "H1 D D F1 S";
    QTest::newRow("campo que não existe") << false << "NADA" << QStringList{"A1", "B1"} << "H1 D D F1 S";
    // An outer change closes and reopens the inner group too.
    QTest::newRow("dois níveis") << true << "GRUPO" << QStringList{"X1", "X1", "X2", "Y2"}
                                 << "H1 H2 D D F2 H2 D F2 F1 H1 H2 D F2 F1 S";
}

void TstTRepGroups::bandOrder()
{
    QFETCH(bool, twoLevels);
    QFETCH(QString, groupField);
    QFETCH(QStringList, rows);
    QFETCH(QString, bands);
    GroupReport g(twoLevels, groupField);
    for (const QString &row : rows)
        g.data.AppendRow({row.left(1), row.mid(1, 1), 1.0});
    RecordingFilter rec;
    TRepGenerator::Of(&g.report)->ExportWithFilter(&rec);
    QCOMPARE(BandNames(rec).join(QLatin1Char(' ')), bands);
}

void TstTRepGroups::groupTotals()
{
    GroupReport g(false);
    const QList<QPair<QString, double>> rows{{"A", 10.5}, {"A", 0.25}, {"B", 3}, {"C", -1.75}, {"C", 2}};
    for (const auto &[key, value] : rows)
        g.data.AppendRow({key, QString(), value});
    QStringList footers;
    g.outerFooter->AfterPrint = [&](TRepCustomBand *, bool) {
        footers << g.outerCount->PrintCaption + QLatin1Char('/') + g.outerSum->PrintCaption;
    };
    QString total;
    g.summary->AfterPrint = [&](TRepCustomBand *, bool) { total = g.total->PrintCaption; };
    TRepPrinter store(&g.report);
    TRepGenerator *gen = TRepGenerator::Of(&g.report);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    QCOMPARE(footers, QStringList({"2/10.75", "1/3", "2/0.25"}));
    QCOMPARE(total, QStringLiteral("14"));
    // What the page shows is what was printed.
    const QStringList texts = store.PageList()->ReadPage(1).TextRecords();
    for (const char *t : {"2", "10.75", "1", "3", "0.25", "14"})
        QVERIFY2(texts.contains(QString::fromUtf8(t)), t);
}

void TstTRepGroups::exactSums_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("printed");
    QVariantList tenths;
    for (int i = 0; i < 10; ++i)
        tenths << 0.1;
    QTest::newRow("dez décimos") << tenths << "" << "1";
    QTest::newRow("0,1 + 0,2") << QVariantList{0.1, 0.2} << "" << "0.3";
    QTest::newRow("some a zero") << QVariantList{0.05, -0.05} << "" << "0";
    QTest::newRow("negativo") << QVariantList{-10.5, 0.25} << "" << "-10.25";
    QTest::newRow("quarta casa arredondada") << QVariantList{1.00005, 1.00004} << "" << "2.0001";
    QTest::newRow("vazio conta zero") << QVariantList{QVariant(), 2.5} << "" << "2.5";
    QTest::newRow("inteiros") << QVariantList{3, 4} << "" << "7";
    QTest::newRow("texto decimal") << QVariantList{QStringLiteral("0.1"), QStringLiteral("12.3456")} << ""
                                   << "12.4456";
    QTest::newRow("com máscara") << QVariantList{1234.5, 0.004} << "#,##0.00" << "1,234.50";
    QTest::newRow("não é número") << QVariantList{1.0, QStringLiteral("abc")} << "" << "#####";
    QTest::newRow("fora do alcance") << QVariantList{8.0e14, 8.0e14, 1e300} << "" << "#####";
}

void TstTRepGroups::exactSums()
{
    QFETCH(QVariantList, values);
    QFETCH(QString, mask);
    QFETCH(QString, printed);
    GroupReport g(false);
    g.total->Mask = mask;
    for (const QVariant &v : values)
        g.data.AppendRow({QStringLiteral("A"), QString(), v});
    QString total;
    g.summary->AfterPrint = [&](TRepCustomBand *, bool) { total = g.total->PrintCaption; };
    RecordingFilter rec;
    TRepGenerator::Of(&g.report)->ExportWithFilter(&rec);
    QCOMPARE(total, printed);
    QVERIFY(rec.TextsOn(rec.pages).contains(printed));
}

void TstTRepGroups::pageOfPagesOnEveryPage()
{
    TRepReport report;
    report.ShowProgress = false;
    TRepMemoryDataSet data;
    data.AddField(QStringLiteral("N"), TRepFieldKind::Integer);
    data.AddField(QStringLiteral("TEXTO"), TRepFieldKind::String);
    // Every seventh row's text takes several lines: the detail grows, and
    // the pages counted must break where the drawn ones do.
    const QString longText = QStringLiteral("uma observação comprida que não cabe numa linha só ").repeated(6);
    for (int i = 0; i < 300; ++i)
        data.AppendRow({i, i % 7 ? QStringLiteral("curta") : longText});
    report.DataSet = &data;
    TRepBand *detail = report.AddBand(rbDetail);
    detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 60);
    auto *text = new TRepDBText;
    detail->InsertElement(text);
    text->Size().SetValues({45, 0, 5, 600});
    text->DataSet = &data;
    text->SetDataField(QStringLiteral("TEXTO"));
    text->AutoSize = false;
    text->AutoStretch = true;
    text->WordWrap = true;
    TRepBand *footer = report.AddBand(rbPageFooter);
    footer->Size().SetNativeValue(TRepBandSize::HeightIndex, 60);
    auto *page = new TRepSysData;
    footer->InsertElement(page);
    page->Size().SetValues({45, 0, 5, 800});
    page->SetText(QStringLiteral("Página {PAGE} de {PAGES}"));
    int passes = 0;
    report.BeforePrint = [&passes](TRepReport *, bool &) { ++passes; };

    TRepPrinter store(&report);
    TRepGenerator *gen = TRepGenerator::Of(&report);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    const int pages = store.PageCount();
    QVERIFY(pages >= 3);
    QCOMPARE(passes, 2);   // counting, then drawing
    for (int n = 1; n <= pages; ++n)
        QVERIFY2(store.PageList()->ReadPage(n).TextRecords().contains(QStringLiteral("Página %1 de %2").arg(n).arg(pages)),
                 qPrintable(store.PageList()->ReadPage(n).TextRecords().join(" | ")));
    // The design text is back after the pass.
    QCOMPARE(page->Caption(), QStringLiteral("Página {PAGE} de {PAGES}"));

    RecordingFilter rec;
    gen->ExportWithFilter(&rec);
    QCOMPARE(rec.pages, pages);
    for (int n = 1; n <= pages; ++n)
        QVERIFY(rec.TextsOn(n).contains(QStringLiteral("Página %1 de %2").arg(n).arg(pages)));

    // Without "{PAGES}" one pass is enough.
    page->SetText(QStringLiteral("Página {PAGE}"));
    passes = 0;
    RecordingFilter once;
    gen->ExportWithFilter(&once);
    QCOMPARE(passes, 1);
    QVERIFY(once.TextsOn(2).contains(QStringLiteral("Página 2")));
}

void TstTRepGroups::layoutKeepsGroupsTotalsAndPageText()
{
    GroupReport g(true);
    g.outerSum->Mask = QStringLiteral("#,##0.00");
    g.inner->ReprintOnNewPage = true;
    auto *page = new TRepSysData;
    page->setObjectName(QStringLiteral("Pagina"));
    g.summary->InsertElement(page);
    page->SetText(QStringLiteral("{PAGE}/{PAGES}"));
    const QByteArray json = TRepLayout::Save(g.report);
    std::unique_ptr<TRepReport> back(TRepLayout::Load(json));
    auto *outer = qobject_cast<TRepBand *>(back->FindBandByName(QStringLiteral("H1")));
    auto *inner = qobject_cast<TRepBand *>(back->FindBandByName(QStringLiteral("H2")));
    QVERIFY(outer && inner);
    QCOMPARE(outer->BandType(), rbGroupHeader);
    QCOMPARE(outer->GroupField, QStringLiteral("GRUPO"));
    QCOMPARE(outer->GroupFooter, QStringLiteral("F1"));
    QCOMPARE(inner->GroupField, QStringLiteral("SUB"));
    QVERIFY(inner->ReprintOnNewPage);
    QVERIFY(!outer->ReprintOnNewPage);
    QCOMPARE(back->FindBandByName(QStringLiteral("F2"))->BandType(), rbGroupFooter);
    auto *sum = qobject_cast<TRepDBCalc *>(back->FindElement(g.outerSum->Name()));
    auto *count = qobject_cast<TRepDBCalc *>(back->FindElement(g.outerCount->Name()));
    QVERIFY(sum && count);
    QCOMPARE(sum->Calc, TRepDBCalc::Sum);
    QCOMPARE(sum->DataField(), QStringLiteral("VALOR"));
    QCOMPARE(sum->Mask, QStringLiteral("#,##0.00"));
    QCOMPARE(sum->ResetGroup, QStringLiteral("H1"));
    QCOMPARE(count->Calc, TRepDBCalc::Count);
    auto *text = qobject_cast<TRepSysData *>(back->FindElement(page->Name()));
    QVERIFY(text);
    QCOMPARE(text->Text(), QStringLiteral("{PAGE}/{PAGES}"));
    QCOMPARE(TRepLayout::Save(*back), json);
}

void TstTRepGroups::layoutRefusesBadGroupsAndTotals_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("error");
    QTest::newRow("rodapé que não existe") << "\"GroupFooter\": \"F1\"" << "\"GroupFooter\": \"F9\""
                                           << "GroupFooter F9 is not a group footer band of the report";
    QTest::newRow("rodapé que é detalhe") << "\"GroupFooter\": \"F1\"" << "\"GroupFooter\": \"D\""
                                          << "GroupFooter D is not a group footer band of the report";
    QTest::newRow("cálculo desconhecido") << "\"Calc\": \"Count\"" << "\"Calc\": \"Avg\""
                                          << "Calc must be Sum or Count";
    QTest::newRow("texto que não é texto") << "\"Text\": \"{PAGE}\"" << "\"Text\": 5" << "Text must be a text";
}

void TstTRepGroups::layoutRefusesBadGroupsAndTotals()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, error);
    GroupReport g(false);
    auto *page = new TRepSysData;
    page->setObjectName(QStringLiteral("Pagina"));
    g.summary->InsertElement(page);
    page->SetText(QStringLiteral("{PAGE}"));
    QString json = QString::fromUtf8(TRepLayout::Save(g.report));
    QVERIFY2(json.contains(from), qPrintable(json));
    json.replace(from, to);
    try {
        std::unique_ptr<TRepReport> back(TRepLayout::Load(json.toUtf8()));
        QFAIL("a damaged layout was loaded");
    } catch (const ERepError &e) {
        QVERIFY2(e.Message().contains(error), qPrintable(e.Message()));
    }
}

// A group whose rows went on to the next page had no heading there: the
// header asked to is printed again at the top of each page its group goes
// on to, after the page header; a page that starts a new group has it once.
void TstTRepGroups::groupContinuedOnNextPageHasNoHeading_data()
{
    QTest::addColumn<bool>("reprint");
    QTest::addColumn<int>("lastRowsOfA");
    QTest::newRow("printed again") << true << 0;
    QTest::newRow("not asked to") << false << 0;
    // Group A ends on the last line of its page: B starts the next page.
    QTest::newRow("next group starts the page") << true << -1;
}

void TstTRepGroups::groupContinuedOnNextPageHasNoHeading()
{
    QFETCH(bool, reprint);
    QFETCH(int, lastRowsOfA);
    GroupReport g(false);
    g.outer->ReprintOnNewPage = reprint;
    TRepBand *header = g.report.AddBand(rbPageHeader, QStringLiteral("P"));
    header->Size().SetNativeValue(TRepBandSize::HeightIndex, 100);
    // Rows of 5 mm on pages of 297 mm less 10 mm margins and the header.
    const auto rowsFor = [&](int aRows) {
        g.data.Clear();
        for (int i = 0; i < aRows; ++i)
            g.data.AppendRow({QStringLiteral("A"), QString(), 1.0});
        for (int i = 0; i < 130; ++i)
            g.data.AppendRow({QStringLiteral("B"), QString(), 1.0});
    };
    int aRows = 70;
    if (lastRowsOfA < 0) {
        // As many rows of A as fill the first page with its header and footer.
        rowsFor(1);
        RecordingFilter probe;
        TRepGenerator::Of(&g.report)->ExportWithFilter(&probe);
        int onFirst = 0;
        for (const RecordingFilter::Band &b : probe.bands)
            onFirst += b.page == 1 && b.name == QLatin1String("D");
        // The first page held H1, D, F1, H1 and B's rows: as many rows of
        // A and its footer fill it, so B's header falls to the next page.
        aRows = onFirst + 1;
    }
    rowsFor(aRows);
    RecordingFilter rec;
    TRepGenerator::Of(&g.report)->ExportWithFilter(&rec);
    QVERIFY(rec.pages >= 3);
    for (int page = 1; page <= rec.pages; ++page) {
        QStringList names;
        for (const RecordingFilter::Band &b : rec.bands)
            if (b.page == page && b.name != QLatin1String("S"))
                names << b.name;
        const QString list = names.join(QLatin1Char(' '));
        QVERIFY2(names.size() >= 3, qPrintable(list));
        QCOMPARE(names.at(0), QStringLiteral("P"));
        if (page == 1 || reprint) {
            QVERIFY2(names.at(1) == QLatin1String("H1"), qPrintable(QString::number(page) + ": " + list));
            QVERIFY2(names.count(QStringLiteral("H1")) <= 2 && !list.contains(QLatin1String("H1 H1")),
                     qPrintable(QString::number(page) + ": " + list));
        } else {
            QVERIFY2(names.at(1) == QLatin1String("D"), qPrintable(QString::number(page) + ": " + list));
        }
    }
}

QTEST_MAIN(TstTRepGroups)
#include "tst_trepgroups.moc"
