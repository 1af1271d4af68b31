#pragma once
// Who os-createdb and os-demodata are on a database server, found as the
// program finds it: the options --user and --password, else the keys
// "user" and "password" of the user's settings
// (~/.config/ordemservico/ordemservico.conf), else asked on the terminal
// (the password without echo). A database file on this computer is opened
// by the embedded engine, which asks for no password: nothing is asked
// then, and the built-in user owns a new file.
#include <QString>
#include <QStringList>

class TToolLogin
{
public:
    QString user;
    QString password;

    // Takes --user U, --user=U, --password P and --password=P out of
    // `args`. False, with `error` set, on an option without its value.
    bool TakeOptions(QStringList &args, QString &error);

    // Completes user and password for `database` as said above. False, with
    // `error` set, when a server's user or password is still missing (no
    // terminal to ask on, or nothing typed).
    bool Complete(const QString &database, QString &error);

    // An argument that looks like an option this tool does not know
    // ("--bogus"): a path starting with "-" goes after "--".
    static bool IsUnknownOption(const QString &arg);
    // Text for the usage of both tools.
    static QString OptionsHelp();
};
