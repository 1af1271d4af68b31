// Printing for real: a CUPS queue that writes every job as a PDF file
// (scripts/test-setup.d/20-cups-pdf.sh sets it up and names it in
// OS_CUPS_PDF_QUEUE and OS_CUPS_PDF_DIR).

#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbtext.h"
#include "report/model/treplabel.h"
#include "report/model/treppage.h"
#include "report/model/trepreport.h"
#include "report/print/trepprinter.h"
#include "tests/support/trepmemorydataset.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class TstTRepCupsPrint : public QObject
{
    Q_OBJECT

    QString queue, folder;
    int queueIndex = -1;
    int letterIndex = -1;   // a printer with Letter paper loaded

    // Five pages, one record each: "Registro 1" ... "Registro 5".
    struct FivePages
    {
        TRepReport report;
        TRepMemoryDataSet ds;
        FivePages(const QString &title, int printerIndex)
        {
            report.Page().SetPaperSize(TRepPaperSize::A4);
            report.ReportTitle = title;
            report.ShowProgress = false;
            report.PrinterSettings.PrinterIndex = printerIndex;
            TRepBand *detail = report.AddBand(rbDetail, "Detail");
            detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 2500);
            auto *t = new TRepDBText;
            detail->InsertElement(t);
            t->Size().SetValues({60, 100, 100, 800});
            t->SetDataField("TEXTO");
            t->DataSet = &ds;
            ds.AddField("TEXTO", TRepFieldKind::String);
            for (int i = 1; i <= 5; ++i)
                ds.AppendRow({QStringLiteral("Registro %1").arg(i)});
            report.DataSet = &ds;
        }
    };

    QString UniqueTitle(const char *what)
    {
        return QStringLiteral("osrep_%1_%2_%3")
            .arg(what)
            .arg(QCoreApplication::applicationPid())
            .arg(QDateTime::currentMSecsSinceEpoch());
    }

    // Waits for the queue's PDF of a job: its path, or empty after a minute.
    QString WaitForPdfFile(const QString &title)
    {
        QElapsedTimer t;
        t.start();
        QString found;
        qint64 lastSize = -1;
        while (t.elapsed() < 60000) {
            const QFileInfoList files = QDir(folder).entryInfoList({title + "*.pdf"}, QDir::Files);
            if (!files.isEmpty()) {
                const QFileInfo &f = files.first();
                if (f.size() > 0 && f.size() == lastSize) {
                    found = f.absoluteFilePath();
                    break;
                }
                lastSize = f.size();
            }
            QTest::qWait(300);
        }
        return found;
    }

    // Waits for the queue's PDF of a job and returns its text per page.
    QStringList WaitForPdf(const QString &title)
    {
        const QString found = WaitForPdfFile(title);
        if (found.isEmpty())
            return {};
        QProcess p;
        p.start("pdftotext", {"-layout", found, "-"});
        p.waitForFinished(30000);
        QFile::remove(found);
        QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QChar('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        for (QString &s : pages)
            s = s.simplified();
        return pages;
    }

    // The page size of a job's PDF in points, and where its words are.
    static QSizeF PageSize(const QString &pdf)
    {
        QProcess p;
        p.start("pdfinfo", {pdf});
        p.waitForFinished(30000);
        static const QRegularExpression size(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"));
        const auto m = size.match(QString::fromUtf8(p.readAllStandardOutput()));
        return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
    }
    static QList<QPair<QString, QRectF>> WordBoxes(const QString &pdf)
    {
        QProcess p;
        p.start("pdftotext", {"-bbox", pdf, "-"});
        p.waitForFinished(30000);
        static const QRegularExpression word(QStringLiteral(
            R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re"));
        QList<QPair<QString, QRectF>> out;
        for (auto it = word.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); it.hasNext();) {
            const auto m = it.next();
            out.append({m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                              QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
        }
        return out;
    }

    // A page whose first line sits at the top margin and whose last close
    // to the bottom one, on `paper`, for `printerIndex`.
    struct EdgeToEdge
    {
        TRepReport report;
        // `length`: the paper length the page is laid out for (native).
        EdgeToEdge(const QString &title, int printerIndex, TRepPaperSize paper, double length)
        {
            report.Page().SetPaperSize(paper);
            report.ReportTitle = title;
            report.ShowProgress = false;
            report.PrinterSettings.PrinterIndex = printerIndex;
            TRepBand *band = report.AddBand(rbTitle, "Title");
            band->Size().SetNativeValue(TRepBandSize::HeightIndex, length - 250);
            auto *top = new TRepLabel;
            band->InsertElement(top);
            top->Size().SetValues({60, 0, 0, 800});
            top->SetCaption("Topo");
            auto *bottom = new TRepLabel;
            band->InsertElement(bottom);
            bottom->Size().SetValues({60, 0, length - 250 - 60, 800});
            bottom->SetCaption("Rodape");
        }
    };

    // Checks that the job went out on Letter and both lines are on the paper.
    void OnLetterWhole(const QString &title)
    {
        const QString pdf = WaitForPdfFile(title);
        QVERIFY2(!pdf.isEmpty(), "no job reached the queue");
        const QSizeF size = PageSize(pdf);
        const auto words = WordBoxes(pdf);
        QFile::remove(pdf);
        QVERIFY2(std::abs(size.width() - 612) < 1 && std::abs(size.height() - 792) < 1,
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        for (const char *text : {"Topo", "Rodape"}) {
            const auto it = std::find_if(words.begin(), words.end(), [&](const auto &w) { return w.first == text; });
            QVERIFY2(it != words.end(), text);
            QVERIFY2(it->second.top() >= 0 && it->second.bottom() <= 792,
                     qPrintable(QStringLiteral("%1 at %2..%3").arg(text).arg(it->second.top()).arg(it->second.bottom())));
        }
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        queue = qEnvironmentVariable("OS_CUPS_PDF_QUEUE");
        folder = qEnvironmentVariable("OS_CUPS_PDF_DIR");
        if (queue.isEmpty() || folder.isEmpty())
            QSKIP("no CUPS PDF queue: scripts/test-setup.d/20-cups-pdf.sh did not set one up");
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        queueIndex = int(QPrinterInfo::availablePrinterNames().indexOf(queue));
        if (queueIndex < 0)
            QSKIP("the CUPS PDF queue is not in the printer list");
        letterIndex = int(QPrinterInfo::availablePrinterNames().indexOf(qEnvironmentVariable("OS_CUPS_LETTER_QUEUE")));
    }

    void printRangeReachesThePrinter()
    {
        const QString title = UniqueTitle("range");
        FivePages five(title, queueIndex);
        five.report.PrinterSettings.FirstPage = 2;
        five.report.PrinterSettings.LastPage = 3;
        TRepGenerator::Of(&five.report)->PrintToPrinter();
        const QStringList pages = WaitForPdf(title);
        QCOMPARE(pages, QStringList({"Registro 2", "Registro 3"}));
    }

    void storedPagesPrintTheirRange()
    {
        const QString title = UniqueTitle("stored");
        FivePages five(title, queueIndex);
        five.report.PrinterSettings.PrintMetaFile = true;
        TRepGenerator *gen = TRepGenerator::Of(&five.report);
        gen->ShowPreview();     // no preview window here: the pages stay in the store
        TRepPrinter *store = gen->PreviewStore();
        QVERIFY(store);
        QCOMPARE(store->PageCount(), 5);
        store->SetPrintRange(4, 0);
        store->PrintStoredPages();
        const QStringList pages = WaitForPdf(title);
        QCOMPARE(pages, QStringList({"Registro 4", "Registro 5"}));
    }

    // A printer with Letter loaded that lacks the report's paper (A4 Plus)
    // got the job as A4, which it printed on its Letter scaled and cut: the
    // shop's name landed above the paper. The job goes on its own paper.
    void letterPrinterLosesTheTopLine()
    {
        if (letterIndex < 0)
            QSKIP("no Letter queue: scripts/test-setup.d/20-cups-pdf.sh did not set one up");
        const QString title = UniqueTitle("letter");
        EdgeToEdge page(title, letterIndex, TRepPaperSize::A4Plus, 3300);
        TRepGenerator::Of(&page.report)->PrintToPrinter();
        OnLetterWhole(title);
    }

    // Letter chosen in the print dialog printed on A4: the report prints on
    // the paper chosen there.
    void letterChosenInThePrintDialogPrintsOnA4()
    {
        const QString title = UniqueTitle("chosen");
        // Laid out for the shorter Letter, where it is printed.
        EdgeToEdge page(title, queueIndex, TRepPaperSize::A4, 2794);
        QPageSize offered;
        TRepGenerator::ExecPrintDialog = [&offered](QPrintDialog &dialog) {
            offered = dialog.printer()->pageLayout().pageSize();
            dialog.printer()->setPageSize(QPageSize(QPageSize::Letter));
            return true;
        };
        TRepGenerator::Of(&page.report)->RunPrinterSetup();
        TRepGenerator::ExecPrintDialog = nullptr;
        // The dialog offered the report's own paper.
        QCOMPARE(offered.id(), QPageSize::A4);
        QCOMPARE(page.report.Page().PaperSize(), TRepPaperSize::Letter);
        TRepGenerator::Of(&page.report)->PrintToPrinter();
        OnLetterWhole(title);
    }
};

QTEST_MAIN(TstTRepCupsPrint)
#include "tst_trepcupsprint.moc"
