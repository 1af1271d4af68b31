// The consistent copy of the open database: lock, copy, release, header
// fix-up, check; and what is left when a step fails.
#include "tapplication.h"
#include "tdatabasebackup.h"
#include "tdm.h"
#include "tfbdatabase.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tfbtestdb.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TstTDatabaseBackup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void databaseFile_data();
    void databaseFile();
    void fixUpRefusesWhatIsNotALockedCopy();
    void copyOpensAndEndsTheLock();
    void damagedCopyKeepsTheEarlierOne();
    void staleLockOfAServerDatabaseIsLeftAlone();
};

void TstTDatabaseBackup::databaseFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::newRow("local") << "/home/loja/OS - Tarvo Vodevuru/DADOS.GDB" << "/home/loja/OS - Tarvo Vodevuru/DADOS.GDB";
    QTest::newRow("server") << "127.0.0.1:/srv/os/DADOS.GDB" << "/srv/os/DADOS.GDB";
    QTest::newRow("named server") << "balcao:/srv/os/DADOS.GDB" << "/srv/os/DADOS.GDB";
    QTest::newRow("server on its own port") << "balcao/3051:/srv/os/DADOS.GDB" << "/srv/os/DADOS.GDB";
    QTest::newRow("drive letter") << "C:\\OS - Tarvo Vodevuru\\DADOS.GDB" << "C:\\OS - Tarvo Vodevuru\\DADOS.GDB";
}

void TstTDatabaseBackup::databaseFile()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    TDM dm;
    dm.Database->SetDatabaseName(name);
    QCOMPARE(TDatabaseBackup::DatabaseFile(dm.Database), file);
}

void TstTDatabaseBackup::fixUpRefusesWhatIsNotALockedCopy()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    // A database that was never locked: its header has no lock mark.
    const QByteArray before = [&] {
        QFile f(db.Path());
        f.open(QIODevice::ReadOnly);
        return f.read(64);
    }();
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, TDatabaseBackup::FixUpCopy(db.Path()));
    QFile f(db.Path());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(64), before);
    f.close();
    // Not a database file at all, and a file too short.
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("texto.GDB"));
    QFile t(text);
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write(QByteArray(8192, 'x'));
    t.close();
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, TDatabaseBackup::FixUpCopy(text));
    QVERIFY(t.resize(10));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, TDatabaseBackup::FixUpCopy(text));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, TDatabaseBackup::FixUpCopy(dir.filePath(QStringLiteral("nada"))));
}

void TstTDatabaseBackup::copyOpensAndEndsTheLock()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    auto dm = db.MakeDM();
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("DADOS.GDB"));
    bool lockedDuringCopy = false;
    TDatabaseBackup::SetAfterCopyHook([&](const QString &partial) {
        // The file copied under the lock carries the mark the fix-up clears.
        QFile f(partial);
        f.open(QIODevice::ReadOnly);
        const QByteArray header = f.read(64);
        lockedDuringCopy = (quint8(header.at(43)) & 0x0C) == 0x04;
    });
    TDatabaseBackup::CopyDatabase(dm->Database, copy);
    TDatabaseBackup::SetAfterCopyHook(nullptr);
    QVERIFY(lockedDuringCopy);
    QVERIFY(QFileInfo::exists(copy));
    TDatabaseBackup::Verify(copy, dm->Database);
    // The session's database is free again.
    QVERIFY(!TDatabaseBackup::ReleaseStaleLock(dm->Database));
    QVERIFY(!QFileInfo::exists(db.Path() + QStringLiteral(".delta")));
}

void TstTDatabaseBackup::damagedCopyKeepsTheEarlierOne()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    auto dm = db.MakeDM();
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("DADOS.GDB"));
    TDatabaseBackup::CopyDatabase(dm->Database, copy);
    const qint64 good = QFileInfo(copy).size();

    // The second copy comes out damaged (cut short): it is refused, the
    // earlier copy stays, no partial file remains, and the lock is released.
    TDatabaseBackup::SetAfterCopyHook([](const QString &partial) { QFile::resize(partial, 8192 * 3); });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, TDatabaseBackup::CopyDatabase(dm->Database, copy));
    TDatabaseBackup::SetAfterCopyHook(nullptr);
    QCOMPARE(QFileInfo(copy).size(), good);
    TDatabaseBackup::Verify(copy, dm->Database);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("DADOS.GDB")});
    QVERIFY(!TDatabaseBackup::ReleaseStaleLock(dm->Database));
    // The session goes on writing.
    dm->ConfigQuery->Edit();
    dm->ConfigQueryCAB1->SetAsString(QStringLiteral("depois"));
    dm->ConfigQuery->ApplyChanges();
}

void TstTDatabaseBackup::staleLockOfAServerDatabaseIsLeftAlone()
{
    // Another computer may be in the middle of its own backup.
    TDM dm;
    dm.Database->SetDatabaseName(QStringLiteral("servidor:/srv/os/DADOS.GDB"));
    QVERIFY(!TDatabaseBackup::ReleaseStaleLock(dm.Database));
}

QTEST_MAIN(TstTDatabaseBackup)
#include "tst_tdatabasebackup.moc"
