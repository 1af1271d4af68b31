// Splay-tree page compression: exact codes, round trips, damaged input.

#include "report/model/ereperror.h"
#include "report/page/trepemfcanvas.h"
#include "report/page/trepmetafile.h"
#include "report/store/trepcompress.h"
#include "tests/support/samplepages.h"

#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

// The code as described, one bit at a time, with a tree array large enough
// for node 512: what the optimised coder has to produce bit for bit.
QByteArray ReferenceEncode(const QByteArray &in)
{
    std::vector<int> up(513), left(256), right(256);
    for (int i = 1; i <= 512; ++i)
        up[i] = (i - 1) / 2;
    for (int i = 0; i < 256; ++i) {
        left[i] = 2 * i + 1;
        right[i] = 2 * i + 2;
    }
    QByteArray out;
    int bitPos = 0;
    auto putBit = [&](int bit) {
        if (bitPos % 8 == 0)
            out.append('\0');
        if (bit)
            out[out.size() - 1] = char(out.at(out.size() - 1) | (1 << (bitPos % 8)));
        ++bitPos;
    };
    for (char ch : in) {
        const int b = static_cast<unsigned char>(ch);
        std::vector<int> stack;
        for (int a = b + 256; a != 0; a = up[a])
            stack.push_back(right[up[a]] == a ? 1 : 0);
        for (auto it = stack.rbegin(); it != stack.rend(); ++it)
            putBit(*it);
        int a = b + 256;
        do {
            const int c = up[a];
            if (c != 0) {
                const int d = up[c];
                int s = left[d];
                if (c == s) {
                    s = right[d];
                    right[d] = a;
                } else {
                    left[d] = a;
                }
                if (a == left[c])
                    left[c] = s;
                else
                    right[c] = s;
                up[a] = d;
                up[s] = c;
                a = d;
            } else {
                a = c;
            }
        } while (a != 0);
    }
    return out;
}

// The same tree in the plain form both reference coders walk.
struct ReferenceTree
{
    std::vector<int> up = std::vector<int>(513), left = std::vector<int>(256), right = std::vector<int>(256);

    ReferenceTree()
    {
        for (int i = 1; i <= 512; ++i)
            up[i] = (i - 1) / 2;
        for (int i = 0; i < 256; ++i) {
            left[i] = 2 * i + 1;
            right[i] = 2 * i + 2;
        }
    }

    int Depth(int leaf) const
    {
        int d = 0;
        for (int a = leaf; a != 0; a = up[a])
            ++d;
        return d;
    }

    void Splay(int a)
    {
        do {
            const int c = up[a];
            if (c != 0) {
                const int d = up[c];
                int s = left[d];
                if (c == s) {
                    s = right[d];
                    right[d] = a;
                } else {
                    left[d] = a;
                }
                if (a == left[c])
                    left[c] = s;
                else
                    right[c] = s;
                up[a] = d;
                up[s] = c;
                a = d;
            } else {
                a = c;
            }
        } while (a != 0);
    }
};

// The code as described, decoded one bit at a time: the bytes, or nothing
// where the data ends too early or a code leads to node 512.
std::optional<QByteArray> ReferenceDecode(const QByteArray &in, qint64 length)
{
    ReferenceTree t;
    QByteArray out;
    qint64 bitPos = 0;
    for (qint64 i = 0; i < length; ++i) {
        int a = 0;
        do {
            if (bitPos >= qint64(in.size()) * 8)
                return std::nullopt;
            const int bit = (static_cast<unsigned char>(in.at(bitPos / 8)) >> (bitPos % 8)) & 1;
            ++bitPos;
            a = bit ? t.right[a] : t.left[a];
        } while (a < 256);
        if (a == 512)
            return std::nullopt;
        out.append(char(a - 256));
        t.Splay(a);
    }
    return out;
}

// Bytes that leave some leaf deeper than 64 levels (more than one read of
// the decoder's bit buffer holds), then that leaf: passes over every byte
// value, by depth, deepest first and shallowest first in turn.
QByteArray DeepCodeInput()
{
    ReferenceTree t;
    QByteArray out;
    for (int round = 0; round < 400; ++round) {
        std::vector<int> order(256);
        for (int b = 0; b < 256; ++b)
            order[b] = b;
        std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
            return round % 2 ? t.Depth(x + 256) < t.Depth(y + 256) : t.Depth(x + 256) > t.Depth(y + 256);
        });
        for (int b : order) {
            if (t.Depth(b + 256) > 64) {
                out.append(char(b));
                return out + "after";
            }
            out.append(char(b));
            t.Splay(b + 256);
        }
    }
    return {};
}

QByteArray RandomBytes(quint32 seed, int n, int spread)
{
    QRandomGenerator rng(seed);
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(rng.bounded(spread));
    return b;
}

QByteArray RecordedPage()
{
    TRepEmfCanvas c(794, 1247);
    TRepCanvasFont f;
    for (int i = 0; i < 40; ++i) {
        f.Bold = i % 3 == 0;
        c.SetFont(f);
        c.TextOut(40, 30 + i * 25, QStringLiteral("Linha %1 do relatório: Cliente José, Valor R$ %2,00").arg(i).arg(i * 17));
        c.Rectangle(30, 25 + i * 25, 760, 50 + i * 25);
    }
    return c.Finish();
}

} // namespace

class TstRepCompress : public QObject
{
    Q_OBJECT

private slots:
    void knownCodes_data();
    void knownCodes();
    void roundTrip_data();
    void roundTrip();
    void matchesTheDescribedCode();
    void splayNeverLeavesTheTree();
    void damagedInputIsAnError_data();
    void damagedInputIsAnError();
    void decoderMatchesTheDescribedCode_data();
    void decoderMatchesTheDescribedCode();
    void anyInputDecodesAsDescribedOrIsRefused_data();
    void anyInputDecodesAsDescribedOrIsRefused();
};

void TstRepCompress::knownCodes_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("code");
    // From the initial tree: byte 0 is leaf 256, reached by seven lefts
    // and one right; byte 1 by six lefts, a right and a left; byte 255 by
    // nine lefts. Bits fill each byte from its least significant end.
    QTest::newRow("byte 0") << QByteArray(1, '\0') << QByteArray("\x80", 1);
    QTest::newRow("byte 1") << QByteArray("\x01", 1) << QByteArray("\x40", 1);
    QTest::newRow("byte 255") << QByteArray("\xFF", 1) << QByteArray("\x00\x00", 2);
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TstRepCompress::knownCodes()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, code);
    QCOMPARE(TRepCompress::Compress(input), code);
    QCOMPARE(TRepCompress::Decompress(code, input.size()), input);
}

void TstRepCompress::roundTrip_data()
{
    QTest::addColumn<QByteArray>("data");
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QByteArray allBackwards;
    for (int i = 255; i >= 0; --i)
        allBackwards.append(char(i));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("A");
    QTest::newRow("all 256 values") << all;
    QTest::newRow("all 256 values backwards, twice") << allBackwards + allBackwards;
    QTest::newRow("long run of zeros") << QByteArray(300000, '\0');
    QTest::newRow("long run of 0xFF") << QByteArray(300000, '\xFF');
    QTest::newRow("alternating 0xFF 0x00") << QByteArray("\xFF\x00", 2).repeated(50000);
    QTest::newRow("random bytes") << RandomBytes(7, 200000, 256);
    QTest::newRow("few values") << RandomBytes(11, 100000, 3);
    QTest::newRow("recorded page") << RecordedPage();
}

void TstRepCompress::roundTrip()
{
    QFETCH(QByteArray, data);
    const QByteArray packed = TRepCompress::Compress(data);
    QCOMPARE(TRepCompress::Decompress(packed, data.size()), data);
    // One coder object reused page after page gives the same as a fresh one.
    TRepCompress coder;
    coder.Encode("xyz", 3);
    coder.Reset();
    QCOMPARE(coder.Encode(data.constData(), data.size()), packed);
}

void TstRepCompress::matchesTheDescribedCode()
{
    const QList<QByteArray> inputs = {RecordedPage(), RandomBytes(3, 50000, 256), RandomBytes(5, 50000, 4),
                                      QByteArray(5000, '\xFF') + RandomBytes(9, 5000, 256)};
    for (const QByteArray &in : inputs)
        QCOMPARE(TRepCompress::Compress(in), ReferenceEncode(in));
    // Real pages shrink.
    const QByteArray page = RecordedPage();
    QVERIFY(TRepCompress::Compress(page).size() < page.size() / 2);
}

void TstRepCompress::splayNeverLeavesTheTree()
{
    // Byte 255's leaf is the sibling of node 512: splaying it moves node
    // 512, whose parent entry used to lie outside the tree. The coder must
    // keep working on both sides after that.
    QByteArray data = QByteArray(1000, '\xFF') + RandomBytes(13, 20000, 256) + QByteArray(1000, '\xFE');
    const QByteArray packed = TRepCompress::Compress(data);
    QCOMPARE(packed, ReferenceEncode(data));
    QCOMPARE(TRepCompress::Decompress(packed, data.size()), data);
    // Eight lefts and a right reach node 512 from the initial tree: no byte.
    QVERIFY_THROWS_EXCEPTION(ERepError, TRepCompress::Decompress(QByteArray("\x00\x01", 2), 1));
}

void TstRepCompress::damagedInputIsAnError_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<qint64>("length");
    const QByteArray packed = TRepCompress::Compress(RecordedPage());
    QTest::newRow("cut short") << packed.left(packed.size() / 2) << qint64(RecordedPage().size());
    QTest::newRow("nothing to decode") << QByteArray() << qint64(1);
    QTest::newRow("length beyond 8 per byte") << QByteArray(10, '\x80') << qint64(81);
    QTest::newRow("negative length") << packed << qint64(-1);
}

void TstRepCompress::damagedInputIsAnError()
{
    QFETCH(QByteArray, data);
    QFETCH(qint64, length);
    QVERIFY_THROWS_EXCEPTION(ERepError, TRepCompress::Decompress(data, length));
}

void TstRepCompress::decoderMatchesTheDescribedCode_data()
{
    QTest::addColumn<QByteArray>("data");
    QByteArray pages;
    for (const QByteArray &page : SampleOrderPages(3))
        pages += page;
    const QByteArray deep = DeepCodeInput();
    QVERIFY2(!deep.isEmpty(), "no leaf went deeper than 64 levels");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray(1, '\x7F');
    QTest::newRow("run of zeros longer than a read") << QByteArray(1000, '\0');
    QTest::newRow("runs of every length up to 70")
        << [] {
               QByteArray b;
               for (int n = 1; n <= 70; ++n)
                   b += QByteArray(n, char(n % 2 ? 0 : 0x41)) + char(n);
               return b;
           }();
    QTest::newRow("run to the last byte") << QByteArray("xyz") + QByteArray(77, 'q');
    QTest::newRow("codes two levels down") << QByteArray("\x01\x00\x00\x02\x00\x00\x00", 7).repeated(500);
    QTest::newRow("code deeper than 64 levels") << deep;
    QTest::newRow("byte 255 beside node 512") << QByteArray(300, '\xFF') + RandomBytes(17, 3000, 256);
    QTest::newRow("sample order pages") << pages;
    QTest::newRow("random bytes") << RandomBytes(19, 10000, 256);
}

void TstRepCompress::decoderMatchesTheDescribedCode()
{
    // Every length the stream can be cut to, and the length it was made
    // for: the decoder gives the bytes the described code gives, or
    // refuses where that code runs out of data.
    QFETCH(QByteArray, data);
    const QByteArray packed = TRepCompress::Compress(data);
    QCOMPARE(TRepCompress::Decompress(packed, data.size()), data);
    QCOMPARE(ReferenceDecode(packed, data.size()).value_or(QByteArray("(refused)")), data);
    std::vector<qsizetype> cuts;
    for (qsizetype cut = 0; cut < packed.size(); cut += std::max<qsizetype>(1, packed.size() / 40))
        cuts.push_back(cut);
    for (qsizetype cut = std::max<qsizetype>(0, packed.size() - 12); cut < packed.size(); ++cut)
        cuts.push_back(cut);
    for (qsizetype cut : cuts) {
        const QByteArray part = packed.left(cut);
        const std::optional<QByteArray> expected = ReferenceDecode(part, data.size());
        if (data.size() > TRepCompress::MaxDecodedLength(part.size())) {
            QVERIFY_THROWS_EXCEPTION(ERepError, TRepCompress::Decompress(part, data.size()));
        } else if (expected) {
            QCOMPARE(TRepCompress::Decompress(part, data.size()), *expected);
        } else {
            QVERIFY_THROWS_EXCEPTION(ERepError, TRepCompress::Decompress(part, data.size()));
        }
    }
}

void TstRepCompress::anyInputDecodesAsDescribedOrIsRefused_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<qint64>("length");
    const QByteArray packed = TRepCompress::Compress(SampleOrderPage(1));
    const qint64 pageLength = SampleOrderPage(1).size();
    auto flipped = [&](int bit) {
        QByteArray b = packed;
        b[bit / 8] = char(b.at(bit / 8) ^ (1 << (bit % 8)));
        return b;
    };
    QTest::newRow("first bit flipped") << flipped(0) << pageLength;
    QTest::newRow("a bit in the middle flipped") << flipped(int(packed.size()) * 4 + 3) << pageLength;
    QTest::newRow("last bit flipped") << flipped(int(packed.size()) * 8 - 1) << pageLength;
    QTest::newRow("zeros") << QByteArray(4000, '\0') << qint64(32000);
    QTest::newRow("ones") << QByteArray(4000, '\xFF') << qint64(32000);
    QTest::newRow("node 512 at once") << QByteArray("\x00\x01", 2) << qint64(1);
    for (quint32 seed = 1; seed <= 8; ++seed)
        QTest::addRow("random stream %u", seed) << RandomBytes(seed, int(seed) * 97, 256) << qint64(seed * 500);
    QTest::newRow("one byte, most it can hold") << QByteArray("\x55") << qint64(8);
}

void TstRepCompress::anyInputDecodesAsDescribedOrIsRefused()
{
    // Damaged or foreign data: the same bytes as the described code, or a
    // refusal where it runs out of data or reaches no byte; never more.
    QFETCH(QByteArray, data);
    QFETCH(qint64, length);
    const std::optional<QByteArray> expected = ReferenceDecode(data, length);
    if (expected)
        QCOMPARE(TRepCompress::Decompress(data, length), *expected);
    else
        QVERIFY_THROWS_EXCEPTION(ERepError, TRepCompress::Decompress(data, length));
}

QTEST_MAIN(TstRepCompress)
#include "tst_repcompress.moc"
