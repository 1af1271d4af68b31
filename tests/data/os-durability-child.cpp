// Child of tst_durability: saves one client through the data module, says
// "SAVED" and waits to be killed. With --no-commit-after-write the
// transaction is left open as the old behaviour did.
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"

#include <QCoreApplication>
#include <QLocale>
#include <QThread>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    try {
        TDM dm;
        dm.Database->SetDatabaseName(args[1]);
        if (args.contains(QStringLiteral("--no-commit-after-write")))
            dm.Transaction->SetCommitAfterWrite(false);
        dm.OpenAll();
        dm.ClientesQuery->Append();
        dm.ClientesQueryNOME->SetAsString(args[2]);
        dm.ClientesQuery->ApplyChanges();
        std::printf("SAVED\n");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
