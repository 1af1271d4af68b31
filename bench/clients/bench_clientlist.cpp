// The client list against the bare client API, in the same run.
//
// For each statement the list runs (opening it: all clients by name; a
// search by name; a search by city), the time from the user's action to a
// painted grid: the client dataset re-queried, the grid's model following
// it, the visible rows painted. Against it, a bare isc_dsql_fetch loop over
// the same statement fetching the same rows as the list read (prepare,
// execute, fetch) on an attachment already open, as the program's is: the
// physical limit. Goal: within 1.5x. Rows read differently by the two end
// the run with exit code 3: the figures would not compare like for like.
//
//   build/bin/bench_clientlist [--cpu] [N] [DATABASE]
// Without DATABASE a temporary one is made and filled with N demo clients
// (default 100000, about a minute). Best of 5 runs each. Runs offscreen
// unless QT_QPA_PLATFORM says otherwise.
#include "bench/tbenchsupport.h"
#include "clients/tlistaclientesform.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbclient.h"
#include "data/tfbdatabase.h"
#include "data/tfbquery.h"
#include "tests/support/tfbtestdb.h"
#include "tools/tdemodata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/tradiogroup.h"
#include "widgets/tsearchedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace {
using Sup = TBenchSupport;

struct Case
{
    const char *name;
    QString typed;   // empty: opening the list as the main window does
    int choice;
};
} // namespace

int main(int argc, char *argv[])
{
    TBenchSupport::OffscreenUnlessSet();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    try {
        const TBenchSupport::Database demo = TBenchSupport::Setup(app.arguments().mid(1));
        const QString &path = demo.path;

        TDM dm;
        dm.Database->SetDatabaseName(path);
        dm.OpenAll();
        TListaClientesForm list;
        list.resize(1000, 600);
        list.show();

        const Case cases[] = {
            {"open: all clients by name", QString(), 0},
            {"search by name \"silva\"", QStringLiteral("silva"), 0},
            {"search by city \"são\"", QStringLiteral("são"), 1},
        };
        bool allWithin = true;
        bool sameWork = true;   // the screen and the bare query read the same rows
        for (const Case &c : cases) {
            const QString statement = c.typed.isEmpty()
                ? QStringLiteral("select * from clientes order by nome")
                : list.SearchStatement(c.typed, c.choice);
            auto action = [&] {
                if (c.typed.isEmpty()) {
                    // What the main window does before showing a new list.
                    dm.ClientesQuery->Close();
                    dm.ClientesQuery->SetSQL(statement);
                    dm.ClientesQuery->Open();
                } else {
                    list.Edit1->setText(c.typed);
                    list.RadioGroup1->SetItemIndex(c.choice);
                    list.BitBtn1Click();
                }
            };
            qint64 bare = INT64_MAX, listed = INT64_MAX;
            long long rowsBare = 0, rowsList = 0;
            // The server-side statement text goes through the layer's
            // Windows-1252 conversion; the bare loop sends the same bytes.
            const QByteArray sql = statement.toLatin1();
            // The same rows as the screen read (it reads what it shows), on
            // an attachment that is open, as the program's is.
            for (int run = 0; run < 5; ++run) {
                listed = std::min(listed, Sup::TimePainted(list.DBGrid1, action, rowsList));
                bare = std::min(bare, Sup::BareSelect(path, sql, rowsBare, rowsList, Sup::Attachment::Warm));
            }
            const double ratio = double(listed) / double(bare);
            allWithin = allWithin && ratio <= 1.5;
            std::printf("%-28s rows %7lld / %7lld   bare %8.1f ms   list %8.1f ms   ratio %.2f %s\n",
                        c.name, rowsBare, rowsList, bare / 1e6, listed / 1e6, ratio,
                        ratio <= 1.5 ? "(within 1.5x)" : "(OVER 1.5x)");
            if (rowsBare != rowsList)
                sameWork = false;
        }
        if (!sameWork) {
            std::printf("FAILED: the screen and the bare query read different rows: no figure above counts\n");
            return 3;
        }
        std::printf("%s\n", allWithin ? "goal met: every case within 1.5x" : "goal missed");
        return allWithin ? 0 : 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
