// Bringing a backup back on this computer: the list of backups, the check
// of the chosen copy, and the swap of the database file with the current
// file kept beside it; a refused or failed restore changes nothing.
#include "app/tapplication.h"
#include "app/tdatabasebackup.h"
#include "app/tdatabaserestore.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbservices.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbtestdb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void AddClient(TDM &dm, const QString &name)
{
    dm.ClientesQuery->Append();
    dm.ClientesQueryNOME->SetAsString(name);
    dm.ClientesQuery->ApplyChanges();
}

// The clients' names as the session reads them now.
QStringList Clients(TDM &dm)
{
    QStringList names;
    TFbTransaction::RunAlone(dm.Database, [&](TFbQuery &q) {
        q.SetSQL(QStringLiteral("select NOME from CLIENTES order by NOME"));
        q.Open();
        for (; !q.Eof(); q.Next())
            names << q.Field(0)->AsString();
    });
    return names;
}

QByteArray Hash(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1);
}

void WriteFile(const QString &file, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Files beside the database, other than the database itself.
QStringList Beside(const TFbTestDb &db)
{
    QStringList names = QFileInfo(db.Path()).dir().entryList(QDir::Files);
    names.removeAll(QFileInfo(db.Path()).fileName());
    return names;
}

} // namespace

class TstTDatabaseRestore : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void listsBackupsNewestFirst();
    void roundTripKeepsTheReplacedFile_data();
    void roundTripKeepsTheReplacedFile();
    void refusedBackupChangesNothing_data();
    void refusedBackupChangesNothing();
    void refusedWhileAnotherAttachmentHoldsTheDatabase();
    void failedStepPutsTheCurrentDatabaseBack_data();
    void failedStepPutsTheCurrentDatabaseBack();
};

void TstTDatabaseRestore::listsBackupsNewestFirst()
{
    QTemporaryDir root;
    WriteFile(root.filePath(QStringLiteral("08.12.25 - 21h40m05s/DADOS.GDB")), QByteArray(3000, 'a'));
    WriteFile(root.filePath(QStringLiteral("09.01.26 - 07h00m00s/DADOS.FBK")), QByteArray(10, 'b'));
    WriteFile(root.filePath(QStringLiteral("31.12.25 - 23h59m59s/DADOS.GDB")), QByteArray(20, 'c'));
    // Not a backup: another name, or a folder without one.
    WriteFile(root.filePath(QStringLiteral("01.02.26 - 10h00m00s/notas.txt")), "x");
    QDir().mkpath(root.filePath(QStringLiteral("vazia")));
    const QList<TBackupEntry> list = TDatabaseRestore::ListBackups(root.path());
    QCOMPARE(list.size(), 3);
    QCOMPARE(list[0].when, QDateTime(QDate(2026, 1, 9), QTime(7, 0, 0)));
    QVERIFY(list[0].file.endsWith(QStringLiteral("/DADOS.FBK")));
    QCOMPARE(list[0].size, 10);
    QCOMPARE(list[1].when, QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)));
    QCOMPARE(list[2].when, QDateTime(QDate(2025, 12, 8), QTime(21, 40, 5)));
    QCOMPARE(list[2].size, 3000);
    QVERIFY(TDatabaseRestore::ListBackups(root.filePath(QStringLiteral("nada"))).isEmpty());
}

void TstTDatabaseRestore::roundTripKeepsTheReplacedFile_data()
{
    QTest::addColumn<bool>("engineFormat");
    QTest::newRow("copy of the database file") << false;
    QTest::newRow("the engine's own backup format") << true;
}

// Back up, change the data, restore: the change is gone, and the replaced
// file is kept beside the database with the change in it.
void TstTDatabaseRestore::roundTripKeepsTheReplacedFile()
{
    QFETCH(bool, engineFormat);
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    auto dm = db.MakeDM();
    AddClient(*dm, QStringLiteral("Antes"));
    const QString folder = db.Dir() + QStringLiteral("/Backup_OS/08.12.25 - 21h40m05s");
    QDir().mkpath(folder);
    QString backup;
    if (engineFormat) {
        backup = folder + QStringLiteral("/DADOS.FBK");
        QFile out(backup);
        QVERIFY(out.open(QIODevice::WriteOnly));
        TFbServices(QString(), QStringLiteral("SYSDBA"), QStringLiteral("quillmoss")).Backup(db.Path(), out);
    } else {
        backup = folder + QStringLiteral("/DADOS.GDB");
        TDatabaseBackup::CopyDatabase(dm->Database, backup);
    }
    const QByteArray backupHash = Hash(backup);
    AddClient(*dm, QStringLiteral("Depois"));

    const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));
    const TDatabaseRestore::TPrepared prepared = TDatabaseRestore::Prepare(backup, dm->Database, now);
    QCOMPARE(prepared.when, QDateTime(QDate(2025, 12, 8), QTime(21, 40, 5)));
    QCOMPARE(prepared.kept, db.Dir() + QStringLiteral("/OS - Tarvo Vodevuru/DADOS - substituído em 02.01.26 - 03h04m05s.GDB"));
    QCOMPARE(prepared.contents.size(), 6);
    QCOMPARE(prepared.contents[0], qMakePair(QStringLiteral("CLIENTES"), qint64(1)));
    QCOMPARE(prepared.contents[2], qMakePair(QStringLiteral("CONFIG"), qint64(1)));
    QVERIFY(TDatabaseRestore::ContentsText(prepared.contents).startsWith(QStringLiteral("Clientes: 1\nOrdens de serviço: 0\n")));
    // Nothing is changed before the swap.
    QCOMPARE(Clients(*dm), QStringList({QStringLiteral("Antes"), QStringLiteral("Depois")}));

    TDatabaseRestore::Replace(dm.get(), prepared);
    QVERIFY(dm->Database->Connected());
    QVERIFY(dm->ClientesQuery->Active());
    QCOMPARE(Clients(*dm), QStringList{QStringLiteral("Antes")});
    // The session writes to the restored file.
    AddClient(*dm, QStringLiteral("Novo"));
    QCOMPARE(Clients(*dm), QStringList({QStringLiteral("Antes"), QStringLiteral("Novo")}));
    dm->CloseAll();
    // The replaced file is kept, whole, with the change in it; the backup
    // itself is untouched and no scratch copy is left.
    QVERIFY(QFileInfo::exists(prepared.kept));
    QCOMPARE(Beside(db), QStringList{QFileInfo(prepared.kept).fileName()});
    TDM old;
    old.Database->SetDatabaseName(prepared.kept);
    old.OpenAll();
    QCOMPARE(Clients(old), QStringList({QStringLiteral("Antes"), QStringLiteral("Depois")}));
    QCOMPARE(Hash(backup), backupHash);
}

void TstTDatabaseRestore::refusedBackupChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("a text file") << "text" << "não pôde ser aberto como banco de dados";
    QTest::newRow("a copy cut short") << "cut" << "danificado";
    QTest::newRow("another program's database") << "foreign" << "faltam as tabelas CLIENTES, ORDEMSERV";
    QTest::newRow("an engine backup that is not one") << "fake engine backup" << "não pôde ser restaurado";
    QTest::newRow("a file that is not there") << "missing" << "não foi encontrado";
}

void TstTDatabaseRestore::refusedBackupChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    auto dm = db.MakeDM();
    QTemporaryDir dir;
    QString backup = dir.filePath(QStringLiteral("DADOS.GDB"));
    if (kind == QLatin1String("text")) {
        WriteFile(backup, QByteArray(16384, 'x'));
    } else if (kind == QLatin1String("cut")) {
        TDatabaseBackup::CopyDatabase(dm->Database, backup);
        // The header and the first pages stay: it still opens.
        QVERIFY(QFile::resize(backup, 8192 * 20));
    } else if (kind == QLatin1String("foreign")) {
        TFbDatabase::CreateDatabase(backup, QStringLiteral("SYSDBA"), QStringLiteral("quillmoss"));
        TFbDatabase other;
        other.SetDatabaseName(backup);
        other.SetParams(dm->Database->Params());
        other.Open();
        TFbTransaction::RunAlone(&other, [](TFbQuery &q) {
            q.SetSQL(QStringLiteral("create table FOTOS (ID integer)"));
            q.Execute();
        });
        other.Close();
    } else if (kind == QLatin1String("fake engine backup")) {
        backup = dir.filePath(QStringLiteral("DADOS.FBK"));
        WriteFile(backup, QByteArray(5000, '\x01'));
    } else {
        backup = dir.filePath(QStringLiteral("SUMIU.GDB"));
    }
    AddClient(*dm, QStringLiteral("Atual"));
    const QByteArray before = Hash(backup);
    try {
        TDatabaseRestore::Prepare(backup, dm->Database, QDateTime::currentDateTime());
        QFAIL("the backup was accepted");
    } catch (const std::runtime_error &e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(said), e.what());
    }
    // The database is as it was, open, with nothing beside it; the chosen
    // file is not changed either.
    QVERIFY(dm->Database->Connected());
    QCOMPARE(Clients(*dm), QStringList{QStringLiteral("Atual")});
    QCOMPARE(Beside(db), QStringList());
    QCOMPARE(Hash(backup), before);
}

void TstTDatabaseRestore::refusedWhileAnotherAttachmentHoldsTheDatabase()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    auto dm = db.MakeDM();
    QTemporaryDir dir;
    const QString backup = dir.filePath(QStringLiteral("DADOS.GDB"));
    TDatabaseBackup::CopyDatabase(dm->Database, backup);
    AddClient(*dm, QStringLiteral("Atual"));
    QCOMPARE(TDatabaseRestore::OtherAttachments(dm->Database), 0);
    {
        TFbDatabase other;
        other.SetDatabaseName(db.Path());
        other.SetParams(dm->Database->Params());
        other.Open();
        QCOMPARE(TDatabaseRestore::OtherAttachments(dm->Database), 1);
        try {
            TDatabaseRestore::Prepare(backup, dm->Database, QDateTime::currentDateTime());
            QFAIL("restored under another attachment");
        } catch (const std::runtime_error &e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("aberto em outro computador ou programa")),
                     e.what());
        }
        // Checked again at the swap: another computer may attach meanwhile.
        other.Close();
        const auto prepared = TDatabaseRestore::Prepare(backup, dm->Database, QDateTime::currentDateTime());
        other.Open();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, TDatabaseRestore::Replace(dm.get(), prepared));
        TDatabaseRestore::Discard(prepared);
    }
    QVERIFY(dm->Database->Connected());
    QCOMPARE(Clients(*dm), QStringList{QStringLiteral("Atual")});
    QCOMPARE(Beside(db), QStringList());
}

void TstTDatabaseRestore::failedStepPutsTheCurrentDatabaseBack_data()
{
    QTest::addColumn<QString>("step");
    QTest::newRow("after closing") << "closed";
    QTest::newRow("after keeping the current file") << "kept";
    QTest::newRow("after putting the copy in place") << "swapped";
    QTest::newRow("after reopening") << "reopened";
}

void TstTDatabaseRestore::failedStepPutsTheCurrentDatabaseBack()
{
    QFETCH(QString, step);
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    auto dm = db.MakeDM();
    QTemporaryDir dir;
    const QString backup = dir.filePath(QStringLiteral("DADOS.GDB"));
    TDatabaseBackup::CopyDatabase(dm->Database, backup);
    AddClient(*dm, QStringLiteral("Atual"));
    const auto prepared = TDatabaseRestore::Prepare(backup, dm->Database, QDateTime::currentDateTime());
    TDatabaseRestore::SetStepHook([step](const QString &reached) {
        if (reached == step)
            throw std::runtime_error("disco cheio");
    });
    try {
        TDatabaseRestore::Replace(dm.get(), prepared);
        TDatabaseRestore::SetStepHook(nullptr);
        QFAIL("the failure was not reported");
    } catch (const std::runtime_error &e) {
        TDatabaseRestore::SetStepHook(nullptr);
        const QString message = QString::fromUtf8(e.what());
        QVERIFY2(message.startsWith(QStringLiteral("A restauração falhou e o banco de dados atual foi mantido como estava.\n"
                                                   "Motivo: disco cheio")),
                 e.what());
        QVERIFY2(!message.contains(QStringLiteral("ATENÇÃO")), e.what());
    }
    QVERIFY(dm->Database->Connected());
    QVERIFY(dm->ClientesQuery->Active());
    QCOMPARE(Clients(*dm), QStringList{QStringLiteral("Atual")});
    QCOMPARE(Beside(db), QStringList());
}

QTEST_MAIN(TstTDatabaseRestore)
#include "tst_tdatabaserestore.moc"
