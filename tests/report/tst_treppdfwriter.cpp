// The PDF writer on its own: glyph names and the font encoding, string
// operands, base-85 and LZW picture data, font metrics from the font files,
// the operators of each shape kind, and a written document checked byte by
// byte (object offsets, stream lengths) and by qpdf and poppler.

#include "report/export/trepascii85.h"
#include "report/export/trepfontmetrics.h"
#include "report/export/trepglyphnames.h"
#include "report/export/treplzwencoder.h"
#include "report/export/treppdfwriter.h"
#include "report/export/trepwinansi.h"
#include "report/model/ereperror.h"
#include "tests/report/exporttools.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

using namespace ExportTools;

namespace {

// The objects of a written document by number: their byte offsets and text.
struct Parsed
{
    QMap<int, qint64> offsets;      // where "N 0 obj" begins
    QList<qint64> xref;             // the table's offsets, object 1 on
    qint64 startxref = -1;
    qint64 xrefPos = -1;
    int size = -1;
};

Parsed Parse(const QByteArray &pdf)
{
    Parsed p;
    static const QRegularExpression obj(QStringLiteral("(?:^|\\r\\n)(\\d+) 0 obj\\r\\n"));
    const QString latin = QString::fromLatin1(pdf);
    for (auto it = obj.globalMatch(latin); it.hasNext();) {
        const auto m = it.next();
        p.offsets.insert(m.captured(1).toInt(), m.capturedStart(1));
    }
    p.xrefPos = pdf.lastIndexOf("\r\nxref\r\n") + 2;
    const qsizetype table = pdf.indexOf("0000000000 65535 f\r\n", p.xrefPos);
    for (qsizetype pos = table + 20; pos + 20 <= pdf.size() && pdf.mid(pos + 10, 10) == " 00000 n\r\n"; pos += 20)
        p.xref.append(pdf.mid(pos, 10).toLongLong());
    static const QRegularExpression sx(QStringLiteral("startxref\\r\\n(\\d+)\\r\\n%%EOF\\r\\n$"));
    const auto m = sx.match(latin);
    if (m.hasMatch())
        p.startxref = m.captured(1).toLongLong();
    static const QRegularExpression sz(QStringLiteral("/Size (\\d+)"));
    const auto s = sz.match(latin);
    if (s.hasMatch())
        p.size = s.captured(1).toInt();
    return p;
}

QByteArray Written(TRepPdfWriter &w, bool deflate = false)
{
    w.DeflateContent = deflate;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    w.Write(buffer, QDateTime(QDate(2026, 12, 10), QTime(9, 5, 7)));
    return buffer.data();
}

QString Save(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

} // namespace

class TstTRepPdfWriter : public QObject
{
    Q_OBJECT
private slots:
    void codePage1252()
    {
        for (int b = 0; b < 256; ++b) {
            unsigned char back = 0;
            QVERIFY(TRepWinAnsi::FromUnicode(TRepWinAnsi::ToUnicode(uchar(b)), back));
            QCOMPARE(int(back), b);
        }
        QCOMPARE(TRepWinAnsi::Encode(QStringLiteral("ç€º\u4E00")), QByteArray("\xE7\x80\xBA?"));
        QCOMPARE(TRepWinAnsi::Decode(QByteArray("S\xE3o \x80")), QStringLiteral("São €"));
    }

    void glyphNames_data()
    {
        QTest::addColumn<uint>("unicode");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("letter") << 0x41u << QByteArray("A");
        QTest::newRow("space") << 0x20u << QByteArray("space");
        QTest::newRow("euro: the new fonts list decides") << 0x20ACu << QByteArray("Euro");
        QTest::newRow("c cedilla") << 0xE7u << QByteArray("ccedilla");
        QTest::newRow("ordinal") << 0xBAu << QByteArray("ordmasculine");
        QTest::newRow("several names, none preferred: the first") << 0xA0u << QByteArray("nbspace");
        QTest::newRow("unlisted below 256") << 0x81u << QByteArray("space");
        QTest::newRow("unlisted control") << 0x02u << QByteArray("space");
        QTest::newRow("unlisted beyond 255 keeps a name") << 0x0378u << QByteArray("uni0378");
        QTest::newRow("beyond the basic plane") << 0x1F600u << QByteArray("u1F600");
    }
    void glyphNames()
    {
        QFETCH(uint, unicode);
        QFETCH(QByteArray, name);
        QCOMPARE(TRepGlyphNames::Standard().NameFor(char32_t(unicode)), name);
    }

    void glyphListParsing()
    {
        const TRepGlyphNames names("# comment\nalpha;03B1\nAlpha;0391\nalphaalt;03B1\nbroken\nseq;0041 0042\n",
                                   "0391;Alpha;GREEK\n");
        QCOMPARE(names.Count(), 2);
        QCOMPARE(names.Find(0x3B1), QByteArray("alpha"));
        QCOMPARE(names.Find(0x391), QByteArray("Alpha"));
        QVERIFY(names.Find(0x41).isEmpty());
    }

    // Every code from 2 to 255 keeps its own name in its own place.
    void differencesEncoding()
    {
        const QByteArray e = TRepPdfWriter::WinAnsiEncoding();
        const QByteArray head(" <</Type/Encoding /Differences [ 2 /space");
        QVERIFY(e.startsWith(head));
        QVERIFY(e.endsWith("]>>"));
        const QByteArray body = e.mid(e.indexOf("[ 2 ") + 4).chopped(3);
        const QList<QByteArray> names = body.mid(1).split('/');
        QCOMPARE(names.size(), 254);
        QCOMPARE(names.at(65 - 2), QByteArray("A"));
        QCOMPARE(names.at(128 - 2), QByteArray("Euro"));
        QCOMPARE(names.at(0xE7 - 2), QByteArray("ccedilla"));
        QCOMPARE(names.at(0x9D - 2), QByteArray("space"));
        QCOMPARE(names.at(255 - 2), QByteArray("ydieresis"));
    }

    void stringOperands_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("operand");
        QTest::newRow("brackets") << "(a)" << QByteArray("(\\(a\\))");
        QTest::newRow("backslash") << "a\\b" << QByteArray("(a\\\\b)");
        QTest::newRow("accents in code page 1252") << "Ação €" << QByteArray("(A\xE7\xE3o \x80)");
        QTest::newRow("control bytes as octal") << QString("a\nb\x01") << QByteArray("(a\\012b\\001)");
        QTest::newRow("outside the code page") << "x\u4E00" << QByteArray("(x?)");
    }
    void stringOperands()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, operand);
        QCOMPARE(TRepPdfWriter::StringOperand(text), operand);
    }

    void numbersAndDates()
    {
        QCOMPARE(TRepPdfWriter::Num(12.0), QByteArray("12"));
        QCOMPARE(TRepPdfWriter::Num(9.75), QByteArray("9.75"));
        QCOMPARE(TRepPdfWriter::Num(-0.001), QByteArray("0"));
        QCOMPARE(TRepPdfWriter::Num(1e20), QByteArray("100000000000000000000"));
        QCOMPARE(TRepPdfWriter::Num(std::nan("")), QByteArray("0"));
        QCOMPARE(TRepPdfWriter::PdfDate(QDateTime(QDate(2026, 2, 3), QTime(4, 5, 6))), QByteArray("D:20260203040506"));
        QCOMPARE(TRepPdfWriter::ResourceName(0), QByteArray("F00"));
        QCOMPARE(TRepPdfWriter::ResourceName(12), QByteArray("F12"));
        TRepPdfWriter::Font f{QStringLiteral("Times New Roman"), true, true, 0};
        QCOMPARE(f.PdfName(), QByteArray("TimesNewRoman,BoldItalic"));
        QCOMPARE(f.Key(), QStringLiteral("Times New Roman\tBI\t0\tTimesNewRoman,BoldItalic"));
    }

    void ascii85_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray() << QByteArray("~>");
        QTest::newRow("one group") << QByteArray("Man ") << QByteArray("9jqo^~>");
        QTest::newRow("zero group") << QByteArray(4, '\0') << QByteArray("z~>");
        QTest::newRow("short zero group is not z") << QByteArray(3, '\0') << QByteArray("!!!!~>");
        QTest::newRow("three bytes") << QByteArray("Man") << QByteArray("9jqo~>");
        QTest::newRow("one byte") << QByteArray("M") << QByteArray("9`~>");
        QTest::newRow("highest group") << QByteArray(4, '\xFF') << QByteArray("s8W-!~>");
    }
    void ascii85()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, text);
        QCOMPARE(TRepAscii85::Encode(data), text);
    }

    void ascii85LineBreaks()
    {
        const QByteArray text = TRepAscii85::Encode(QByteArray(4000, 'x'));
        const QList<QByteArray> lines = text.split('\n');
        QVERIFY(lines.size() > 20);
        for (const QByteArray &l : lines)
            QVERIFY2(l.trimmed().size() <= 205, l.constData());
    }

    void lzwRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("data");
        QByteArray noise(120000, '\0');
        QRandomGenerator gen(7);
        for (char &c : noise)
            c = char(gen.bounded(256));
        QByteArray runs;
        for (int i = 0; i < 30000; ++i)
            runs.append(QByteArray(1 + i % 7, char('a' + i % 5)));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte") << QByteArray("x");
        QTest::newRow("repeats") << QByteArray(100000, 'z');
        QTest::newRow("runs of letters") << runs;
        QTest::newRow("noise: the table fills and starts over") << noise;
    }
    void lzwRoundTrip()
    {
        QFETCH(QByteArray, data);
        const QByteArray packed = TRepLzwEncoder::Encode(data);
        bool ok = false;
        QCOMPARE(TRepLzwEncoder::Decode(packed, &ok), data);
        QVERIFY(ok);
        bool damagedOk = true;
        TRepLzwEncoder::Decode(packed.left(packed.size() / 2), &damagedOk);
        QVERIFY(!damagedOk || data.size() < 4);
    }

    void fontMetricsFromTheFontFile()
    {
        const TRepFontMetrics m = TRepFontMetrics::Measure(QStringLiteral("Liberation Sans"), false, false);
        // Against the toolkit's own measure of the same face.
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(1000);
        f.setHintingPreference(QFont::PreferNoHinting);
        const QFontMetricsF fm(f);
        for (QChar c : QStringLiteral("AWiç €"))
            QVERIFY2(std::abs(m.Widths[TRepWinAnsi::Encode(QString(c)).at(0) & 0xFF] - fm.horizontalAdvance(c)) <= 1,
                     qPrintable(QString(c)));
        QVERIFY(std::abs(m.Ascent - fm.ascent()) <= 1);
        QVERIFY(std::abs(-m.Descent - fm.descent()) <= 1);
        QVERIFY(m.BBox[0] < 0 && m.BBox[1] < 0 && m.BBox[2] > 1000 && m.BBox[3] > m.Ascent);
        QCOMPARE(m.FamilyClass, 8);
        QCOMPARE(m.Flags, 32);
        QCOMPARE(m.ItalicAngle, 0.0);
        const TRepFontMetrics italic = TRepFontMetrics::Measure(QStringLiteral("Liberation Sans"), true, true);
        QVERIFY(italic.ItalicAngle < -5);
        QVERIFY(italic.Widths['A'] >= m.Widths['A']);
    }

    void flagsOfTheFamilyClass_data()
    {
        QTest::addColumn<int>("familyClass");
        QTest::addColumn<int>("flags");
        QTest::newRow("no class") << 0 << 4;
        QTest::newRow("sans serif") << 8 << 32;
        QTest::newRow("script") << 10 << 40;
        QTest::newRow("symbolic") << 12 << 4;
        QTest::newRow("oldstyle serif") << 1 << 34;
    }
    void flagsOfTheFamilyClass()
    {
        QFETCH(int, familyClass);
        QFETCH(int, flags);
        QCOMPARE(TRepFontMetrics::FlagsForFamilyClass(familyClass), flags);
        QByteArray os2(78, '\0');
        os2[30] = char(familyClass);
        QByteArray head(54, '\0');
        head[18] = 0x08;    // 2048 units to the em
        head[36] = char(0xFF);
        head[37] = char(0x00);  // xMin -256 -> -125 per mille
        const TRepFontMetrics m = TRepFontMetrics::FromTables(head, os2, QByteArray(), 2048);
        QCOMPARE(m.Flags, flags);
        QCOMPARE(m.BBox[0], -125);
    }

    void unreadableFontTables()
    {
        QVERIFY_THROWS_EXCEPTION(ERepError, TRepFontMetrics::FromTables(QByteArray(10, '\0'), {}, {}, 2048));
        QVERIFY_THROWS_EXCEPTION(ERepError, TRepFontMetrics::FromTables(QByteArray(54, '\0'), {}, {}, 0));
    }

    // The operators each shape kind becomes (positions in points, y down on
    // the page of 800 points).
    void graphicsTable_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("filled");
        QTest::addColumn<bool>("stroked");
        QTest::addColumn<QByteArray>("operators");
        using G = TRepExportGraphic;
        QTest::newRow("rectangle, filled and stroked")
            << int(G::Rectangle) << true << true
            << QByteArray("0.5 0.5 0.5 rg\r\n10 680 100 20 re f\r\n1.5 w\r\n1 0 0 RG\r\n10 680 100 20 re s\r\n");
        QTest::newRow("rectangle without pen") << int(G::Rectangle) << true << false
                                               << QByteArray("0.5 0.5 0.5 rg\r\n10 680 100 20 re f\r\n");
        QTest::newRow("horizontal line") << int(G::HorLine) << false << true
                                         << QByteArray("1.5 w\r\n1 0 0 RG\r\n10 690 m 110 690 l S\r\n");
        QTest::newRow("rule") << int(G::Rule) << true << true
                              << QByteArray("1.5 w\r\n1 0 0 RG\r\n10 690 m 110 690 l S\r\n");
        QTest::newRow("vertical line") << int(G::VertLine) << false << true
                                       << QByteArray("1.5 w\r\n1 0 0 RG\r\n60 680 m 60 700 l S\r\n");
        QTest::newRow("top and bottom") << int(G::TopAndBottom) << false << true
                                        << QByteArray("1.5 w\r\n1 0 0 RG\r\n10 700 m 110 700 l S\r\n"
                                                      "10 680 m 110 680 l S\r\n");
        QTest::newRow("right and left") << int(G::RightAndLeft) << false << true
                                        << QByteArray("1.5 w\r\n1 0 0 RG\r\n10 680 m 10 700 l S\r\n"
                                                      "110 680 m 110 700 l S\r\n");
        QTest::newRow("a line without pen draws nothing") << int(G::HorLine) << true << false << QByteArray();
        QTest::newRow("ellipse") << int(G::Ellipse) << false << true
                                 << QByteArray("1.5 w\r\n1 0 0 RG\r\n60 700 m\r\n"
                                               "87.61 700 110 695.52 110 690 c\r\n"
                                               "110 684.48 87.61 680 60 680 c\r\n"
                                               "32.39 680 10 684.48 10 690 c\r\n"
                                               "10 695.52 32.39 700 60 700 c\r\ns\r\n");
        QTest::newRow("rounded rectangle: corners of radius 4")
            << int(G::RoundRect) << false << true
            << QByteArray("1.5 w\r\n1 0 0 RG\r\n14 700 m\r\n106 700 l\r\n108.21 700 110 698.21 110 696 c\r\n"
                          "110 684 l\r\n110 681.79 108.21 680 106 680 c\r\n14 680 l\r\n"
                          "11.79 680 10 681.79 10 684 c\r\n10 696 l\r\n10 698.21 11.79 700 14 700 c\r\ns\r\n");
    }
    void graphicsTable()
    {
        QFETCH(int, kind);
        QFETCH(bool, filled);
        QFETCH(bool, stroked);
        QFETCH(QByteArray, operators);
        TRepPdfWriter w;
        w.BeginPage(600, 800);
        TRepPdfWriter::Graphic g;
        g.Kind = TRepExportGraphic::Kind(kind);
        g.X = 10;
        g.Y = 100;
        g.Width = 100;
        g.Height = 20;
        g.PenWidth = 1.5;
        g.PenColor = Qt::red;
        g.FillColor = QColor(128, 128, 128);
        g.Filled = filled;
        g.Stroked = stroked;
        g.CornerRadius = 4;
        w.AddGraphic(g);
        const QByteArray pdf = Written(w);
        const qsizetype start = pdf.indexOf("stream\r\n") + 8;
        QCOMPARE(pdf.mid(start, pdf.indexOf("BT\r\n", start) - start), operators);
    }

    void unknownGraphicKind()
    {
        TRepPdfWriter w;
        TRepPdfWriter::Graphic g;
        g.Kind = TRepExportGraphic::Kind(99);
        try {
            w.AddGraphic(g);
            QFAIL("no error");
        } catch (const ERepError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Internal error: IT_INVALID"));
        }
    }

    // Two pages, two fonts, a picture: every offset, length and count
    // as written, and both checkers content.
    void documentStructure()
    {
        QTemporaryDir dir;
        TRepPdfWriter w;
        w.BeginPage(595.28, 841.89);
        const TRepPdfWriter::Font arial{QStringLiteral("Arial"), false, false, 0};
        const TRepPdfWriter::Font bold{QStringLiteral("Arial"), true, false, 0};
        w.AddText(arial, 9.75, Qt::black, QStringLiteral("Primeira página"), 72, 100);
        w.AddText(bold, 18, Qt::red, QStringLiteral("Título (1)"), 72, 150);
        w.BeginPage(595.28, 841.89);
        w.AddText(arial, 13.5, Qt::black, QStringLiteral("Segunda"), 72, 100);
        QCOMPARE(w.Fonts().size(), 2);
        const QByteArray pdf = Written(w, true);
        QVERIFY(pdf.startsWith("%PDF-1.3\r\n%\xC5\xAD\x6F\x81\r\n"));
        QVERIFY(pdf.endsWith("%%EOF\r\n"));

        const Parsed p = Parse(pdf);
        // Catalog, outlines, pages, 2 x (page, contents), 2 x (font,
        // descriptor), information, ProcSet.
        const int objects = 3 + 4 + 4 + 2;
        QCOMPARE(p.offsets.size(), objects);
        QCOMPARE(p.size, objects + 1);
        QCOMPARE(p.xref.size(), objects);
        for (int n = 1; n <= objects; ++n)
            QCOMPARE(p.xref.at(n - 1), p.offsets.value(n, -1));
        QCOMPARE(p.startxref, p.xrefPos);
        QVERIFY(pdf.contains("/Info 12 0 R"));
        QVERIFY(pdf.contains("12 0 obj\r\n<<\r\n/CreationDate (D:20261210090507)\r\n"));
        QVERIFY(pdf.contains("13 0 obj\r\n[/PDF /Text]\r\nendobj"));
        QVERIFY(pdf.contains("/Kids [4 0 R 6 0 R]"));
        QVERIFY(pdf.contains("  /F00 8 0 R \r\n  /F01 10 0 R \r\n"));
        QVERIFY(pdf.contains("/BaseFont /Arial,Bold\r\n"));
        QVERIFY(pdf.contains("/FirstChar 0\r\n/LastChar 255\r\n"));

        // Each /Length is the byte count up to the line end before endstream;
        // the deflated contents inflate to the page's operators.
        static const QRegularExpression len(
            QStringLiteral("<< /Length (\\d+) /Filter /FlateDecode >>\\r\\nstream\\r\\n"));
        int streams = 0;
        const QString latin = QString::fromLatin1(pdf);
        for (auto it = len.globalMatch(latin); it.hasNext(); ++streams) {
            const auto m = it.next();
            const qsizetype end = pdf.indexOf("\r\nendstream", m.capturedEnd());
            QCOMPARE(end - m.capturedEnd(), m.captured(1).toLongLong());
        }
        QCOMPARE(streams, 2);
        const QList<QByteArray> contents = ContentStreams(pdf);
        QCOMPARE(contents.size(), 2);
        QVERIFY(contents.at(0).startsWith("BT\r\n"));
        QVERIFY(contents.at(0).endsWith("ET"));
        QVERIFY(contents.at(0).contains("/F01 18 Tf\r\n1 0 0 1 72 691.89 Tm (T\xEDtulo \\(1\\)) Tj"));
        QVERIFY(contents.at(1).contains("/F00 13.5 Tf\r\n1 0 0 1 72 741.89 Tm (Segunda) Tj"));

        const QString file = Save(dir, QStringLiteral("doc.pdf"), pdf);
        QCOMPARE(QpdfProblems(file), QString());
        const QString text = PlainText(file);
        for (const char *t : {"Primeira página", "Título (1)", "Segunda"})
            QVERIFY2(text.contains(QString::fromUtf8(t)), qPrintable(text));
    }

    // Ghostscript drew the bold Verdana of a title as regular: the fonts
    // are not embedded and a reader without the face picks its stand-in by
    // the descriptor's flags, which did not say bold (nor italic).
    void boldVerdanaDrawnAsRegular()
    {
        const auto document = [](bool bold, bool italic) {
            TRepPdfWriter w;
            w.BeginPage(400, 100);
            w.AddText({QStringLiteral("Verdana"), bold, italic, 0}, 24, Qt::black, QStringLiteral("Ordens de Serviço"),
                      10, 30);
            return Written(w);
        };
        const QByteArray regular = document(false, false), bold = document(true, false),
                         boldItalic = document(true, true);
        static const QRegularExpression flags(QStringLiteral("/Flags (\\d+)"));
        const auto flagsOf = [](const QByteArray &pdf) {
            return flags.match(QString::fromLatin1(pdf)).captured(1).toInt();
        };
        QCOMPARE(flagsOf(regular) & (TRepPdfWriter::ForceBoldFlag | TRepPdfWriter::ItalicFlag), 0);
        QCOMPARE(flagsOf(bold) & (TRepPdfWriter::ForceBoldFlag | TRepPdfWriter::ItalicFlag),
                 TRepPdfWriter::ForceBoldFlag);
        QCOMPARE(flagsOf(boldItalic) & (TRepPdfWriter::ForceBoldFlag | TRepPdfWriter::ItalicFlag),
                 TRepPdfWriter::ForceBoldFlag | TRepPdfWriter::ItalicFlag);
        QVERIFY(bold.contains("/FontName /Verdana,Bold\r\n"));

        if (QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty())
            QSKIP("Ghostscript (gs) is not installed");
        QTemporaryDir dir;
        // The dark pixels of the page as Ghostscript draws it.
        const auto ink = [&dir](const QByteArray &pdf, const QString &name) {
            const QString in = Save(dir, name + QStringLiteral(".pdf"), pdf);
            const QString out = dir.filePath(name + QStringLiteral(".png"));
            const ToolResult r = Run(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"),
                                                            QStringLiteral("-dBATCH"), QStringLiteral("-dSAFER"),
                                                            QStringLiteral("-sDEVICE=pnggray"), QStringLiteral("-r72"),
                                                            QStringLiteral("-o"), out, in});
            const QImage img(out);
            if (r.exitCode != 0 || img.isNull())
                return -1;
            int n = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    n += qGray(img.pixel(x, y)) < 128;
            return n;
        };
        const int thin = ink(regular, QStringLiteral("regular")), thick = ink(bold, QStringLiteral("bold"));
        QVERIFY2(thin > 0 && thick > 0, "Ghostscript drew nothing");
        QVERIFY2(thick > thin * 1.2, qPrintable(QStringLiteral("regular %1, bold %2").arg(thin).arg(thick)));
    }

    // The engine's default document information named the shop's program;
    // the program that uses the engine gives its own name.
    void producerDefaultNamesNoProgram()
    {
        TRepPdfWriter w;
        w.BeginPage(595.28, 841.89);
        const QByteArray neutral = Written(w, true);
        QVERIFY(neutral.contains("/Producer (Banded report engine PDF writer)"));
        QVERIFY(!neutral.contains("OS Report"));
        w.Producer = QStringLiteral("Ordem de Serviço");
        QVERIFY(Written(w, true).contains("/Producer (Ordem de Servi\xE7o)"));
    }

    // The picture's pixels come back from a PDF reader as they were, with
    // and without LZW inside the base-85 text.
    void pictures_data()
    {
        QTest::addColumn<bool>("compression");
        QTest::newRow("base-85") << false;
        QTest::newRow("LZW and base-85") << true;
    }
    void pictures()
    {
        QFETCH(bool, compression);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm is not installed");
        // Quarters in four colours, with noise so that the LZW table fills.
        QImage image(300, 300, QImage::Format_RGB32);
        QRandomGenerator gen(3);
        const QColor quarter[4] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x) {
                const QColor c = quarter[(y >= 150) * 2 + (x >= 150)];
                const int n = int(gen.bounded(8));
                image.setPixel(x, y, qRgb(std::max(0, c.red() - n), std::max(0, c.green() - n), std::max(0, c.blue() - n)));
            }
        TRepPdfWriter w;
        w.Compression = compression;
        w.BeginPage(300, 300);
        w.AddPicture(image, 0, 0, 300, 300);
        const QByteArray pdf = Written(w);
        QCOMPARE(pdf.contains("/Filter [/ASCII85Decode /LZWDecode]"), compression);
        QTemporaryDir dir;
        const QString file = Save(dir, QStringLiteral("picture.pdf"), pdf);
        QCOMPARE(QpdfProblems(file), QString());
        const ToolResult r = Run(QStringLiteral("pdftoppm"),
                                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"), file,
                                  dir.filePath(QStringLiteral("page"))});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        const QImage page(dir.filePath(QStringLiteral("page-1.png")));
        QCOMPARE(page.size(), QSize(300, 300));
        for (int q = 0; q < 4; ++q) {
            const QColor got = page.pixelColor(75 + 150 * (q % 2), 75 + 150 * (q / 2));
            const QColor want = quarter[q];
            QVERIFY2(std::abs(got.red() - want.red()) < 16 && std::abs(got.green() - want.green()) < 16
                         && std::abs(got.blue() - want.blue()) < 16,
                     qPrintable(got.name()));
        }
    }

    // A font that cannot be measured is refused with its text and never
    // reaches the document.
    void fontThatCannotBeMeasured()
    {
        TRepPdfWriter w;
        w.MeasureFont = [](const QString &, bool, bool) -> TRepFontMetrics { throw ERepError("GetFontData error"); };
        QVERIFY_THROWS_EXCEPTION(ERepError, w.AddText({QStringLiteral("Arial"), false, false, 0}, 10, Qt::black,
                                                      QStringLiteral("x"), 0, 10));
        QVERIFY(w.Fonts().isEmpty());
        const QByteArray pdf = Written(w);
        QVERIFY(!pdf.contains("/Type /Font"));
        QVERIFY(!pdf.contains("Tj"));
    }

    // A device that runs out of room stops the document with the reason.
    void deviceRunsOutOfRoom()
    {
        TRepPdfWriter w;
        w.AddText({QStringLiteral("Arial"), false, false, 0}, 10, Qt::black, QStringLiteral("x"), 0, 10);
        FullDevice full(500);
        try {
            w.Write(full);
            QFAIL("no error");
        } catch (const ERepError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Não foi possível gravar o arquivo PDF: não há espaço livre no disco."));
        }
    }

    // Text fitted to a width: the horizontal scale that makes the font's
    // natural width that wide, written once while it holds.
    void textFittedToAWidth()
    {
        TRepPdfWriter w;
        w.BeginPage(600, 800);
        const TRepPdfWriter::Font arial{QStringLiteral("Liberation Sans"), false, false, 0};
        w.AddText(arial, 10, Qt::black, QStringLiteral("AAAA"), 0, 10);
        const double natural = w.NaturalWidth(0, QStringLiteral("AAAA"), 10);
        QVERIFY(std::abs(natural - 4 * 6.67) < 0.05);
        w.AddText(arial, 10, Qt::black, QStringLiteral("AAAA"), 0, 20, natural * 0.97);
        w.AddText(arial, 10, Qt::black, QStringLiteral("AAAA"), 0, 30, natural * 0.97);
        w.AddText(arial, 10, Qt::black, QStringLiteral("AAAA"), 0, 40, natural);
        const QByteArray pdf = Written(w);
        QCOMPARE(pdf.count(" Tz\r\n"), 2);
        QCOMPARE(pdf.count("97 Tz\r\n"), 1);
        QCOMPARE(pdf.count("100 Tz\r\n"), 1);
    }
    // The whole document as written, byte for byte, against the copy kept
    // beside this test: every object of every kind (pages of two sizes,
    // fonts, shapes, a picture, information, ProcSet, cross reference) in
    // its place. Fonts are measured by a fixed table so that the bytes do not
    // depend on the fonts installed; contents are not deflated so that they
    // do not depend on the zlib build.
    void writtenDocumentMatchesTheKeptCopy()
    {
        TRepPdfWriter w;
        w.MeasureFont = [](const QString &family, bool bold, bool italic) {
            TRepFontMetrics m;
            for (int c = 0; c < 256; ++c)
                m.Widths[c] = 200 + (c * 7 + int(family.size()) + (bold ? 30 : 0)) % 600;
            m.Ascent = 905;
            m.Descent = -212;
            m.BBox[0] = -665;
            m.BBox[1] = -325;
            m.BBox[2] = 2000;
            m.BBox[3] = 1006;
            m.ItalicAngle = italic ? -12.5 : 0;
            return m;
        };
        w.Title = QStringLiteral("Relatório (teste)");
        w.Author = QStringLiteral("Oficina");
        w.Subject = QStringLiteral("Ordens");
        w.BeginPage(595.28, 841.89);
        w.AddText({QStringLiteral("Arial"), false, false, 0}, 9.75, Qt::black, QStringLiteral("Ação nº 1"), 72, 100);
        w.AddText({QStringLiteral("Arial"), true, false, 0}, 18, Qt::red, QStringLiteral("Título"), 72, 150, 80);
        w.AddText({QStringLiteral("Times New Roman"), false, true, 0}, 10, Qt::blue, QStringLiteral("x\\y"), 10, 200);
        TRepPdfWriter::Graphic g;
        for (const auto kind : {TRepExportGraphic::Rectangle, TRepExportGraphic::Ellipse, TRepExportGraphic::RoundRect,
                                TRepExportGraphic::HorLine, TRepExportGraphic::VertLine,
                                TRepExportGraphic::TopAndBottom, TRepExportGraphic::RightAndLeft,
                                TRepExportGraphic::Rule}) {
            g.Kind = kind;
            g.X += 20;
            g.Y += 15;
            g.Width = 40;
            g.Height = 25;
            g.CornerRadius = 6;
            g.Filled = !g.Filled;
            g.FillColor = QColor(200, 220, 240);
            g.PenColor = QColor(10, 20, 30);
            g.PenWidth += 0.5;
            w.AddGraphic(g);
        }
        QImage image(3, 2, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        image.setPixel(0, 0, qRgba(255, 0, 0, 255));
        image.setPixel(2, 1, qRgba(0, 0, 255, 128));
        w.AddPicture(image, 300, 300, 30, 20);
        w.BeginPage(841.89, 595.28);
        w.AddText({QStringLiteral("Arial"), false, false, 0}, 12, Qt::black, QStringLiteral("Segunda"), 40, 60);

        const QByteArray pdf = Written(w);
        QFile kept(QFINDTESTDATA("data/pdfwriter-document.pdf"));
        QVERIFY2(kept.open(QIODevice::ReadOnly), qPrintable(kept.fileName()));
        const QByteArray want = kept.readAll();
        qsizetype at = 0;
        while (at < pdf.size() && at < want.size() && pdf.at(at) == want.at(at))
            ++at;
        QVERIFY2(pdf == want, qPrintable(QStringLiteral("first difference at byte %1: %2").arg(at).arg(
                                  QString::fromLatin1(pdf.mid(std::max<qsizetype>(0, at - 40), 80)))));
    }
};

QTEST_MAIN(TstTRepPdfWriter)
#include "tst_treppdfwriter.moc"
