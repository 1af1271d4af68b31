#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepchildband.h"
#include "report/model/trepdbtext.h"
#include "report/model/trephrule.h"
#include "report/model/treplabel.h"
#include "report/model/trepreport.h"
#include "report/model/trepshape.h"

#include <QLocale>
#include <QtTest>

class TstTRepReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void defaultsOfNewReport();
    void zoomLimits_data();
    void zoomLimits();
    void previewSizeNotPositiveReadsAs500();

    void bandSwitchesCreateAndFree();
    void bandLookupTakesFirstOfType();
    void bandHeightInUnits();
    void bandWidthsByRole();
    void columnWidthInWholePixels();
    void bandsStackFromTopMargin();
    void childBandsAndHasChild();
    void circularLinkRefused();
    void marginSanityRelaysBands();

    void functionList();
    void functionConstants();
    void functionListPersistedFormChecked();

    void elementDefaults();
    void elementUnitsFollowReport();
    void charactersFollowReportFont();
    void alignToBand_data();
    void alignToBand();
    void fontInheritance();
    void dbTextCaptionFollowsField();
    void bindDataSetByName();
    void removingBandFreesElementsAndLinks();
};

void TstTRepReport::defaultsOfNewReport()
{
    TRepReport r;
    QCOMPARE(r.Units(), TRepUnit::MM);
    QCOMPARE(r.Page().PaperSize(), TRepPaperSize::A4);
    QCOMPARE(r.Options, TRepReportOptions(TRepReportOption::FirstPageHeader | TRepReportOption::LastPageFooter));
    QVERIFY(r.PrintIfEmpty);
    QVERIFY(r.ReportTitle.isEmpty());
    QCOMPARE(r.Font().Name, QStringLiteral("Arial"));
    QCOMPARE(r.Font().Size, 10);
    QVERIFY(!r.Frame.AnySide());
    QVERIFY(r.ShowProgress);
    QVERIFY(r.SnapToGrid);
    QCOMPARE(r.Zoom(), 100);
    QCOMPARE(r.PrevInitialZoom, rzZoomToFit);
    QVERIFY(r.PrevShowThumbs && r.PrevShowSearch);
    QCOMPARE(r.PrinterSettings.Copies, 1);
    QCOMPARE(r.PrinterSettings.OutputBin, TRepBin::Auto);
    QCOMPARE(r.PrinterSettings.MemoryLimit, 250000);
    QCOMPARE(r.PrinterSettings.PrinterIndex, -1);
    QCOMPARE(r.BandList().size(), 0);
    QCOMPARE(r.Functions().Strings(), QStringList({"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE"}));
    QCOMPARE(r.Functions().Data(), QStringList({"0", "0", "''"}));

    QCOMPARE(TRepReportPrinterSettings::BinCode(TRepBin::First), 1);
    QCOMPARE(TRepReportPrinterSettings::BinCode(TRepBin::Upper), 1);
    QCOMPARE(TRepReportPrinterSettings::BinCode(TRepBin::Auto), 7);
    QCOMPARE(TRepReportPrinterSettings::BinCode(TRepBin::LargeCapacity), 11);
    QCOMPARE(TRepReportPrinterSettings::BinCode(TRepBin::Cassette), 14);
    QCOMPARE(TRepReportPrinterSettings::BinCode(TRepBin::Last), 14);
    QCOMPARE(TRepReportPrinterSettings::BinFromCode(14), std::optional(TRepBin::Cassette));
    QCOMPARE(TRepReportPrinterSettings::BinFromCode(1), std::optional(TRepBin::First));
    QVERIFY(!TRepReportPrinterSettings::BinFromCode(12).has_value());
}

void TstTRepReport::zoomLimits_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("expected");
    QTest::newRow("0 ignored") << 0 << 100;
    QTest::newRow("301 ignored") << 301 << 100;
    QTest::newRow("-5 ignored") << -5 << 100;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("300") << 300 << 300;
    QTest::newRow("150") << 150 << 150;
}

void TstTRepReport::zoomLimits()
{
    QFETCH(int, zoom);
    TRepReport r;
    r.SetZoom(zoom);
    QTEST(r.Zoom(), "expected");
}

void TstTRepReport::previewSizeNotPositiveReadsAs500()
{
    TRepReport r;
    r.SetPreviewWidth(900);
    r.SetPreviewHeight(0);
    QCOMPARE(r.PreviewWidth(), 900);
    QCOMPARE(r.PreviewHeight(), 500);
    r.SetPreviewWidth(-3);
    QCOMPARE(r.PreviewWidth(), 500);
}

void TstTRepReport::bandSwitchesCreateAndFree()
{
    TRepReport r;
    QVERIFY(!r.Bands().HasTitle());
    r.Bands().SetHasTitle(true);
    r.Bands().SetHasDetail(true);
    r.Bands().SetHasTitle(true);    // already there: no second one
    QCOMPARE(r.BandList().size(), 2);
    QVERIFY(r.Bands().HasTitle());
    QVERIFY(r.Bands().HasDetail());
    QVERIFY(!r.Bands().HasSummary());
    QPointer<TRepCustomBand> title = r.TitleBand();
    r.Bands().SetHasTitle(false);
    QVERIFY(title.isNull());
    QVERIFY(!r.Bands().HasTitle());
    QCOMPARE(r.BandList().size(), 1);
}

void TstTRepReport::bandLookupTakesFirstOfType()
{
    TRepReport r;
    TRepBand *d1 = r.AddBand(rbDetail, "D1");
    r.AddBand(rbDetail, "D2");
    TRepBand *f = r.AddBand(rbPageFooter);
    QCOMPARE(r.DetailBand(), d1);
    QCOMPARE(r.PageFooterBand(), f);
    QCOMPARE(r.SummaryBand(), nullptr);
    QCOMPARE(r.FindBandByName("D2")->BandType(), rbDetail);
    QVERIFY_THROWS_EXCEPTION(ERepError, r.AddBand(rbTitle, "D1"));
    QVERIFY_THROWS_EXCEPTION(ERepError, r.AddBand(rbChild));
}

void TstTRepReport::bandHeightInUnits()
{
    TRepReport r;
    TRepBand *b = r.AddBand(rbTitle);
    b->Size().SetValues({283.1041666666667, 1899.708333333333});
    QCOMPARE(qRound(b->Height() * 100), 2831);
    r.SetUnits(TRepUnit::Pixels);
    QVERIFY(qAbs(b->Height() - 107) < 1e-9);
    b->SetHeight(50);
    QVERIFY(qAbs(b->HeightNative() - 50 * 254.0 / 96) < 1e-9);
}

void TstTRepReport::bandWidthsByRole()
{
    TRepReport r;       // A4, 10 mm margins: 190 mm printable = 718 whole pixels
    r.Page().SetColumns(2);
    r.Page().SetColumnSpace(5);
    const double printable = 718 * 254.0 / 96;
    QVERIFY(qAbs(r.PrintableWidthNative() - 1899.708333333333) < 1e-9);
    // (718 - 18) div 2 = 350 pixels; 5 mm is 18.9 pixels, 18 whole.
    const double column = 350 * 254.0 / 96;

    const QList<TRepBandType> wide{rbTitle, rbPageHeader, rbPageFooter, rbSummary, rbOverlay};
    const QList<TRepBandType> narrow{rbDetail, rbColumnHeader, rbGroupHeader, rbGroupFooter, rbSubDetail};
    for (TRepBandType t : wide) {
        TRepBand *b = r.AddBand(t);
        QVERIFY2(qAbs(b->WidthNative() - printable) < 1e-9, qPrintable(TRepEnumName(t)));
        // A child takes the rule of its first non-child ancestor.
        TRepChildBand *c = r.AddChildBand(b);
        TRepChildBand *gc = r.AddChildBand(c);
        QVERIFY(qAbs(gc->WidthNative() - printable) < 1e-9);
    }
    for (TRepBandType t : narrow) {
        TRepBand *b = r.AddBand(t);
        QVERIFY2(qAbs(b->WidthNative() - column) < 1e-9, qPrintable(TRepEnumName(t)));
        QVERIFY(qAbs(r.AddChildBand(b)->WidthNative() - column) < 1e-9);
    }
    // Changing the page re-lays the bands.
    r.Page().SetColumns(1);
    QVERIFY(qAbs(r.DetailBand()->WidthNative() - printable) < 1e-9);
    r.Page().SetPaperSize(TRepPaperSize::A4Plus);
    r.Page().SetOrientation(poLandscape);  // 330 - 20 mm = 1171.65 pixels
    QVERIFY(qAbs(r.TitleBand()->WidthNative() - 1171 * 254.0 / 96) < 1e-9);
}

void TstTRepReport::columnWidthInWholePixels()
{
    TRepReport r;
    r.Page().SetPaperSize(TRepPaperSize::Custom);
    r.Page().SetUnits(TRepUnit::Native);
    // 254 mm printable = exactly 960 pixels; 3 columns, no space.
    r.Page().SetWidth(2540 + 200);
    r.Page().SetColumns(3);
    QVERIFY(qAbs(r.ColumnWidthNative() - 320 * 254.0 / 96) < 1e-9);
    // Margins wider than the page: no negative width.
    r.Page().SetLeftMargin(3000);
    QCOMPARE(r.ColumnWidthNative(), 0.0);
    QCOMPARE(r.PrintableWidthNative(), 0.0);
}

void TstTRepReport::bandsStackFromTopMargin()
{
    TRepReport r;
    TRepBand *a = r.AddBand(rbTitle);
    TRepBand *b = r.AddBand(rbDetail);
    a->Size().SetNativeValue(TRepBandSize::HeightIndex, 283.1);
    QCOMPARE(a->DesignTop, 100.0);
    QCOMPARE(a->DesignLeft, 100.0);
    QVERIFY(qAbs(b->DesignTop - 383.1) < 1e-9);
    r.Page().SetTopMargin(20);
    QCOMPARE(a->DesignTop, 200.0);
}

void TstTRepReport::childBandsAndHasChild()
{
    TRepReport r;
    TRepBand *title = r.AddBand(rbTitle, "T");
    TRepBand *detail = r.AddBand(rbDetail, "D");
    QVERIFY(!title->HasChild());
    title->SetHasChild(true);
    TRepChildBand *c = title->ChildBand();
    QVERIFY(c);
    QCOMPARE(c->BandType(), rbChild);
    QCOMPARE(c->ParentBand(), title);
    QCOMPARE(r.BandList(), QList<TRepCustomBand *>({title, c, detail}));
    // A grandchild goes after the chain.
    c->SetHasChild(true);
    TRepChildBand *gc = c->ChildBand();
    QCOMPARE(r.BandList(), QList<TRepCustomBand *>({title, c, gc, detail}));
    QCOMPARE(gc->RootBand(), title);
    // Freeing the child hands the grandchild to the band.
    QPointer<TRepChildBand> watch = c;
    title->SetHasChild(false);
    QVERIFY(watch.isNull());
    QCOMPARE(title->ChildBand(), gc);
    QCOMPARE(gc->ParentBand(), title);
    QCOMPARE(r.BandList(), QList<TRepCustomBand *>({title, gc, detail}));
    // A band cannot become its own ancestor.
    TRepChildBand *other = r.AddChildBand(detail);
    QVERIFY_THROWS_EXCEPTION(ERepError, other->SetParentBand(other));
    // A detached band cannot make a child.
    TRepBand loose(rbDetail);
    QVERIFY_THROWS_EXCEPTION(ERepError, loose.SetHasChild(true));
}

void TstTRepReport::circularLinkRefused()
{
    TRepReport r;
    TRepBand *a = r.AddBand(rbDetail);
    TRepBand *b = r.AddBand(rbDetail);
    TRepBand *c = r.AddBand(rbDetail);
    a->SetLinkBand(b);
    b->SetLinkBand(c);
    try {
        c->SetLinkBand(a);
        QFAIL("a loop of links was accepted");
    } catch (const ERepError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Circular linking not allowed"));
    }
    QVERIFY_THROWS_EXCEPTION(ERepError, a->SetLinkBand(a));
    QCOMPARE(c->LinkBand(), nullptr);
    c->SetLinkBand(nullptr);
    r.RemoveBand(b);        // the link to a freed band goes away
    QCOMPARE(a->LinkBand(), nullptr);
}

void TstTRepReport::marginSanityRelaysBands()
{
    TRepReport r;
    TRepBand *t = r.AddBand(rbTitle);
    r.Page().SetLeftMargin(120);
    r.Page().SetRightMargin(100);
    QCOMPARE(t->WidthNative(), 0.0);
    QVERIFY(r.CheckMargins());
    QCOMPARE(r.Page().LeftMargin(), 0.0);
    QCOMPARE(r.Page().RightMargin(), 0.0);
    QCOMPARE(qRound(r.Page().TopMargin()), 10);
    QVERIFY(qAbs(t->WidthNative() - 793 * 254.0 / 96) < 1e-9);   // 210 mm = 793.7 pixels
    QVERIFY(!r.CheckMargins());
}

void TstTRepReport::functionList()
{
    TRepEvEnvironment f;
    QVERIFY(f.AddFunction("total", "SUM(X)"));
    QVERIFY(!f.AddFunction("TOTAL", "other"));      // name already there
    QVERIFY(!f.AddFunction("  ", "x"));
    QCOMPARE(f.Count(), 4);
    QCOMPARE(f.IndexOf("Total"), 3);
    QCOMPARE(f.At(3).Name, QStringLiteral("TOTAL"));
    QCOMPARE(f.Expression("total"), QStringLiteral("SUM(X)"));
    try {
        f.GetConstant("NOPE");
        QFAIL("an unknown function was found");
    } catch (const ERepError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Unknown function : NOPE"));
    }
}

void TstTRepReport::functionConstants()
{
    TRepEvEnvironment f;
    f.Prepare("Ordem de Serviço");
    QVERIFY(f.At(f.IndexOf("PAGENUMBER")).Settable);
    QCOMPARE(f.GetConstant("REPORTTITLE").toString(), QStringLiteral("Ordem de Serviço"));
    f.SetIntegerConstant("PAGENUMBER", 3);
    f.SetIntegerConstant("COLUMNNUMBER", 2);
    QCOMPARE(f.GetConstant("pagenumber").toInt(), 3);
    QCOMPARE(f.GetConstant("COLUMNNUMBER").toInt(), 2);
    QVERIFY_THROWS_EXCEPTION(ERepError, f.SetStringConstant("MISSING", "x"));
    f.Unprepare();
    QCOMPARE(f.GetConstant("PAGENUMBER").toString(), QStringLiteral("0"));
    QVERIFY(!f.At(0).Settable);

    // A stored list without the three gets them back for the pass.
    TRepEvEnvironment g;
    g.SetStrings({"X"}, {"1"});
    g.Prepare("T");
    QCOMPARE(g.Strings(), QStringList({"X", "PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE"}));
    QCOMPARE(g.Expression("REPORTTITLE"), QStringLiteral("''"));
    g.SetIntegerConstant("PAGENUMBER", 1);
    QCOMPARE(g.GetConstant("PAGENUMBER").toInt(), 1);
}

void TstTRepReport::functionListPersistedFormChecked()
{
    TRepEvEnvironment f;
    f.SetStrings({"a", "B"}, {"1", "2"});
    QCOMPARE(f.Strings(), QStringList({"A", "B"}));
    QCOMPARE(f.Data(), QStringList({"1", "2"}));
    // Damaged lists leave the function list as it was.
    QVERIFY_THROWS_EXCEPTION(ERepError, f.SetStrings({"X"}, {}));
    QVERIFY_THROWS_EXCEPTION(ERepError, f.SetStrings({"X", "x"}, {"1", "2"}));
    QVERIFY_THROWS_EXCEPTION(ERepError, f.SetStrings({""}, {"1"}));
    QCOMPARE(f.Strings(), QStringList({"A", "B"}));
}

void TstTRepReport::elementDefaults()
{
    const double px = 254.0 / 96;
    TRepLabel l;
    QVERIFY(qAbs(l.WidthNative() - 10 * px) < 1e-9);
    QVERIFY(qAbs(l.HeightNative() - 10 * px) < 1e-9);
    QVERIFY(l.Enabled);
    QVERIFY(l.AutoSize);
    QVERIFY(!l.AutoStretch);
    QVERIFY(l.WordWrap);
    QVERIFY(!l.Transparent);
    QVERIFY(l.ParentFont());
    QCOMPARE(l.Color, QColor(Qt::white));
    QCOMPARE(l.Alignment(), taLeftJustify);
    QVERIFY(!l.AlignToBand());
    QVERIFY(l.AllLinesPrinted);
    QCOMPARE(l.Frame.Width, 1);
    QCOMPARE(l.ClassName(), QStringLiteral("TRepLabel"));

    TRepShape s;
    QVERIFY(qAbs(s.WidthNative() - 65 * px) < 1e-9);
    QVERIFY(qAbs(s.HeightNative() - 65 * px) < 1e-9);
    QCOMPARE(s.Shape, rsRectangle);
    QCOMPARE(s.Pen.Color, QColor(Qt::black));
    QCOMPARE(s.Pen.Style, psSolid);
    QCOMPARE(s.Pen.Width, 1);
    QCOMPARE(s.Brush.Color, QColor(Qt::white));
    QCOMPARE(s.Brush.Style, bsSolid);

    TRepHRule h;
    QVERIFY(qAbs(h.WidthNative() - 100 * px) < 1e-9);
    QVERIFY(qAbs(h.HeightNative() - 10 * px) < 1e-9);
    QCOMPARE(h.VertAdjust, 0);

    TRepDBText d;
    QVERIFY(d.Mask.isEmpty());
    QCOMPARE(d.DataSet, nullptr);
}

void TstTRepReport::elementUnitsFollowReport()
{
    TRepReport r;
    TRepBand *b = r.AddBand(rbDetail);
    auto *l = new TRepLabel;
    b->InsertElement(l);
    l->Size().SetValues({45.0, 15.875, 95.25, 299.0});
    QCOMPARE(l->Left(), 1.5875);
    r.SetUnits(TRepUnit::Inches);
    QCOMPARE(l->Left(), 15.875 / 254);
    // Pixels: also times the band's zoom.
    r.SetUnits(TRepUnit::Pixels);
    QVERIFY(qAbs(l->Left() - 6) < 1e-9);
    r.SetZoom(200);
    QVERIFY(qAbs(l->Left() - 12) < 1e-9);
    l->Size().SetLeft(24);
    QVERIFY(qAbs(l->LeftNative() - 31.75) < 1e-9);
}

void TstTRepReport::charactersFollowReportFont()
{
    TRepReport r;
    TRepBand *b = r.AddBand(rbDetail);
    auto *l = new TRepLabel;
    b->InsertElement(l);
    l->Size().SetValues({145.3, 80.0, 0, 0});
    r.SetUnits(TRepUnit::Characters);
    // Arial 10: a character is 80 / 10 / 2.54 wide and 145.3 / 10 / 2.54 high.
    QVERIFY(qAbs(r.Page().LeftMargin() - 100 / (80.0 / 10 / 2.54) / 10) < 1e-12);
    QVERIFY(qAbs(l->Left() - 2.54) < 1e-12);
    QVERIFY(qAbs(l->Height() - 2.54) < 1e-12);
    r.SetFont(TRepFont("Arial", -20));      // the size counts without its sign
    QVERIFY(qAbs(l->Left() - 5.08) < 1e-12);
    QVERIFY(qAbs(b->Size().ToUnit(145.3, TRepDirection::Vertical) - 5.08) < 1e-12);
    // A font without size would divide by zero: 10 points stand in.
    r.SetFont(TRepFont("Arial", 0));
    QVERIFY(qAbs(l->Left() - 2.54) < 1e-12);
}

void TstTRepReport::alignToBand_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("expectedLeftPx");
    // Band 718 px wide, element 100 px wide.
    QTest::newRow("left") << int(taLeftJustify) << 0.0;
    QTest::newRow("right") << int(taRightJustify) << 618.0;
    QTest::newRow("center") << int(taCenter) << 309.0;
}

void TstTRepReport::alignToBand()
{
    QFETCH(int, alignment);
    QFETCH(double, expectedLeftPx);
    const double px = 254.0 / 96;

    TRepReport r;
    TRepBand *b = r.AddBand(rbTitle);
    auto *e = new TRepHRule;        // 100 px wide
    b->InsertElement(e);
    e->Size().SetLeft(50);
    e->SetAlignment(static_cast<TRepAlignment>(alignment));
    QCOMPARE(e->LeftNative(), 500.0);     // not held yet
    e->SetAlignToBand(true);
    QVERIFY(qAbs(e->LeftNative() - expectedLeftPx * px) < 1e-9);
    // Moving it does not stick, and a band size change re-applies.
    e->Size().SetLeft(1);
    QVERIFY(qAbs(e->LeftNative() - expectedLeftPx * px) < 1e-9);
    r.Page().SetLeftMargin(20);     // 180 mm: 680 px
    const double bandPx = 680;
    const double expected = alignment == taLeftJustify ? 0 : alignment == taRightJustify ? bandPx - 100 : (bandPx - 100) / 2;
    QVERIFY(qAbs(e->LeftNative() - expected * px) < 1e-9);
}

void TstTRepReport::fontInheritance()
{
    TRepReport r;
    TRepBand *b = r.AddBand(rbDetail);
    auto *l = new TRepLabel;
    b->InsertElement(l);
    QCOMPARE(l->Font(), r.Font());
    r.SetFont(TRepFont("Verdana", 12));
    QCOMPARE(l->Font().Name, QStringLiteral("Verdana"));
    b->SetFont(TRepFont("Arial", 8));
    QVERIFY(!b->ParentFont());
    QCOMPARE(l->Font().Size, 8);
    l->FontSize = 18;
    l->ApplyFontSize();
    QVERIFY(!l->ParentFont());
    QCOMPARE(l->Font(), TRepFont("Arial", 18));
    l->FontSize = 0;    // not positive: nothing applied
    l->SetFont(TRepFont("Arial", 9, true));
    l->ApplyFontSize();
    QCOMPARE(l->Font().Size, 9);
    QVERIFY(l->Font().Bold);
}

void TstTRepReport::dbTextCaptionFollowsField()
{
    TRepReport r;
    TRepBand *b = r.AddBand(rbDetail);
    auto *t = new TRepDBText;
    t->setObjectName("RepDBText1");
    b->InsertElement(t);
    t->SetDataField("NORDEM");
    QCOMPARE(t->Caption(), QStringLiteral("NORDEM"));
    t->PrepareForPrint(nullptr);
    QVERIFY(t->IsPrinting());
    QCOMPARE(t->PrintCaption, QStringLiteral("NORDEM"));
    t->SetCaption("000042");
    t->UnprepareAfterPrint();
    QVERIFY(!t->IsPrinting());
    QCOMPARE(t->Caption(), QStringLiteral("NORDEM"));
    t->SetDataField(QString());
    t->UnprepareAfterPrint();
    QCOMPARE(t->Caption(), QStringLiteral("RepDBText1"));
}

void TstTRepReport::bindDataSetByName()
{
    TRepReport r;
    TRepBand *b = r.AddBand(rbDetail);
    auto *t1 = new TRepDBText;
    auto *t2 = new TRepDBText;
    auto *t3 = new TRepDBText;
    t1->DataSetName = "FbQuery1";
    t2->DataSetName = "FbQuery2";
    t3->DataSetName = "FbQuery1";
    b->InsertElement(t1);
    b->InsertElement(t2);
    r.InsertElement(t3);
    auto *fake = reinterpret_cast<TRepDataSet *>(&r);   // only compared, never used
    QCOMPARE(r.BindDataSet("FbQuery1", fake), 2);
    QCOMPARE(t1->DataSet, fake);
    QCOMPARE(t2->DataSet, nullptr);
    QCOMPARE(t3->DataSet, fake);
    QCOMPARE(r.DataSet, nullptr);
    QCOMPARE(r.BindDataSet("", fake), 0);
}

void TstTRepReport::removingBandFreesElementsAndLinks()
{
    auto *r = new TRepReport;
    TRepBand *a = r->AddBand(rbTitle);
    TRepBand *b = r->AddBand(rbDetail);
    QPointer<TRepLabel> l = new TRepLabel;
    l->setObjectName("L1");
    b->InsertElement(l);
    QCOMPARE(r->FindElement("L1"), l.data());
    // Moving an element between bands keeps one owner.
    a->InsertElement(l);
    QVERIFY(b->Elements().isEmpty());
    QCOMPARE(l->ParentBand(), a);
    b->SetHasChild(true);
    QPointer<TRepChildBand> c = b->ChildBand();
    r->RemoveBand(b);
    QVERIFY(c.isNull());
    QCOMPARE(r->BandList().size(), 1);
    // Deleting an element takes it off its band.
    delete l.data();
    QVERIFY(a->Elements().isEmpty());
    QPointer<TRepLabel> l2 = new TRepLabel;
    a->InsertElement(l2);
    delete r;
    QVERIFY(l2.isNull());
}

QTEST_GUILESS_MAIN(TstTRepReport)
#include "tst_trepreport.moc"
