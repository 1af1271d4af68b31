#include "report/model/treppage.h"
#include "report/model/trepreportprintersettings.h"
#include "report/print/tprintersettings.h"

#include <QPrinter>
#include <QtTest>

// Settings written to a printer object and read back: a PDF-writing
// QPrinter stands for the driver here, so no print queue is needed.
class TstTPrinterSettings : public QObject
{
    Q_OBJECT
private slots:
    void binCodesBothWays_data()
    {
        QTest::addColumn<int>("qtSource");
        QTest::addColumn<int>("code");
        QTest::newRow("upper/only one") << int(QPrinter::OnlyOne) << 1;
        QTest::newRow("lower") << int(QPrinter::Lower) << 2;
        QTest::newRow("manual") << int(QPrinter::Manual) << 4;
        QTest::newRow("auto") << int(QPrinter::Auto) << 7;
        QTest::newRow("large capacity") << int(QPrinter::LargeCapacity) << 11;
        QTest::newRow("cassette") << int(QPrinter::Cassette) << 14;
        QTest::newRow("form source") << int(QPrinter::FormSource) << 15;
    }
    void binCodesBothWays()
    {
        QFETCH(int, qtSource);
        QFETCH(int, code);
        QCOMPARE(TPrinterSettings::BinCodeFromQt(qtSource), code);
        QCOMPARE(TPrinterSettings::QtPaperSourceFromBinCode(code), qtSource);
    }

    void applyToPrinter_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("customCode");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSizeF>("sizeMM");     // portrait
        QTest::newRow("A5") << int(TRepPaperSize::A5) << false << int(poPortrait) << QSizeF(148, 210);
        QTest::newRow("Legal landscape") << int(TRepPaperSize::Legal) << false << int(poLandscape)
                                         << QSizeF(215.9, 355.6);
        QTest::newRow("A4 Plus (no named size)") << int(TRepPaperSize::A4Plus) << false << int(poPortrait)
                                                 << QSizeF(210, 330);
        QTest::newRow("custom paper code") << int(TRepPaperSize::A4) << true << int(poPortrait)
                                           << QSizeF(100, 150);
    }
    void applyToPrinter()
    {
        QFETCH(int, paper);
        QFETCH(bool, customCode);
        QFETCH(int, orientation);
        QFETCH(QSizeF, sizeMM);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        TPrinterSettings s;
        s.PaperSize = TRepPaperSize(paper);
        s.Orientation = TRepOrientation(orientation);
        s.Copies = 3;
        s.Collate = 1;
        s.ColorOption = TPrinterSettings::ColorMonochrome;
        if (customCode) {
            s.UseCustomPaperCode = true;
            s.CustomPaperCode = 256;
            s.PaperWidth = 1000;
            s.PaperLength = 1500;
        }
        s.ApplyTo(printer);
        const QSizeF got = printer.pageLayout().pageSize().size(QPageSize::Millimeter);
        QVERIFY2(std::abs(got.width() - sizeMM.width()) < 0.5 && std::abs(got.height() - sizeMM.height()) < 0.5,
                 qPrintable(QString("%1 x %2").arg(got.width()).arg(got.height())));
        QCOMPARE(printer.pageLayout().orientation() == QPageLayout::Landscape, orientation == poLandscape);
        QCOMPARE(printer.copyCount(), 3);
        QVERIFY(printer.collateCopies());
        QCOMPARE(printer.colorMode(), QPrinter::GrayScale);

        // Read back: the paper code of a named size comes back.
        TPrinterSettings back;
        back.ReadFrom(printer);
        if (!customCode && paper != int(TRepPaperSize::A4Plus))
            QCOMPARE(int(back.PaperSize), paper);
        QCOMPARE(back.Orientation, TRepOrientation(orientation));
        QVERIFY(std::abs(back.PaperWidth - sizeMM.width() * 10) <= 5);
        QCOMPARE(back.PixelsPerInchX, printer.resolution());
    }

    // The driver's duplex code: the extended code when set, else 3 (short
    // edge) for duplex and 1 for simplex; and the printer's mode read back.
    void duplexCodes_data()
    {
        QTest::addColumn<bool>("duplex");
        QTest::addColumn<int>("extended");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("codeBack");
        QTest::newRow("simplex") << false << 0 << int(QPrinter::DuplexNone) << 1;
        QTest::newRow("duplex is short edge") << true << 0 << int(QPrinter::DuplexShortSide) << 3;
        QTest::newRow("extended long edge") << false << 2 << int(QPrinter::DuplexLongSide) << 2;
        QTest::newRow("extended simplex wins") << true << 1 << int(QPrinter::DuplexNone) << 1;
        QTest::newRow("extended short edge") << false << 3 << int(QPrinter::DuplexShortSide) << 3;
    }
    void duplexCodes()
    {
        QFETCH(bool, duplex);
        QFETCH(int, extended);
        QFETCH(int, mode);
        QFETCH(int, codeBack);
        QCOMPARE(TPrinterSettings::QtDuplexFromCode(duplex, extended), mode);
        QCOMPARE(TPrinterSettings::DuplexCodeFromQt(mode), codeBack);
    }
    void applyHookMayCancel()
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setCopyCount(1);
        TPrinterSettings s;
        s.Copies = 4;
        int calls = 0;
        s.OnApplyPrinterSettings = [&](bool &cancel, QPrinter *p) {
            ++calls;
            QCOMPARE(p, &printer);
            cancel = true;
        };
        s.ApplyTo(printer);
        QCOMPARE(calls, 1);
        QCOMPARE(printer.copyCount(), 1);
    }

    void reportSettingsTakenOver()
    {
        TRepPage page;
        page.SetPaperSize(TRepPaperSize::Custom);
        page.SetValues({100, 2500, 100, 1200, 100, 100, 0});
        TRepReportPrinterSettings rs;
        rs.Copies = 2;
        rs.OutputBin = TRepBin::Manual;
        rs.ExtendedDuplex = 3;
        TPrinterSettings s;   // no printer: every field is taken
        s.CopyFrom(rs, page);
        QCOMPARE(s.PaperSize, TRepPaperSize::Custom);
        QCOMPARE(s.ExtentWidth(), 1200.0);
        QCOMPARE(s.ExtentLength(), 2500.0);
        QCOMPARE(s.Copies, 2);
        QCOMPARE(s.OutputBin, TRepBin::Manual);
        QCOMPARE(s.ExtendedDuplex, 3);
    }
};

QTEST_MAIN(TstTPrinterSettings)
#include "tst_tprintersettings.moc"
