#pragma once
// Which database the program opens, and the first start.
//
// The database is, in this order of precedence:
//   1. the command line: ordemservico --database PATH (a file, or
//      host:/path/DADOS.GDB on a server);
//   2. the key "database" of the user's settings
//      (~/.config/ordemservico/ordemservico.conf), so that the menu entry of
//      a shop's second computer opens the server's database;
//   3. the default place, $HOME/OS - Tarvo Vodevuru/DADOS.GDB.
//
// Only the default place is offered to be created when it has no file: a
// chosen database that does not exist gives the error at open, as any other
// database that cannot be opened.
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;
class TFbDatabase;

class TStartupOptions
{
public:
    enum class Origin { CommandLine, Setting, DefaultPlace };

    // --help and --version, answered on the standard output before any
    // window is made (they need no screen), and a bad command line, refused
    // on the standard error as early. Returns the exit code, or -1 when the
    // program is to start.
    static int AnswerInformationRequests(int argc, char **argv);
    // The text of --help, headings in Portuguese.
    static QString HelpText();
    // What the raw command line (argv, Qt's options still in it) asks for.
    enum class Request { Start, Help, Version };
    static Request InformationRequest(const QStringList &arguments);

    // Reads the command line (Qt's own options already taken out). False on
    // a bad one; Error() says why.
    bool Parse(const QStringList &arguments);
    QString Error() const { return m_error; }
    // Writes the error of Parse to the standard error; returns the exit code.
    int ReportError() const;

    // Decides the database: --database, else the setting, else the default.
    void Resolve(const QSettings &settings);
    QString DatabaseName() const { return m_databaseName; }
    Origin DatabaseOrigin() const { return m_origin; }

    // First start: when the database is the default place and nothing is
    // there, asks whether to create a new, empty database; Yes creates it as
    // os-createdb does. A failure to create is shown in the standard error
    // box. Never touches an existing file. True when it created the file.
    bool OfferToCreate() const;

    // For the program: Resolve with the user's settings, OfferToCreate, and
    // point `db` at the database.
    void Apply(TFbDatabase *db);

    // The user's settings file and its one key.
    static std::unique_ptr<QSettings> UserSettings();
    static QString SettingKey() { return QStringLiteral("database"); }

private:
    QString m_commandLineDatabase;
    QString m_error;
    QString m_databaseName;
    Origin m_origin = Origin::DefaultPlace;
};
