// Which database the program opens (command line over the user's setting
// over the default place) and the offer to create the default one.
#include "app/tapplication.h"
#include "app/tstartupoptions.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmessagerecorder.h"
#include "tests/support/ttinydisk.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TStartupOptions::Origin)
Q_DECLARE_METATYPE(TStartupOptions::Request)

namespace {

// HOME pointed at a folder of the test's own while it lives.
class THome
{
public:
    THome() : m_old(qgetenv("HOME")) { qputenv("HOME", QFile::encodeName(m_dir.path())); }
    ~THome() { qputenv("HOME", m_old); }
    QString Path() const { return m_dir.path(); }
    QString DefaultFolder() const { return m_dir.filePath(QStringLiteral("OS - Tarvo Vodevuru")); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

QByteArray Contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A start without --database nor setting: the offer for the default place.
bool OfferAtTheDefaultPlace(const THome &home)
{
    TStartupOptions options;
    if (!options.Parse({QStringLiteral("ordemservico")}))
        return false;
    options.Resolve(QSettings(home.Path() + QStringLiteral("/none.conf"), QSettings::IniFormat));
    return options.OfferToCreate();
}

} // namespace

class TstTStartupOptions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void informationRequest_data();
    void informationRequest();
    void parse_data();
    void parse();
    void precedence_data();
    void precedence();
    void firstStartYesCreatesTheDatabase();
    void firstStartNoLeavesNothing();
    void nothingThereIsAskedOnlyForTheDefaultPlace_data();
    void nothingThereIsAskedOnlyForTheDefaultPlace();
    void failedCreationIsShownAndTouchesNothing();
    void firstStartOnAFullDiskLeavesNoHalfMadeFile();
};

void TstTStartupOptions::informationRequest_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<TStartupOptions::Request>("request");
    using R = TStartupOptions::Request;
    QTest::newRow("--help") << QStringList{"--help"} << R::Help;
    QTest::newRow("-h") << QStringList{"-h"} << R::Help;
    QTest::newRow("--version") << QStringList{"--version"} << R::Version;
    QTest::newRow("-v") << QStringList{"-v"} << R::Version;
    QTest::newRow("help among unknown options") << QStringList{"--banco", "--help"} << R::Help;
    QTest::newRow("nothing") << QStringList{} << R::Start;
    QTest::newRow("database") << QStringList{"--database", "/a/DADOS.GDB"} << R::Start;
    QTest::newRow("--help as the database") << QStringList{"--database", "--help"} << R::Start;
    // Qt's own options, taken out later by the application, hold the
    // letters h and v.
    QTest::newRow("-reverse") << QStringList{"-reverse"} << R::Start;
    QTest::newRow("-stylesheet") << QStringList{"-stylesheet", "loja.qss"} << R::Start;
    QTest::newRow("-platformtheme") << QStringList{"-platformtheme", "gtk3"} << R::Start;
    QTest::newRow("-visual") << QStringList{"-visual", "TrueColor"} << R::Start;
}

void TstTStartupOptions::informationRequest()
{
    QFETCH(QStringList, arguments);
    QFETCH(TStartupOptions::Request, request);
    QCOMPARE(TStartupOptions::InformationRequest(QStringList{QStringLiteral("ordemservico")} + arguments), request);
}

void TstTStartupOptions::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("database");   // what Resolve then picks; "" for the default
    QTest::addColumn<QString>("error");      // part of the error text; "" when accepted

    const QString cwd = QDir::currentPath();
    QTest::newRow("nothing") << QStringList{} << "" << "";
    QTest::newRow("path") << QStringList{"--database", "/srv/os/DADOS.GDB"} << "/srv/os/DADOS.GDB" << "";
    QTest::newRow("path with =") << QStringList{"--database=/srv/os/DADOS.GDB"} << "/srv/os/DADOS.GDB" << "";
    QTest::newRow("server") << QStringList{"--database", "balcao:/srv/os/DADOS.GDB"} << "balcao:/srv/os/DADOS.GDB"
                            << "";
    QTest::newRow("relative path") << QStringList{"--database", "dados/../loja/DADOS.GDB"}
                                   << cwd + "/loja/DADOS.GDB" << "";
    QTest::newRow("spaces kept inside") << QStringList{"--database", " /a b/DADOS.GDB "} << "/a b/DADOS.GDB" << "";
    QTest::newRow("no value") << QStringList{"--database"} << "" << "--database";
    QTest::newRow("empty value") << QStringList{"--database", "  "} << "" << "precisa de um caminho";
    QTest::newRow("twice") << QStringList{"--database", "/a.GDB", "--database", "/b.GDB"} << ""
                           << "mais de uma vez";
    QTest::newRow("stray argument") << QStringList{"/a.GDB"} << "" << "Argumento inesperado: /a.GDB";
    QTest::newRow("unknown option") << QStringList{"--banco", "/a.GDB"} << "" << "banco";
}

void TstTStartupOptions::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, database);
    QFETCH(QString, error);
    THome home;
    TStartupOptions options;
    const bool ok = options.Parse(QStringList{QStringLiteral("ordemservico")} + arguments);
    QCOMPARE(ok, error.isEmpty());
    if (!ok) {
        QVERIFY2(options.Error().contains(error), qPrintable(options.Error()));
        return;
    }
    QVERIFY(options.Error().isEmpty());
    QSettings none(home.Path() + QStringLiteral("/none.conf"), QSettings::IniFormat);
    options.Resolve(none);
    QCOMPARE(options.DatabaseName(), database.isEmpty() ? TDmSchema::DefaultDatabasePath() : database);
}

void TstTStartupOptions::precedence_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QVariant>("setting");   // invalid: the key is absent
    QTest::addColumn<QString>("database");   // relative to HOME; "" for the default place
    QTest::addColumn<TStartupOptions::Origin>("origin");

    using O = TStartupOptions::Origin;
    QTest::newRow("command line over setting") << "/cmd/DADOS.GDB" << QVariant("srv:/set/DADOS.GDB")
                                               << "/cmd/DADOS.GDB" << O::CommandLine;
    QTest::newRow("setting over default") << "" << QVariant("srv:/set/DADOS.GDB") << "srv:/set/DADOS.GDB"
                                          << O::Setting;
    QTest::newRow("setting, local file") << "" << QVariant("/loja/DADOS.GDB") << "/loja/DADOS.GDB" << O::Setting;
    QTest::newRow("setting relative to home") << "" << QVariant("loja/DADOS.GDB") << "~/loja/DADOS.GDB"
                                              << O::Setting;
    QTest::newRow("setting with ~") << "" << QVariant("~/loja/DADOS.GDB") << "~/loja/DADOS.GDB" << O::Setting;
    QTest::newRow("blank setting") << "" << QVariant("   ") << "" << O::DefaultPlace;
    QTest::newRow("no setting") << "" << QVariant() << "" << O::DefaultPlace;
}

void TstTStartupOptions::precedence()
{
    QFETCH(QString, commandLine);
    QFETCH(QVariant, setting);
    QFETCH(QString, database);
    QFETCH(TStartupOptions::Origin, origin);
    THome home;
    const QString file = home.Path() + QStringLiteral("/ordemservico.conf");
    if (setting.isValid()) {
        QSettings writer(file, QSettings::IniFormat);
        writer.setValue(TStartupOptions::SettingKey(), setting);
    }
    QStringList arguments{QStringLiteral("ordemservico")};
    if (!commandLine.isEmpty())
        arguments << QStringLiteral("--database") << commandLine;
    TStartupOptions options;
    QVERIFY(options.Parse(arguments));
    const QSettings settings(file, QSettings::IniFormat);
    options.Resolve(settings);
    if (database.isEmpty())
        database = TDmSchema::DefaultDatabasePath();
    database.replace(QStringLiteral("~"), home.Path());
    QCOMPARE(options.DatabaseName(), database);
    QCOMPARE(options.DatabaseOrigin(), origin);
}

void TstTStartupOptions::firstStartYesCreatesTheDatabase()
{
    TFbTestDb probe;   // the engine is usable here
    if (!probe.IsValid())
        QSKIP(qPrintable(probe.Error()));
    THome home;
    TMessageRecorder rec;
    rec.QueueAnswer(TMessages::Yes);
    TStartupOptions options;
    QVERIFY(options.Parse({QStringLiteral("ordemservico")}));
    TDM dm;
    options.Apply(dm.Database);

    const QString path = home.DefaultFolder() + QStringLiteral("/DADOS.GDB");
    QCOMPARE(rec.Count(), 1);
    QCOMPARE(rec.Last().caption, TApplication::Title());
    QCOMPARE(rec.Last().icon, TMessages::Question);
    QCOMPARE(rec.Last().buttons, int(TMessages::YesNo));
    QVERIFY2(rec.Last().text.contains(QStringLiteral("\n") + path + QStringLiteral("\n")), qPrintable(rec.Last().text));
    QVERIFY(rec.Last().text.contains(QStringLiteral("Deseja criar um banco de dados novo, vazio")));
    QCOMPARE(dm.Database->DatabaseName(), path);
    // The same database os-createdb makes: the six tables and CONFIG row 1.
    dm.OpenAll();
    QCOMPARE(dm.ConfigQueryIDCONFIG->AsInteger(), 1);
    QVERIFY(dm.ClientesQuery->IsEmpty());
    dm.CloseAll();
    // Asked once only: the next start finds the file.
    TStartupOptions next;
    QVERIFY(next.Parse({QStringLiteral("ordemservico")}));
    next.Apply(dm.Database);
    QCOMPARE(rec.Count(), 1);
}

void TstTStartupOptions::firstStartNoLeavesNothing()
{
    THome home;
    TMessageRecorder rec;
    rec.QueueAnswer(TMessages::No);
    QVERIFY(!OfferAtTheDefaultPlace(home));
    QCOMPARE(rec.Count(), 1);
    QCOMPARE(QDir(home.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{});
}

void TstTStartupOptions::nothingThereIsAskedOnlyForTheDefaultPlace_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("default place holds a file") << "file";
    QTest::newRow("default place is a dangling link") << "link";
    QTest::newRow("default place is a folder") << "folder";
    QTest::newRow("missing path given on the command line") << "command line";
    QTest::newRow("missing path from the setting") << "setting";
}

void TstTStartupOptions::nothingThereIsAskedOnlyForTheDefaultPlace()
{
    QFETCH(QString, kind);
    THome home;
    TMessageRecorder rec;
    rec.QueueAnswer(TMessages::Yes);
    QVERIFY(QDir().mkpath(home.DefaultFolder()));
    const QString place = home.DefaultFolder() + QStringLiteral("/DADOS.GDB");
    const QString target = home.Path() + QStringLiteral("/elsewhere.GDB");
    const QString conf = home.Path() + QStringLiteral("/ordemservico.conf");
    QStringList arguments{QStringLiteral("ordemservico")};
    if (kind == QLatin1String("file")) {
        QFile f(place);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a database");
    } else if (kind == QLatin1String("link")) {
        QVERIFY(QFile::link(target, place));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(place));
    } else if (kind == QLatin1String("command line")) {
        arguments << QStringLiteral("--database") << target;
    } else {
        QSettings(conf, QSettings::IniFormat).setValue(TStartupOptions::SettingKey(), target);
    }
    TStartupOptions options;
    QVERIFY(options.Parse(arguments));
    options.Resolve(QSettings(conf, QSettings::IniFormat));
    QVERIFY(!options.OfferToCreate());
    QCOMPARE(rec.Count(), 0);
    QVERIFY(!QFileInfo::exists(target));
    if (kind == QLatin1String("file"))
        QCOMPARE(Contents(place), QByteArray("not a database"));
}

void TstTStartupOptions::failedCreationIsShownAndTouchesNothing()
{
    TFbTestDb probe;
    if (!probe.IsValid())
        QSKIP(qPrintable(probe.Error()));
    THome home;
    // A file stands where the folder should be made.
    QFile blocker(home.DefaultFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("mine");
    blocker.close();
    TMessageRecorder rec;
    rec.QueueAnswer(TMessages::Yes);
    QVERIFY(!OfferAtTheDefaultPlace(home));
    QCOMPARE(rec.Count(), 2);
    QCOMPARE(rec.Last().icon, TMessages::Error);
    QVERIFY2(rec.Last().text.contains(home.DefaultFolder()), qPrintable(rec.Last().text));
    QCOMPARE(Contents(home.DefaultFolder()), QByteArray("mine"));
}

// "Sim" on a full disk left a half-made DADOS.GDB that blocked every later
// start, and said so in the engine's English.
void TstTStartupOptions::firstStartOnAFullDiskLeavesNoHalfMadeFile()
{
    TFbTestDb probe;
    if (!probe.IsValid())
        QSKIP(qPrintable(probe.Error()));
    TTinyDisk disk(512);
    if (!disk.Mounted())
        QSKIP("cannot mount a small file system here (needs root)");
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(disk.Path()));
    const auto restore = qScopeGuard([&] { qputenv("HOME", oldHome); });
    const QString place = TDmSchema::DefaultDatabasePath();
    QVERIFY(place.startsWith(disk.Path()));
    TMessageRecorder rec;
    rec.QueueAnswer(TMessages::Yes);
    TStartupOptions options;
    QVERIFY(options.Parse({QStringLiteral("ordemservico")}));
    options.Resolve(QSettings(disk.Path() + QStringLiteral("/none.conf"), QSettings::IniFormat));
    QVERIFY(!options.OfferToCreate());
    QCOMPARE(rec.Count(), 2);
    QCOMPARE(rec.Last().icon, TMessages::Error);
    QVERIFY2(rec.Last().text.startsWith(QStringLiteral("O disco está cheio")), qPrintable(rec.Last().text));
    QCOMPARE(rec.Last().text.count(QStringLiteral("Detalhe técnico")), 1);
    QVERIFY(!QFileInfo::exists(place));
    // Space freed: the next start offers again and creates it.
    QVERIFY(disk.Grow(16 * 1024));
    rec.QueueAnswer(TMessages::Yes);
    QVERIFY(options.OfferToCreate());
    QCOMPARE(rec.Count(), 3);
    QVERIFY(QFileInfo::exists(place));
}

QTEST_MAIN(TstTStartupOptions)
#include "tst_tstartupoptions.moc"
