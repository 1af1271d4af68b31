#include "report/print/trepnotifyevent.h"
#include "report/print/trepprinter.h"
#include "report/print/trepprogressform.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

class TstTRepProgressForm : public QObject
{
    Q_OBJECT
private slots:
    // The captions were English where the shop reads Portuguese only.
    void progressCaptionsInEnglish()
    {
        TRepPrinter store;
        TRepProgressForm printing(&store);
        TRepProgressForm exporting(&store, true);
        QCOMPARE(printing.windowTitle(), QString("Imprimindo"));
        QCOMPARE(exporting.windowTitle(), QString("Exportando"));
        QCOMPARE(printing.findChild<QPushButton *>("CancelButton")->text(), QString("Cancelar"));
        QVERIFY(printing.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void showsEveryFifthPercent()
    {
        TRepPrinter store;
        TRepProgressForm form(&store);
        store.SetViewingWindow(&form);
        store.SetProgress(25);
        QCoreApplication::processEvents();
        QCOMPARE(form.ProgressBar()->value(), 25);
        QCOMPARE(form.InfoLabel()->text(), QString("25% concluído"));
        store.SetProgress(27);
        QCoreApplication::processEvents();
        QCOMPARE(form.ProgressBar()->value(), 25);
        QCOMPARE(store.Progress(), 27);
    }

    void cancelCancelsTheStore()
    {
        TRepPrinter store;
        TRepProgressForm form(&store);
        QVERIFY(!store.Cancelled());
        QTest::mouseClick(form.CancelButton(), Qt::LeftButton);
        QVERIFY(store.Cancelled());
    }
};

QTEST_MAIN(TstTRepProgressForm)
#include "tst_trepprogressform.moc"
