#include "report/model/ereperror.h"
#include "report/model/treppapertable.h"
#include "report/model/trepreport.h"
#include "report/page/trepcanvas.h"
#include "report/print/trepnotifyevent.h"
#include "report/print/trepprinter.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Collects the notifications a store posts to its viewing window.
class Viewer : public QObject
{
public:
    QList<int> progress, pages;
    bool event(QEvent *e) override
    {
        if (e->type() == TRepNotifyEvent::Progress)
            progress << static_cast<TRepNotifyEvent *>(e)->Value;
        else if (e->type() == TRepNotifyEvent::PageAvailable)
            pages << static_cast<TRepNotifyEvent *>(e)->Value;
        else
            return QObject::event(e);
        return true;
    }
};

void Record(TRepPrinter &store, int pages, const QString &prefix = QStringLiteral("Página"))
{
    store.StartDocument();
    for (int p = 1; p <= pages; ++p) {
        store.NewPage();
        TRepCanvas *cv = store.Canvas();
        QVERIFY(cv);
        cv->TextOut(store.ToDeviceX(100), store.ToDeviceY(100), QStringLiteral("%1 %2").arg(prefix).arg(p));
    }
    store.FinishDocument();
}

} // namespace

class TstTRepPrinter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void misuseIsRefused()
    {
        TRepPrinter store;
        try {
            store.NewPage();
            QFAIL("NewPage before StartDocument was accepted");
        } catch (const ERepError &e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString("Illegal call to NewPage"));
        }
        store.StartDocument();
        try {
            store.StartDocument();
            QFAIL("StartDocument twice was accepted");
        } catch (const ERepError &e) {
            QCOMPARE(QString::fromUtf8(e.what()), QString("Report printer not ready"));
        }
        store.NewPage();
        store.FinishDocument();
        QCOMPARE(store.StoreState(), TRepPrinter::Ready);
        QVERIFY_THROWS_EXCEPTION(ERepError, store.NewPage());
        QVERIFY_THROWS_EXCEPTION(ERepError, store.StartDocument());
    }

    void recordsPagesAndNotifies()
    {
        TRepReport report;
        TRepPrinter store(&report);
        Viewer viewer;
        store.SetViewingWindow(&viewer);
        Record(store, 3);
        QCoreApplication::processEvents();
        QCOMPARE(store.PageCount(), 3);
        QCOMPARE(store.PageTotal(), 3);
        // Pages 1 and 2 when the next begins, then the final count once more.
        QCOMPARE(viewer.pages, QList<int>({1, 2, 3}));
        const TRepMetafile p2 = store.PageMetafile(2);
        QVERIFY(!p2.IsNull());
        QCOMPARE(p2.TextRecords(), QStringList({"Página 2"}));
        QVERIFY(store.PageMetafile(0).IsNull());
        QVERIFY(store.PageMetafile(4).IsNull());
        store.SetProgress(40);
        QCoreApplication::processEvents();
        QCOMPARE(viewer.progress, QList<int>({40}));
    }

    void recordedPageIsThePaperAtScreenResolution()
    {
        TRepReport report;
        report.Page().SetPaperSize(TRepPaperSize::A4Plus);
        TRepPrinter store(&report);
        store.CopyReportSettings();
        Record(store, 1);
        const TRepMetafile page = store.PageMetafile(1);
        // 210 x 330 mm at 96 pixels per inch; the report's paper is kept for
        // a recorded page even when the printer does not offer it.
        QCOMPARE(page.Width(), 794);
        QCOMPARE(page.Height(), 1247);
        QCOMPARE(store.ScaleX(), 96.0 / 254.0);
    }

    void abortKeepsFinishedPagesReadable()
    {
        TRepPrinter store;
        store.StartDocument();
        store.NewPage();
        store.NewPage();
        store.AbortDocument();
        QCOMPARE(store.StoreState(), TRepPrinter::Ready);
        QCOMPARE(store.PageCount(), 2);
        QTemporaryDir dir;
        const QString file = dir.filePath("aborted.rpf");
        store.SaveToFile(file);
        TRepPrinter loaded;
        loaded.LoadFromFile(file);
        QCOMPARE(loaded.PageCount(), 2);
    }

    void exportPassDropsTheOpenPage()
    {
        TRepPrinter store;
        store.SetExportActive(true);
        store.StartDocument();
        store.NewPage();
        store.AbortDocument();
        QCOMPARE(store.PageCount(), 0);
    }

    void saveAndLoadWithPaperMatching_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("expectedPaper");
        QTest::addColumn<int>("expectedOrientation");
        // A4 matches A4 and A4Small: the later match wins.
        QTest::newRow("A4 loads as A4Small") << int(TRepPaperSize::A4) << int(poPortrait)
                                             << int(TRepPaperSize::A4Small) << int(poPortrait);
        QTest::newRow("A4 landscape") << int(TRepPaperSize::A4) << int(poLandscape)
                                      << int(TRepPaperSize::A4Small) << int(poLandscape);
        QTest::newRow("Legal") << int(TRepPaperSize::Legal) << int(poPortrait) << int(TRepPaperSize::Legal)
                               << int(poPortrait);
        // A4 Plus is past the sizes that are compared: the paper stays.
        QTest::newRow("A4Plus keeps the store's paper") << int(TRepPaperSize::A4Plus) << int(poPortrait) << -1
                                                        << int(poPortrait);
    }
    void saveAndLoadWithPaperMatching()
    {
        QFETCH(int, paper);
        QFETCH(int, orientation);
        QFETCH(int, expectedPaper);
        QFETCH(int, expectedOrientation);
        TRepReport report;
        report.Page().SetPaperSize(TRepPaperSize(paper));
        report.Page().SetOrientation(TRepOrientation(orientation));
        TRepPrinter store(&report);
        store.CopyReportSettings();
        Record(store, 2, "Salvo");
        QTemporaryDir dir;
        const QString file = dir.filePath("pages.rpf");
        store.SaveToFile(file);

        TRepPrinter loaded;
        const TRepPaperSize before = loaded.Settings().PaperSize;
        TRepPrinter::SetLoadedFileFlag(false);
        loaded.LoadFromFile(file);
        QCOMPARE(loaded.StoreState(), TRepPrinter::Ready);
        QVERIFY(loaded.PagesFinal());
        QVERIFY(TRepPrinter::LoadedFileFlag());
        QCOMPARE(loaded.PageCount(), 2);
        QCOMPARE(loaded.PageMetafile(2).TextRecords(), QStringList({"Salvo 2"}));
        QCOMPARE(int(loaded.Settings().PaperSize), expectedPaper < 0 ? int(before) : expectedPaper);
        QCOMPARE(int(loaded.Settings().Orientation), expectedOrientation);
    }

    void loadingAMissingFileFails()
    {
        TRepPrinter store;
        QVERIFY_THROWS_EXCEPTION(ERepError, store.LoadFromFile(QDir::temp().filePath("nao-existe.rpf")));
        QCOMPARE(store.StoreState(), TRepPrinter::Idle);
    }

    void storedPageRectangle_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("offset");
        QTest::addColumn<QRect>("expected");
        // A4 page; the printable area starts 4 mm in on both axes: the page
        // is drawn from 94 pixels above and left of its origin.
        QTest::newRow("600 dpi, 4 mm offset") << 600.0 << 40.0 << QRect(QPoint(-94, -94), QPoint(4866 - 1, 6921 - 1));
        QTest::newRow("300 dpi, no offset") << 300.0 << 0.0 << QRect(0, 0, 2480, 3508);
    }
    void storedPageRectangle()
    {
        QFETCH(double, dpi);
        QFETCH(double, offset);
        QFETCH(QRect, expected);
        QCOMPARE(TRepPrinter::StoredPageRect(2100, 2970, offset, offset, dpi, dpi), expected);
    }

    // A page on a printer without its paper prints whole, shrunk to the
    // paper in its own proportions and centred across it; a page that fits
    // prints as it is. Stored pages (a rectangle) and pages drawn straight
    // on the printer (a transform) land in the same place.
    void pageFittedToThePrintersPaper_data()
    {
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<QSizeF>("paper");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QRect>("expected");
        // 600 dpi, printable area 4 mm in on both axes.
        QTest::newRow("A4 Plus on A4") << QSizeF(2100, 3300) << QSizeF(2100, 2970) << 0.9
                                       << QRect(QPoint(154, -94), QPoint(4618 - 1, 6921 - 1));
        QTest::newRow("A4 Plus landscape on A4 landscape") << QSizeF(3300, 2100) << QSizeF(2970, 2100) << 0.9
                                                            << QRect(QPoint(-94, -94), QPoint(6921 - 1, 4370 - 1));
        QTest::newRow("A4 on A4") << QSizeF(2100, 2970) << QSizeF(2100, 2970) << 1.0
                                  << QRect(QPoint(-94, -94), QPoint(4866 - 1, 6921 - 1));
        QTest::newRow("A5 on A4 is not enlarged") << QSizeF(1480, 2100) << QSizeF(2100, 2970) << 1.0
                                                  << QRect(QPoint(-94, -94), QPoint(3402 - 1, 4866 - 1));
        QTest::newRow("no paper known") << QSizeF(2100, 3300) << QSizeF(0, 0) << 1.0
                                        << QRect(QPoint(-94, -94), QPoint(4866 - 1, 7701 - 1));
    }
    void pageFittedToThePrintersPaper()
    {
        QFETCH(QSizeF, page);
        QFETCH(QSizeF, paper);
        QFETCH(double, scale);
        QFETCH(QRect, expected);
        const double dpi = 600, off = 40;
        QCOMPARE(TRepPrinter::FitScale(page.width(), page.height(), paper.width(), paper.height()), scale);
        const QRect rect = TRepPrinter::FittedPageRect(page.width(), page.height(), paper.width(), paper.height(),
                                                       off, off, dpi, dpi);
        QCOMPARE(rect, expected);
        // The whole page lies on the paper.
        if (paper.width() > 0) {
            const QRect onPaper(QPoint(-94, -94), QPoint(int(std::lround((paper.width() - off) * dpi / 254)) - 1,
                                                         int(std::lround((paper.height() - off) * dpi / 254)) - 1));
            QVERIFY(onPaper.contains(rect));
        }
        const QTransform t = TRepPrinter::FitTransform(page.width(), page.height(), paper.width(), paper.height(),
                                                       off, off, dpi, dpi);
        const QPointF topLeft = t.map(QPointF(-off * dpi / 254, -off * dpi / 254));
        const QPointF bottomRight = t.map(QPointF((page.width() - off) * dpi / 254, (page.height() - off) * dpi / 254));
        QVERIFY(std::abs(topLeft.x() - rect.left()) <= 1 && std::abs(topLeft.y() - rect.top()) <= 1);
        QVERIFY(std::abs(bottomRight.x() - (rect.right() + 1)) <= 1);
        QVERIFY(std::abs(bottomRight.y() - (rect.bottom() + 1)) <= 1);
    }

    void printerSettingsFollowTheReport()
    {
        TRepReport report;
        report.Page().SetPaperSize(TRepPaperSize::A5);
        report.Page().SetOrientation(poLandscape);
        report.PrinterSettings.FirstPage = 2;
        report.PrinterSettings.LastPage = 3;
        report.PrinterSettings.UseCustomBinCode = true;
        report.PrinterSettings.CustomBinCode = 260;
        TRepPrinter store(&report);
        store.CopyReportSettings();
        QCOMPARE(store.PrintRange().FirstPage, 2);
        QCOMPARE(store.PrintRange().LastPage, 3);
        QCOMPARE(store.Settings().Orientation, poLandscape);
        QCOMPARE(store.PaperWidth(), 2100.0);
        QCOMPARE(store.PaperLength(), 1480.0);
        QVERIFY(store.Settings().UseCustomBinCode);
        QCOMPARE(store.Settings().CustomBinCode, 260);
    }

    void paperNotOfferedKeepsThePrintersOwn()
    {
        if (!TRepPrinter::PrintersExist())
            QSKIP("no printer installed");
        TRepReport report;
        report.Page().SetPaperSize(TRepPaperSize::A4Plus);
        TRepPrinter store(&report);
        const QList<int> offered = store.Settings().SupportedPapers;
        if (offered.isEmpty() || offered.contains(TRepPaperTable::PaperCode(TRepPaperSize::A4Plus)))
            QSKIP("the printer offers A4 Plus or lists no papers");
        const TRepPaperSize own = store.Settings().PaperSize;
        store.CopyReportSettings();
        QCOMPARE(store.Settings().PaperSize, own);
        // Printing lays the page out on the report's paper and shrinks it
        // onto the printer's, so the foot of the page is not cut off...
        store.SetOutputTarget(TRepPrinter::Printer);
        QCOMPARE(store.PaperLength(), 3300.0);
        QVERIFY(TRepPrinter::FitScale(2100, 3300, store.Settings().ExtentWidth(), store.Settings().ExtentLength())
                < 1.0);
        // ...a recorded page keeps the report's too.
        store.SetOutputTarget(TRepPrinter::PageStore);
        QCOMPARE(store.PaperLength(), 3300.0);
    }

    void readsTheInstalledPrinter()
    {
        if (!TRepPrinter::PrintersExist())
            QSKIP("no printer installed");
        TRepPrinter store;
        const TPrinterSettings &s = store.Settings();
        QVERIFY(!s.Device.isEmpty());
        QVERIFY(s.PixelsPerInchX >= 72);
        QVERIFY(s.PhysicalOffsetX >= 0 && s.PhysicalOffsetX < 300);
        QVERIFY(s.PaperWidth > 500 && s.PaperLength > 500);
        QVERIFY(!s.SupportedPapers.isEmpty());
    }
};

QTEST_MAIN(TstTRepPrinter)
#include "tst_trepprinter.moc"
