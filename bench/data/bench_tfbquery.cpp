// Data layer against the bare client API, in the same run:
//
//  1. "select * from clientes order by nome" over N demo clients (default
//     100000): TFbQuery::Open plus a walk over every row reading NOME, against
//     a bare isc_dsql_fetch loop over the same rows (the physical limit).
//     Goal: within 1.3x. Also the memory the open dataset holds.
//  2. 10000 appended rows written by one ApplyChanges, against a bare
//     prepared-insert loop.
//
//   build/bin/bench_tfbquery [--cpu] [N] [DATABASE]
// Without DATABASE a temporary one is made and filled with os-demodata's
// generator (about a minute for 100000 clients). Best of 5 runs each (3 for the full decode, 6 for the inserts).
#include "bench/tbenchsupport.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbclient.h"
#include "data/tfbconvert.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "data/tfbupdatesql.h"
#include "tests/support/tfbtestdb.h"
#include "tools/tdemodata.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {
// The statement the select benchmark reads through both ways.
const QByteArray kSelect("select * from clientes order by nome");
using Sup = TBenchSupport;

struct Clock
{
    qint64 start = Sup::Now();
    qint64 nsecsElapsed() const { return Sup::Now() - start; }
};

long StatusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

qint64 LayerSelect(TDM &dm, long long &rows, long &heldKb, bool decodeAll)
{
    TFbQuery *q = dm.ClientesQuery;
    q->Close();
    q->SetSQL(QString::fromLatin1(kSelect));
    const long before = StatusKb("VmRSS:");
    Clock t;
    q->Open();
    rows = 0;
    long long sum = 0;
    if (decodeAll) {
        for (int r = 0; r < q->RecordCount(); ++r, ++rows)
            for (int f = 0; f < q->FieldCount(); ++f)
                sum += q->TextAt(r, f).size();
    } else {
        for (q->First(); !q->Eof(); q->Next(), ++rows)
            sum += dm.ClientesQueryNOME->AsString().size();
    }
    const qint64 ns = t.nsecsElapsed();
    (void)before;
    heldKb = long(q->MemoryUsage() / 1024);
    if (sum == 42)
        std::puts("");
    return ns;
}

qint64 BareInsert(TFbDatabase &db, TFbTransaction &tr, int first, int count)
{
    const TFbClient &api = TFbClient::Instance();
    ISC_STATUS_ARRAY st;
    isc_stmt_handle stmt = 0;
    Clock t;
    Sup::Check(api, st, api.isc_dsql_alloc_statement2(st, db.Handle(), &stmt));
    XSQLDA *in = static_cast<XSQLDA *>(std::calloc(1, XSQLDA_LENGTH(4)));
    in->version = SQLDA_VERSION1;
    in->sqln = 4;
    Sup::Check(api, st, api.isc_dsql_prepare(st, tr.Handle(), &stmt, 0,
                                        "insert into clientes (idcliente, nome, cidade, tipoanot) values (?, ?, ?, ?)", 1, nullptr));
    Sup::Check(api, st, api.isc_dsql_describe_bind(st, &stmt, 1, in));
    ISC_LONG id = 0, tipo = 1;
    char nome[70], cidade[50];
    short nNull = 0;
    in->sqlvar[0].sqltype = SQL_LONG; in->sqlvar[0].sqldata = reinterpret_cast<char *>(&id);
    in->sqlvar[1].sqltype = SQL_TEXT; in->sqlvar[1].sqldata = nome;
    in->sqlvar[2].sqltype = SQL_TEXT; in->sqlvar[2].sqldata = cidade;
    in->sqlvar[3].sqltype = SQL_LONG; in->sqlvar[3].sqldata = reinterpret_cast<char *>(&tipo);
    for (int i = 0; i < 4; ++i) in->sqlvar[i].sqlind = &nNull;
    for (int i = 0; i < count; ++i) {
        id = first + i;
        const int ln = std::snprintf(nome, sizeof nome, "Cliente de teste %d", i);
        const int lc = std::snprintf(cidade, sizeof cidade, "Recife");
        in->sqlvar[1].sqllen = short(ln);
        in->sqlvar[2].sqllen = short(lc);
        Sup::Check(api, st, api.isc_dsql_execute(st, tr.Handle(), &stmt, 1, in));
    }
    tr.CommitRetaining();
    const qint64 ns = t.nsecsElapsed();
    api.isc_dsql_free_statement(st, &stmt, DSQL_drop);
    std::free(in);
    return ns;
}

qint64 LayerInsert(TDM &dm, int first, int count)
{
    TFbQuery *q = dm.ClientesQuery;
    q->Close();
    q->SetSQL(QStringLiteral("select * from clientes where idcliente < 0"));
    q->Open();
    auto rule = q->OnNewRecord;
    q->OnNewRecord = nullptr;   // keys given here, as the bare loop does
    Clock t;
    for (int i = 0; i < count; ++i) {
        q->Append();
        dm.ClientesQueryIDCLIENTE->SetAsInteger(first + i);
        dm.ClientesQueryNOME->SetAsString(QStringLiteral("Cliente de teste %1").arg(i));
        dm.ClientesQueryCIDADE->SetAsString(QStringLiteral("Recife"));
        dm.ClientesQueryTIPOANOT->SetAsInteger(1);
        q->Post();
    }
    q->ApplyChanges();
    const qint64 ns = t.nsecsElapsed();
    q->OnNewRecord = rule;
    return ns;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    try {
        const TBenchSupport::Database demo = TBenchSupport::Setup(app.arguments().mid(1));
        const QString &path = demo.path;

        // 1. select.
        qint64 bare = INT64_MAX, layer = INT64_MAX, full = INT64_MAX;
        long long rowsBare = 0, rowsLayer = 0;
        long held = 0, heldFull = 0;
        for (int run = 0; run < 5; ++run)
            bare = std::min(bare, Sup::BareSelect(path, kSelect, rowsBare));
        const long rssBefore = StatusKb("VmRSS:");
        {
            TDM dm;
            dm.Database->SetDatabaseName(path);
            dm.Database->Open();
            for (int run = 0; run < 5; ++run) {
                long h = 0;
                layer = std::min(layer, LayerSelect(dm, rowsLayer, h, false));
                held = std::max(held, h);
            }
            for (int run = 0; run < 3; ++run) {
                long h = 0;
                full = std::min(full, LayerSelect(dm, rowsLayer, h, true));
                heldFull = std::max(heldFull, h);
            }
        }
        std::printf("\n(%s)\nselect * from clientes order by nome: %lld rows\n", TBenchSupport::CpuTime() ? "process CPU time" : "wall time", rowsBare);
        std::printf("  bare fetch loop                      %8.1f ms\n", bare / 1e6);
        std::printf("  TFbQuery Open + every row (NOME)     %8.1f ms   ratio %.2f (goal <= 1.30)\n",
                    layer / 1e6, double(layer) / double(bare));
        std::printf("  TFbQuery Open + every field as text  %8.1f ms   ratio %.2f\n", full / 1e6,
                    double(full) / double(bare));
        std::printf("  rows held by the open dataset        %8.1f MB; process peak RSS %.1f MB (before the dataset: %.1f MB)\n",
                    held / 1024.0, StatusKb("VmHWM:") / 1024.0, rssBefore / 1024.0);
        if (rowsLayer != rowsBare)
            std::printf("  ROW COUNTS DIFFER: %lld vs %lld\n", rowsLayer, rowsBare);

        // 2. inserts.
        qint64 bareIns = INT64_MAX, layerIns = INT64_MAX;
        const int count = 10000;
        {
            TDM dm;
            dm.Database->SetDatabaseName(path);
            dm.Database->Open();
            dm.Transaction->StartTransaction();
            // Keys after every existing one, so that a database can be reused.
            dm.AuxQuery->SetSQL(QStringLiteral("select max(idcliente) as cod from clientes"));
            dm.AuxQuery->Open();
            const int base = dm.AuxQuery->FieldByName(QStringLiteral("cod"))->AsInteger() + 1;
            dm.AuxQuery->Close();
            // Alternate which goes first: the second one pays for flushing
            // the pages the first one left.
            for (int run = 0; run < 6; ++run) {
                const int k1 = base + 2 * run * count, k2 = base + (2 * run + 1) * count;
                if (run % 2) {
                    layerIns = std::min(layerIns, LayerInsert(dm, k2, count));
                    bareIns = std::min(bareIns, BareInsert(*dm.Database, *dm.Transaction, k1, count));
                } else {
                    bareIns = std::min(bareIns, BareInsert(*dm.Database, *dm.Transaction, k1, count));
                    layerIns = std::min(layerIns, LayerInsert(dm, k2, count));
                }
            }
        }
        std::printf("\n%d inserted rows\n", count);
        std::printf("  bare prepared-insert loop            %8.1f ms\n", bareIns / 1e6);
        std::printf("  Append x %d + ApplyChanges        %8.1f ms   ratio %.2f\n", count, layerIns / 1e6,
                    double(layerIns) / double(bareIns));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_tfbquery: %s\n", e.what());
        return 1;
    }
    return 0;
}
