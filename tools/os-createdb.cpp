// os-createdb [--user U] [--password P] [PATH]: creates the database file
// (default: the system's own place, $HOME/OS - Tarvo Vodevuru/DADOS.GDB,
// folder included) with the six tables, the generators of their keys and
// the CONFIG row 1. An existing file is never touched; a creation that
// fails half-way leaves no file behind.
#include "data/tdmschema.h"
#include "tools/ttoollogin.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <exception>

namespace {

void Usage(FILE *to)
{
    std::fprintf(to, "uso: os-createdb [--user USUÁRIO] [--password SENHA] [CAMINHO]\n"
                     "Cria o banco de dados (padrão: $HOME/OS - Tarvo Vodevuru/DADOS.GDB).\n%s",
                 TToolLogin::OptionsHelp().toLocal8Bit().constData());
}

int Refuse(const QString &why)
{
    std::fprintf(stderr, "os-createdb: %s\n", why.toLocal8Bit().constData());
    Usage(stderr);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("-h")) || args.contains(QLatin1String("--help"))) {
        // Asked for, the help goes to the standard output and is no error.
        Usage(stdout);
        return 0;
    }
    TToolLogin login;
    QString error;
    if (!login.TakeOptions(args, error))
        return Refuse(error);
    // An unknown option is refused, not taken for the name of a file; a
    // path that starts with "-" goes after "--".
    QStringList paths;
    bool optionsEnd = false;
    for (const QString &a : std::as_const(args)) {
        if (!optionsEnd && a == QLatin1String("--"))
            optionsEnd = true;
        else if (!optionsEnd && TToolLogin::IsUnknownOption(a))
            return Refuse(QStringLiteral("opção desconhecida: %1").arg(a));
        else
            paths << a;
    }
    if (paths.size() > 1)
        return Refuse(QStringLiteral("mais de um caminho: %1").arg(paths.join(QLatin1String(", "))));
    if (!paths.isEmpty() && paths[0].trimmed().isEmpty())
        return Refuse(QStringLiteral("o caminho está em branco"));
    const QString path = paths.isEmpty() ? TDmSchema::DefaultDatabasePath() : paths[0];
    if (!login.Complete(path, error)) {
        std::fprintf(stderr, "os-createdb: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    try {
        TDmSchema::CreateDatabaseFile(path, login.user, login.password);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "os-createdb: %s\n", e.what());
        return 1;
    }
    std::printf("Banco de dados criado: %s\n", path.toLocal8Bit().constData());
    return 0;
}
