// "Localizar OS" against the bare client API, in the same run, on a demo
// database (about three orders per client: 100000 clients are 300000
// orders).
//
// Every bare select runs on an attachment already open, as the program's
// is. "number": what a typed number costs before the order screen opens: the
// order's client read through its primary key (TOrderSearch::ClientOf)
// against the bare select of the same row. "text": the matches of a piece
// of text read into the picker's dataset against the bare select of the
// same statement (prepare, execute, fetch every row). "whole find": the
// found order made current with its client and the client's orders, the
// client list open in name order, against the bare selects of the same rows
// on a warm attachment. Goal: within 1.5x.
//
//   build/bin/bench_orderfind [--cpu] [N] [DATABASE]
// Best of 7 runs for each figure.
#include "bench/tbenchsupport.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "orders/tordersearch.h"

#include <QCoreApplication>
#include <QLocale>
#include <cstdio>

namespace {
using Sup = TBenchSupport;

struct Figure
{
    qint64 bare = INT64_MAX, layer = INT64_MAX;
    long long rows = 0;
};

void Print(const char *what, const Figure &f)
{
    std::printf("%-28s bare %8.2f ms | layer %8.2f ms (%5.2fx) | rows %lld\n", what, f.bare / 1e6, f.layer / 1e6,
                double(f.layer) / double(f.bare), f.rows);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    try {
        const Sup::Database demo = Sup::Setup(app.arguments().mid(1));
        TDM dm;
        dm.Database->SetDatabaseName(demo.path);
        dm.OpenAll();
        TFbQuery q;
        q.SetDatabase(dm.Database);
        q.SetTransaction(dm.Transaction);
        q.SetSQL(QStringLiteral("select count(*) as c, max(idordem) as m from ordemserv"));
        q.Open();
        const int orders = q.FieldByName(QStringLiteral("c"))->AsInteger();
        const qint32 top = q.FieldByName(QStringLiteral("m"))->AsInteger();
        q.Close();
        std::printf("%d orders\n", orders);

        bool goal = true;
        Figure number;
        for (int run = 0; run < 7; ++run) {
            for (qint32 id : {qMax(1, top / 4), qMax(1, top / 2), qMax(1, top * 3 / 4)}) {
                long long rows = 0;
                const QByteArray sql = QStringLiteral("select IDCLIENTE from ORDEMSERV where IDORDEM = %1").arg(id).toLatin1();
                number.bare = std::min(number.bare, Sup::BareSelect(demo.path, sql, rows, -1, Sup::Attachment::Warm));
                const qint64 start = Sup::Now();
                const bool found = TOrderSearch::ClientOf(&q, id).has_value();
                number.layer = std::min(number.layer, Sup::Now() - start);
                number.rows = found ? 1 : 0;
            }
        }
        Print("number (primary key)", number);
        goal = goal && double(number.layer) <= 1.5 * double(number.bare);

        // The whole find of a number: the order's client made current and
        // its orders read, as the order screen then shows them, with the
        // client list left open in name order as the client screen leaves
        // it, against the bare selects of the same rows on a warm
        // attachment. The order of the client last in stored order is
        // among them: reaching its client through the list used to read
        // every client before it.
        Figure whole[2];
        q.SetSQL(QStringLiteral("select max(idordem) as m from ordemserv where idcliente = "
                                "(select max(idcliente) from clientes)"));
        q.Open();
        const qint32 lastClientsOrder = q.FieldByName(QStringLiteral("m"))->AsInteger();
        q.Close();
        for (int run = 0; run < 7; ++run) {
            const qint32 ids[2] = {qMax(1, top / 2), lastClientsOrder};
            for (int which = 0; which < 2; ++which) {
                const qint32 id = ids[which];
                if (id <= 0)
                    continue;
                dm.ClientesQuery->Close();
                dm.ClientesQuery->SetSQL(QStringLiteral("select * from clientes order by nome"));
                dm.ClientesQuery->Open();
                dm.ClientesQuery->FetchMore(30);
                const int readBefore = dm.ClientesQuery->FetchedCount();
                qint64 start = Sup::Now();
                TOrderSearch::MakeCurrent(&dm, id);
                const qint64 layer = Sup::Now() - start;
                const qint32 client = dm.ClientesQueryIDCLIENTE->AsInteger();
                long long rows = 0, orderRows = 0;
                qint64 bare = Sup::BareSelect(demo.path,
                                              QStringLiteral("select IDCLIENTE from ORDEMSERV where IDORDEM = %1")
                                                  .arg(id).toLatin1(), rows, -1, Sup::Attachment::Warm);
                bare += Sup::BareSelect(demo.path,
                                        QStringLiteral("select * from clientes where idcliente = %1").arg(client).toLatin1(),
                                        rows, -1, Sup::Attachment::Warm);
                bare += Sup::BareSelect(demo.path,
                                        QStringLiteral("select * from ordemserv where idcliente = %1").arg(client).toLatin1(),
                                        orderRows, -1, Sup::Attachment::Warm);
                if (dm.ClientesQuery->FetchedCount() > readBefore + 1 || orderRows != dm.OrdensQuery->RecordCount()) {
                    std::printf("  the find read other rows than the bare selects: %d clients, %d/%lld orders\n",
                                dm.ClientesQuery->FetchedCount() - readBefore, dm.OrdensQuery->RecordCount(), orderRows);
                    return 3;
                }
                whole[which].layer = std::min(whole[which].layer, layer);
                whole[which].bare = std::min(whole[which].bare, bare);
                whole[which].rows = orderRows;
            }
        }
        for (int which = 0; which < 2; ++which) {
            if (whole[which].rows == 0 && whole[which].bare == INT64_MAX)
                continue;
            Print(which == 0 ? "number, whole find (middle)" : "number, whole find (last client)", whole[which]);
            goal = goal && double(whole[which].layer) <= 1.5 * double(whole[which].bare);
        }

        // A rare text, a common one and one in the repair notes.
        for (const char *text : {"Notebook", "TV", "troca"}) {
            Figure f;
            const QString sql = TOrderSearch::TextSql(QString::fromLatin1(text));
            for (int run = 0; run < 7; ++run) {
                long long rows = 0;
                f.bare = std::min(f.bare, Sup::BareSelect(demo.path, sql.toLatin1(), rows, -1, Sup::Attachment::Warm));
                const qint64 start = Sup::Now();
                q.Close();
                q.SetSQL(sql);
                q.Open();
                f.layer = std::min(f.layer, Sup::Now() - start);
                f.rows = q.RecordCount();
                if (rows != f.rows) {
                    std::printf("FAILED: row counts differ: %lld %lld\n", rows, f.rows);
                    return 3;
                }
            }
            q.Close();
            Print(qPrintable(QStringLiteral("text \"%1\"").arg(QLatin1String(text))), f);
            goal = goal && double(f.layer) <= 1.5 * double(f.bare);
        }
        std::printf("%s\n", goal ? "goal met: every search within 1.5x of the bare query"
                                 : "goal missed: a search over 1.5x of the bare query");
        return goal ? 0 : 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
