#pragma once
// Demonstration data for trying the system by hand and for benchmarks:
// clients with Brazilian names, cities and addresses, about three service
// orders per client, suppliers, products and stock movements. Rows are
// written with prepared inserts (the schema's own insert statements) and
// committed in batches; keys continue after the highest key of each table,
// and each table's key generator is left at its highest key, so that the
// program's own new records never collide with the rows written here.
#include <QString>
#include <functional>

class TDemoData
{
public:
    struct Counts
    {
        int clients = 0, orders = 0, suppliers = 0, products = 0, movements = 0;
    };
    // Numbers of products and stock movements given outright (-1: in
    // proportion to the clients). The movements are spread evenly over the
    // products; without products there are none. Orders and suppliers given
    // outright likewise: the orders are then spread evenly over the clients
    // (none without clients) instead of one to five each at random.
    struct Stock
    {
        int products = -1, movements = -1;
        int orders = -1, suppliers = -1;
    };
    // Who writes the rows (a server's user); empty: the built-in one.
    struct Login
    {
        QString user, password;
    };
    // Fills the database at `path` (local path or host:/path) with `clients`
    // clients and the rest in proportion. `seed` makes the data repeatable.
    // `progress` (optional) is told the table being filled.
    static Counts Fill(const QString &path, int clients, quint32 seed = 1,
                       const std::function<void(const QString &)> &progress = {});
    static Counts Fill(const QString &path, int clients, quint32 seed,
                       const std::function<void(const QString &)> &progress, Stock stock);
    static Counts Fill(const QString &path, int clients, quint32 seed,
                       const std::function<void(const QString &)> &progress, Stock stock, const Login &login);
};
