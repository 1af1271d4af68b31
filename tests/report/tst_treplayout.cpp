#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepchildband.h"
#include "report/model/trepdbtext.h"
#include "report/model/trephrule.h"
#include "report/model/treplabel.h"
#include "report/model/treplayout.h"
#include "report/model/trepreport.h"
#include "report/model/trepshape.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// A small layout with one band of each kind of element, a child band and a link.
const char *kLayout = R"({
  "LayoutVersion": 1, "Class": "TRepReport", "Name": "Rep",
  "Units": "MM", "Zoom": 100,
  "Page": {"Values": [150, 2970, 120, 2100, 100, 100, 50], "PaperSize": "A4", "Orientation": "poPortrait", "Columns": 2},
  "Font": {"Name": "Verdana", "Size": 9, "Style": ["fsItalic"], "Color": "#102030"},
  "ReportTitle": "T", "Description": ["one", "two"], "DataSet": "Q1",
  "Options": ["LastPageFooter", "Compression"], "PrintIfEmpty": false,
  "Frame": {"DrawTop": true, "Width": 2, "Style": "psDash", "Color": "#ff0000"},
  "Functions": {"Strings": ["PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE", "X"], "DATA": ["0", "0", "''", "1+1"]},
  "PrinterSettings": {"Copies": 2, "OutputBin": "Cassette", "MemoryLimit": 1000},
  "PreviewWidth": 800, "PrevInitialZoom": "rzZoomOther", "PreviewInitialState": "wsMaximized",
  "Bands": [
    {"Class": "TRepBand", "Name": "B1", "BandType": "rbDetail", "Size": {"Values": [100, 0]},
     "LinkBand": "B2", "Color": "#eeeeee",
     "Elements": [
       {"Class": "TRepLabel", "Name": "L1", "Size": {"Values": [45, 10, 20, 300]}, "Caption": "Olá",
        "ParentFont": false, "Font": {"Name": "Arial", "Size": 10, "Style": ["fsBold"]}, "FontSize": 14,
        "Alignment": "taCenter", "AutoSize": false},
       {"Class": "TRepDBText", "Name": "D1", "Size": {"Values": [45, 10, 70, 300]}, "DataSet": "Q1",
        "DataField": "VALOR", "Mask": "R$ #,##0.00", "Alignment": "taRightJustify"},
       {"Class": "TRepHRule", "Name": "H1", "Size": {"Values": [26.5, 0, 0, 500]}, "Pen": {"Width": 2}},
       {"Class": "TRepShape", "Name": "S1", "Size": {"Values": [100, 0, 0, 100]}, "Shape": "rsRoundRect",
        "RoundFactor": 0.25, "Brush": {"Style": "bsClear"}, "Tag": 1000}
     ]},
    {"Class": "TRepChildBand", "Name": "C1", "ParentBand": "B1", "Size": {"Values": [50, 0]}},
    {"Class": "TRepBand", "Name": "B2", "BandType": "rbPageFooter", "Size": {"Values": [80, 0]}}
  ],
  "Elements": [
    {"Class": "TRepLabel", "Name": "Loose", "Size": {"Values": [40, 0, 0, 100]}, "Caption": "x"}
  ]
})";

std::unique_ptr<TRepReport> LoadOrFail(const QByteArray &json)
{
    try {
        return std::unique_ptr<TRepReport>(TRepLayout::Load(json));
    } catch (const ERepError &e) {
        qWarning("%s", e.what());
        return nullptr;
    }
}

} // namespace

class TstTRepLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void loadsEveryProperty();
    void savedFormLoadsBackTheSame();
    void valuesStayNativeWhateverTheUnits();
    void fontSizeAppliedAfterLoading();
    void badLayoutsGiveClearErrors_data();
    void badLayoutsGiveClearErrors();
    void fileErrors();
    void damagedLayoutsNeverCrash();
};

void TstTRepLayout::loadsEveryProperty()
{
    auto r = LoadOrFail(kLayout);
    QVERIFY(r);
    QCOMPARE(r->Name(), QStringLiteral("Rep"));
    const TRepPage::TValues values{150, 2970, 120, 2100, 100, 100, 50};
    QCOMPARE(r->Page().Values(), values);
    QCOMPARE(r->Page().Columns(), 2);
    QCOMPARE(r->Font(), [] { TRepFont f("Verdana", 9); f.Italic = true; f.Color = QColor(0x10, 0x20, 0x30); return f; }());
    QCOMPARE(r->Description, QStringList({"one", "two"}));
    QCOMPARE(r->DataSetName, QStringLiteral("Q1"));
    QCOMPARE(r->Options, TRepReportOptions(TRepReportOption::LastPageFooter | TRepReportOption::Compression));
    QVERIFY(!r->PrintIfEmpty);
    QVERIFY(r->Frame.DrawTop && !r->Frame.DrawBottom);
    QCOMPARE(r->Frame.Style, psDash);
    QCOMPARE(r->Functions().Expression("X"), QStringLiteral("1+1"));
    QCOMPARE(r->PrinterSettings.Copies, 2);
    QCOMPARE(r->PrinterSettings.OutputBin, TRepBin::Cassette);
    QCOMPARE(r->PrinterSettings.MemoryLimit, 1000);
    QCOMPARE(r->PrinterSettings.FirstPage, 0);  // absent: default
    QCOMPARE(r->PreviewWidth(), 800);
    QCOMPARE(r->PreviewHeight(), 500);
    QCOMPARE(r->PrevInitialZoom, rzZoomOther);
    QCOMPARE(r->PreviewInitialState, wsMaximized);
    QVERIFY(r->PrevShowThumbs);

    // Bands in written order; the child stays where the layout put it.
    QCOMPARE(r->BandList().size(), 3);
    auto *b1 = r->FindBandByName("B1");
    auto *c1 = qobject_cast<TRepChildBand *>(r->FindBandByName("C1"));
    auto *b2 = r->FindBandByName("B2");
    QCOMPARE(r->BandList(), QList<TRepCustomBand *>({b1, c1, b2}));
    QCOMPARE(c1->ParentBand(), b1);
    QCOMPARE(b1->LinkBand(), b2);
    QCOMPARE(b1->Color, QColor(0xee, 0xee, 0xee));
    // The engine sets the widths: 2 columns of (718 - 18) div 2 pixels for the detail.
    QVERIFY(qAbs(b1->WidthNative() - 350 * 254.0 / 96) < 1e-9);
    QVERIFY(qAbs(c1->WidthNative() - 350 * 254.0 / 96) < 1e-9);
    QVERIFY(qAbs(b2->WidthNative() - 718 * 254.0 / 96) < 1e-9);

    auto *l1 = qobject_cast<TRepLabel *>(r->FindElement("L1"));
    QVERIFY(l1);
    QCOMPARE(l1->Caption(), QStringLiteral("Olá"));
    QCOMPARE(l1->Alignment(), taCenter);
    QVERIFY(!l1->AutoSize);
    QCOMPARE(l1->ParentBand(), b1);
    auto *d1 = qobject_cast<TRepDBText *>(r->FindElement("D1"));
    QVERIFY(d1);
    QCOMPARE(d1->DataField(), QStringLiteral("VALOR"));
    QCOMPARE(d1->Caption(), QStringLiteral("VALOR"));
    QCOMPARE(d1->Mask, QStringLiteral("R$ #,##0.00"));
    QCOMPARE(d1->DataSetName, QStringLiteral("Q1"));
    QVERIFY(d1->ParentFont());
    QCOMPARE(d1->Font(), r->Font());
    auto *h1 = qobject_cast<TRepHRule *>(r->FindElement("H1"));
    QCOMPARE(h1->Pen.Width, 2);
    QCOMPARE(h1->Pen.Color, QColor(Qt::black));
    auto *s1 = qobject_cast<TRepShape *>(r->FindElement("S1"));
    QCOMPARE(s1->Shape, rsRoundRect);
    QCOMPARE(s1->RoundFactor, 0.25f);
    QCOMPARE(s1->Brush.Style, bsClear);
    QCOMPARE(s1->Tag, 1000);
    QCOMPARE(r->Elements().size(), 1);
    QCOMPARE(r->Elements().first()->Name(), QStringLiteral("Loose"));
}

void TstTRepLayout::savedFormLoadsBackTheSame()
{
    auto r = LoadOrFail(kLayout);
    QVERIFY(r);
    const QByteArray saved = TRepLayout::Save(*r);
    auto again = LoadOrFail(saved);
    QVERIFY(again);
    QCOMPARE(TRepLayout::Save(*again), saved);
    // The saved form holds the stored names of the model.
    const QJsonObject o = QJsonDocument::fromJson(saved).object();
    QCOMPARE(o.value("Functions").toObject().keys(), QStringList({"DATA", "Strings"}));
    QCOMPARE(o.value("Page").toObject().value("Values").toArray().size(), 7);
    QVERIFY(saved.contains("\"PreCaluculateBandHeight\""));

    // A fresh report saves and loads back too.
    TRepReport fresh;
    fresh.Bands().SetHasTitle(true);
    auto fromFresh = LoadOrFail(TRepLayout::Save(fresh));
    QVERIFY(fromFresh);
    QCOMPARE(TRepLayout::Save(*fromFresh), TRepLayout::Save(fresh));
}

void TstTRepLayout::valuesStayNativeWhateverTheUnits()
{
    QByteArray json(kLayout);
    json.replace("\"Units\": \"MM\"", "\"Units\": \"Inches\"");
    auto r = LoadOrFail(json);
    QVERIFY(r);
    QCOMPARE(r->Units(), TRepUnit::Inches);
    QCOMPARE(r->Page().NativeValue(TRepPage::LeftMarginIndex), 100.0);
    QCOMPARE(r->Page().LeftMargin(), 100 / 254.0);
    QCOMPARE(r->FindElement("L1")->TopNative(), 20.0);
    QCOMPARE(r->FindElement("L1")->Top(), 20 / 254.0);
}

void TstTRepLayout::fontSizeAppliedAfterLoading()
{
    auto r = LoadOrFail(kLayout);
    QVERIFY(r);
    auto *l1 = qobject_cast<TRepLabel *>(r->FindElement("L1"));
    QCOMPARE(l1->Font().Size, 14);      // FontSize wins over the font's own size
    QVERIFY(l1->Font().Bold);
    QCOMPARE(l1->Font().Color, QColor(Qt::black));
}

void TstTRepLayout::badLayoutsGiveClearErrors_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("message");

    QTest::newRow("not json") << QByteArray("\"Bands\": [") << QByteArray("\"Bands\": [[")
                              << "not valid JSON";
    QTest::newRow("no version") << QByteArray("\"LayoutVersion\": 1,") << QByteArray()
                                << "LayoutVersion is missing";
    QTest::newRow("newer version") << QByteArray("\"LayoutVersion\": 1") << QByteArray("\"LayoutVersion\": 7")
                                   << "newer than this program reads";
    QTest::newRow("unknown property") << QByteArray("\"Caption\": \"x\"") << QByteArray("\"Capton\": \"x\"")
                                      << "Rep.Loose: unknown property \"Capton\"";
    QTest::newRow("wrong kind") << QByteArray("\"PrintIfEmpty\": false") << QByteArray("\"PrintIfEmpty\": 0")
                                << "PrintIfEmpty must be true or false";
    QTest::newRow("page values count") << QByteArray("[150, 2970, 120, 2100, 100, 100, 50]")
                                       << QByteArray("[150, 2970, 120, 2100, 100, 100]")
                                       << "Rep.Page: Values must hold 7 numbers";
    QTest::newRow("negative margin") << QByteArray("[150, 2970, 120, 2100, 100, 100, 50]")
                                     << QByteArray("[150, 2970, 120, 2100, -100, 100, 50]")
                                     << "must not hold negative lengths";
    QTest::newRow("element values count") << QByteArray("[45, 10, 20, 300]") << QByteArray("[45, 10, 20]")
                                          << "B1.L1.Size: Values must hold 4 numbers";
    QTest::newRow("element text in values") << QByteArray("[45, 10, 20, 300]") << QByteArray("[45, 10, \"20\", 300]")
                                            << "Size: Values must hold 4 numbers";
    QTest::newRow("negative width") << QByteArray("[45, 10, 20, 300]") << QByteArray("[45, 10, 20, -300]")
                                    << "negative height or width";
    QTest::newRow("band without size") << QByteArray("\"Size\": {\"Values\": [50, 0]}") << QByteArray("\"Enabled\": true")
                                       << "C1: Size.Values (Height, Width) is missing";
    QTest::newRow("unknown enum") << QByteArray("\"rbPageFooter\"") << QByteArray("\"rbFooter\"")
                                  << "BandType \"rbFooter\" is not one of rbTitle";
    QTest::newRow("unknown paper") << QByteArray("\"PaperSize\": \"A4\"") << QByteArray("\"PaperSize\": \"A7\"")
                                   << "PaperSize \"A7\"";
    QTest::newRow("unknown option") << QByteArray("\"Compression\"]") << QByteArray("\"Zip\"]")
                                    << "Options \"Zip\"";
    QTest::newRow("unknown class") << QByteArray("\"Class\": \"TRepShape\"") << QByteArray("\"Class\": \"TRepImage\"")
                                   << "Class \"TRepImage\" is not one of";
    QTest::newRow("duplicate name") << QByteArray("\"Name\": \"D1\"") << QByteArray("\"Name\": \"L1\"")
                                    << "the name L1 is used twice";
    QTest::newRow("missing name") << QByteArray("\"Name\": \"H1\",") << QByteArray()
                                  << "element without a Name";
    QTest::newRow("bad name") << QByteArray("\"Name\": \"H1\"") << QByteArray("\"Name\": \"H 1\"")
                              << "\"H 1\" is not a valid name";
    QTest::newRow("child of nothing") << QByteArray("\"ParentBand\": \"B1\"") << QByteArray("\"ParentBand\": \"B9\"")
                                      << "C1: ParentBand B9 is not a band written before it";
    QTest::newRow("child as band type") << QByteArray("\"BandType\": \"rbDetail\"") << QByteArray("\"BandType\": \"rbChild\"")
                                        << "TRepChildBand";
    QTest::newRow("link to nothing") << QByteArray("\"LinkBand\": \"B2\"") << QByteArray("\"LinkBand\": \"B7\"")
                                     << "B1: LinkBand B7 is not a band of the report";
    QTest::newRow("circular link") << QByteArray("\"Size\": {\"Values\": [80, 0]}")
                                   << QByteArray("\"Size\": {\"Values\": [80, 0]}, \"LinkBand\": \"B1\"")
                                   << "B2: Circular linking not allowed";
    QTest::newRow("functions out of step") << QByteArray("\"1+1\"]") << QByteArray("\"1+1\", \"2\"]")
                                           << "Rep.Functions: Function list damaged";
    QTest::newRow("zoom out of range") << QByteArray("\"Zoom\": 100") << QByteArray("\"Zoom\": 301")
                                       << "Zoom must be a whole number from 1 to 300";
    QTest::newRow("fraction for integer") << QByteArray("\"Copies\": 2") << QByteArray("\"Copies\": 2.5")
                                          << "Copies must be a whole number";
    QTest::newRow("bad colour") << QByteArray("\"#eeeeee\"") << QByteArray("\"grey\"")
                                << "Color \"grey\" must be a colour written #rrggbb";
    QTest::newRow("bad font style") << QByteArray("[\"fsItalic\"]") << QByteArray("[\"fsHeavy\"]")
                                    << "Style \"fsHeavy\"";
    QTest::newRow("zero font size") << QByteArray("\"Size\": 9") << QByteArray("\"Size\": 0")
                                    << "Size must not be 0";
    QTest::newRow("huge number") << QByteArray("[100, 0]") << QByteArray("[1e999, 0]")
                                 << "not valid JSON";
    QTest::newRow("huge length") << QByteArray("[45, 10, 20, 300]") << QByteArray("[45, 10, 20, 3e300]")
                                 << "L1.Size: Values holds a length beyond 100 m";
    QTest::newRow("top level array") << QByteArray(kLayout) << QByteArray("[1, 2]")
                                     << "must be a JSON object";
}

void TstTRepLayout::badLayoutsGiveClearErrors()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, message);

    QByteArray json(kLayout);
    QVERIFY2(json.contains(from), from.constData());
    json.replace(json.indexOf(from), from.size(), to);
    QObject owner;
    try {
        TRepLayout::Load(json, &owner);
        QFAIL("a damaged layout was accepted");
    } catch (const ERepError &e) {
        QVERIFY2(e.Message().contains(message), e.what());
        QVERIFY2(e.Message().startsWith("Report layout"), e.what());
    }
    // Nothing half-built was left behind.
    QVERIFY(owner.children().isEmpty());
}

void TstTRepLayout::fileErrors()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath("nothing.json");
    QVERIFY_THROWS_EXCEPTION(ERepError, TRepLayout::LoadFromFile(missing));

    auto r = LoadOrFail(kLayout);
    const QString path = dir.filePath("layout.json");
    TRepLayout::SaveToFile(*r, path);
    QObject owner;
    TRepReport *loaded = TRepLayout::LoadFromFile(path, &owner);
    QCOMPARE(loaded->parent(), &owner);
    QCOMPARE(TRepLayout::Save(*loaded), TRepLayout::Save(*r));

    QFile bad(dir.filePath("bad.json"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("{\"LayoutVersion\": 1, \"Class\": \"TRepReport\", \"Pages\": 1}");
    bad.close();
    try {
        TRepLayout::LoadFromFile(bad.fileName());
        QFAIL("a damaged file was accepted");
    } catch (const ERepError &e) {
        QVERIFY2(e.Message().contains("unknown property \"Pages\""), e.what());
        QVERIFY2(e.Message().contains("bad.json"), e.what());
    }
    QVERIFY_THROWS_EXCEPTION(ERepError, TRepLayout::SaveToFile(*r, dir.filePath("no/such/folder/x.json")));
}

// Seeded random damage to a valid layout: every result is either a report
// or a clear ERepError, never a crash or a hang.
void TstTRepLayout::damagedLayoutsNeverCrash()
{
    QFile relos(QFINDTESTDATA("../../orders/relos.json"));
    QVERIFY(relos.open(QIODevice::ReadOnly));
    const QList<QByteArray> seeds{QByteArray(kLayout), relos.readAll()};
    static const char *const tokens[] = {"0", "-1", "1e308", "\"\"", "null", "true", "[]", "{}",
                                         "\"rbChild\"", "\"B1\"", "\"TRepChildBand\"", "99999999999"};
    QRandomGenerator rng(20261210);
    int loaded = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray json = seeds.at(round % seeds.size());
        const int edits = 1 + int(rng.bounded(4));
        for (int k = 0; k < edits; ++k) {
            const int at = int(rng.bounded(quint32(json.size())));
            switch (rng.bounded(4)) {
            case 0:     // flip a byte
                json[at] = char(rng.bounded(256));
                break;
            case 1:     // cut the text short
                json.truncate(at);
                break;
            case 2:     // drop a piece
                json.remove(at, int(rng.bounded(40)));
                break;
            default: {  // put a value where a number or name stood
                const int end = json.indexOf(',', at);
                if (end > at)
                    json.replace(at, end - at, tokens[rng.bounded(int(std::size(tokens)))]);
            }
            }
            if (json.isEmpty())
                break;
        }
        try {
            std::unique_ptr<TRepReport> r(TRepLayout::Load(json));
            // Whatever loaded must save and load again.
            std::unique_ptr<TRepReport> again(TRepLayout::Load(TRepLayout::Save(*r)));
            QCOMPARE(TRepLayout::Save(*again), TRepLayout::Save(*r));
            ++loaded;
        } catch (const ERepError &e) {
            QVERIFY(qstrlen(e.what()) > 0);
            ++refused;
        }
    }
    QVERIFY(refused > 0);
    qInfo("%d damaged layouts loaded, %d refused", loaded, refused);
}

QTEST_GUILESS_MAIN(TstTRepLayout)
#include "tst_treplayout.moc"
