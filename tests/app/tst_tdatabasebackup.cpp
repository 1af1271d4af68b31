// The consistent copy of the open database: lock, copy, release, header
// fix-up, check; and what is left when a step fails.
#include "app/tapplication.h"
#include "app/tdatabasebackup.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbtestdb.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
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
    void onlyOurOwnLeftoverLockIsReleased_data();
    void onlyOurOwnLeftoverLockIsReleased();
    void killedBackupLeavesNoPartialCopyAfterTheNextStart();
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

void TstTDatabaseBackup::onlyOurOwnLeftoverLockIsReleased_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("released");
    QTest::addColumn<int>("stateAfter");
    QTest::newRow("our lock, the run stopped mid-backup") << "ours" << true << 0;
    QTest::newRow("administrator's lock (nbackup -L)") << "administrator" << false << 1;
    QTest::newRow("our marker without a lock") << "marker" << false << 0;
}

// A lock this program left behind is released at start; a lock somebody
// set on purpose is not.
void TstTDatabaseBackup::onlyOurOwnLeftoverLockIsReleased()
{
    QFETCH(QString, left);
    QFETCH(bool, released);
    QFETCH(int, stateAfter);
    TFbTestDb db;
    if (!db.IsValid())
        QSKIP(qPrintable(db.Error()));
    auto dm = db.MakeDM();
    const QString marker = TDatabaseBackup::LockMarkerFile(dm->Database);
    QCOMPARE(marker, db.Path() + QStringLiteral(".backup-lock"));
    auto run = [&](const QString &sql) {
        TFbTransaction tr;
        tr.SetDefaultDatabase(dm->Database);
        TFbQuery q;
        q.SetDatabase(dm->Database);
        q.SetTransaction(&tr);
        q.SetSQL(sql);
        if (!sql.startsWith(QLatin1String("select"))) {
            q.Execute();
            tr.Commit();
            return -1;
        }
        q.Open();
        return q.FieldByName(QStringLiteral("STATE"))->AsInteger();
    };
    const QString state = QStringLiteral("select mon$backup_state as state from mon$database");
    if (left == QLatin1String("ours")) {
        TDatabaseBackup::BeginLock(dm->Database);
        QVERIFY(QFileInfo::exists(marker));
    } else if (left == QLatin1String("administrator")) {
        run(QStringLiteral("alter database begin backup"));
    } else {
        QFile f(marker);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    dm->CloseAll();   // the run ends; the next one starts
    dm->Database->Open();
    QCOMPARE(TDatabaseBackup::ReleaseStaleLock(dm->Database), released);
    QCOMPARE(run(state), stateAfter);
    QVERIFY(!QFileInfo::exists(marker));
    if (stateAfter == 1)
        run(QStringLiteral("alter database end backup"));
}

// A backup killed half-way leaves its partial copy (and the lock file that
// marked it as being written) in its dated folder; the next start removes
// them, and nothing else: not a copy another instance is writing now, not
// a file of another name, not a folder this program did not name.
void TstTDatabaseBackup::killedBackupLeavesNoPartialCopyAfterTheNextStart()
{
    QTemporaryDir root;
    auto write = [&](const QString &relative, const QByteArray &data = QByteArray(4096, 'p')) {
        const QString file = root.filePath(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (f.open(QIODevice::WriteOnly))
            f.write(data);
        return file;
    };
    // The killed backup: its lock names a process that no longer runs.
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForFinished());
    const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
    write(QStringLiteral("08.12.25 - 21h40m05s/DADOS.GDB.part"));
    write(QStringLiteral("08.12.25 - 21h40m05s/DADOS.GDB.part.lock"),
          QByteArray::number(deadPid) + "\nordemservico\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    // A killed server backup with no lock left, beside a finished one.
    write(QStringLiteral("09.12.25 - 10h00m00s/DADOS.FBK.part"));
    const QString finished = write(QStringLiteral("09.12.25 - 10h00m00s/DADOS.GDB"));
    // Another instance is writing this one right now.
    const QString running = write(QStringLiteral("10.12.25 - 11h00m00s/DADOS.GDB.part"));
    QLockFile writing(running + QStringLiteral(".lock"));
    QVERIFY(writing.tryLock(0));
    // Not ours.
    const QString otherName = write(QStringLiteral("11.12.25 - 12h00m00s/NOTAS.GDB.part"));
    const QString otherFolder = write(QStringLiteral("meus backups/DADOS.GDB.part"));

    const QStringList removed = TDatabaseBackup::RemoveLeftovers(root.path());
    QCOMPARE(removed.size(), 2);
    QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("08.12.25 - 21h40m05s"))));
    QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("09.12.25 - 10h00m00s/DADOS.FBK.part"))));
    for (const QString &kept : {finished, running, otherName, otherFolder})
        QVERIFY2(QFileInfo::exists(kept), qPrintable(kept));
    writing.unlock();
    // Once that backup is over (killed too), the next start removes it.
    QCOMPARE(TDatabaseBackup::RemoveLeftovers(root.path()), QStringList{running});
    // Without a backup folder there is nothing to do.
    QVERIFY(TDatabaseBackup::RemoveLeftovers(root.filePath(QStringLiteral("nada"))).isEmpty());
}

QTEST_MAIN(TstTDatabaseBackup)
#include "tst_tdatabasebackup.moc"
