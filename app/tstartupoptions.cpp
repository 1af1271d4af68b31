#include "app/tstartupoptions.h"

#include "app/tapplication.h"
#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

#include <cstdio>

#ifndef OS_VERSION
#define OS_VERSION "0"
#endif

namespace {

const QString DatabaseOption = QStringLiteral("database");

// The options the program knows; the help and version options are ours so
// that their descriptions are in the program's language.
struct TOptionSet
{
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Mostra esta ajuda e termina.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Mostra a versão e termina.")};
    QCommandLineOption database{
        DatabaseOption,
        QStringLiteral("Abre o banco de dados CAMINHO: um arquivo, ou servidor:/caminho/DADOS.GDB "
                       "num servidor. Sem esta opção vale a chave \"database\" de "
                       "~/.config/ordemservico/ordemservico.conf; sem ela, "
                       "~/OS - Tarvo Vodevuru/DADOS.GDB."),
        QStringLiteral("CAMINHO")};

    TOptionSet()
    {
        // "-h" and "-v" alone: read as short options, Qt's one-dash words
        // ("-reverse", "-stylesheet") would otherwise ask for the version or
        // the help letter by letter.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(
            QStringLiteral("Ordem de Serviço: clientes, ordens de serviço, fornecedores e estoque."));
        parser.addOption(help);
        parser.addOption(version);
        parser.addOption(database);
        // Qt's own options are known too, out of the help: the command line
        // is read before the application object takes them out, so that a
        // bad one is refused without a screen.
        for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
                                 "qwindowgeometry", "geometry", "qwindowicon", "icon", "qwindowtitle", "title",
                                 "display", "name", "style", "stylesheet", "session", "visual", "ncols", "cmap"})
            AddQtOption(QString::fromLatin1(name), true);
        for (const char *name : {"reverse", "widgetcount", "testability", "nograb", "dograb", "sync"})
            AddQtOption(QString::fromLatin1(name), false);
    }

    void AddQtOption(const QString &name, bool takesValue)
    {
        QCommandLineOption option(name, QString(), takesValue ? QStringLiteral("valor") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
};

// A local name relative to `base` becomes absolute (the engine and the
// backup would otherwise each read it against their own folder); a name on
// a server is kept as it is.
QString Absolute(const QString &name, const QString &base)
{
    if (TFbDatabase::IsRemoteName(name))
        return name;
    QString path = name;
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return QDir::cleanPath(QDir(base).absoluteFilePath(path));
}

} // namespace

TStartupOptions::Request TStartupOptions::InformationRequest(const QStringList &arguments)
{
    TOptionSet options;
    // Errors are left for Parse, once Qt has taken its own options out.
    options.parser.parse(arguments);
    if (options.parser.isSet(options.help))
        return Request::Help;
    if (options.parser.isSet(options.version))
        return Request::Version;
    return Request::Start;
}

QString TStartupOptions::HelpText()
{
    // QCommandLineParser writes its headings in English whatever the
    // language; the program speaks Portuguese.
    QString text = TOptionSet().parser.helpText();
    text.replace(QStringLiteral("Usage: "), QStringLiteral("Uso: "));
    text.replace(QStringLiteral(" [options]"), QStringLiteral(" [opções]"));
    text.replace(QStringLiteral("\nOptions:\n"), QStringLiteral("\nOpções:\n"));
    text.replace(QStringLiteral("\nArguments:\n"), QStringLiteral("\nArgumentos:\n"));
    return text;
}

int TStartupOptions::AnswerInformationRequests(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Request request = InformationRequest(arguments);
    // The help names the program as it was called. A core application
    // needs no screen.
    QCoreApplication app(argc, argv);
    if (request == Request::Start) {
        // A bad command line is refused here, before the application object
        // that needs a display (without one it would abort first). Qt's own
        // messages are read in Portuguese while the translation is there.
        QTranslator qtTexts;
        if (qtTexts.load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtTexts);
        TStartupOptions options;
        return options.Parse(arguments) ? -1 : options.ReportError();
    }
    if (request == Request::Help)
        std::fputs(HelpText().toLocal8Bit().constData(), stdout);
    else
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()), OS_VERSION);
    return 0;
}

bool TStartupOptions::Parse(const QStringList &arguments)
{
    m_error.clear();
    m_commandLineDatabase.clear();
    TOptionSet options;
    if (!options.parser.parse(arguments)) {
        m_error = options.parser.errorText();
        return false;
    }
    if (!options.parser.positionalArguments().isEmpty()) {
        m_error = QStringLiteral("Argumento inesperado: %1").arg(options.parser.positionalArguments().first());
        return false;
    }
    if (options.parser.isSet(options.database)) {
        const QStringList values = options.parser.values(options.database);
        if (values.size() > 1) {
            m_error = QStringLiteral("A opção --database foi dada mais de uma vez.");
            return false;
        }
        const QString value = values.first().trimmed();
        if (value.isEmpty()) {
            m_error = QStringLiteral("A opção --database precisa de um caminho.");
            return false;
        }
        m_commandLineDatabase = Absolute(value, QDir::currentPath());
    }
    return true;
}

int TStartupOptions::ReportError() const
{
    std::fprintf(stderr, "ordemservico: %s\nUse ordemservico --help para ver as opções.\n",
                 m_error.toLocal8Bit().constData());
    return 2;
}

void TStartupOptions::Resolve(const QSettings &settings)
{
    if (!m_commandLineDatabase.isEmpty()) {
        m_databaseName = m_commandLineDatabase;
        m_origin = Origin::CommandLine;
        return;
    }
    const QString setting = settings.value(SettingKey()).toString().trimmed();
    if (!setting.isEmpty()) {
        m_databaseName = Absolute(setting, QDir::homePath());
        m_origin = Origin::Setting;
        return;
    }
    m_databaseName = TDmSchema::DefaultDatabasePath();
    m_origin = Origin::DefaultPlace;
}

bool TStartupOptions::OfferToCreate() const
{
    if (m_origin != Origin::DefaultPlace)
        return false;
    // A dangling link counts as something there: creating would write
    // wherever it points.
    const QFileInfo place(m_databaseName);
    if (place.exists() || place.isSymLink())
        return false;
    const QString question =
        QStringLiteral("O banco de dados não foi encontrado em\n%1\n\n"
                       "Deseja criar um banco de dados novo, vazio, neste local?")
            .arg(QDir::toNativeSeparators(m_databaseName));
    if (TMessages::MessageBox(question, TApplication::Title(), TMessages::Question, TMessages::YesNo)
        != TMessages::Yes)
        return false;
    return Guard([this] { TDmSchema::CreateDatabaseFile(m_databaseName); });
}

void TStartupOptions::Apply(TFbDatabase *db)
{
    Resolve(*UserSettings());
    OfferToCreate();
    db->SetDatabaseName(m_databaseName);
}

std::unique_ptr<QSettings> TStartupOptions::UserSettings()
{
    // The native format of Linux is an INI file named .conf (IniFormat would
    // name it .ini).
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("ordemservico"), QStringLiteral("ordemservico"));
}
