// The database connection errors a clerk reads: in Portuguese, with a hint
// of what to do, and the engine's own text kept after it for support.
#include "data/efberror.h"
#include "data/tfbconnectmessage.h"
#include "data/tfbdatabase.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/ttinydisk.h"

#include <QFile>
#include <QtTest>

class TstTFbConnectMessage : public QObject
{
    Q_OBJECT
private slots:
    void connectionErrorsInEnglish_data();
    void connectionErrorsInEnglish();
    void missingAndUnreadableFilesOnTheRealEngine();
    void damagedAndReadOnlyFilesInPortuguese();
};

void TstTFbConnectMessage::connectionErrorsInEnglish_data()
{
    QTest::addColumn<qlonglong>("gds");
    QTest::addColumn<QString>("engine");
    QTest::addColumn<QString>("hint");   // empty: the engine's text as it is

    const QString network = QStringLiteral("Unable to complete network request to host \"loja\".\n"
                                           "-Failed to establish a connection.");
    QTest::newRow("server not running") << 335544721LL << network << "servidor está ligado";
    QTest::newRow("no engine to talk to") << 335544375LL << QStringLiteral("unavailable database")
                                          << "servidor está ligado";
    QTest::newRow("file missing")
        << 335544344LL
        << QStringLiteral("I/O error during \"open\" operation for file \"/x/DADOS.GDB\"\n"
                          "-Error while trying to open file\n-No such file or directory")
        << "não foi encontrado";
    QTest::newRow("no permission")
        << 335544344LL
        << QStringLiteral("I/O error during \"open\" operation for file \"/x/DADOS.GDB\"\n"
                          "-Error while trying to open file\n-Permission denied")
        << "Sem permissão";
    QTest::newRow("other I/O error") << 335544344LL << QStringLiteral("I/O error during \"read\"")
                                     << "disco está acessível";
    QTest::newRow("login refused") << 335544472LL
                                   << QStringLiteral("Your user name and password are not defined.")
                                   << "usuário e a senha";
    QTest::newRow("not a connection error") << 335544569LL << QStringLiteral("Dynamic SQL Error") << "";
}

void TstTFbConnectMessage::connectionErrorsInEnglish()
{
    QFETCH(qlonglong, gds);
    QFETCH(QString, engine);
    QFETCH(QString, hint);
    const QString message = TFbConnectMessage::For(long(gds), engine, QStringLiteral("loja:/x/DADOS.GDB"));
    if (hint.isEmpty()) {
        QCOMPARE(message, engine);
        return;
    }
    QVERIFY2(message.contains(hint), qPrintable(message));
    // Portuguese first, the engine's text after it.
    QVERIFY2(!message.startsWith(engine.left(10)), qPrintable(message));
    QVERIFY(message.endsWith(engine));
    QVERIFY(message.contains(QStringLiteral("loja:/x/DADOS.GDB")));
}

void TstTFbConnectMessage::missingAndUnreadableFilesOnTheRealEngine()
{
    TFbTestDb db;
    if (db.EngineMissing())
        QSKIP("no database engine");
    QVERIFY2(db.IsValid(), qPrintable(db.Error()));

    const auto openError = [](const QString &file) {
        TFbDatabase d;
        d.SetDatabaseName(file);
        try {
            d.Open();
        } catch (const EFbError &e) {
            return e.Message();
        }
        return QString();
    };
    const QString missing = openError(db.Dir() + QStringLiteral("/NAOEXISTE.GDB"));
    QVERIFY2(missing.startsWith(QStringLiteral("O arquivo do banco de dados não foi encontrado")),
             qPrintable(missing));
    QVERIFY2(missing.contains(QStringLiteral("I/O error")), qPrintable(missing));

    const QString locked = db.Dir() + QStringLiteral("/TRANCADO.GDB");
    QVERIFY(QFile::copy(db.Path(), locked));
    QVERIFY(QFile::setPermissions(locked, {}));
    QFile probe(locked);
    if (probe.open(QIODevice::ReadOnly)) {
        // This user reads any file (root): there is no permission to take
        // away; the message itself is covered by the table above.
        qInfo("permission case not run: this user reads any file");
        return;
    }
    const QString refused = openError(locked);
    QVERIFY2(refused.startsWith(QStringLiteral("Sem permissão")), qPrintable(refused));
}

// A damaged database ("Missing crypt plugin, but page appears encrypted.")
// and a read-only one ("no permission for read-write access") were told in
// the engine's English only.
void TstTFbConnectMessage::damagedAndReadOnlyFilesInPortuguese()
{
    TFbTestDb db;
    if (db.EngineMissing())
        QSKIP("no database engine");
    QVERIFY2(db.IsValid(), qPrintable(db.Error()));
    // The first error met, opening and reading the catalogue.
    const auto firstError = [](const QString &file) {
        try {
            TFbDatabase d;
            TFbTransaction tr;
            d.SetDatabaseName(file);
            d.SetDefaultTransaction(&tr);
            tr.SetDefaultDatabase(&d);
            d.Open();
            TFbQuery q;
            q.SetDatabase(&d);
            q.SetSQL(QStringLiteral("select count(*) from rdb$relations"));
            q.Open();
            q.Close();
            q.SetSQL(QStringLiteral("select count(*) from clientes"));
            q.Open();
        } catch (const EFbError &e) {
            return e.Message();
        }
        return QString();
    };
    // A page of the catalogue marked encrypted: what a damaged disk leaves.
    const QString damaged = db.Dir() + QStringLiteral("/DANIFICADO.GDB");
    QVERIFY(QFile::copy(db.Path(), damaged));
    QFile f(damaged);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(3 * 16384));
    f.write(QByteArray("\x07\x80", 2) + QByteArray(200, '\xff'));
    f.close();
    const QString broken = firstError(damaged);
    QVERIFY2(broken.startsWith(QStringLiteral("O arquivo do banco de dados está danificado")), qPrintable(broken));
    QVERIFY2(broken.endsWith(QStringLiteral("Detalhe técnico: Missing crypt plugin, but page appears encrypted")),
             qPrintable(broken));

    TTinyDisk disk(8 * 1024);
    if (!disk.Mounted())
        QSKIP("cannot mount a small file system here (needs root)");
    const QString readOnly = disk.Path() + QStringLiteral("/DADOS.GDB");
    QVERIFY(QFile::copy(db.Path(), readOnly));
    QVERIFY(disk.MakeReadOnly());
    const QString refused = firstError(readOnly);
    QVERIFY2(refused.startsWith(QStringLiteral("O arquivo do banco de dados só pode ser lido")), qPrintable(refused));
    QVERIFY2(refused.contains(QStringLiteral("no permission for read-write access")), qPrintable(refused));
    QCOMPARE(refused.count(QStringLiteral("Detalhe técnico")), 1);
}

QTEST_GUILESS_MAIN(TstTFbConnectMessage)
#include "tst_tfbconnectmessage.moc"
