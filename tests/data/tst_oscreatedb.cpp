// os-createdb: the file it makes (tables, columns in order, kinds, sizes,
// keys, CONFIG row 1, dialect 1), and its refusal to touch an existing file.
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbservices.h"
#include "data/tfbtransaction.h"
#include "tests/support/ttinydisk.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TstOsCreateDb : public QObject
{
    Q_OBJECT

    struct TRun
    {
        int code = -1;
        QByteArray out, err;
    };
    // os-createdb with `args`, HOME at `home` (when given), `input` on its
    // standard input, in the folder `cwd` (when given).
    static TRun Start(const QStringList &args, const QString &home = QString(), const QByteArray &input = QByteArray(),
                      const QString &cwd = QString(), const QString &program = QStringLiteral("os-createdb"))
    {
        QProcess p;
        if (!home.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", home);
            env.insert("XDG_CONFIG_HOME", home + "/.config");
            p.setProcessEnvironment(env);
        }
        if (!cwd.isEmpty())
            p.setWorkingDirectory(cwd);
        p.start(QCoreApplication::applicationDirPath() + "/" + program, args);
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(60000);
        TRun r;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return r;
    }
    static int Run(const QStringList &args, QByteArray &err, const QByteArray &home = QByteArray())
    {
        const TRun r = Start(args, QString::fromLocal8Bit(home));
        err = r.err;
        return r.code;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void createsTheSixTablesExactly()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/sub pasta/DADOS.GDB";
        QByteArray err;
        QCOMPARE(Run({path}, err), 0);
        QVERIFY(QFileInfo::exists(path));

        TFbDatabase db;
        TFbTransaction tr;
        db.SetDatabaseName(path);
        db.SetParams({"user_name=SYSDBA", "password=quillmoss"});
        db.SetDefaultTransaction(&tr);
        db.Open();
        QCOMPARE(db.DatabaseSQLDialect(), 1);
        TFbQuery q;
        q.SetDatabase(&db);
        for (const TDmTable &t : TDmSchema::Tables()) {
            q.Close();
            q.SetSQL(QString("select trim(rf.rdb$field_name) as name, f.rdb$field_type as ftype, "
                             "f.rdb$character_length as clen, rf.rdb$null_flag as notnull "
                             "from rdb$relation_fields rf join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
                             "where rf.rdb$relation_name = '%1' order by rf.rdb$field_position").arg(t.table));
            q.Open();
            QCOMPARE(q.RecordCount(), int(t.columns.size()));
            for (size_t i = 0; i < t.columns.size(); ++i) {
                q.SetRecNo(int(i));
                const TDmColumn &c = t.columns[i];
                QCOMPARE(q.FieldByName("name")->AsString(), QString(c.name));
                const int type = q.FieldByName("ftype")->AsInteger();
                switch (c.kind) {
                case TFbFieldKind::String:
                    QCOMPARE(type, 37);   // VARCHAR
                    QCOMPARE(q.FieldByName("clen")->AsInteger(), c.size);
                    break;
                case TFbFieldKind::Integer: QCOMPARE(type, 8); break;
                case TFbFieldKind::DateTime: QCOMPARE(type, 35); break;   // dialect 1 DATE
                default: QCOMPARE(type, 27); break;                       // DOUBLE PRECISION
                }
                QCOMPARE(q.FieldByName("notnull")->AsInteger() == 1, qstrcmp(c.name, t.key) == 0);
            }
            q.Close();
            q.SetSQL(QString("select trim(s.rdb$field_name) as col from rdb$relation_constraints c "
                             "join rdb$index_segments s on s.rdb$index_name = c.rdb$index_name "
                             "where c.rdb$relation_name = '%1' and c.rdb$constraint_type = 'PRIMARY KEY'").arg(t.table));
            q.Open();
            QCOMPARE(q.RecordCount(), 1);
            QCOMPARE(q.FieldByName("col")->AsString(), QString(t.key));
            // The key generator of a table with a new-record rule, at 0.
            if (*t.generator) {
                q.Close();
                q.SetSQL(QString("select count(*) as n from rdb$generators where rdb$generator_name = '%1'").arg(t.generator));
                q.Open();
                QCOMPARE(q.FieldByName("n")->AsInteger(), 1);
                q.Close();
                q.SetSQL(QString("select gen_id(%1, 0) as v from rdb$database").arg(t.generator));
                q.Open();
                QCOMPARE(q.FieldByName("v")->AsInteger(), 0);
            }
        }
        q.Close();
        q.SetSQL("select count(*) as n, min(idconfig) as id from config");
        q.Open();
        QCOMPARE(q.FieldByName("n")->AsInteger(), 1);
        QCOMPARE(q.FieldByName("id")->AsInteger(), 1);
    }

    void refusesAnExistingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/DADOS.GDB";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a database");
        f.close();
        QByteArray err;
        QCOMPARE(Run({path}, err), 1);
        QVERIFY2(err.contains("existe"), err.constData());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("not a database"));
    }

    void defaultPlaceIsUnderHome()
    {
        QTemporaryDir home;
        QByteArray err;
        QCOMPARE(Run({}, err, home.path().toLocal8Bit()), 0);
        QVERIFY(QFileInfo::exists(home.path() + "/OS - Tarvo Vodevuru/DADOS.GDB"));
    }
    // A creation stopped by a full disk left its half-made file, which every
    // later creation (and every later start) then refused as existing.
    void fullDiskLeavesNoHalfMadeFile()
    {
        TTinyDisk disk(512);
        if (!disk.Mounted())
            QSKIP("cannot mount a small file system here (needs root)");
        const QString path = disk.Path() + "/DADOS.GDB";
        TRun r = Start({path});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("O disco está cheio"), r.err.constData());
        QVERIFY2(r.err.contains("Detalhe técnico:"), r.err.constData());
        QVERIFY(!QFileInfo::exists(path));
        // Space freed: the next creation works.
        QVERIFY(disk.Grow(16 * 1024));
        r = Start({path});
        QVERIFY2(r.code == 0, r.err.constData());
        QVERIFY(QFileInfo::exists(path));
    }

    // An unknown option was taken for the name of the file to create.
    void unknownOptionCreatesNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("long") << QStringList{"--bogus"} << QByteArray("opção desconhecida: --bogus");
        QTest::newRow("short") << QStringList{"-x", "DADOS.GDB"} << QByteArray("opção desconhecida: -x");
        QTest::newRow("user without value") << QStringList{"DADOS.GDB", "--user"} << QByteArray("--user precisa");
        QTest::newRow("two paths") << QStringList{"A.GDB", "B.GDB"} << QByteArray("mais de um caminho");
    }
    void unknownOptionCreatesNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, said);
        QTemporaryDir home;
        const TRun r = Start(args, home.path(), QByteArray(), home.path());
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(said), r.err.constData());
        QVERIFY2(r.err.contains("uso: os-createdb"), r.err.constData());
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        // A path starting with "-" is still possible after "--".
        const TRun dashed = Start({"--", "-dados.gdb"}, home.path(), QByteArray(), home.path());
        QVERIFY2(dashed.code == 0, dashed.err.constData());
        QVERIFY(QFileInfo::exists(home.path() + "/-dados.gdb"));
    }

    // The help was written on the standard error.
    void helpGoesToStandardOutput()
    {
        for (const QString &option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const TRun r = Start({option});
            QCOMPARE(r.code, 0);
            QVERIFY2(r.out.contains("uso: os-createdb") && r.out.contains("--password"), r.out.constData());
            QVERIFY2(r.err.isEmpty(), r.err.constData());
        }
    }

    // The built-in administrator password was sent to every server: the
    // user and password come from the options, the settings file or the
    // terminal, as the program takes them.
    void serverUserAsTheProgramTakesIt_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<bool>("created");
        const QString good = "[General]\nuser=SYSDBA\npassword=quillmoss\n";
        const QString wrong = "[General]\nuser=SYSDBA\npassword=errada\n";
        QTest::newRow("options") << QStringList{"--user", "SYSDBA", "--password=quillmoss"} << wrong << QByteArray()
                                 << true;
        QTest::newRow("wrong options") << QStringList{"--user=SYSDBA", "--password", "errada"} << good << QByteArray()
                                       << false;
        QTest::newRow("settings") << QStringList() << good << QByteArray() << true;
        QTest::newRow("wrong settings") << QStringList() << wrong << QByteArray() << false;
        QTest::newRow("typed") << QStringList() << QString() << QByteArray("SYSDBA\nquillmoss\n") << true;
        QTest::newRow("typed wrong") << QStringList() << QString() << QByteArray("SYSDBA\nerrada\n") << false;
        QTest::newRow("nothing typed") << QStringList() << QString() << QByteArray() << false;
    }
    void serverUserAsTheProgramTakesIt()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, settings);
        QFETCH(QByteArray, typed);
        QFETCH(bool, created);
        const QString server = qEnvironmentVariable("OS_FB_SERVER");
        if (server.isEmpty())
            QSKIP("OS_FB_SERVER is not set: no Firebird server was started for the tests");
        QTemporaryDir home;
        if (!settings.isEmpty()) {
            QVERIFY(QDir().mkpath(home.path() + "/.config/ordemservico"));
            QFile conf(home.path() + "/.config/ordemservico/ordemservico.conf");
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write(settings.toUtf8());
        }
        const QString file = qEnvironmentVariable("OS_FB_SERVER_DIR", "/tmp") + "/oscreatedb-"
                             + QString::number(QCoreApplication::applicationPid()) + "-"
                             + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + ".GDB";
        const QString name = server + ":" + file;
        const TRun r = Start(options << name, home.path(), typed);
        QVERIFY2((r.code == 0) == created, r.err.constData());
        if (!created) {
            QCOMPARE(r.code, 1);
            QVERIFY(!QFileInfo::exists(file));
            return;
        }
        TFbDatabase db;
        TFbTransaction tr;
        db.SetDatabaseName(name);
        db.SetParams({"user_name=SYSDBA", "password=quillmoss"});
        db.SetDefaultTransaction(&tr);
        db.Open();
        TFbQuery q;
        q.SetDatabase(&db);
        q.SetSQL("select count(*) as n from config");
        q.Open();
        QCOMPARE(q.FieldByName("n")->AsInteger(), 1);
        q.Close();
        tr.Commit();
        db.Close();
        TFbServices::DropDatabase(name, "SYSDBA", "quillmoss");
    }

    // os-demodata sent the built-in administrator password too; it refused
    // no unknown option when the counts were right.
    void demodataTakesTheServerUserAsWell()
    {
        QTemporaryDir home;
        TRun r = Start({"--bogus", "5"}, home.path(), QByteArray(), home.path(), "os-demodata");
        QCOMPARE(r.code, 2);
        QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        const QString server = qEnvironmentVariable("OS_FB_SERVER");
        if (server.isEmpty())
            QSKIP("OS_FB_SERVER is not set: no Firebird server was started for the tests");
        const QString file = qEnvironmentVariable("OS_FB_SERVER_DIR", "/tmp") + "/osdemodata-"
                             + QString::number(QCoreApplication::applicationPid()) + ".GDB";
        const QString name = server + ":" + file;
        r = Start({"--user=SYSDBA", "--password=quillmoss", name}, home.path());
        QVERIFY2(r.code == 0, r.err.constData());
        r = Start({"--user", "SYSDBA", "--password", "errada", name, "5"}, home.path(), QByteArray(), QString(),
                  "os-demodata");
        QCOMPARE(r.code, 1);
        r = Start({name, "5"}, home.path(), QByteArray("SYSDBA\nquillmoss\n"), QString(), "os-demodata");
        QVERIFY2(r.code == 0, r.err.constData());
        {
            TFbDatabase db;
            TFbTransaction tr;
            db.SetDatabaseName(name);
            db.SetParams({"user_name=SYSDBA", "password=quillmoss"});
            db.SetDefaultTransaction(&tr);
            db.Open();
            TFbQuery q;
            q.SetDatabase(&db);
            q.SetSQL("select count(*) as n from clientes");
            q.Open();
            QCOMPARE(q.FieldByName("n")->AsInteger(), 5);
            q.Close();
            tr.Commit();
            db.Close();
        }
        TFbServices::DropDatabase(name, "SYSDBA", "quillmoss");
    }
};

QTEST_MAIN(TstOsCreateDb)
#include "tst_oscreatedb.moc"
