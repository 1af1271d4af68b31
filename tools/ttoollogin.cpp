#include "tools/ttoollogin.h"

#include "data/tdmschema.h"
#include "data/tfbdatabase.h"

#include <QSettings>

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// One option and its value, taken out of `args`; false when the value is
// missing.
bool Take(QStringList &args, const QString &name, QString &value)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--"))
            return true;
        if (a.startsWith(name + QLatin1Char('='))) {
            value = a.mid(name.size() + 1);
            args.removeAt(i);
            return true;
        }
        if (a == name) {
            if (i + 1 >= args.size())
                return false;
            value = args[i + 1];
            args.remove(i, 2);
            return true;
        }
    }
    return true;
}

// A line typed on the terminal after `prompt` (on the standard error, so
// that the standard output stays the tool's report); without echo for a
// password. False at the end of the input.
bool ReadLine(const char *prompt, bool secret, QString &line)
{
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    termios saved{};
    const bool tty = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (secret && tty) {
        termios quiet = saved;
        quiet.c_lflag &= tcflag_t(~ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string text;
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n')
        text.push_back(char(c));
    if (secret && tty) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputc('\n', stderr);
    }
    line = QString::fromLocal8Bit(text.c_str()).trimmed();
    return c != EOF || !text.empty();
}

} // namespace

bool TToolLogin::TakeOptions(QStringList &args, QString &error)
{
    for (const QString &name : {QStringLiteral("--user"), QStringLiteral("--password")}) {
        QString &value = name == QLatin1String("--user") ? user : password;
        if (!Take(args, name, value)) {
            error = QStringLiteral("a opção %1 precisa de um valor").arg(name);
            return false;
        }
    }
    return true;
}

bool TToolLogin::Complete(const QString &database, QString &error)
{
    user = user.trimmed();
    if (!TFbDatabase::IsRemoteName(database)) {
        if (user.isEmpty())
            user = QLatin1String(TDmSchema::UserName);
        if (password.isEmpty())
            password = QLatin1String(TDmSchema::Password);
        return true;
    }
    // The program's own settings file and keys (as its login box keeps
    // them): what the program opens the server with, the tools do too.
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ordemservico"),
                             QStringLiteral("ordemservico"));
    const QString savedUser = settings.value(QStringLiteral("user")).toString().trimmed();
    if (user.isEmpty())
        user = savedUser;
    // The saved password goes with the saved user only.
    if (password.isEmpty() && !user.isEmpty() && user == savedUser)
        password = settings.value(QStringLiteral("password")).toString();
    if (user.isEmpty() && !ReadLine("Usuário do servidor: ", false, user)) {
        error = QStringLiteral("o servidor exige um usuário e uma senha: use --user e --password, ou as chaves "
                               "user e password de ~/.config/ordemservico/ordemservico.conf");
        return false;
    }
    if (password.isEmpty() && !ReadLine("Senha: ", true, password)) {
        error = QStringLiteral("o servidor exige uma senha: use --password, ou a chave password de "
                               "~/.config/ordemservico/ordemservico.conf");
        return false;
    }
    if (user.isEmpty() || password.isEmpty()) {
        error = QStringLiteral("o servidor exige um usuário e uma senha, e um deles ficou em branco");
        return false;
    }
    return true;
}

bool TToolLogin::IsUnknownOption(const QString &arg)
{
    return arg.size() > 1 && arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("--");
}

QString TToolLogin::OptionsHelp()
{
    return QStringLiteral(
        "Num servidor (servidor:/caminho/DADOS.GDB) o usuário e a senha vêm de --user e\n"
        "--password, senão das chaves user e password de\n"
        "~/.config/ordemservico/ordemservico.conf, senão são perguntados no terminal.\n");
}
