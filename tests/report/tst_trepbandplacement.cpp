#include "report/generate/trepbandplacement.h"

#include <QtTest>

// Lengths in tenths of a millimetre; A4 Plus is 2100 x 3300.
class TstTRepBandPlacement : public QObject
{
    Q_OBJECT
private slots:
    void spaceLeft()
    {
        // Page 330 mm, bottom margin 10 mm, footer 79.64 mm, cursor below a
        // 28.31 mm title at the 10 mm top margin.
        QCOMPARE(TRepBandPlacement::SpaceLeft(3300, 100, 796.4, 383), 2021);   // 2020.6
        QCOMPARE(TRepBandPlacement::SpaceLeft(3300, 100, 0, 3300), -100);
    }

    void fits_data()
    {
        QTest::addColumn<bool>("footer");
        QTest::addColumn<int>("spaceLeft");
        QTest::addColumn<double>("needed");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<bool>("columnEmpty");
        QTest::newRow("room enough") << false << 500 << 499.6 << true << true;
        QTest::newRow("exactly the room") << false << 500 << 500.4 << true << true;
        QTest::newRow("too tall") << false << 500 << 500.6 << false << true;
        QTest::newRow("footer always") << true << -10 << 800.0 << true << true;
        // Printable length of A4 Plus with 10 mm margins is 3100.
        QTest::newRow("page-high band does not fit a partly used page") << false << 1500 << 3100.0 << false << true;
        QTest::newRow("taller than a page is printed anyway") << false << 1500 << 3101.0 << true << true;
        QTest::newRow("but not below other bands") << false << 1500 << 3101.0 << false << false;
    }
    void fits()
    {
        QFETCH(bool, footer);
        QFETCH(int, spaceLeft);
        QFETCH(double, needed);
        QFETCH(bool, fits);
        QFETCH(bool, columnEmpty);
        QCOMPARE(TRepBandPlacement::Fits(footer, spaceLeft, needed, 3300, 100, 100, columnEmpty), fits);
    }

    void alignToBottom()
    {
        // A 20 mm summary above a 79.64 mm footer area.
        QCOMPARE(TRepBandPlacement::AlignToBottomY(3300, 1301, 200, 100, 796.4), 2204);   // 2203.6
        // Without the footer reserve it sits on the bottom margin.
        QCOMPARE(TRepBandPlacement::AlignToBottomY(3300, 1301, 200, 100, 0), 3000);
        // No room below the cursor: it stays where it is.
        QCOMPARE(TRepBandPlacement::AlignToBottomY(3300, 3100, 200, 100, 0), 3100);
    }

    void footerTopAndColumns()
    {
        // The printout's footer: 330 - 10 - 79.64 = 240.36 mm, kept in whole
        // tenths of a millimetre; halves go to the even unit.
        QCOMPARE(TRepBandPlacement::FooterTop(3300, 100, 796.3958333333334), 2404);
        QCOMPARE(TRepBandPlacement::FooterTop(3300, 100, 796.5), 2404);
        QCOMPARE(TRepBandPlacement::FooterTop(3300, 100, 795.5), 2404);
        QCOMPARE(TRepBandPlacement::ColumnWidth(2100, 100, 100, 0, 1), 1900);
        QCOMPARE(TRepBandPlacement::ColumnWidth(2100, 100, 100, 50, 3), 600);  // (1900 - 2 x 50) / 3
        QCOMPARE(TRepBandPlacement::ColumnWidth(2100, 100, 100, 0, 0), 1900);
        QCOMPARE(TRepBandPlacement::Advance(383, 918.1, 0), 1301);
    }
};

QTEST_GUILESS_MAIN(TstTRepBandPlacement)
#include "tst_trepbandplacement.moc"
