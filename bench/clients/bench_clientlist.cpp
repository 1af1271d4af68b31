// The client list against the bare client API, in the same run.
//
// For each statement the list runs (opening it: all clients by name; a
// search by name; a search by city), the time from the user's action to a
// painted grid: the client dataset re-queried, the grid's model following
// it, the visible rows painted. Against it, a bare isc_dsql_fetch loop over
// the same statement (prepare, execute, fetch every row): the physical
// limit. Goal: within 1.5x.
//
//   build/bin/bench_clientlist [--cpu] [N] [DATABASE]
// Without DATABASE a temporary one is made and filled with N demo clients
// (default 100000, about a minute). Best of 5 runs each. Runs offscreen
// unless QT_QPA_PLATFORM says otherwise.
#include "tbitbtn.h"
#include "tdbgrid.h"
#include "tdemodata.h"
#include "tdm.h"
#include "tdmschema.h"
#include "tfbclient.h"
#include "tfbdatabase.h"
#include "tfbquery.h"
#include "tfbtestdb.h"
#include "tlistaclientesform.h"
#include "tradiogroup.h"
#include "tsearchedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace {
bool g_cpu = false;

qint64 Now()
{
    timespec ts;
    clock_gettime(g_cpu ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void Check(const TFbClient &api, ISC_STATUS *st, ISC_STATUS r)
{
    if (r)
        api.Raise(st);
}

// Prepare, execute and fetch every row of `sql`, touching each value.
qint64 BareSelect(const QString &path, const QByteArray &sql, long long &rows)
{
    const TFbClient &api = TFbClient::Instance();
    ISC_STATUS_ARRAY st;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    for (auto [tag, v] : {std::pair{isc_dpb_user_name, QByteArray(TDmSchema::UserName)},
                          std::pair{isc_dpb_password, QByteArray(TDmSchema::Password)},
                          std::pair{isc_dpb_lc_ctype, QByteArray("NONE")}}) {
        dpb.append(char(tag));
        dpb.append(char(v.size()));
        dpb.append(v);
    }
    const QByteArray file = path.toUtf8();
    Check(api, st, api.isc_attach_database(st, short(file.size()), file.constData(), &db,
                                           short(dpb.size()), dpb.constData()));
    struct { isc_db_handle *db; int len; const char *tpb; } teb{&db, 0, nullptr};
    Check(api, st, api.isc_start_multiple(st, &tr, 1, &teb));
    // A heap handle: the allocating call remembers its address.
    auto stmt = std::make_unique<isc_stmt_handle>(0);
    Check(api, st, api.isc_dsql_alloc_statement2(st, &db, stmt.get()));
    XSQLDA *da = static_cast<XSQLDA *>(std::calloc(1, XSQLDA_LENGTH(40)));
    da->version = SQLDA_VERSION1;
    da->sqln = 40;
    const qint64 start = Now();
    Check(api, st, api.isc_dsql_prepare(st, &tr, stmt.get(), 0, sql.constData(), 1, da));
    std::vector<char> buf(size_t(da->sqld) * 512);
    std::vector<short> ind(size_t(da->sqld));
    for (int i = 0; i < da->sqld; ++i) {
        da->sqlvar[i].sqldata = buf.data() + i * 512;
        da->sqlvar[i].sqlind = &ind[size_t(i)];
    }
    Check(api, st, api.isc_dsql_execute(st, &tr, stmt.get(), 1, nullptr));
    rows = 0;
    long long sum = 0;
    while (api.isc_dsql_fetch(st, stmt.get(), 1, da) == 0) {
        ++rows;
        for (int i = 0; i < da->sqld; ++i)
            if (ind[size_t(i)] >= 0)
                sum += static_cast<unsigned char>(da->sqlvar[i].sqldata[2]);
    }
    const qint64 ns = Now() - start;
    api.isc_dsql_free_statement(st, stmt.get(), DSQL_drop);
    api.isc_commit_transaction(st, &tr);
    api.isc_detach_database(st, &db);
    std::free(da);
    if (sum == 42)
        std::puts("");
    return ns;
}

// The list's own way: the handler runs, then the grid paints what shows.
qint64 ThroughList(TListaClientesForm &list, const std::function<void()> &action, long long &rows)
{
    const qint64 start = Now();
    action();
    const QImage painted = list.DBGrid1->viewport()->grab().toImage();
    const qint64 ns = Now() - start;
    rows = list.DBGrid1->model()->rowCount();
    if (painted.isNull())
        std::puts("no picture");
    return ns;
}

struct Case
{
    const char *name;
    QString typed;   // empty: opening the list as the main window does
    int choice;
};
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QStringList args = app.arguments().mid(1);
    g_cpu = args.removeAll(QStringLiteral("--cpu")) > 0;
    const int n = args.size() > 0 ? args[0].toInt() : 100000;
    QString path = args.size() > 1 ? args[1] : QString();
    try {
        std::unique_ptr<TFbTestDb> tmp;
        if (path.isEmpty()) {
            tmp = std::make_unique<TFbTestDb>();
            if (!tmp->IsValid())
                throw std::runtime_error(tmp->Error().toStdString());
            path = tmp->Path();
            std::printf("filling %d demo clients into %s ...\n", n, qPrintable(path));
            std::fflush(stdout);
            QElapsedTimer t;
            t.start();
            TDemoData::Fill(path, n);
            std::printf("  done in %.1f s\n", t.elapsed() / 1000.0);
        }

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
        for (const Case &c : cases) {
            const QString statement = c.typed.isEmpty()
                ? QStringLiteral("select * from clientes order by nome")
                : TListaClientesForm::SearchStatement(c.typed, c.choice);
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
            for (int run = 0; run < 5; ++run) {
                bare = std::min(bare, BareSelect(path, sql, rowsBare));
                listed = std::min(listed, ThroughList(list, action, rowsList));
            }
            const double ratio = double(listed) / double(bare);
            allWithin = allWithin && ratio <= 1.5;
            std::printf("%-28s rows %7lld / %7lld   bare %8.1f ms   list %8.1f ms   ratio %.2f %s\n",
                        c.name, rowsBare, rowsList, bare / 1e6, listed / 1e6, ratio,
                        ratio <= 1.5 ? "(within 1.5x)" : "(OVER 1.5x)");
            if (rowsBare != rowsList)
                std::printf("  row counts differ!\n");
        }
        std::printf("%s\n", allWithin ? "goal met: every case within 1.5x" : "goal missed");
        return allWithin ? 0 : 2;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
}
