// The database connection errors a clerk reads: in Portuguese, with a hint
// of what to do, and the engine's own text kept after it for support.
#include "data/efberror.h"
#include "data/tfbconnectmessage.h"
#include "data/tfbdatabase.h"
#include "tests/support/tfbtestdb.h"

#include <QFile>
#include <QtTest>

class TstTFbConnectMessage : public QObject
{
    Q_OBJECT
private slots:
    void connectionErrorsInEnglish_data();
    void connectionErrorsInEnglish();
    void missingAndUnreadableFilesOnTheRealEngine();
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

QTEST_GUILESS_MAIN(TstTFbConnectMessage)
#include "tst_tfbconnectmessage.moc"
