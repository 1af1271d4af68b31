// The choice of the backup to restore: the backups newest first with their
// date and size, the first one chosen by default, nothing to restore when
// none is found.
#include "app/tapplication.h"
#include "settings/trestoreform.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

class TstTRestoreForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void sizeText_data();
    void sizeText();
    void listsAndChooses();
    void withoutBackupsOnlyBrowsing();
};

void TstTRestoreForm::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << qint64(0) << "0,0 KB";
    QTest::newRow("kilobytes") << qint64(1536) << "1,5 KB";
    QTest::newRow("megabytes") << qint64(13107200) << "12,5 MB";
}

void TstTRestoreForm::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(TRestoreForm::SizeText(bytes), text);
}

void TstTRestoreForm::listsAndChooses()
{
    const QList<TBackupEntry> backups{
        {QStringLiteral("/b/09.01.26 - 07h00m00s/DADOS.FBK"), QDateTime(QDate(2026, 1, 9), QTime(7, 0, 0)), 2048},
        {QStringLiteral("/b/08.12.25 - 21h40m05s/DADOS.GDB"), QDateTime(QDate(2025, 12, 8), QTime(21, 40, 5)), 1572864},
    };
    TRestoreForm form(backups);
    QCOMPARE(form.windowTitle(), QStringLiteral("Restaurar Backup"));
    QCOMPARE(form.List->topLevelItemCount(), 2);
    QCOMPARE(form.List->topLevelItem(0)->text(0), QStringLiteral("09/01/2026 07:00:00"));
    QCOMPARE(form.List->topLevelItem(0)->text(1), QStringLiteral("2,0 KB"));
    QCOMPARE(form.List->topLevelItem(1)->text(1), QStringLiteral("1,5 MB"));
    QCOMPARE(form.List->currentItem(), form.List->topLevelItem(0));
    QVERIFY(form.RestoreButton->isEnabled());
    form.List->setCurrentItem(form.List->topLevelItem(1));
    form.RestoreButton->click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.Chosen(), backups[1].file);
}

void TstTRestoreForm::withoutBackupsOnlyBrowsing()
{
    TRestoreForm form({});
    QCOMPARE(form.List->topLevelItemCount(), 0);
    QVERIFY(!form.RestoreButton->isEnabled());
    QVERIFY(form.BrowseButton->isEnabled());
    form.CancelButton->click();
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(form.Chosen().isEmpty());
}

QTEST_MAIN(TstTRestoreForm)
#include "tst_trestoreform.moc"
