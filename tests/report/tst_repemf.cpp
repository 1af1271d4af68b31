// The page record: drawing through the recording canvas and playing the
// record back must give what painting directly gives, in a valid metafile.

#include "report/model/ereperror.h"
#include "report/page/trepemf_p.h"
#include "report/page/trepemfcanvas.h"
#include "report/page/trepemfrecords.h"
#include "report/page/trepmetafile.h"
#include "report/page/treppaintercanvas.h"

#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <QtTest>

using namespace RepEmf;

namespace {

constexpr int PageW = 400;
constexpr int PageH = 300;

// A bit of everything the engine draws on a page.
void DrawSample(TRepCanvas &c)
{
    TRepBrush brush;
    brush.Color = QColor(230, 230, 250);
    c.SetBrush(brush);
    c.FillRect(10, 10, 390, 60);

    TRepPen pen;
    pen.Width = 2;
    pen.Color = QColor(0, 0, 128);
    c.SetPen(pen);
    brush.Color = Qt::white;
    c.SetBrush(brush);
    c.Rectangle(20, 80, 120, 140);
    brush.Style = bsDiagCross;
    brush.Color = QColor(200, 0, 0);
    c.SetBrush(brush);
    c.Ellipse(140, 80, 240, 140);
    pen.Style = psDash;
    pen.Width = 1;
    c.SetPen(pen);
    brush.Style = bsClear;
    c.SetBrush(brush);
    c.RoundRect(260, 80, 380, 140, 20, 20);
    pen.Style = psClear;
    c.SetPen(pen);
    brush.Style = bsSolid;
    brush.Color = QColor(0, 128, 0);
    c.SetBrush(brush);
    c.Rectangle(20, 150, 60, 170);

    pen = TRepPen();
    c.SetPen(pen);
    c.MoveTo(10, 200);
    c.LineTo(390, 200);
    c.LineTo(390, 290);

    TRepCanvasFont font;
    font.Size = 12;
    font.Bold = true;
    c.SetFont(font);
    c.TextOut(15, 20, QStringLiteral("ORDEM DE SERVIÇO"));
    font.Size = 8;
    font.Bold = false;
    font.Color = QColor(0, 0, 255);
    c.SetFont(font);
    c.TextOut(385, 20, QStringLiteral("Nº 000042"), taRightJustify);
    font.Italic = true;
    font.Name = QStringLiteral("Verdana");
    c.SetFont(font);
    c.TextOut(200, 210, QStringLiteral("Ação concluída"), taCenter);
    font.Italic = false;
    font.Underline = true;
    font.Color = Qt::black;
    c.SetFont(font);
    c.TextOut(20, 240, QStringLiteral("Total: R$ 1.234,56"));
}

QImage WhiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    return img;
}

TRepMetafile RecordSample()
{
    TRepEmfCanvas rec(PageW, PageH);
    DrawSample(rec);
    return rec.FinishMetafile();
}

quint32 U32At(const QByteArray &b, int off)
{
    return qFromLittleEndian<quint32>(b.constData() + off);
}

void PutU32(QByteArray &b, int off, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + off);
}

// Offset of the first record of `type` after the header, or -1.
int FindRecord(const QByteArray &b, quint32 type)
{
    int off = int(U32At(b, EmrRecord::Size));
    while (off + EmrRecord::Body <= b.size()) {
        if (U32At(b, off + EmrRecord::Type) == type)
            return off;
        off += int(U32At(b, off + EmrRecord::Size));
    }
    return -1;
}

int CountDifferentPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int diff = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++diff;
    return diff;
}

} // namespace

class TstRepEmf : public QObject
{
    Q_OBJECT

private slots:
    void playbackMatchesDirectPainting_data();
    void playbackMatchesDirectPainting();
    void headerAndCounts();
    void textRecordsKeepTheirCharacters();
    void measurementIsTheSameOnRecordAndPainter();
    void damagedRecordIsRejected_data();
    void damagedRecordIsRejected();
    void recordingAfterFinishIsRefused();
    void textOnAPageStretchedOutOfShape();
};

void TstRepEmf::playbackMatchesDirectPainting_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("tolerance"); // differing pixels allowed
    QTest::newRow("same size") << 1.0 << 0;
    QTest::newRow("doubled") << 2.0 << 0;
    QTest::newRow("thumbnail") << 0.25 << 0;
}

void TstRepEmf::playbackMatchesDirectPainting()
{
    QFETCH(double, scale);
    QFETCH(int, tolerance);
    const int w = int(PageW * scale);
    const int h = int(PageH * scale);

    QImage direct = WhiteImage(w, h);
    {
        QPainter p(&direct);
        p.scale(scale, scale);
        if (scale != 1.0)
            p.setRenderHint(QPainter::Antialiasing, true);
        TRepPainterCanvas canvas(&p, 96.0);
        DrawSample(canvas);
    }
    QImage played = WhiteImage(w, h);
    {
        QPainter p(&played);
        RecordSample().Draw(p, QRectF(0, 0, w, h));
    }
    // The drawing really is there (not two blank images).
    QVERIFY(CountDifferentPixels(direct, WhiteImage(w, h)) > w * h / 50);
    QVERIFY(CountDifferentPixels(direct, played) <= tolerance);
}

void TstRepEmf::headerAndCounts()
{
    const TRepMetafile m = RecordSample();
    const QByteArray b = m.Bytes();
    QCOMPARE(U32At(b, EmrRecord::Type), 1u);           // header record
    QCOMPARE(b.mid(EmfHeader::Signature, 4), QByteArray(" EMF"));
    QCOMPARE(U32At(b, EmfHeader::Version), 0x10000u);
    QCOMPARE(qint64(U32At(b, EmfHeader::Bytes)), qint64(b.size()));
    QCOMPARE(b.size() % 4, 0);
    // Frame: the whole page in 0.01 mm.
    QCOMPARE(qint32(U32At(b, EmfHeader::FrameRight)), qint32(qRound(PageW * 2540.0 / 96.0)));
    QCOMPARE(qint32(U32At(b, EmfHeader::FrameBottom)), qint32(qRound(PageH * 2540.0 / 96.0)));
    QCOMPARE(m.Width(), PageW);
    QCOMPARE(m.Height(), PageH);
    // Reference device at exactly 96 pixels per inch.
    QCOMPARE(U32At(b, EmfHeader::DevicePixelsX) * 254.0 / (U32At(b, EmfHeader::DeviceMmX) * 10.0), 96.0);

    // Walk the records independently: sizes add up, the count matches,
    // every handle used is below the handle count, the last one is EOF.
    const quint32 handles = qFromLittleEndian<quint16>(b.constData() + EmfHeader::Handles);
    int off = 0;
    quint32 records = 0;
    quint32 last = 0;
    quint32 maxHandle = 0;
    while (off < b.size()) {
        const quint32 type = U32At(b, off + EmrRecord::Type);
        const quint32 size = U32At(b, off + EmrRecord::Size);
        QVERIFY(size >= 8 && size % 4 == 0 && off + size <= quint32(b.size()));
        if (type == RepEmf::EMR_CREATEPEN || type == RepEmf::EMR_CREATEBRUSHINDIRECT
            || type == RepEmf::EMR_EXTCREATEFONTINDIRECTW || type == RepEmf::EMR_SELECTOBJECT
            || type == RepEmf::EMR_DELETEOBJECT) {
            const quint32 h = U32At(b, off + EmrOneValue::Value); // or the object's handle
            if (!(h & 0x80000000u))
                maxHandle = std::max(maxHandle, h);
        }
        last = type;
        ++records;
        off += int(size);
    }
    QCOMPARE(off, int(b.size()));
    QCOMPARE(last, quint32(RepEmf::EMR_EOF));
    QCOMPARE(U32At(b, EmfHeader::Records), records);
    QCOMPARE(m.RecordCount(), records);
    QVERIFY(maxHandle >= 1);
    QCOMPARE(handles, maxHandle + 1);
    // Drawn bounds lie on the page and hold what was drawn.
    QVERIFY(QRect(0, 0, PageW, PageH).contains(m.Bounds()));
    QVERIFY(m.Bounds().contains(QRect(10, 10, 380, 280)));
}

void TstRepEmf::textRecordsKeepTheirCharacters()
{
    const QStringList texts = RecordSample().TextRecords();
    QCOMPARE(texts, QStringList({QStringLiteral("ORDEM DE SERVIÇO"), QStringLiteral("Nº 000042"),
                                 QStringLiteral("Ação concluída"), QStringLiteral("Total: R$ 1.234,56")}));
    // Characters outside the basic plane survive as their two code units.
    TRepEmfCanvas rec(100, 100);
    const QString emoji = QString::fromUtf8("a\xF0\x9F\x94\xA7z");
    rec.TextOut(1, 1, emoji);
    rec.TextOut(1, 30, QString());
    QCOMPARE(rec.FinishMetafile().TextRecords(), QStringList{emoji});
}

void TstRepEmf::measurementIsTheSameOnRecordAndPainter()
{
    TRepCanvasFont font;
    font.Size = 10;
    TRepEmfCanvas rec(100, 100);
    rec.SetFont(font);
    QImage img = WhiteImage(10, 10);
    QPainter p(&img);
    TRepPainterCanvas at96(&p, 96.0);
    at96.SetFont(font);
    TRepPainterCanvas at600(&p, 600.0);
    at600.SetFont(font);
    const QString s = QStringLiteral("Cliente: José da Silva");
    QCOMPARE(rec.TextExtent(s), at96.TextExtent(s));
    QVERIFY(rec.TextWidth(s) > 100);
    // 10 pt at 96 dpi is a 13-pixel character height, at 600 dpi 83 pixels.
    QCOMPARE(rec.FontHeightFor(font), -13);
    QCOMPARE(at600.FontHeightFor(font), -83);
    const double ratio = at600.TextWidthF(s) / rec.TextWidthF(s);
    QVERIFY2(ratio > 83.0 / 13 * 0.97 && ratio < 83.0 / 13 * 1.03, qPrintable(QString::number(ratio)));
    QCOMPARE(rec.TextWidth(QString()), 0);
}

void TstRepEmf::damagedRecordIsRejected_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("cut in the header") << "cut80";
    QTest::newRow("cut before EOF") << "cutEnd";
    QTest::newRow("no signature") << "signature";
    QTest::newRow("length past the data") << "bytes";
    QTest::newRow("record of size 0") << "size0";
    QTest::newRow("record past the end") << "sizeHuge";
    QTest::newRow("more records than counted") << "countLow";
    QTest::newRow("fewer records than counted") << "countHigh";
    QTest::newRow("handle beyond the table") << "handle";
    QTest::newRow("text longer than its record") << "chars";
    QTest::newRow("text offset past its record") << "offString";
    QTest::newRow("zero-sized frame") << "frame";
}

void TstRepEmf::damagedRecordIsRejected()
{
    QFETCH(QString, damage);
    QByteArray b = RecordSample().Bytes();
    const int text = FindRecord(b, RepEmf::EMR_EXTTEXTOUTW);
    const int select = FindRecord(b, RepEmf::EMR_SELECTOBJECT);
    QVERIFY(text > 0 && select > 0);
    if (damage == "cut80")
        b.truncate(80);
    else if (damage == "cutEnd")
        b.chop(20);
    else if (damage == "signature")
        b[EmfHeader::Signature + 1] = 'X';
    else if (damage == "bytes")
        PutU32(b, EmfHeader::Bytes, U32At(b, EmfHeader::Bytes) + 4);
    else if (damage == "size0")
        PutU32(b, select + EmrRecord::Size, 0);
    else if (damage == "sizeHuge")
        PutU32(b, select + EmrRecord::Size, 0xFFFFFFF0u);
    else if (damage == "countLow")
        PutU32(b, EmfHeader::Records, U32At(b, EmfHeader::Records) - 1);
    else if (damage == "countHigh")
        PutU32(b, EmfHeader::Records, U32At(b, EmfHeader::Records) + 1);
    else if (damage == "handle")
        PutU32(b, select + EmrOneValue::Value, 1000);
    else if (damage == "chars")
        PutU32(b, text + EmrText::Chars, 0x7FFFFFFF);
    else if (damage == "offString")
        PutU32(b, text + EmrText::StringOffset, 0xFFFFFFF0u);
    else if (damage == "frame")
        PutU32(b, EmfHeader::FrameRight, 0);
    try {
        TRepMetafile::FromBytes(b);
        QFAIL("damaged record accepted");
    } catch (const ERepError &e) {
        QVERIFY(!e.Message().isEmpty());
    }
}

void TstRepEmf::recordingAfterFinishIsRefused()
{
    TRepEmfCanvas rec(50, 50);
    rec.Rectangle(1, 1, 10, 10);
    const QByteArray first = rec.Finish();
    QCOMPARE(rec.Finish(), first);
    QVERIFY_THROWS_EXCEPTION(ERepError, rec.Rectangle(1, 1, 20, 20));
    // An empty page is still a valid record.
    TRepEmfCanvas empty(50, 50);
    const TRepMetafile m = empty.FinishMetafile();
    QVERIFY(!m.IsNull());
    QVERIFY(m.TextRecords().isEmpty());
}

void TstRepEmf::textOnAPageStretchedOutOfShape()
{
    // A damaged file once held a page 48 pixels wide and 79542 high with a
    // 2048-pixel font; squeezed into a thumbnail, Qt's glyph cache crashed.
    TRepEmfCanvas rec(48, 79542);
    TRepCanvasFont font;
    font.Height = 50331635;
    rec.SetFont(font);
    rec.TextOut(100, 5, QStringLiteral("Página 1"), taCenter);
    rec.TextOut(24, 40000, QStringLiteral("Total"), taRightJustify);
    const TRepMetafile m = rec.FinishMetafile();
    QImage thumb = WhiteImage(48, 64);
    {
        QPainter p(&thumb);
        m.Draw(p, QRectF(0, 0, 48, 64));
    }
    QImage wide = WhiteImage(600, 20);
    {
        QPainter p(&wide);
        m.Draw(p, QRectF(0, 0, 600, 20));
    }
    // Something was drawn, as outlines.
    QVERIFY(CountDifferentPixels(thumb, WhiteImage(48, 64)) > 0);
}

QTEST_MAIN(TstRepEmf)
#include "tst_repemf.moc"
