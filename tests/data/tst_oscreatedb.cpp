// os-createdb: the file it makes (tables, columns in order, kinds, sizes,
// keys, CONFIG row 1, dialect 1), and its refusal to touch an existing file.
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TstOsCreateDb : public QObject
{
    Q_OBJECT

    static int Run(const QStringList &args, QByteArray &err, const QByteArray &home = QByteArray())
    {
        QProcess p;
        if (!home.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", QString::fromLocal8Bit(home));
            p.setProcessEnvironment(env);
        }
        p.start(QCoreApplication::applicationDirPath() + "/os-createdb", args);
        p.waitForFinished(60000);
        err = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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
};

QTEST_MAIN(TstOsCreateDb)
#include "tst_oscreatedb.moc"
