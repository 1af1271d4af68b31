#include "tests/support/recordingfilter.h"

#include "report/generate/trepelementprinter.h"
#include "report/model/trepband.h"
#include "report/model/trepdbcalc.h"
#include "report/model/trepdbtext.h"
#include "report/model/trephrule.h"
#include "report/model/treplabel.h"
#include "report/model/trepreport.h"
#include "report/model/trepshape.h"
#include "report/print/trepprinter.h"
#include "tests/support/trepmemorydataset.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

// Elements printed on one recorded A4 page, with a recording filter that
// also sees what they hand to an export.
class TstTRepElementPrinter : public QObject
{
    Q_OBJECT

    std::unique_ptr<TRepReport> report;
    TRepBand *band = nullptr;
    std::unique_ptr<TRepPrinter> store;
    RecordingFilter rec;

    template <typename T> T *Add(double left, double top, double width, double height)
    {
        auto *e = new T;
        band->InsertElement(e);
        e->Size().SetValues({height, left, top, width});
        return e;
    }
    void Begin()
    {
        store = std::make_unique<TRepPrinter>(report.get());
        store->StartDocument();
        store->NewPage();
        store->SetExportFilter(&rec);
        for (TRepPrintable *e : report->AllElements())
            e->PrepareForPrint(store.get());
    }
    TRepMetafile Finish()
    {
        for (TRepPrintable *e : report->AllElements())
            e->UnprepareAfterPrint();
        store->SetExportFilter(nullptr);
        store->FinishDocument();
        return store->PageMetafile(1);
    }
    QImage Render(const TRepMetafile &page)
    {
        QImage img(page.Width(), page.Height(), QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        page.Draw(p, QRectF(0, 0, page.Width(), page.Height()));
        return img;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init()
    {
        report = std::make_unique<TRepReport>();
        band = report->AddBand(rbDetail);
        band->Size().SetNativeValue(TRepBandSize::HeightIndex, 500);
        rec = RecordingFilter();
    }
    void cleanup()
    {
        store.reset();
        report.reset();
    }

    void disabledElementPrintsNothing()
    {
        auto *label = Add<TRepLabel>(100, 100, 300, 50);
        label->SetCaption("Invisível");
        label->Color = Qt::yellow;
        label->Frame.DrawTop = label->Frame.DrawLeft = true;
        auto *rule = Add<TRepHRule>(100, 200, 300, 26.5);
        auto *shape = Add<TRepShape>(100, 300, 300, 100);
        for (TRepPrintable *e : report->AllElements())
            e->Enabled = false;
        Begin();
        TRepElementPrinter::Print(*label, 0, 0);
        TRepElementPrinter::Print(*rule, 0, 0);
        TRepElementPrinter::Print(*shape, 0, 0);
        rec.rules = true;
        const TRepMetafile page = Finish();
        QVERIFY(rec.texts.isEmpty());
        QVERIFY(rec.graphics.isEmpty());
        QVERIFY(page.TextRecords().isEmpty());
        const QImage img = Render(page);
        for (int y = 0; y < img.height(); y += 3)
            for (int x = 0; x < img.width(); x += 3)
                QCOMPARE(img.pixel(x, y), qRgb(255, 255, 255));
    }

    void fieldValueToText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("expected");
        const int f = int(TRepFieldKind::Float), s = int(TRepFieldKind::String);
        QTest::newRow("money mask on a float") << f << QVariant(1234.5) << "R$ #,##0.00" << "R$ 1.234,50";
        QTest::newRow("empty float prints formatted zero") << f << QVariant() << "R$ #,##0.00" << "R$ 0,00";
        QTest::newRow("mask ignored on a string") << s << QVariant("1234.5") << "R$ #,##0.00" << "1234.5";
        QTest::newRow("integer picture") << int(TRepFieldKind::Integer) << QVariant(42) << "000000" << "000042";
        QTest::newRow("date picture") << int(TRepFieldKind::Date) << QVariant(QDate(2026, 3, 5)) << "dd/mm/yy"
                                      << "05/03/26";
        QTest::newRow("date without mask: display text") << int(TRepFieldKind::DateTime)
                                                        << QVariant(QDateTime(QDate(2026, 3, 5), QTime(0, 0)))
                                                        << "" << "05/03/2026";
        QTest::newRow("other kind keeps the previous text") << int(TRepFieldKind::Boolean) << QVariant(true)
                                                            << "0.00" << "VALOR";
        QTest::newRow("text that is no number") << f << QVariant("abc") << "0.00" << "";
    }
    void fieldValueToText()
    {
        QFETCH(int, kind);
        QFETCH(QVariant, value);
        QFETCH(QString, mask);
        QFETCH(QString, expected);
        TRepMemoryDataSet ds;
        ds.AddField("VALOR", TRepFieldKind(kind));
        ds.AppendRow({value});
        auto *t = Add<TRepDBText>(100, 100, 300, 50);
        t->DataSet = &ds;
        t->SetDataField("VALOR");
        t->Mask = mask;
        Begin();
        TRepElementPrinter::Print(*t, 0, 0);
        Finish();
        QCOMPARE(rec.TextsOn(0), QStringList({expected}));
        // The design caption comes back after the pass.
        QCOMPARE(t->Caption(), QString("VALOR"));
    }

    void unreadableFieldPrintsEmpty_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("withDataSet");
        QTest::addColumn<bool>("fails");
        QTest::newRow("no dataset") << "VALOR" << false << false;
        QTest::newRow("no such field") << "OUTRO" << true << false;
        QTest::newRow("reading fails") << "VALOR" << true << true;
    }
    void unreadableFieldPrintsEmpty()
    {
        QFETCH(QString, field);
        QFETCH(bool, withDataSet);
        QFETCH(bool, fails);
        TRepMemoryDataSet ds;
        ds.AddField("VALOR", TRepFieldKind::Float);
        ds.AppendRow({12.5});
        ds.SetValueFails(fails);
        auto *t = Add<TRepDBText>(100, 100, 300, 50);
        t->DataSet = withDataSet ? &ds : nullptr;
        t->SetDataField(field);
        t->Mask = "0.00";
        Begin();
        TRepElementPrinter::Print(*t, 0, 0);
        Finish();
        QCOMPARE(rec.TextsOn(0), QStringList({QString()}));
    }

    void lineBreakingOfElements_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("autoSize");
        QTest::addColumn<int>("lines");
        QTest::newRow("CR LF pairs break") << "um\r\ndois\r\ntrês" << true << 3;
        QTest::newRow("line feeds alone do not") << "um\ndois\ntrês" << true << 1;
        QTest::newRow("autosize never wraps") << QString("palavra ").repeated(20) << true << 1;
        QTest::newRow("narrow element wraps") << QString("palavra ").repeated(20) << false << -1;
    }
    void lineBreakingOfElements()
    {
        QFETCH(QString, text);
        QFETCH(bool, autoSize);
        QFETCH(int, lines);
        auto *l = Add<TRepLabel>(100, 0, 300, 5000);     // 30 mm wide, tall enough
        l->AutoSize = autoSize;
        l->SetCaption(text);
        Begin();
        TRepElementPrinter::Print(*l, 0, 0);
        Finish();
        QCOMPARE(rec.texts.size(), l->FormattedLines.size());
        if (lines >= 0) {
            QCOMPARE(l->FormattedLines.size(), lines);
        } else {
            // Several lines, each within the element's 30 mm.
            QVERIFY(l->FormattedLines.size() > 3);
            for (const QString &line : l->FormattedLines)
                QVERIFY(TRepElementPrinter::DesignTextWidth(l->Font(), line) <= 300 * 96 / 254.0);
        }
    }

    void autoSizeGrowsFromItsAnchor_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::newRow("left grows to the right") << int(taLeftJustify);
        QTest::newRow("right keeps its right edge") << int(taRightJustify);
        QTest::newRow("centre keeps its centre") << int(taCenter);
    }
    void autoSizeGrowsFromItsAnchor()
    {
        QFETCH(int, alignment);
        auto *l = Add<TRepLabel>(1000, 100, 100, 45);   // 10 mm wide at x = 100 mm
        l->SetAlignment(TRepAlignment(alignment));
        l->SetCaption("Um texto bem mais largo do que o elemento");
        Begin();
        TRepElementPrinter::Print(*l, 100, 0);
        Finish();
        QCOMPARE(rec.texts.size(), 1);
        const double width = l->WidthNative();
        QVERIFY2(width > 300, qPrintable(QString::number(width)));
        const auto &t = rec.texts.first();
        QCOMPARE(t.alignment, TRepAlignment(alignment));
        // The anchor: the left edge stays at 110 mm, the right edge at
        // 120 mm, the centre at 115 mm, whatever the new width.
        const double anchor[] = {1100, 1200, 1150};
        QVERIFY2(std::abs(t.x - anchor[alignment]) < 1e-6, qPrintable(QString::number(t.x)));
        if (alignment == taRightJustify)
            QVERIFY(std::abs(l->LeftNative() + width - 1100) < 1e-6);
    }

    void linesBeyondTheHeight()
    {
        // 30 mm wide, high enough for two lines of 10-point text.
        auto *l = Add<TRepLabel>(100, 100, 300, 95);
        l->AutoSize = false;
        l->SetCaption("Rua das Palmeiras, 1500 - fundos - Bairro Jardim América - referência: "
                      "portão azul ao lado da padaria");
        Begin();
        TRepElementPrinter::Print(*l, 0, 0);
        QVERIFY(l->FormattedLines.size() > 3);
        QCOMPARE(rec.texts.size(), 2);
        QVERIFY(l->AllLinesPrinted);     // without AutoStretch the rest is dropped
        QCOMPARE(band->ExtraHeight, 0.0);

        // With AutoStretch the band grows while the page has room...
        rec.texts.clear();
        l->AutoStretch = true;
        store->CanBandGrow = [](const TRepCustomBand *, double) { return true; };
        TRepElementPrinter::Print(*l, 0, 0);
        QCOMPARE(rec.texts.size(), l->FormattedLines.size());
        QVERIFY(l->AllLinesPrinted);
        QVERIFY(band->ExtraHeight > 0);

        // ...and leaves the rest for the continuation when it has none.
        rec.texts.clear();
        band->ExtraHeight = 0;
        store->CanBandGrow = [](const TRepCustomBand *, double) { return false; };
        TRepElementPrinter::Print(*l, 0, 0);
        QCOMPARE(rec.texts.size(), 2);
        QVERIFY(!l->AllLinesPrinted);
        QCOMPARE(l->NextLine, 2);
        // The continuation goes on from the third line.
        TRepElementPrinter::Print(*l, 0, 1000);
        QCOMPARE(rec.texts.at(2).text, l->FormattedLines.at(2));
        Finish();
    }

    // R$ 99.999.999,99 in a 25 mm column printed "R$" alone: the amount
    // did not fit and its last word was dropped. A number prints whole, in
    // a smaller size when it must; a name is still cut as before.
    void amountWiderThanItsColumnPrintsCurrencyAlone_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("total");
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("smaller");
        const int f = int(TRepFieldKind::Float);
        QTest::newRow("amount of a row") << f << QVariant(99999999.99) << "R$ #,##0.00" << false << 250.0
                                         << "R$ 99.999.999,99" << true;
        QTest::newRow("sum of a group") << f << QVariant(99999999.99) << "R$ #,##0.00" << true << 250.0
                                        << "R$ 99.999.999,99" << true;
        QTest::newRow("integer without a mask") << int(TRepFieldKind::Integer) << QVariant(1234567890) << ""
                                                << false << 100.0 << "1234567890" << true;
        QTest::newRow("amount that fits keeps its size") << f << QVariant(1234.5) << "R$ #,##0.00" << false
                                                         << 250.0 << "R$ 1.234,50" << false;
        QTest::newRow("a name is cut, not shrunk") << int(TRepFieldKind::String)
                                                   << QVariant("Maria Aparecida da Conceição") << "" << false
                                                   << 250.0 << "Maria Aparecida " << false;
    }
    void amountWiderThanItsColumnPrintsCurrencyAlone()
    {
        QFETCH(int, kind);
        QFETCH(QVariant, value);
        QFETCH(QString, mask);
        QFETCH(bool, total);
        QFETCH(double, width);
        QFETCH(QString, expected);
        QFETCH(bool, smaller);
        TRepMemoryDataSet ds;
        ds.AddField("VALOR", TRepFieldKind(kind));
        ds.AppendRow({value});
        TRepDBText *t = total ? Add<TRepDBCalc>(1650, 2, width, 45) : Add<TRepDBText>(1650, 2, width, 45);
        t->AutoSize = false;
        t->WordWrap = false;
        t->SetAlignment(taRightJustify);
        TRepFont font = t->Font();
        font.Size = 9;
        t->SetFont(font);
        t->DataSet = &ds;
        t->SetDataField("VALOR");
        t->Mask = mask;
        Begin();
        if (auto *calc = qobject_cast<TRepDBCalc *>(t)) {
            calc->Reset();
            calc->Accumulate();
        }
        TRepElementPrinter::Print(*t, 0, 0);
        const QImage page = Render(Finish());
        QCOMPARE(rec.TextsOn(0), QStringList({expected}));
        const TRepFont printed = rec.texts.first().font;
        QCOMPARE(printed.Size < 9, smaller);
        QVERIFY(printed.Size >= 1);
        // Within the column, which starts at 165 mm: no ink left of it.
        QVERIFY(TRepElementPrinter::DesignTextWidth(printed, expected) <= width * 96 / 254.0);
        int inkLeft = page.width();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 128)
                    inkLeft = std::min(inkLeft, x);
        QVERIFY2(inkLeft >= int(1650 * 96 / 254.0), qPrintable(QString::number(inkLeft)));
    }

    void ruleLineHalfWayDown()
    {
        // 2.65 mm high rule at 10 mm from the top: its line lies 1.32 mm
        // below its top, at 11.32 mm = pixel row 43 at 96 dpi.
        auto *rule = Add<TRepHRule>(100, 100, 500, 26.5);
        Begin();
        TRepElementPrinter::Print(*rule, 0, 0);
        const QImage img = Render(Finish());
        QList<int> rows;
        for (int y = 30; y < 60; ++y)
            if (qGray(img.pixel(60, y)) < 128)
                rows << y;
        QCOMPARE(rows, QList<int>({43}));
        QVERIFY(rec.graphics.isEmpty());     // this filter takes no rules
    }

    void rulesGoOnlyToFiltersThatTakeThem()
    {
        auto *rule = Add<TRepHRule>(100, 100, 500, 26.5);
        rec.rules = true;
        Begin();
        TRepElementPrinter::Print(*rule, 0, 0);
        Finish();
        QCOMPARE(rec.graphics.size(), 1);
        QCOMPARE(rec.graphics.first().kind, TRepExportGraphic::Rule);
        QCOMPARE(rec.graphics.first().Y, 38);   // 10 mm at 96 dpi
    }

    // A frame side is round(scale x points x 254 / 72) device pixels thick,
    // at least 1 for a positive width, 1 for -1, none for 0.
    void frameSideThickness_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("rows");
        QTest::newRow("1 pt") << 1 << 1;      // 1.33
        QTest::newRow("2 pt") << 2 << 3;      // 2.67
        QTest::newRow("3 pt") << 3 << 4;
        QTest::newRow("6 pt") << 6 << 8;
        QTest::newRow("-1 is one pixel") << -1 << 1;
        QTest::newRow("0 draws nothing") << 0 << 0;
    }
    void frameSideThickness()
    {
        QFETCH(int, points);
        QFETCH(int, rows);
        auto *label = Add<TRepLabel>(100, 100, 300, 100);
        label->AutoSize = false;            // keeps its 30 mm without text
        label->Transparent = true;
        label->Frame.DrawTop = true;
        label->Frame.Width = points;
        Begin();
        TRepElementPrinter::Print(*label, 0, 0);
        const QImage img = Render(Finish());
        QList<int> dark;
        for (int y = 20; y < 70; ++y)
            if (qGray(img.pixel(60, y)) < 128)
                dark << y;
        QCOMPARE(dark.size(), rows);
        if (rows > 0) {
            QCOMPARE(dark.first(), 38);      // the top edge, 10 mm down
            QCOMPARE(dark.last(), 38 + rows - 1);
        }
    }

    // The frame goes around the text where it is drawn: the frame's top
    // and left sides push the text down and right by the frame width f, and
    // the frame runs from (left - f, top - f) to (left + width, top + height)
    // of the pushed box. A 30 x 10 mm element at 10 mm, 10 mm.
    void frameIsDrawnAroundTheShiftedText_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<QRect>("inked");   // first and last inked column and row
        // 3 pt: f = 11 tenths of a mm; right edge at 100 + 11 + 300 = 411
        // (device 155, last column 154), bottom at 211 (device 80).
        QTest::newRow("3 pt") << 3 << QRect(QPoint(38, 38), QPoint(154, 79));
        // 6 pt: f = 21; right edge at 421 (device 159), bottom at 221 (84).
        QTest::newRow("6 pt") << 6 << QRect(QPoint(38, 38), QPoint(158, 83));
    }
    void frameIsDrawnAroundTheShiftedText()
    {
        QFETCH(int, points);
        QFETCH(QRect, inked);
        auto *label = Add<TRepLabel>(100, 100, 300, 100);
        label->AutoSize = false;
        label->Transparent = true;
        label->Frame.DrawTop = label->Frame.DrawBottom = label->Frame.DrawLeft = label->Frame.DrawRight = true;
        label->Frame.Width = points;
        Begin();
        TRepElementPrinter::Print(*label, 0, 0);
        const QImage img = Render(Finish());
        QList<int> columns, rows;
        for (int x = 0; x < 250; ++x)
            if (qGray(img.pixel(x, 60)) < 128)
                columns << x;
        for (int y = 0; y < 150; ++y)
            if (qGray(img.pixel(100, y)) < 128)
                rows << y;
        QVERIFY(!columns.isEmpty() && !rows.isEmpty());
        QCOMPARE(QRect(QPoint(columns.first(), rows.first()), QPoint(columns.last(), rows.last())), inked);
    }

    // Each shape on a 100 x 50 mm box at 10 mm, 10 mm: device box
    // (38, 38)-(416, 227), centre (227, 132).
    void shapesDrawWhatTheyAre_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QList<QPoint>>("ink");
        QTest::addColumn<QList<QPoint>>("paper");
        const QPoint leftMid(38, 132), topMid(227, 38), centre(227, 132), corner(39, 39), bottomMid(227, 226);
        QTest::newRow("rectangle") << int(rsRectangle) << QList<QPoint>{leftMid, topMid, bottomMid}
                                   << QList<QPoint>{centre, QPoint(227, 227)};
        QTest::newRow("circle") << int(rsCircle) << QList<QPoint>{leftMid, topMid, bottomMid}
                                << QList<QPoint>{centre, corner};
        // Lines go from their start pixel up to the one before their end.
        QTest::newRow("vertical line") << int(rsVertLine) << QList<QPoint>{topMid, centre, bottomMid}
                                       << QList<QPoint>{leftMid, corner, QPoint(227, 227)};
        QTest::newRow("horizontal line") << int(rsHorLine) << QList<QPoint>{leftMid, centre, QPoint(415, 132)}
                                         << QList<QPoint>{topMid, bottomMid, QPoint(416, 132)};
        QTest::newRow("top and bottom") << int(rsTopAndBottom)
                                        << QList<QPoint>{topMid, QPoint(38, 38), QPoint(227, 227)}
                                        << QList<QPoint>{leftMid, centre, QPoint(416, 38)};
        QTest::newRow("right and left") << int(rsRightAndLeft)
                                        << QList<QPoint>{leftMid, QPoint(38, 38), QPoint(416, 132)}
                                        << QList<QPoint>{topMid, centre, QPoint(38, 227)};
        // Corner ellipse 38 pixels: 10% of the 378-pixel design width.
        QTest::newRow("round rectangle") << int(rsRoundRect) << QList<QPoint>{leftMid, topMid}
                                         << QList<QPoint>{centre, corner};
    }
    void shapesDrawWhatTheyAre()
    {
        QFETCH(int, shape);
        QFETCH(QList<QPoint>, ink);
        QFETCH(QList<QPoint>, paper);
        auto *s = Add<TRepShape>(100, 100, 1000, 500);
        s->Shape = TRepShapeType(shape);
        s->Brush.Style = bsClear;
        Begin();
        TRepElementPrinter::Print(*s, 0, 0);
        const QImage img = Render(Finish());
        for (const QPoint &p : ink)
            QVERIFY2(qGray(img.pixel(p)) < 128, qPrintable(QStringLiteral("no ink at %1,%2").arg(p.x()).arg(p.y())));
        for (const QPoint &p : paper)
            QVERIFY2(qGray(img.pixel(p)) > 200, qPrintable(QStringLiteral("ink at %1,%2").arg(p.x()).arg(p.y())));
    }

    void shapeAndFrameHandOff()
    {
        auto *shape = Add<TRepShape>(100, 100, 1000, 500);
        auto *label = Add<TRepLabel>(100, 700, 500, 50);
        label->SetCaption("Com moldura");
        label->Color = QColor(255, 255, 0);
        label->Frame.DrawTop = label->Frame.DrawBottom = label->Frame.DrawLeft = label->Frame.DrawRight = true;
        Begin();
        TRepElementPrinter::Print(*shape, 0, 0);
        TRepElementPrinter::Print(*label, 0, 0);
        const QImage img = Render(Finish());
        // Shape: one item, filled and outlined.
        QCOMPARE(rec.graphics.size(), 3);
        const TRepExportGraphic &g = rec.graphics.at(0);
        QCOMPARE(g.kind, TRepExportGraphic::Rectangle);
        QVERIFY(g.Filled() && g.Stroked());
        QCOMPARE(QRect(g.X, g.Y, g.Width, g.Height), QRect(38, 38, 378, 189));
        // Label: its coloured background, then its frame as one rectangle.
        QCOMPARE(rec.graphics.at(1).BrushColor, QColor(255, 255, 0));
        QVERIFY(!rec.graphics.at(1).Stroked());
        QCOMPARE(rec.graphics.at(2).kind, TRepExportGraphic::Rectangle);
        QVERIFY(!rec.graphics.at(2).Filled());
        // The shape's outline is drawn black, its inside white.
        QCOMPARE(qGray(img.pixel(38, 100)), 0);
        QCOMPARE(img.pixel(100, 100), qRgb(255, 255, 255));
        // The label's frame line is black at its top edge (70 mm = row 265),
        // its inside yellow.
        QCOMPARE(qGray(img.pixel(60, 265)), 0);
        QCOMPARE(img.pixel(60, 270), qRgb(255, 255, 0));
    }
};

QTEST_MAIN(TstTRepElementPrinter)
#include "tst_trepelementprinter.moc"
