#pragma once
// Who the program is on a database server. A server database answers only
// to a user with its password: they come from the user's settings
// (~/.config/ordemservico/ordemservico.conf, keys "user" and "password"),
// or, when absent, from the login box at start. A refused password is said
// in Portuguese and asked again. A database file on this computer (the
// embedded engine) needs no settings at all and is never asked about.
#include <QString>

#include <functional>

class QSettings;
class TFbDatabase;

struct TDatabaseCredentials
{
    QString user;
    QString password;
    bool remember = false;   // "Lembrar neste computador"
};

class TDatabaseLogin
{
public:
    // Shows the login box for `server` with `message` above the fields
    // (empty at first, the reason after a refusal); false when cancelled.
    using Asker = std::function<bool(TDatabaseCredentials &credentials, const QString &server, const QString &message)>;

    // For a database on a server: credentials from `settings` or `ask`,
    // then attaches `db`, asking again after each refused user or password.
    // Remembered credentials are written to `settings` (the file readable by
    // its owner only). Returns false when the user gave up (`db` stays
    // closed), and when the server does not answer: that is said first,
    // before any password is asked. Any other failure to attach is left for the start-up to
    // show: true is returned with `db` closed. A local file: nothing is
    // asked nor opened, true.
    static bool Connect(TFbDatabase *db, QSettings &settings, const Asker &ask);

    // Writes user and password to `settings` and makes its file readable
    // and writable by its owner only.
    static void Remember(QSettings &settings, const TDatabaseCredentials &credentials);
    // Makes the settings file readable by its owner only (it may hold a
    // password).
    static void Protect(QSettings &settings);

    static QString UserKey() { return QStringLiteral("user"); }
    static QString PasswordKey() { return QStringLiteral("password"); }
};
