// Writes starting inputs for the fuzz targets: saved report files (plain,
// compressed, older header) into the first folder, page records into the
// second.

#include "trepemfcanvas.h"
#include "treppagelist.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

QByteArray Page(int n)
{
    TRepEmfCanvas c(200, 280);
    TRepCanvasFont f;
    f.Bold = n % 2;
    c.SetFont(f);
    c.TextOut(100, 5, QStringLiteral("Página %1").arg(n), taCenter);
    f.Size = 7;
    f.Color = Qt::blue;
    c.SetFont(f);
    c.TextOut(195, 30, QStringLiteral("Total R$ 12,50"), taRightJustify);
    TRepPen pen;
    pen.Style = psDash;
    c.SetPen(pen);
    TRepBrush brush;
    brush.Style = bsCross;
    c.SetBrush(brush);
    c.Rectangle(5, 50, 195, 90);
    c.Ellipse(5, 100, 60, 150);
    c.RoundRect(70, 100, 190, 150, 10, 10);
    brush.Style = bsSolid;
    brush.Color = QColor(240, 240, 200);
    c.SetBrush(brush);
    c.FillRect(5, 160, 195, 180);
    c.MoveTo(5, 200);
    c.LineTo(195, 200);
    return c.Finish();
}

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
            list.SetCompression(c == 1);
            for (int n = 1; n <= pages; ++n)
                list.AddPage(Page(n));
            list.Finish();
            list.SaveToFile(QStringLiteral("%1/pages%2-c%3.rpf").arg(rpfDir).arg(pages).arg(c));
        }
    }
    for (int n = 1; n <= 3; ++n)
        ok = Write(QStringLiteral("%1/page%2.emf").arg(emfDir).arg(n), Page(n)) && ok;
    return ok ? 0 : 1;
}
