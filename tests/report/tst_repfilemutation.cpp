// Damaged and hostile saved report files and page records, made by seeded
// mutation of real ones: every one is either read or refused with the
// engine's error, never a crash, a hang or another kind of failure. (The
// libFuzzer targets in fuzz/ do the same at length under AddressSanitizer.)

#include "report/model/ereperror.h"
#include "tests/support/repsamplepages.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray Mutate(QByteArray b, QRandomGenerator &rng)
{
    if (b.isEmpty())
        return b;
    const int kind = int(rng.bounded(6));
    const int at = int(rng.bounded(b.size()));
    switch (kind) {
    case 0: // a few bit flips
        for (int i = int(rng.bounded(1, 8)); i > 0; --i) {
            const int p = int(rng.bounded(b.size()));
            b[p] = char(b.at(p) ^ (1 << rng.bounded(8)));
        }
        break;
    case 1: { // a telling integer over four bytes
        const qint64 interesting[] = {0, 1, -1, 4, 8, 128, 136, INT_MAX, INT_MIN, 0x7FFFFFF0, b.size(), b.size() - 4,
                                      b.size() + 4, at, at - 12};
        if (at + 4 <= b.size())
            qToLittleEndian<qint32>(qint32(interesting[rng.bounded(int(std::size(interesting)))]), b.data() + at);
        break;
    }
    case 2: // cut
        b.truncate(at);
        break;
    case 3: // a stretch repeated
        b.insert(at, b.mid(int(rng.bounded(b.size())), int(rng.bounded(1, 64))));
        break;
    case 4: // a stretch zeroed
        for (int i = at; i < std::min<qsizetype>(b.size(), at + int(rng.bounded(1, 32))); ++i)
            b[i] = 0;
        break;
    default: // random bytes
        for (int i = int(rng.bounded(1, 16)); i > 0; --i)
            b[int(rng.bounded(b.size()))] = char(rng.bounded(256));
        break;
    }
    return b;
}

void Use(const TRepMetafile &page, QImage &image)
{
    // Reading the text records of a damaged page must neither crash nor read
    // outside the page (the sanitizer build of the tests checks the latter).
    (void)page.TextRecords();
    QPainter p(&image);
    page.Draw(p, QRectF(0, 0, image.width(), image.height()));
}

} // namespace

class TstRepFileMutation : public QObject
{
    Q_OBJECT

private slots:
    void init() { qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {}); }
    void cleanup() { qInstallMessageHandler(nullptr); }
    void damagedFilesAreReadOrRefused_data();
    void damagedFilesAreReadOrRefused();
    void damagedPageRecordsArePlayedOrRefused();
};

void TstRepFileMutation::damagedFilesAreReadOrRefused_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("plain") << false << 20261210u;
    QTest::newRow("compressed") << true << 1899u;
}

void TstRepFileMutation::damagedFilesAreReadOrRefused()
{
    QFETCH(bool, compressed);
    QFETCH(quint32, seed);
    const QByteArray original = SampleDamageStream(compressed, 3);
    QRandomGenerator rng(seed);
    QTemporaryDir dir;
    QImage image(30, 42, QImage::Format_ARGB32_Premultiplied);
    int loaded = 0, refused = 0, pagesRead = 0, pagesRefused = 0;
    for (int i = 0; i < 5000; ++i) {
        QByteArray b = original;
        for (int m = int(rng.bounded(1, 4)); m > 0; --m)
            b = Mutate(b, rng);
        TRepPageList list;
        try {
            if (i % 10 == 0) { // now and then through a real file
                const QString file = dir.filePath(QStringLiteral("m%1.rpf").arg(i));
                QFile f(file);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(b);
                f.close();
                list.LoadFromFile(file);
            } else {
                list.LoadFromBytes(b);
            }
            ++loaded;
        } catch (const ERepError &) {
            ++refused;
            QCOMPARE(list.PageCount(), 0);
            continue;
        }
        // Whatever the damage, only pages 1..PageCount() are read.
        QVERIFY(list.ReadPage(0).IsNull());
        QVERIFY(list.ReadPage(list.PageCount() + 1).IsNull());
        for (int n = 1; n <= std::min(list.PageCount(), 4); ++n) {
            try {
                const TRepMetafile page = list.ReadPage(n);
                QVERIFY(!page.IsNull());
                Use(page, image);
                ++pagesRead;
            } catch (const ERepError &) {
                ++pagesRefused;
            }
        }
        QVERIFY(list.ReadPage(list.PageCount() + 1).IsNull());
    }
    // Both outcomes happened: the mutations reached past the header.
    QVERIFY2(loaded > 100 && refused > 100 && pagesRead > 100 && pagesRefused > 10,
             qPrintable(QStringLiteral("%1 %2 %3 %4").arg(loaded).arg(refused).arg(pagesRead).arg(pagesRefused)));
}

void TstRepFileMutation::damagedPageRecordsArePlayedOrRefused()
{
    const QByteArray original = SampleDamagePage(1);
    QRandomGenerator rng(42);
    QImage image(60, 85, QImage::Format_ARGB32_Premultiplied);
    int played = 0, refused = 0;
    for (int i = 0; i < 10000; ++i) {
        QByteArray b = original;
        for (int m = int(rng.bounded(1, 4)); m > 0; --m)
            b = Mutate(b, rng);
        try {
            Use(TRepMetafile::FromBytes(b), image);
            ++played;
        } catch (const ERepError &) {
            ++refused;
        }
    }
    QVERIFY2(played > 300 && refused > 300, qPrintable(QStringLiteral("%1 %2").arg(played).arg(refused)));
}

QTEST_MAIN(TstRepFileMutation)
#include "tst_repfilemutation.moc"
