// Printing for real: a CUPS queue that writes every job as a PDF file
// (scripts/test-setup.d/20-cups-pdf.sh sets it up and names it in
// OS_CUPS_PDF_QUEUE and OS_CUPS_PDF_DIR).

#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbtext.h"
#include "report/model/trepreport.h"
#include "report/print/trepprinter.h"
#include "tests/support/trepmemorydataset.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class TstTRepCupsPrint : public QObject
{
    Q_OBJECT

    QString queue, folder;
    int queueIndex = -1;

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

    // Waits for the queue's PDF of a job and returns its text per page.
    QStringList WaitForPdf(const QString &title)
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
};

QTEST_MAIN(TstTRepCupsPrint)
#include "tst_trepcupsprint.moc"
