#pragma once
// The database of a shop with years of data that the scale benchmarks run
// on: 1,000,000 clients with 3,000,000 service orders, 20,000 suppliers,
// 100,000 products and 1,000,000 stock movements by default (--clients N
// scales every count with N), filled with the demo data of os-demodata,
// seed 1.
//
// Making it takes minutes, so it is kept between runs in the folder named by
// the environment variable OS_BENCH_DATA (made when missing), under a name
// that tells its counts: a later run with the same counts finds it there. A
// file is only taken once complete: it is filled under a temporary name and
// renamed at the end. Without OS_BENCH_DATA it is made in a temporary folder
// and goes away with the run.
//
// The benchmarks only read it (the data module's open finds nothing to bring
// up to date in a file made this way), so no copy is made.
#include "data/tdmschema.h"
#include "tools/tdemodata.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <stdexcept>

class TBenchBigDatabase
{
public:
    struct Sizes
    {
        int clients = 1000000, orders = 3000000, suppliers = 20000, products = 100000, movements = 1000000;
    };
    // Every count in the default proportions to `clients`.
    static Sizes Scaled(int clients)
    {
        Sizes s;
        s.clients = clients;
        s.orders = clients * 3;
        s.suppliers = clients / 50;
        s.products = clients / 10;
        s.movements = clients;
        return s;
    }

    // "--clients N" taken out of `args` (1,000,000 without it).
    static Sizes FromArguments(QStringList &args)
    {
        const qsizetype i = args.indexOf(QStringLiteral("--clients"));
        if (i < 0)
            return Sizes();
        bool ok = i + 1 < args.size();
        const int n = ok ? args[i + 1].toInt(&ok) : 0;
        if (!ok || n < 0)
            throw std::runtime_error("--clients needs a number of clients");
        args.remove(i, qMin<qsizetype>(2, args.size() - i));
        return Scaled(n);
    }

    explicit TBenchBigDatabase(const Sizes &sizes) : m_sizes(sizes)
    {
        QString folder = qEnvironmentVariable("OS_BENCH_DATA");
        if (folder.isEmpty()) {
            m_temporary = std::make_unique<QTemporaryDir>();
            if (!m_temporary->isValid())
                throw std::runtime_error("cannot make a temporary folder");
            folder = m_temporary->path();
        } else if (!QDir().mkpath(folder)) {
            throw std::runtime_error(("cannot make the folder " + folder).toStdString());
        }
        m_path = QDir(folder).absoluteFilePath(
            QStringLiteral("demo-c%1-o%2-f%3-p%4-m%5.gdb")
                .arg(sizes.clients).arg(sizes.orders).arg(sizes.suppliers).arg(sizes.products).arg(sizes.movements));
        if (QFileInfo::exists(m_path)) {
            std::printf("database kept from an earlier run: %s\n", qPrintable(m_path));
            return;
        }
        const QString part = m_path + QStringLiteral(".part");
        QFile::remove(part);   // an earlier fill that never ended
        std::printf("filling %d clients, %d orders, %d suppliers, %d products, %d movements into %s ...\n",
                    sizes.clients, sizes.orders, sizes.suppliers, sizes.products, sizes.movements,
                    qPrintable(m_path));
        std::fflush(stdout);
        QElapsedTimer t;
        t.start();
        TDmSchema::CreateDatabaseFile(part);
        TDemoData::Stock given{sizes.products, sizes.movements};
        given.orders = sizes.orders;
        given.suppliers = sizes.suppliers;
        TDemoData::Fill(part, sizes.clients, 1, {}, given);
        if (!QFile::rename(part, m_path))
            throw std::runtime_error(("cannot rename " + part + " to " + m_path).toStdString());
        std::printf("  done in %.1f s\n", t.elapsed() / 1000.0);
    }

    QString Path() const { return m_path; }
    const Sizes &Counts() const { return m_sizes; }

private:
    Sizes m_sizes;
    std::unique_ptr<QTemporaryDir> m_temporary;
    QString m_path;
};
