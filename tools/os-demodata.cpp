// os-demodata [--orders O] [--suppliers S] [--products P] [--movements M]
//             [--seed X] [--user U] [--password P] PATH N: fills the database at PATH with N
// demonstration clients, about three service orders each, suppliers,
// products and stock movements. A missing file is created first (as
// os-createdb does). The other counts follow from N unless given:
// "--products 100000 --movements 1000000" makes the large stock the stock
// benchmark works on; "--orders 3000000 --suppliers 20000 --products 100000
// --movements 1000000 PATH 1000000" a shop with ten years of data. The same
// seed (1 unless given) always writes the same rows.
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "tools/tdemodata.h"
#include "tools/ttoollogin.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QStringList args = app.arguments().mid(1);
    const bool help = args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
    TDemoData::Stock stock;
    bool ok = true;
    // A count option and its value, taken out of the arguments.
    auto option = [&](const QString &name, int &value) {
        const qsizetype i = args.indexOf(name);
        if (i < 0)
            return;
        bool number = i + 1 < args.size();
        value = number ? args[i + 1].toInt(&number) : -1;
        ok = ok && number && value >= 0;
        args.remove(i, qMin<qsizetype>(2, args.size() - i));
    };
    option(QStringLiteral("--products"), stock.products);
    option(QStringLiteral("--movements"), stock.movements);
    option(QStringLiteral("--orders"), stock.orders);
    option(QStringLiteral("--suppliers"), stock.suppliers);
    int seed = 1;
    option(QStringLiteral("--seed"), seed);
    TToolLogin login;
    QString error;
    ok = ok && login.TakeOptions(args, error);
    // An unknown option is refused, not taken for the path or the count.
    // A path that starts with "-" goes after "--".
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    ok = ok && std::none_of(args.cbegin(), end >= 0 ? args.cbegin() + end : args.cend(), [](const QString &a) {
             return TToolLogin::IsUnknownOption(a) && !(a.size() > 1 && a.at(1).isDigit());
         });
    if (end >= 0)
        args.removeAt(end);
    ok = ok && args.size() == 2;
    const int n = ok ? args[1].toInt(&ok) : 0;
    if (help || !ok || n < 0) {
        if (!help && !error.isEmpty())
            std::fprintf(stderr, "os-demodata: %s\n", error.toLocal8Bit().constData());
        // Asked for, the help goes to the standard output and is no error.
        std::fprintf(help ? stdout : stderr,
                     "uso: os-demodata [--orders O] [--suppliers S] [--products P] [--movements M]\n"
                     "                 [--seed X] [--user USUÁRIO] [--password SENHA] CAMINHO N\n"
                     "Preenche o banco com N clientes de demonstração, suas ordens de serviço,\n"
                     "fornecedores, produtos e movimentos de estoque. Sem as opções, o número\n"
                     "de ordens, fornecedores, produtos e movimentos segue N. A mesma semente\n"
                     "(--seed, 1 se não for dada) grava sempre os mesmos dados.\n%s",
                     TToolLogin::OptionsHelp().toLocal8Bit().constData());
        return help ? 0 : 2;
    }
    const QString path = args[0];
    if (!login.Complete(path, error)) {
        std::fprintf(stderr, "os-demodata: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    try {
        if (!TFbDatabase::IsRemoteName(path) && !QFileInfo::exists(path)) {
            TDmSchema::CreateDatabaseFile(path, login.user, login.password);
            std::printf("Banco de dados criado: %s\n", path.toLocal8Bit().constData());
        }
        QElapsedTimer t;
        t.start();
        const TDemoData::Counts c = TDemoData::Fill(path, n, quint32(seed), [](const QString &table) {
            std::printf("  %s...\n", table.toLocal8Bit().constData());
            std::fflush(stdout);
        }, stock, TDemoData::Login{login.user, login.password});
        std::printf("%d clientes, %d ordens de serviço, %d fornecedores, %d produtos, %d movimentos (%.1f s)\n",
                    c.clients, c.orders, c.suppliers, c.products, c.movements, t.elapsed() / 1000.0);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "os-demodata: %s\n", e.what());
        return 1;
    }
    return 0;
}
