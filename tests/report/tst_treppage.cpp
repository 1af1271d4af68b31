#include "report/model/treppage.h"
#include "report/model/treppapertable.h"
#include "report/model/trepunitbase.h"

#include <QLocale>
#include <QtTest>

class TstTRepPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void unitConversions_data();
    void unitConversions();
    void charactersUseReportFontSize();
    void pixelsFollowZoomAndPixelFactor();

    void valuesReadBackInUnits();
    void defaultsOfNewPage();
    void lengthAndWidthWritesIgnoredUnlessCustom();
    void paperSizes_data();
    void paperSizes();
    void defaultAndCustomKeepDimensions();
    void landscapeSwapsAndOrientationReapplies();
    void paperCodes();
    void columnsZeroOrLessIgnored();
    void marginSanity_data();
    void marginSanity();
};

void TstTRepPage::unitConversions_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<double>("native");
    QTest::addColumn<double>("expected");

    QTest::newRow("mm") << int(TRepUnit::MM) << true << 283.1041666666667 << 28.31041666666667;
    QTest::newRow("inches") << int(TRepUnit::Inches) << true << 254.0 << 1.0;
    QTest::newRow("pixels 96ppi") << int(TRepUnit::Pixels) << false << 283.1041666666667 << 107.0;
    QTest::newRow("native") << int(TRepUnit::Native) << true << 1234.5 << 1234.5;
    // Font 10 pt: CharWidth = 80 / 10 / 2.54, CharHeight = 145.3 / 10 / 2.54.
    QTest::newRow("chars horizontal") << int(TRepUnit::Characters) << true << 100.0
                                      << 100.0 / (80.0 / 10 / 2.54) / 10;
    QTest::newRow("chars vertical") << int(TRepUnit::Characters) << false << 100.0
                                    << 100.0 / (145.3 / 10 / 2.54) / 10;
}

void TstTRepPage::unitConversions()
{
    QFETCH(int, unit);
    QFETCH(bool, horizontal);
    QFETCH(double, native);
    QFETCH(double, expected);

    TRepUnitBase u;
    u.SetUnits(static_cast<TRepUnit>(unit));
    const auto dir = horizontal ? TRepDirection::Horizontal : TRepDirection::Vertical;
    const double read = u.ToUnit(native, dir);
    QVERIFY2(qAbs(read - expected) < 1e-9, qPrintable(QString::number(read, 'g', 17)));
    // Writing the value back gives the stored value again.
    QVERIFY(qAbs(u.FromUnit(read, dir) - native) < 1e-9);
}

void TstTRepPage::charactersUseReportFontSize()
{
    TRepUnitBase u;
    u.SetUnits(TRepUnit::Characters);
    u.CharFontSize = [] { return -20.0; };   // absolute value counts
    const double cw = 80.0 / 20 / 2.54;
    QVERIFY(qAbs(u.ToUnit(200, TRepDirection::Horizontal) - 200 / cw / 10) < 1e-12);
    QVERIFY(qAbs(u.FromUnit(3, TRepDirection::Vertical) - 3 * (145.3 / 20 / 2.54) * 10) < 1e-12);
}

void TstTRepPage::pixelsFollowZoomAndPixelFactor()
{
    TRepUnitBase u;
    u.SetUnits(TRepUnit::Pixels);
    u.SetZoom(200);
    QCOMPARE(qRound(u.ToUnit(254, TRepDirection::Horizontal)), 192);
    u.PixelFactor = [] { return 1.5; };
    QCOMPARE(qRound(u.ToUnit(254, TRepDirection::Horizontal)), 288);
    QVERIFY(qAbs(u.FromUnit(288, TRepDirection::Horizontal) - 254) < 1e-9);
    u.SetZoom(0);   // ignored
    QCOMPARE(u.Zoom(), 200);
}

void TstTRepPage::valuesReadBackInUnits()
{
    TRepPage p;
    p.SetPaperSize(TRepPaperSize::A4Plus);
    p.SetUnits(TRepUnit::MM);
    p.SetValues({100, 3300, 100, 2100, 100, 100, 0});
    QCOMPARE(p.BottomMargin(), 10.0);
    QCOMPARE(p.Length(), 330.0);
    QCOMPARE(p.TopMargin(), 10.0);
    QCOMPARE(p.Width(), 210.0);
    QCOMPARE(p.LeftMargin(), 10.0);
    QCOMPARE(p.RightMargin(), 10.0);
    QCOMPARE(p.ColumnSpace(), 0.0);

    p.SetUnits(TRepUnit::Inches);
    p.SetLeftMargin(0.5);
    QCOMPARE(p.NativeValue(TRepPage::LeftMarginIndex), 127.0);
}

void TstTRepPage::defaultsOfNewPage()
{
    TRepPage p;     // Brazilian locale: metric
    QCOMPARE(p.PaperSize(), TRepPaperSize::A4);
    QCOMPARE(p.Units(), TRepUnit::MM);
    QCOMPARE(p.Orientation(), poPortrait);
    QCOMPARE(p.Columns(), 1);
    QVERIFY(p.Ruler());
    const TRepPage::TValues expected{100, 2970, 100, 2100, 100, 100, 0};
    QCOMPARE(p.Values(), expected);

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TRepPage us;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QCOMPARE(us.PaperSize(), TRepPaperSize::Letter);
    QCOMPARE(us.Units(), TRepUnit::Inches);
    QCOMPARE(us.LeftMargin(), 0.5);
    QCOMPARE(us.Width(), 8.5);
}

void TstTRepPage::lengthAndWidthWritesIgnoredUnlessCustom()
{
    TRepPage p;
    p.SetUnits(TRepUnit::MM);
    p.SetPaperSize(TRepPaperSize::A4);
    p.SetLength(100);
    p.SetWidth(100);
    QCOMPARE(p.Length(), 297.0);
    QCOMPARE(p.Width(), 210.0);

    p.SetPaperSize(TRepPaperSize::Custom);
    p.SetLength(100);
    p.SetWidth(80);
    QCOMPARE(p.Length(), 100.0);
    QCOMPARE(p.Width(), 80.0);
}

void TstTRepPage::paperSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ordinal");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("length");

    QTest::newRow("Letter") << "Letter" << 1 << 215.9 << 279.4;
    QTest::newRow("A4") << "A4" << 9 << 210.0 << 297.0;
    QTest::newRow("Ledger") << "Ledger" << 4 << 431.8 << 279.4;
    QTest::newRow("Env9") << "Env9" << 19 << 98.43 << 225.4;
    QTest::newRow("EnvB6") << "EnvB6" << 35 << 176.0 << 125.0;
    QTest::newRow("EnvPersonal") << "EnvPersonal" << 38 << 92.01 << 165.1;
    QTest::newRow("Reserved2") << "Reserved2" << 49 << 100.0 << 100.0;
    QTest::newRow("TabloidExtra") << "TabloidExtra" << 52 << 296.9 << 457.2;
    QTest::newRow("A4Plus") << "A4Plus" << 60 << 210.0 << 330.0;
    QTest::newRow("A3ExtraTrans") << "A3ExtraTrans" << 68 << 445.0 << 322.0;
}

void TstTRepPage::paperSizes()
{
    QFETCH(QString, name);
    QFETCH(int, ordinal);
    QFETCH(double, width);
    QFETCH(double, length);

    const auto size = TRepPaperTable::FromName(name);
    QVERIFY(size.has_value());
    QCOMPARE(int(*size), ordinal);
    QCOMPARE(TRepPaperTable::Name(*size), name);

    TRepPage p;
    p.SetUnits(TRepUnit::MM);
    p.SetPaperSize(*size);
    QCOMPARE(p.PaperSize(), *size);
    QVERIFY(qAbs(p.Width() - width) < 1e-9);
    QVERIFY(qAbs(p.Length() - length) < 1e-9);
    p.SetOrientation(poLandscape);
    QVERIFY(qAbs(p.Width() - length) < 1e-9);
    QVERIFY(qAbs(p.Length() - width) < 1e-9);
}

void TstTRepPage::defaultAndCustomKeepDimensions()
{
    QCOMPARE(TRepPaperTable::Count, 70);
    QCOMPARE(int(TRepPaperSize::Custom), 69);
    QCOMPARE(TRepEnumNames<TRepPaperSize>().size(), 70);

    TRepPage p;
    p.SetUnits(TRepUnit::MM);
    p.SetPaperSize(TRepPaperSize::A5);
    p.SetPaperSize(TRepPaperSize::Default);
    QCOMPARE(p.Width(), 148.0);
    QCOMPARE(p.Length(), 210.0);
    p.SetPaperSize(TRepPaperSize::Custom);
    QCOMPARE(p.Width(), 148.0);
    p.SetOrientation(poLandscape);      // Custom keeps what it has
    QCOMPARE(p.Width(), 148.0);
    QCOMPARE(p.Length(), 210.0);
}

void TstTRepPage::landscapeSwapsAndOrientationReapplies()
{
    TRepPage p;
    p.SetUnits(TRepUnit::MM);
    p.SetPaperSize(TRepPaperSize::A4);
    p.SetOrientation(poLandscape);
    QCOMPARE(p.Width(), 297.0);
    QCOMPARE(p.Length(), 210.0);
    // A new paper size while landscape comes exchanged too; back to portrait restores it.
    p.SetPaperSize(TRepPaperSize::Legal);
    QCOMPARE(p.Width(), 355.6);
    QCOMPARE(p.Length(), 215.9);
    p.SetOrientation(poPortrait);
    QCOMPARE(p.Width(), 215.9);
    QCOMPARE(p.Length(), 355.6);
}

void TstTRepPage::paperCodes()
{
    QCOMPARE(TRepPaperTable::PaperCode(TRepPaperSize::A4), 9);
    QCOMPARE(TRepPaperTable::PaperCode(TRepPaperSize::A3ExtraTrans), 68);
    QCOMPARE(TRepPaperTable::PaperCode(TRepPaperSize::Custom), 256);
    QCOMPARE(TRepPaperTable::FromPaperCode(256), std::optional(TRepPaperSize::Custom));
    QCOMPARE(TRepPaperTable::FromPaperCode(60), std::optional(TRepPaperSize::A4Plus));
    QVERIFY(!TRepPaperTable::FromPaperCode(69).has_value());
    QVERIFY(!TRepPaperTable::FromPaperCode(-1).has_value());
    QVERIFY(!TRepPaperTable::FromName("A7").has_value());
}

void TstTRepPage::columnsZeroOrLessIgnored()
{
    TRepPage p;
    p.SetColumns(3);
    p.SetColumns(0);
    p.SetColumns(-2);
    QCOMPARE(p.Columns(), 3);
}

void TstTRepPage::marginSanity_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("right");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<double>("expLeft");
    QTest::addColumn<double>("expRight");
    QTest::addColumn<double>("expTop");
    QTest::addColumn<double>("expBottom");

    QTest::newRow("horizontal too wide") << 120.0 << 100.0 << 10.0 << 10.0 << 0.0 << 0.0 << 10.0 << 10.0;
    QTest::newRow("exactly the width") << 110.0 << 100.0 << 10.0 << 10.0 << 110.0 << 100.0 << 10.0 << 10.0;
    QTest::newRow("vertical too long") << 10.0 << 10.0 << 200.0 << 100.0 << 10.0 << 10.0 << 0.0 << 0.0;
    QTest::newRow("both") << 300.0 << 0.0 << 300.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("sane") << 10.0 << 10.0 << 10.0 << 10.0 << 10.0 << 10.0 << 10.0 << 10.0;
}

void TstTRepPage::marginSanity()
{
    QFETCH(double, left);
    QFETCH(double, right);
    QFETCH(double, top);
    QFETCH(double, bottom);

    TRepPage p;     // A4, mm
    p.SetUnits(TRepUnit::MM);
    p.SetLeftMargin(left);
    p.SetRightMargin(right);
    p.SetTopMargin(top);
    p.SetBottomMargin(bottom);
    p.CheckMargins();
    QTEST(p.LeftMargin(), "expLeft");
    QTEST(p.RightMargin(), "expRight");
    QTEST(p.TopMargin(), "expTop");
    QTEST(p.BottomMargin(), "expBottom");
}

QTEST_GUILESS_MAIN(TstTRepPage)
#include "tst_treppage.moc"
