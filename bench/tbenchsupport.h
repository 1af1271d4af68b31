#pragma once
// What the database benchmarks share: the clock, the bare client-API select
// they measure the layer against, and the demo database they run on.
//
// Arguments of every such benchmark: [--cpu] [N] [DATABASE]. Without
// DATABASE a temporary one is made and filled with N demo clients (default
// 100000, about a minute). A DATABASE named is copied and the benchmark
// works on the copy: benchmarks write (bench_tfbquery adds rows), and the
// file named stays as it was.
#include "data/tdmschema.h"
#include "data/tfbclient.h"
#include "data/tfbdatabase.h"
#include "tests/support/tfbtestdb.h"
#include "tools/tdemodata.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class TBenchSupport
{
public:
    // Wall time by default; with --cpu the process's CPU time, steadier on a
    // machine busy with other work (the embedded engine runs in this process).
    static bool &CpuTime()
    {
        static bool cpu = false;
        return cpu;
    }

    // Screen benchmarks paint offscreen unless QT_QPA_PLATFORM says otherwise
    // (call before the QApplication is made).
    static void OffscreenUnlessSet()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    static qint64 Now()
    {
        timespec ts;
        clock_gettime(CpuTime() ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_MONOTONIC, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }

    // A screen's own way: the action runs, then the grid paints what shows.
    // Returns the nanoseconds of both; `rows` is what the grid then holds.
    template <typename Grid>
    static qint64 TimePainted(Grid *grid, const std::function<void()> &action, long long &rows)
    {
        const qint64 start = Now();
        action();
        const auto painted = grid->viewport()->grab().toImage();
        const qint64 ns = Now() - start;
        rows = grid->model()->rowCount();
        if (painted.isNull())
            std::puts("no picture");
        return ns;
    }

    static void Check(const TFbClient &api, ISC_STATUS *st, ISC_STATUS r)
    {
        if (r)
            api.Raise(st);
    }

    // The database a run works on: the one named on the command line, or a
    // temporary one filled with N demo clients (kept while this lives).
    struct Database
    {
        int clients = 100000;
        QString path;
        std::unique_ptr<TFbTestDb> temporary;
        std::unique_ptr<QTemporaryDir> copyDir;   // holds the copy of a named database
    };

    // Reads [--cpu] [N] [DATABASE] (sets CpuTime) and makes the database.
    static Database Setup(QStringList args)
    {
        Database d;
        CpuTime() = args.removeAll(QStringLiteral("--cpu")) > 0;
        if (!args.isEmpty())
            d.clients = args[0].toInt();
        d.path = args.size() > 1 ? args[1] : QString();
        if (d.path.isEmpty()) {
            d.temporary = std::make_unique<TFbTestDb>();
            if (!d.temporary->IsValid())
                throw std::runtime_error(d.temporary->Error().toStdString());
            d.path = d.temporary->Path();
            std::printf("filling %d demo clients into %s ...\n", d.clients, qPrintable(d.path));
            std::fflush(stdout);
            QElapsedTimer t;
            t.start();
            TDemoData::Fill(d.path, d.clients);
            std::printf("  done in %.1f s\n", t.elapsed() / 1000.0);
        } else {
            if (TFbDatabase::IsRemoteName(d.path))
                throw std::runtime_error("a database on a server cannot be copied: name a local file");
            d.copyDir = std::make_unique<QTemporaryDir>();
            const QString copy = d.copyDir->filePath(QStringLiteral("DADOS.GDB"));
            if (!d.copyDir->isValid() || !QFile::copy(d.path, copy))
                throw std::runtime_error(("cannot copy " + d.path + " to " + copy).toStdString());
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
            std::printf("working on a copy of %s: %s\n", qPrintable(d.path), qPrintable(copy));
            d.path = copy;
        }
        return d;
    }

    // The physical limit: prepare, execute and fetch every row of `sql` into
    // one XSQLDA through the bare client API, touching each value. Returns
    // the nanoseconds from prepare to the last fetch. With `limit` >= 0 only
    // that many rows are fetched (what a grid shows), the cursor then closed.
    //
    // Cold (the default) times the statement's first run on a fresh
    // attachment: its prepare reads the tables' metadata. Warm runs it once
    // untimed first and times a second prepare, execute and fetch on the same
    // attachment, as on the program's own attachment, which stays open.
    enum class Attachment { Cold, Warm };
    static qint64 BareSelect(const QString &path, const QByteArray &sql, long long &rows, long long limit = -1,
                             Attachment attachment = Attachment::Cold)
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
        XSQLDA *da = static_cast<XSQLDA *>(std::calloc(1, XSQLDA_LENGTH(40)));
        da->version = SQLDA_VERSION1;
        da->sqln = 40;
        std::vector<char> buf(size_t(40) * 512);
        std::vector<short> ind(40);
        long long sum = 0;
        qint64 ns = 0;
        for (int run = attachment == Attachment::Warm ? 0 : 1; run < 2; ++run) {
            // A heap handle: the allocating call remembers its address.
            auto stmt = std::make_unique<isc_stmt_handle>(0);
            Check(api, st, api.isc_dsql_alloc_statement2(st, &db, stmt.get()));
            const qint64 start = Now();
            Check(api, st, api.isc_dsql_prepare(st, &tr, stmt.get(), 0, sql.constData(), 1, da));
            if (da->sqld > da->sqln)
                throw std::runtime_error("the bare query reads at most 40 columns");
            for (int i = 0; i < da->sqld; ++i) {
                da->sqlvar[i].sqldata = buf.data() + i * 512;
                da->sqlvar[i].sqlind = &ind[size_t(i)];
            }
            Check(api, st, api.isc_dsql_execute(st, &tr, stmt.get(), 1, nullptr));
            rows = 0;
            while ((limit < 0 || rows < limit) && api.isc_dsql_fetch(st, stmt.get(), 1, da) == 0) {
                ++rows;
                for (int i = 0; i < da->sqld; ++i)
                    if (ind[size_t(i)] >= 0)
                        sum += static_cast<unsigned char>(da->sqlvar[i].sqldata[2]);
            }
            ns = Now() - start;
            api.isc_dsql_free_statement(st, stmt.get(), DSQL_drop);
        }
        api.isc_commit_transaction(st, &tr);
        api.isc_detach_database(st, &db);
        std::free(da);
        if (sum == 42)
            std::puts("");   // keeps the touching loop
        return ns;
    }
};
