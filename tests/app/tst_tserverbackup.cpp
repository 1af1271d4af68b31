// Backup and restore of a database on a server through its services
// interface, and who the program is on that server (the shop's own user,
// a wrong password, no password). Needs the private server that
// scripts/test-setup.d/10-firebird-server.sh starts (OS_FB_SERVER).
#include "app/tapplication.h"
#include "app/tdatabaselogin.h"
#include "app/tdatabaserestore.h"
#include "app/tserverbackup.h"
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbservices.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmessagerecorder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void AddClient(TDM &dm, const QString &name)
{
    dm.ClientesQuery->Append();
    dm.ClientesQueryNOME->SetAsString(name);
    dm.ClientesQuery->ApplyChanges();
}

qint64 Scalar(TFbDatabase *db, const QString &sql)
{
    qint64 v = 0;
    TFbTransaction::RunAlone(db, [&](TFbQuery &q) {
        q.SetSQL(sql);
        q.Open();
        v = q.Field(0)->AsLargeInt();
    });
    return v;
}

QString Text(TFbDatabase *db, const QString &sql)
{
    QString v;
    TFbTransaction::RunAlone(db, [&](TFbQuery &q) {
        q.SetSQL(sql);
        q.Open();
        v = q.Field(0)->AsString().trimmed();
    });
    return v;
}

void Run(TFbDatabase *db, const QString &sql)
{
    TFbTransaction::RunAlone(db, [&](TFbQuery &q) {
        q.SetSQL(sql);
        q.Execute();
    });
}

} // namespace

class TstTServerBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_serverDir;   // the server's side
    QString m_host;
    QString m_name;                               // host/port:/dir/DADOS.GDB
    QString m_shopUser;
    QString m_shopPassword;

    // The files the server holds in the test's folder.
    QStringList ServerFiles() const { return QDir(m_serverDir->path()).entryList(QDir::Files); }
    QString OnServer(const QString &file) const { return m_host + QLatin1Char(':') + m_serverDir->path() + '/' + file; }

private slots:
    void initTestCase();
    void cleanupTestCase();

    void backupIsStreamedHereAndChecked();
    void restoreMakesANewDatabaseBesideTheOld();
    void refusedRestoreLeavesNothingOnTheServer_data();
    void refusedRestoreLeavesNothingOnTheServer();

    void localDatabaseNeedsNoCredentials();
    void shopUserOfItsOwnFromTheSettings();
    void wrongPasswordIsSaidAndAskedAgain();
    void serverRefusesNoPassword();
    void rememberedPasswordIsReadableByItsOwnerOnly();
    void unreachableServerIsSaidBeforeAnyPassword_data();
    void unreachableServerIsSaidBeforeAnyPassword();
    void checkLeftOnTheServerIsRemovedAtTheNextStart();
};

void TstTServerBackup::initTestCase()
{
    TApplication::Configure();
    m_host = qEnvironmentVariable("OS_FB_SERVER");
    if (m_host.isEmpty())
        QSKIP("OS_FB_SERVER is not set: no Firebird server was started for the tests "
              "(see scripts/test-setup.d/10-firebird-server.sh)");
    const QString dir = qEnvironmentVariable("OS_FB_SERVER_DIR", QStringLiteral("/tmp"));
    m_serverDir = std::make_unique<QTemporaryDir>(dir + "/os-backup-XXXXXX");
    QVERIFY(m_serverDir->isValid());
    // The server process writes here.
    QFile::setPermissions(m_serverDir->path(), QFileDevice::Permissions(0x7777));
    m_name = OnServer(QStringLiteral("DADOS.GDB"));
    TDmSchema::CreateDatabaseFile(m_name);

    // The shop's own user: a strong password, rights on the six tables and
    // their key generators only.
    m_shopUser = QStringLiteral("LOJA%1").arg(QRandomGenerator::global()->bounded(100000, 999999));
    m_shopPassword = QStringLiteral("Bx7-q%1-Lm9tZ").arg(QRandomGenerator::global()->bounded(1000, 9999));
    TDM admin;
    admin.Database->SetDatabaseName(m_name);
    admin.Database->Open();
    Run(admin.Database, QStringLiteral("create user %1 password '%2' using plugin Srp").arg(m_shopUser, m_shopPassword));
    // The right to create databases (a restore makes one) is kept in the
    // server's security database, beside the private server's data folder.
    {
        TFbDatabase security;
        security.SetDatabaseName(m_host + QLatin1Char(':') + QFileInfo(dir).absolutePath()
                                 + QStringLiteral("/firebird/security3.fdb"));
        security.SetParams(admin.Database->Params());
        security.Open();
        Run(&security, QStringLiteral("grant create database to user %1").arg(m_shopUser));
    }
    for (const TDmTable &t : TDmSchema::Tables()) {
        Run(admin.Database, QStringLiteral("grant select, insert, update, delete on %1 to %2")
                                .arg(QLatin1String(t.table), m_shopUser));
        if (*t.generator)
            Run(admin.Database, QStringLiteral("grant usage on generator %1 to %2").arg(QLatin1String(t.generator), m_shopUser));
    }
}

void TstTServerBackup::cleanupTestCase()
{
    if (m_shopUser.isEmpty())
        return;
    TDM admin;
    admin.Database->SetDatabaseName(m_name);
    admin.Database->Open();
    Run(admin.Database, QStringLiteral("drop user %1 using plugin Srp").arg(m_shopUser));
}

void TstTServerBackup::backupIsStreamedHereAndChecked()
{
    TDM dm;
    dm.Database->SetDatabaseName(m_name);
    dm.OpenAll();
    AddClient(dm, QStringLiteral("Ana Ção"));
    QTemporaryDir here;
    const QString file = here.filePath(QStringLiteral("DADOS.FBK"));
    TServerBackup::Backup(dm.Database, file);
    QVERIFY(QFileInfo(file).size() > 0);
    QCOMPARE(QDir(here.path()).entryList(QDir::Files), QStringList{QStringLiteral("DADOS.FBK")});
    // The scratch database of the check is gone from the server.
    QCOMPARE(ServerFiles(), QStringList{QStringLiteral("DADOS.GDB")});
    // A second backup over the first one, while the session goes on.
    AddClient(dm, QStringLiteral("Bruno"));
    TServerBackup::Backup(dm.Database, file);
    QCOMPARE(QDir(here.path()).entryList(QDir::Files), QStringList{QStringLiteral("DADOS.FBK")});
    const QString restored = OnServer(QStringLiteral("VERIFICA.GDB"));
    const auto contents = TServerBackup::Restore(dm.Database, file, restored);
    QCOMPARE(contents[0], qMakePair(QStringLiteral("CLIENTES"), qint64(2)));
    TServerBackup::Drop(dm.Database, restored);

    // A backup the server cannot make leaves nothing here.
    TDM gone;
    gone.Database->SetDatabaseName(OnServer(QStringLiteral("SUMIU.GDB")));
    const QString other = here.filePath(QStringLiteral("OUTRO.FBK"));
    try {
        TServerBackup::Backup(gone.Database, other);
        QFAIL("a missing database was backed up");
    } catch (const std::runtime_error &e) {
        QVERIFY2(QString::fromUtf8(e.what()).startsWith(QStringLiteral("O servidor não conseguiu fazer o backup.")), e.what());
    }
    QCOMPARE(QDir(here.path()).entryList(QDir::Files), QStringList{QStringLiteral("DADOS.FBK")});
}

// A backup killed during its check left DADOS_VERIFICACAO_*.GDB on the
// server for ever: the check's scratch database is noted while it exists,
// and the next start removes a noted one that is still there.
void TstTServerBackup::checkLeftOnTheServerIsRemovedAtTheNextStart()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        TServerBackup::SetDuringCheckHook({});
    });
    TDM dm;
    dm.Database->SetDatabaseName(m_name);
    dm.OpenAll();
    QTemporaryDir here;
    const QString file = here.filePath(QStringLiteral("DADOS.FBK"));
    QString scratch;
    QStringList notedDuring;
    bool onServer = false;
    TServerBackup::SetDuringCheckHook([&](const QString &name) {
        scratch = name;
        notedDuring = TServerBackup::PendingChecks();
        onServer = ServerFiles().contains(QFileInfo(TFbServices::FileOf(name)).fileName());
    });
    TServerBackup::Backup(dm.Database, file);
    QVERIFY(onServer);
    QCOMPARE(notedDuring, QStringList{scratch});
    QCOMPARE(TServerBackup::PendingChecks(), QStringList());
    QCOMPARE(ServerFiles(), QStringList{QStringLiteral("DADOS.GDB")});

    // What a kill during the check leaves: the scratch database on the
    // server, and its note here.
    const QString left = OnServer(QStringLiteral("DADOS_VERIFICACAO_20260430_180000123.GDB"));
    TServerBackup::Restore(dm.Database, file, left);
    QFile note(TServerBackup::PendingChecksFile());
    QVERIFY(note.open(QIODevice::WriteOnly));
    note.write(left.toUtf8() + '\n');
    note.close();
    QCOMPARE(ServerFiles().size(), 2);
    QCOMPARE(TServerBackup::RemoveLeftovers(dm.Database), QStringList{left});
    QCOMPARE(ServerFiles(), QStringList{QStringLiteral("DADOS.GDB")});
    QCOMPARE(TServerBackup::PendingChecks(), QStringList());
}

// Restored as a new file beside the database in use, which is not touched.
void TstTServerBackup::restoreMakesANewDatabaseBesideTheOld()
{
    TDM dm;
    dm.Database->SetDatabaseName(m_name);
    dm.OpenAll();
    const qint64 before = Scalar(dm.Database, QStringLiteral("select count(*) from CLIENTES"));
    QTemporaryDir here;
    const QString file = here.filePath(QStringLiteral("DADOS.FBK"));
    TServerBackup::Backup(dm.Database, file);
    AddClient(dm, QStringLiteral("Depois do backup"));

    const QString name = TServerBackup::RestoredName(dm.Database, QDateTime(QDate(2026, 2, 3), QTime(4, 5, 6)));
    QCOMPARE(name, OnServer(QStringLiteral("DADOS_RESTAURADO_20260203_040506.GDB")));
    const auto contents = TServerBackup::Restore(dm.Database, file, name);
    QCOMPARE(contents.size(), 6);
    QCOMPARE(contents[0].second, before);
    QVERIFY(ServerFiles().contains(QStringLiteral("DADOS_RESTAURADO_20260203_040506.GDB")));
    // The database in use keeps its change; the new one has the backup's.
    QCOMPARE(Scalar(dm.Database, QStringLiteral("select count(*) from CLIENTES")), before + 1);
    {
        TDM restored;
        restored.Database->SetDatabaseName(name);
        restored.OpenAll();
        QCOMPARE(restored.ClientesQuery->RecordCount(), int(before));
        AddClient(restored, QStringLiteral("Na cópia restaurada"));
    }
    // Never over an existing file: the same name again, or the database in use.
    for (const QString &taken : {name, m_name}) {
        try {
            TServerBackup::Restore(dm.Database, file, taken);
            QFAIL("restored over an existing file");
        } catch (const std::runtime_error &e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(QStringLiteral("já existe no servidor e não é substituído")), e.what());
        }
    }
    QCOMPARE(Scalar(dm.Database, QStringLiteral("select count(*) from CLIENTES")), before + 1);
    TServerBackup::Drop(dm.Database, name);
    QVERIFY(!ServerFiles().contains(QStringLiteral("DADOS_RESTAURADO_20260203_040506.GDB")));
}

void TstTServerBackup::refusedRestoreLeavesNothingOnTheServer_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("not a backup") << "text" << "O servidor não conseguiu restaurar o backup";
    QTest::newRow("a backup cut short") << "cut" << "O servidor não conseguiu restaurar o backup";
    QTest::newRow("another program's database") << "foreign" << "faltam as tabelas CLIENTES";
    QTest::newRow("a copy of a local database file") << "local copy" << "cópia de um banco de dados local";
}

void TstTServerBackup::refusedRestoreLeavesNothingOnTheServer()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    TDM dm;
    dm.Database->SetDatabaseName(m_name);
    dm.Database->Open();
    QTemporaryDir here;
    QString file = here.filePath(QStringLiteral("DADOS.FBK"));
    if (kind == QLatin1String("text")) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4000, 'x'));
    } else if (kind == QLatin1String("cut")) {
        TServerBackup::Backup(dm.Database, file);
        QVERIFY(QFile::resize(file, QFileInfo(file).size() / 2));
    } else if (kind == QLatin1String("foreign")) {
        const QString foreign = OnServer(QStringLiteral("OUTRO.GDB"));
        TFbDatabase::CreateDatabase(foreign, QStringLiteral("SYSDBA"), QStringLiteral("quillmoss"));
        TFbDatabase other;
        other.SetDatabaseName(foreign);
        other.SetParams(dm.Database->Params());
        other.Open();
        Run(&other, QStringLiteral("create table FOTOS (ID integer)"));
        other.Close();
        // The program's own backup refuses it at its check.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, TServerBackup::Backup(&other, file));
        QVERIFY(!QFileInfo::exists(file));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        TFbServices(m_host, QStringLiteral("SYSDBA"), QStringLiteral("quillmoss")).Backup(TFbServices::FileOf(foreign), out);
        TServerBackup::Drop(dm.Database, foreign);
    } else {
        file = here.filePath(QStringLiteral("DADOS.GDB"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x01'));
    }
    const QStringList before = ServerFiles();
    const QString name = OnServer(QStringLiteral("NOVO.GDB"));
    try {
        TServerBackup::Restore(dm.Database, file, name);
        QFAIL("the file was restored");
    } catch (const std::runtime_error &e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(said), e.what());
    }
    QCOMPARE(ServerFiles(), before);
}

// The embedded engine: no settings, no box, nothing opened here.
void TstTServerBackup::unreachableServerIsSaidBeforeAnyPassword_data()
{
    QTest::addColumn<bool>("saved");
    QTest::newRow("password to be asked") << false;
    QTest::newRow("password in the settings") << true;
}

// A server that does not answer at start: the password was asked first,
// then the connection was said "lost" with "nothing typed was lost".
void TstTServerBackup::unreachableServerIsSaidBeforeAnyPassword()
{
    QFETCH(bool, saved);
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    auto dm = db.MakeDM(false);
    // Nothing listens on port 1 of the loopback.
    dm->Database->SetDatabaseName(QStringLiteral("127.0.0.1/1:/srv/os/DADOS.GDB"));
    QTemporaryDir home;
    QSettings settings(home.filePath(QStringLiteral("ordemservico.conf")), QSettings::IniFormat);
    if (saved) {
        settings.setValue(TDatabaseLogin::UserKey(), QStringLiteral("LOJA"));
        settings.setValue(TDatabaseLogin::PasswordKey(), QStringLiteral("segredo"));
    }
    TMessageRecorder rec;
    bool asked = false;
    QVERIFY(!TDatabaseLogin::Connect(dm->Database, settings,
                                     [&](TDatabaseCredentials &, const QString &, const QString &) { return asked = true; }));
    QVERIFY(!asked);
    QVERIFY(!dm->Database->Connected());
    QCOMPARE(rec.Count(), 1);
    const QString said = rec.Last().text;
    QVERIFY2(said.startsWith(QStringLiteral("O servidor do banco de dados em \"127.0.0.1/1\" não responde.")),
             qPrintable(said));
    QCOMPARE(said.count(QStringLiteral("Detalhe técnico")), 1);
    QVERIFY2(!said.contains(QStringLiteral("perdida")) && !said.contains(QStringLiteral("perdido")), qPrintable(said));
}

void TstTServerBackup::localDatabaseNeedsNoCredentials()
{
    TFbTestDb db;
    OS_REQUIRE_TEST_DB(db);
    auto dm = db.MakeDM(false);
    QTemporaryDir home;
    QSettings settings(home.filePath(QStringLiteral("ordemservico.conf")), QSettings::IniFormat);
    bool asked = false;
    QVERIFY(TDatabaseLogin::Connect(dm->Database, settings,
                                    [&](TDatabaseCredentials &, const QString &, const QString &) { return asked = true; }));
    QVERIFY(!asked);
    dm->OpenAll();
    QCOMPARE(dm->ConfigQueryIDCONFIG->AsInteger(), 1);
    QVERIFY(!QFileInfo::exists(settings.fileName()));
}

void TstTServerBackup::shopUserOfItsOwnFromTheSettings()
{
    QTemporaryDir home;
    QSettings settings(home.filePath(QStringLiteral("ordemservico.conf")), QSettings::IniFormat);
    settings.setValue(TDatabaseLogin::UserKey(), m_shopUser);
    settings.setValue(TDatabaseLogin::PasswordKey(), m_shopPassword);
    TDM dm;
    dm.Database->SetDatabaseName(m_name);
    bool asked = false;
    QVERIFY(TDatabaseLogin::Connect(dm.Database, settings,
                                    [&](TDatabaseCredentials &, const QString &, const QString &) { return asked = true; }));
    QVERIFY(!asked);
    QVERIFY(dm.Database->Connected());
    QCOMPARE(Text(dm.Database, QStringLiteral("select current_user from rdb$database")), m_shopUser);
    // The work of the shop: read, new records with their keys, change, delete.
    dm.OpenAll();
    AddClient(dm, QStringLiteral("Cliente da loja"));
    dm.ClientesQuery->Edit();
    dm.ClientesQueryCIDADE->SetAsString(QStringLiteral("Olinda"));
    dm.ClientesQuery->ApplyChanges();
    dm.ProdForneQuery->Append();
    dm.ProdForneQueryDESCRICAO->SetAsString(QStringLiteral("Parafuso"));
    dm.ProdForneQuery->ApplyChanges();
    dm.ProdForneQuery->Delete();
    dm.ProdForneQuery->ApplyChanges();
    // It is not the administrator: it cannot manage users.
    QVERIFY_THROWS_EXCEPTION(EFbError, Run(dm.Database, QStringLiteral("create user INTRUSO password 'x1y2z3'")));
    // Only the owner of a database may have the server back it up: the
    // administrator's database is refused with the reason.
    QTemporaryDir here;
    const QString file = here.filePath(QStringLiteral("DADOS.FBK"));
    try {
        TServerBackup::Backup(dm.Database, file);
        QFAIL("a database of another owner was backed up");
    } catch (const std::runtime_error &e) {
        QVERIFY2(QString::fromUtf8(e.what()).contains(
                     QStringLiteral("O usuário \"%1\" não é o dono deste banco de dados").arg(m_shopUser)),
                 e.what());
    }
    // The database restored by the shop's user is its own: there it makes
    // and checks its backups.
    {
        TDM admin;
        admin.Database->SetDatabaseName(m_name);
        admin.Database->Open();
        TServerBackup::Backup(admin.Database, file);
    }
    const QString own = OnServer(QStringLiteral("DA_LOJA.GDB"));
    TServerBackup::Restore(dm.Database, file, own);
    TDM shop;
    shop.Database->SetDatabaseName(own);
    shop.Database->SetParams(dm.Database->Params());
    shop.OpenAll();
    QCOMPARE(Text(shop.Database, QStringLiteral("select mon$owner from mon$database")), m_shopUser);
    AddClient(shop, QStringLiteral("Na base da loja"));
    TServerBackup::Backup(shop.Database, here.filePath(QStringLiteral("LOJA.FBK")));
    QVERIFY(QFileInfo(here.filePath(QStringLiteral("LOJA.FBK"))).size() > 0);
    shop.CloseAll();
    TServerBackup::Drop(shop.Database, own);
}

void TstTServerBackup::wrongPasswordIsSaidAndAskedAgain()
{
    QTemporaryDir home;
    QSettings settings(home.filePath(QStringLiteral("ordemservico.conf")), QSettings::IniFormat);
    settings.setValue(TDatabaseLogin::UserKey(), m_shopUser);
    settings.setValue(TDatabaseLogin::PasswordKey(), QStringLiteral("errada"));
    TDM dm;
    dm.Database->SetDatabaseName(m_name);
    QStringList messages;
    QString server;
    QVERIFY(TDatabaseLogin::Connect(dm.Database, settings,
                                    [&](TDatabaseCredentials &c, const QString &s, const QString &message) {
                                        messages << message;
                                        server = s;
                                        // The user is kept, the refused password is not.
                                        if (c.user != m_shopUser || !c.password.isEmpty())
                                            return false;
                                        c.password = messages.size() == 1 ? QStringLiteral("errada de novo") : m_shopPassword;
                                        return true;
                                    }));
    QVERIFY(dm.Database->Connected());
    QCOMPARE(server, m_host);
    const QString refused = QStringLiteral("O servidor recusou o usuário \"%1\" ou a senha. Verifique e tente de novo.").arg(m_shopUser);
    QCOMPARE(messages, QStringList({refused, refused}));
    // Not remembered: the settings keep what they had.
    QCOMPARE(settings.value(TDatabaseLogin::PasswordKey()).toString(), QStringLiteral("errada"));
}

void TstTServerBackup::serverRefusesNoPassword()
{
    // The engine itself: a user without password does not get in, and the
    // clerk reads why in Portuguese.
    {
        TDM dm;
        dm.Database->SetDatabaseName(m_name);
        dm.Database->SetParams({QStringLiteral("user_name=") + m_shopUser});
        try {
            dm.Database->Open();
            QFAIL("attached without a password");
        } catch (const EFbError &e) {
            QVERIFY2(e.Message().startsWith(QStringLiteral("O banco de dados recusou o usuário ou a senha")), e.what());
        }
    }
    // No settings at all: the box is asked; no password typed is refused and
    // asked again; giving up leaves the database closed.
    QTemporaryDir home;
    QSettings settings(home.filePath(QStringLiteral("ordemservico.conf")), QSettings::IniFormat);
    TDM dm;
    dm.Database->SetDatabaseName(m_name);
    QStringList messages;
    QVERIFY(!TDatabaseLogin::Connect(dm.Database, settings,
                                     [&](TDatabaseCredentials &c, const QString &, const QString &message) {
                                         messages << message;
                                         c.user = m_shopUser;
                                         c.remember = true;
                                         return messages.size() == 1;
                                     }));
    QVERIFY(!dm.Database->Connected());
    QCOMPARE(messages, QStringList({QString(), QStringLiteral("O servidor exige uma senha. Digite o usuário e a senha da loja.")}));
    QVERIFY(!settings.contains(TDatabaseLogin::PasswordKey()));
}

void TstTServerBackup::rememberedPasswordIsReadableByItsOwnerOnly()
{
    QTemporaryDir home;
    const QString file = home.filePath(QStringLiteral("ordemservico.conf"));
    TDM dm;
    dm.Database->SetDatabaseName(m_name);
    {
        QSettings settings(file, QSettings::IniFormat);
        QVERIFY(TDatabaseLogin::Connect(dm.Database, settings, [&](TDatabaseCredentials &c, const QString &, const QString &) {
            c = {m_shopUser, m_shopPassword, true};
            return true;
        }));
    }
    QVERIFY(dm.Database->Connected());
    QCOMPARE(int(QFileInfo(file).permissions() & 0x0777), 0x0600);
    // The next start asks nothing.
    dm.Database->Close();
    QSettings settings(file, QSettings::IniFormat);
    QCOMPARE(settings.value(TDatabaseLogin::UserKey()).toString(), m_shopUser);
    bool asked = false;
    QVERIFY(TDatabaseLogin::Connect(dm.Database, settings,
                                    [&](TDatabaseCredentials &, const QString &, const QString &) { return asked = true; }));
    QVERIFY(!asked);
    QVERIFY(dm.Database->Connected());
    // A settings file left readable by others is closed up when it holds a password.
    dm.Database->Close();
    QFile::setPermissions(file, QFileDevice::Permissions(0x6644));
    QVERIFY(TDatabaseLogin::Connect(dm.Database, settings, {}));
    QCOMPARE(int(QFileInfo(file).permissions() & 0x0777), 0x0600);
}

QTEST_MAIN(TstTServerBackup)
#include "tst_tserverbackup.moc"
