#include "report/page/trepdevicemap.h"
#include "report/print/trepprintrange.h"

#include <QtTest>

class TstTRepDeviceMap : public QObject
{
    Q_OBJECT
private slots:
    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("0.5 to even 0") << 0.5 << 0;
        QTest::newRow("1.5 to even 2") << 1.5 << 2;
        QTest::newRow("2.5 to even 2") << 2.5 << 2;
        QTest::newRow("-0.5 to 0") << -0.5 << 0;
        QTest::newRow("-1.5 to -2") << -1.5 << -2;
        QTest::newRow("2.51 up") << 2.51 << 3;
        QTest::newRow("2.49 down") << 2.49 << 2;
        QTest::newRow("huge clamps") << 1e30 << std::numeric_limits<int>::max();
        QTest::newRow("nan is 0") << std::nan("") << 0;
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(TRepDeviceMap::RoundHalfEven(value), expected);
    }

    void toDevice_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("native");
        QTest::addColumn<int>("expected");
        // 254 native units are one inch.
        QTest::newRow("screen inch") << 96.0 << 0.0 << 254.0 << 96;
        QTest::newRow("screen 10 mm") << 96.0 << 0.0 << 100.0 << 38;      // 37.795
        QTest::newRow("600 dpi 10 mm") << 600.0 << 0.0 << 100.0 << 236;    // 236.22
        QTest::newRow("tie to even down") << 127.0 << 0.0 << 1.0 << 0;     // 0.5
        QTest::newRow("tie to even up") << 127.0 << 0.0 << 3.0 << 2;       // 1.5
        QTest::newRow("offset 4 mm at 600 dpi") << 600.0 << 40.0 << 40.0 << 0;
        QTest::newRow("origin with 4 mm offset") << 600.0 << 40.0 << 0.0 << -94;   // -94.49
    }
    void toDevice()
    {
        QFETCH(double, dpi);
        QFETCH(double, offset);
        QFETCH(double, native);
        QFETCH(int, expected);
        TRepDeviceMap m;
        m.ScaleX = m.ScaleY = TRepDeviceMap::ScaleFor(dpi);
        m.PrinterOffsetX = m.PrinterOffsetY = offset;
        QCOMPARE(m.ToDeviceX(native), expected);
        QCOMPARE(m.ToDeviceY(native), expected);
        // Sizes never take the offset.
        QCOMPARE(m.ToDeviceWidth(native), TRepDeviceMap::RoundHalfEven(native * dpi / 254.0));
    }

    void nativeFromPixels()
    {
        QCOMPARE(TRepDeviceMap::NativeFromPixels(94, 600), 40);     // 39.79
        QCOMPARE(TRepDeviceMap::NativeFromPixels(4960, 600), 2100); // A4 width at 600 dpi
        QCOMPARE(TRepDeviceMap::NativeFromPixels(10, 0), 0);
    }

    void printRange_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("pagesIn");   // of pages 1..5
        QTest::newRow("unlimited") << 0 << 0 << "12345";
        QTest::newRow("2 to 3") << 2 << 3 << "23";
        QTest::newRow("from 4") << 4 << 0 << "45";
        QTest::newRow("up to 2") << 0 << 2 << "12";
        QTest::newRow("negative means no limit") << -1 << -7 << "12345";
        QTest::newRow("inverted range is empty") << 4 << 2 << "";
    }
    void printRange()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, pagesIn);
        TRepPrintRange r{first, last};
        QString got;
        for (int p = 1; p <= 5; ++p)
            if (r.Contains(p))
                got += QString::number(p);
        QCOMPARE(got, pagesIn);
    }
    void printRangeOfStoredPages()
    {
        QCOMPARE((TRepPrintRange{0, 0}).FirstOf(5), 1);
        QCOMPARE((TRepPrintRange{0, 0}).LastOf(5), 5);
        QCOMPARE((TRepPrintRange{2, 9}).LastOf(5), 5);
        QCOMPARE((TRepPrintRange{2, 3}).LastOf(5), 3);
        QCOMPARE((TRepPrintRange{0, 0}).FirstOf(0), 0);
    }
};

QTEST_GUILESS_MAIN(TstTRepDeviceMap)
#include "tst_trepdevicemap.moc"
