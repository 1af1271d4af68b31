// os-createdb [PATH]: creates the database file (default: the system's own
// place, $HOME/OS - Tarvo Vodevuru/DADOS.GDB, folder included) with the six
// tables, the generators of their keys and the CONFIG row 1. An existing
// file is never touched.
#include "data/tdmschema.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <exception>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() > 1 || (args.size() == 1 && (args[0] == QLatin1String("-h") || args[0] == QLatin1String("--help")))) {
        std::fprintf(stderr, "uso: os-createdb [CAMINHO]\n"
                             "Cria o banco de dados (padrão: $HOME/OS - Tarvo Vodevuru/DADOS.GDB).\n");
        return args.size() > 1 ? 2 : 0;
    }
    const QString path = args.isEmpty() ? TDmSchema::DefaultDatabasePath() : args[0];
    try {
        TDmSchema::CreateDatabaseFile(path);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "os-createdb: %s\n", e.what());
        return 1;
    }
    std::printf("Banco de dados criado: %s\n", path.toLocal8Bit().constData());
    return 0;
}
