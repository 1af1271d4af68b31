// Generation of a detail report over 10,000 records into the page store,
// against painting the same pages straight onto images with QPainter.
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_reportgeneration [records]
//
// Prints pages per second of both, their ratio (goal: the pass within 2x
// of the bare painting), the resident memory while the pass runs (it must
// stay flat: the page store moves to its temporary file past its memory
// limit) and whether the store spilled.

#include "bench/report/benchmemory.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbtext.h"
#include "report/model/trephrule.h"
#include "report/model/treplabel.h"
#include "report/model/trepreport.h"
#include "report/print/trepprinter.h"
#include "report/store/treppagelist.h"
#include "report/store/trepstream.h"
#include "tests/support/trepmemorydataset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

TRepDBText *Field(TRepCustomBand *band, TRepDataSet *ds, const QString &field, double left, double width,
                  const QString &mask = QString(), TRepAlignment align = taLeftJustify)
{
    auto *t = new TRepDBText;
    band->InsertElement(t);
    t->Size().SetValues({45, left, 5, width});
    t->DataSet = ds;
    t->SetDataField(field);
    t->Mask = mask;
    t->SetAlignment(align);
    t->AutoSize = align == taLeftJustify;
    return t;
}

TRepLabel *Label(TRepCustomBand *band, const QString &text, double left, double top)
{
    auto *l = new TRepLabel;
    band->InsertElement(l);
    l->Size().SetValues({45, left, top, 300});
    l->SetCaption(text);
    return l;
}

struct Row
{
    QString code, name, city;
    double amount;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const int records = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;

    TRepMemoryDataSet ds;
    ds.AddField("CODIGO", TRepFieldKind::String);
    ds.AddField("NOME", TRepFieldKind::String);
    ds.AddField("CIDADE", TRepFieldKind::String);
    ds.AddField("VALOR", TRepFieldKind::Float);
    std::vector<Row> rows;
    for (int i = 0; i < records; ++i) {
        Row r{QStringLiteral("%1").arg(i + 1, 6, 10, QChar('0')), QStringLiteral("Cliente número %1 da Silva").arg(i + 1),
              i % 3 ? QStringLiteral("São Paulo") : QStringLiteral("Belo Horizonte"), 12.5 * (i % 977) + 0.25};
        rows.push_back(r);
        ds.AppendRow({r.code, r.name, r.city, r.amount});
    }

    TRepReport report;
    report.Page().SetPaperSize(TRepPaperSize::A4);
    report.ReportTitle = QStringLiteral("Clientes");
    report.ShowProgress = false;
    report.DataSet = &ds;
    TRepBand *title = report.AddBand(rbTitle);
    title->Size().SetNativeValue(TRepBandSize::HeightIndex, 150);
    Label(title, QStringLiteral("Relação de clientes"), 0, 20);
    TRepBand *header = report.AddBand(rbPageHeader);
    header->Size().SetNativeValue(TRepBandSize::HeightIndex, 60);
    Label(header, QStringLiteral("Código"), 0, 5);
    Label(header, QStringLiteral("Nome"), 200, 5);
    TRepBand *detail = report.AddBand(rbDetail);
    detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 55);
    Field(detail, &ds, "CODIGO", 0, 180);
    Field(detail, &ds, "NOME", 200, 800);
    Field(detail, &ds, "CIDADE", 1050, 400);
    Field(detail, &ds, "VALOR", 1500, 380, QStringLiteral("R$ #,##0.00"), taRightJustify);
    auto *rule = new TRepHRule;
    detail->InsertElement(rule);
    rule->Size().SetValues({10, 0, 50, 1890});
    TRepBand *footer = report.AddBand(rbPageFooter);
    footer->Size().SetNativeValue(TRepBandSize::HeightIndex, 60);
    Label(footer, QStringLiteral("Ordem de Serviço - relatório de teste"), 0, 10);

    // The pass into a recording page store.
    TRepGenerator *gen = TRepGenerator::Of(&report);
    TRepPrinter store(&report);
    gen->SetPrinter(&store);
    QList<long> rss;
    int pagesSeen = 0;
    report.OnEndPage = [&](TRepReport *) {
        if (++pagesSeen % 25 == 0)
            rss << RssKb();
    };
    const long rssBefore = RssKb();
    QElapsedTimer t;
    t.start();
    gen->GenerateReport();
    const double passMs = t.nsecsElapsed() / 1e6;
    gen->SetPrinter(nullptr);
    const int pages = store.PageCount();
    const bool spilled = store.PageList() && store.PageList()->Stream().InTemporaryFile();
    const qint64 streamBytes = store.PageList() ? store.PageList()->Stream().Size() : 0;

    // The same pages painted straight onto images.
    const int perPage = records / std::max(1, pages) + 1;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    QElapsedTimer b;
    b.start();
    int painted = 0;
    for (int p = 0, i = 0; p < pages; ++p) {
        QImage img(794, 1123, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        painter.setFont(font);
        painter.drawText(QPointF(38, 50), QStringLiteral("Código"));
        painter.drawText(QPointF(113, 50), QStringLiteral("Nome"));
        for (int k = 0; k < perPage && i < records; ++k, ++i) {
            const Row &r = rows[size_t(i)];
            const int y = 70 + k * 21;
            painter.fillRect(38, y, 718, 21, Qt::white);
            painter.drawText(QPointF(38, y + 14), r.code);
            painter.drawText(QPointF(113, y + 14), r.name);
            painter.drawText(QPointF(435, y + 14), r.city);
            painter.drawText(QRectF(600, y, 150, 21), Qt::AlignRight,
                             QStringLiteral("R$ ") + QLocale().toString(r.amount, 'f', 2));
            painter.drawLine(38, y + 20, 756, y + 20);
        }
        painter.drawText(QPointF(38, 1090), QStringLiteral("Ordem de Serviço - relatório de teste"));
        ++painted;
    }
    const double paintMs = b.nsecsElapsed() / 1e6;

    long minRss = LONG_MAX, maxRss = 0;
    for (long v : rss) {
        minRss = std::min(minRss, v);
        maxRss = std::max(maxRss, v);
    }
    std::printf("records            %d\n", records);
    std::printf("pages              %d (stream %lld bytes, %s)\n", pages, (long long)streamBytes,
                spilled ? "spilled to its temporary file" : "in memory");
    std::printf("generation pass    %.1f ms, %.1f pages/s\n", passMs, pages / (passMs / 1000.0));
    std::printf("bare QPainter      %.1f ms, %.1f pages/s (%d images)\n", paintMs, painted / (paintMs / 1000.0),
                painted);
    std::printf("ratio pass/bare    %.2f (goal <= 2.00)\n", passMs / paintMs);
    std::printf("resident memory    before %ld kB; during the pass %ld..%ld kB (every 25 pages, %d samples)\n",
                rssBefore, rss.isEmpty() ? 0 : minRss, maxRss, int(rss.size()));
    return 0;
}
