// Splay-tree page compression: exact codes, round trips, damaged input.

#include "report/model/ereperror.h"
#include "report/page/trepemfcanvas.h"
#include "report/page/trepmetafile.h"
#include "report/store/trepcompress.h"

#include <QRandomGenerator>
#include <QtTest>
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

QTEST_MAIN(TstRepCompress)
#include "tst_repcompress.moc"
