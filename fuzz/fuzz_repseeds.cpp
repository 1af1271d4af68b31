// Writes starting inputs for the fuzz targets: saved report files (plain,
// compressed, older header) into the first folder, page records into the
// second.

#include "tests/support/repsamplepages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

bool Write(const QString &path, const QByteArray &b)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "uso: fuzz_repseeds <pasta-rpf> <pasta-emf>\n");
        return 2;
    }
    const QString rpfDir = QString::fromLocal8Bit(argv[1]);
    const QString emfDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(rpfDir);
    QDir().mkpath(emfDir);
    bool ok = true;
    for (int c = 0; c < 2; ++c) {
        for (int pages : {1, 3}) {
            TRepPageList list;
            FillSampleDamageList(list, c == 1, pages);
            list.SaveToFile(QStringLiteral("%1/pages%2-c%3.rpf").arg(rpfDir).arg(pages).arg(c));
        }
    }
    for (int n = 1; n <= 3; ++n)
        ok = Write(QStringLiteral("%1/page%2.emf").arg(emfDir).arg(n), SampleDamagePage(n)) && ok;
    return ok ? 0 : 1;
}
