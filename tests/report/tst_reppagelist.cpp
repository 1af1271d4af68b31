// The page stream and saved report file: layout byte for byte, reading
// pages, the temporary file, saving and loading, older headers, damage.

#include "report/model/ereperror.h"
#include "report/page/trepemfcanvas.h"
#include "report/store/trepcompress.h"
#include "report/store/treppagelist.h"
#include "report/store/trepstream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <QtTest>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

QByteArray PageBytes(int n, int lines = 3)
{
    TRepEmfCanvas c(794, 1247);
    TRepCanvasFont f;
    c.SetFont(f);
    c.TextOut(400, 20, QStringLiteral("Página %1").arg(n), taCenter);
    for (int i = 0; i < lines; ++i) {
        c.TextOut(40, 60 + i * 20, QStringLiteral("Linha %1 da página %2 com o texto do relatório").arg(i).arg(n));
        c.Rectangle(30, 55 + i * 20, 760, 75 + i * 20);
    }
    return c.Finish();
}

qint32 I32(const QByteArray &b, qint64 off)
{
    return qFromLittleEndian<qint32>(b.constData() + off);
}

void PutI32(QByteArray &b, qint64 off, qint32 v)
{
    qToLittleEndian<qint32>(v, b.data() + off);
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool WriteAll(const QString &path, const QByteArray &b)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}

// The same stream with the 124-byte header of older versions: version at 0,
// page count at 8, time at 12, compression flag at 21; records move up by
// four bytes.
QByteArray WithOldHeader(const QByteArray &current, int pages)
{
    QByteArray old(124, '\0');
    old.replace(0, 2, current.mid(0, 2));
    old.replace(8, 4, current.mid(8, 4));
    old.replace(12, 8, current.mid(16, 8));
    old[21] = current.at(25);
    QByteArray records = current.mid(128);
    qint64 pos = 0;
    for (int i = 0; i < pages; ++i) {
        const qint32 next = I32(records, pos + 4) - 4;
        PutI32(records, pos + 4, next);
        PutI32(records, next - 124 - 4, qint32(pos + 124));
        pos = next - 124;
    }
    return old + records;
}

// Runs with the local time zone set to `zone` while it lives.
class LocalZone
{
public:
    explicit LocalZone(const QByteArray &zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    bool m_had;
    QByteArray m_old;
};

} // namespace

class TstRepPageList : public QObject
{
    Q_OBJECT

private slots:
    void onePageStreamLayout();
    void readsPagesInAnyOrder_data();
    void readsPagesInAnyOrder();
    void pageBeyondTheCountIsNothing();
    void largeStreamMovesToTemporaryFile();
    void failedSpillKeepsStoredPages();
    void readsWhileAnotherThreadAdds_data();
    void readsWhileAnotherThreadAdds();
    void saveAndLoad_data();
    void saveAndLoad();
    void loadedFileIsNeverWritten();
    void olderHeaderIsMapped_data();
    void olderHeaderIsMapped();
    void signatureOffsetRule_data();
    void signatureOffsetRule();
    void damagedFileIsRefused_data();
    void damagedFileIsRefused();
    void missingFileIsRefused();
    void compressionIsFixedOncePagesExist();
    void headerTimeOnSummerTimeChangeDay_data();
    void headerTimeOnSummerTimeChangeDay();
};

void TstRepPageList::onePageStreamLayout()
{
    const QByteArray page = PageBytes(1);
    TRepPageList list;
    list.AddPage(page);
    list.Finish();
    QTemporaryDir dir;
    const QString file = dir.filePath("um.rpf");
    list.SaveToFile(file);
    const QByteArray b = ReadAll(file);

    QCOMPARE(b.size(), 128 + 4 + 4 + page.size() + 4);
    QCOMPARE(qFromLittleEndian<quint16>(b.constData()), quint16(3));
    QCOMPARE(qFromLittleEndian<quint16>(b.constData() + 2), quint16(40));
    QCOMPARE(b.mid(4, 4), QByteArray(4, '\0'));
    QCOMPARE(I32(b, 8), 1);
    QCOMPARE(b.mid(12, 4), QByteArray(4, '\0'));
    double days;
    const quint64 bits = qFromLittleEndian<quint64>(b.constData() + 16);
    std::memcpy(&days, &bits, 8);
    const QDateTime now = QDateTime::currentDateTime();
    const double nowDays = QDate(1899, 12, 30).daysTo(now.date()) + now.time().msecsSinceStartOfDay() / 86400000.0;
    QVERIFY2(std::abs(days - nowDays) < 60.0 / 86400, qPrintable(QString::number(days - nowDays)));
    QCOMPARE(b.at(24), '\0');
    QCOMPARE(b.at(25), '\0');
    QCOMPARE(b.mid(26, 100), QByteArray(100, '\x48'));
    QCOMPARE(b.mid(126, 2), QByteArray(2, '\0'));
    // The record: page number, next record = the stream's length, the
    // metafile byte for byte, its own start.
    QCOMPARE(I32(b, 128), 1);
    QCOMPARE(I32(b, 132), b.size());
    QCOMPARE(b.mid(136, page.size()), page);
    QCOMPARE(I32(b, b.size() - 4), 128);
    QCOMPARE(b.mid(177, 4), QByteArray("EMF\0", 4));
}

void TstRepPageList::readsPagesInAnyOrder_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::newRow("plain") << false;
    QTest::newRow("compressed") << true;
}

void TstRepPageList::readsPagesInAnyOrder()
{
    QFETCH(bool, compressed);
    TRepPageList list;
    list.SetCompression(compressed);
    for (int n = 1; n <= 6; ++n) {
        list.AddPage(PageBytes(n, n));
        // Pages are readable while later ones are still being added.
        QCOMPARE(list.ReadPage(n).Bytes(), PageBytes(n, n));
    }
    list.Finish();
    for (int n : {6, 1, 4, 2, 5, 3, 3, 1})
        QCOMPARE(list.ReadPage(n).TextRecords().first(), QStringLiteral("Página %1").arg(n));
    const QByteArray head = list.Stream().Peek(0, 128);
    QCOMPARE(I32(head, 8), 6);
    QCOMPARE(head.at(25), char(compressed ? 1 : 0));
    if (compressed) // a compressed record holds the length and fewer bytes
        QVERIFY(list.Stream().Size() < 128 + 6 * PageBytes(6, 6).size());
}

void TstRepPageList::pageBeyondTheCountIsNothing()
{
    TRepPageList list;
    list.AddPage(PageBytes(1));
    list.AddPage(PageBytes(2));
    list.Finish();
    QVERIFY(list.ReadPage(3).IsNull());
    QVERIFY(list.ReadPage(0).IsNull());
    QVERIFY(list.ReadPage(-1).IsNull());
    QVERIFY(!list.ReadPage(2).IsNull());
    QVERIFY(TRepPageList().ReadPage(1).IsNull());
}

void TstRepPageList::largeStreamMovesToTemporaryFile()
{
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    QString tempName;
    {
        auto list = std::make_unique<TRepPageList>(); // the default limit, 250000 bytes
        int n = 0;
        while (list->Stream().Size() <= 250000) {
            QVERIFY(!list->Stream().InTemporaryFile());
            list->AddPage(PageBytes(++n, 30));
        }
        QVERIFY(list->Stream().InTemporaryFile());
        tempName = list->Stream().TemporaryFileName();
        QCOMPARE(QFileInfo(tempName).absolutePath(), QDir(tmp.path()).absolutePath());
        QVERIFY(QFileInfo(tempName).fileName().startsWith("RPF"));
        QCOMPARE(QFileInfo(tempName).size(), list->Stream().Size());
        list->AddPage(PageBytes(++n, 30));
        list->Finish();
        for (int i = 1; i <= n; i += 3)
            QCOMPARE(list->ReadPage(i).Bytes(), PageBytes(i, 30));
        QVERIFY(QFile::exists(tempName));
    }
    QVERIFY(!QFile::exists(tempName));
    qputenv("TMPDIR", oldTmp);
}

void TstRepPageList::readsWhileAnotherThreadAdds_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::newRow("plain") << false;
    QTest::newRow("compressed") << true;
}

// The preview reads pages while the pass still adds them, and the stream
// moves to its temporary file on the way: every page read is whole.
void TstRepPageList::readsWhileAnotherThreadAdds()
{
    QFETCH(bool, compressed);
    constexpr int Pages = 200;
    QList<QByteArray> pages;
    for (int n = 1; n <= Pages; ++n)
        pages << PageBytes(n, n % 7);
    TRepPageList list(30000);
    list.SetCompression(compressed);
    std::unique_ptr<QThread> writer(QThread::create([&] {
        for (const QByteArray &p : pages)
            list.AddPage(p);
    }));
    writer->start();
    int reads = 0;
    while (!writer->isFinished() || reads == 0) {
        const int count = list.PageCount();
        if (count == 0)
            continue;
        const int n = 1 + (reads * 7) % count;
        const QByteArray got = list.ReadPageBytes(n);
        if (got != pages.at(n - 1)) {
            writer->wait();
            QFAIL(qPrintable(QStringLiteral("page %1 of %2 read wrong").arg(n).arg(count)));
        }
        QCOMPARE(list.ReadPage(count).IsNull(), false);
        ++reads;
    }
    writer->wait();
    QCOMPARE(list.PageCount(), Pages);
    QVERIFY(list.Stream().InTemporaryFile());
    for (int n = 1; n <= Pages; ++n)
        QCOMPARE(list.ReadPageBytes(n), pages.at(n - 1));
}

void TstRepPageList::failedSpillKeepsStoredPages()
{
    const QByteArray oldTmp = qgetenv("TMPDIR");
    QTemporaryDir dir;
    const qint64 limit = 128 + 12 + PageBytes(1).size() + 100;
    TRepPageList list(limit);
    list.AddPage(PageBytes(1));
    // A temporary folder that is a file: the temporary file cannot be made.
    QVERIFY(WriteAll(dir.filePath("arquivo"), "x"));
    qputenv("TMPDIR", QFile::encodeName(dir.filePath("arquivo")));
    QVERIFY_THROWS_EXCEPTION(ERepError, list.AddPage(PageBytes(2)));
    qputenv("TMPDIR", oldTmp);
    QCOMPARE(list.PageCount(), 1);
    QVERIFY(!list.Stream().InTemporaryFile());
    QCOMPARE(list.Stream().Size(), limit - 100);
    list.AddPage(PageBytes(2));
    list.Finish();
    QVERIFY(list.Stream().InTemporaryFile());
    QCOMPARE(list.ReadPage(1).Bytes(), PageBytes(1));
    QCOMPARE(list.ReadPage(2).Bytes(), PageBytes(2));
    const QString file = dir.filePath("dois.rpf");
    list.SaveToFile(file);
    TRepPageList loaded;
    loaded.LoadFromFile(file);
    QCOMPARE(loaded.PageCount(), 2);
    QCOMPARE(loaded.ReadPage(2).Bytes(), PageBytes(2));
}

void TstRepPageList::saveAndLoad_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<qint64>("memoryLimit");
    QTest::newRow("plain, in memory") << false << qint64(250000);
    QTest::newRow("compressed, in memory") << true << qint64(250000);
    QTest::newRow("plain, from the temporary file") << false << qint64(1000);
}

void TstRepPageList::saveAndLoad()
{
    QFETCH(bool, compressed);
    QFETCH(qint64, memoryLimit);
    QTemporaryDir dir;
    const QString file = dir.filePath("relatorio.rpf");
    QVERIFY(WriteAll(file, QByteArray(500000, 'x'))); // saving overwrites
    {
        TRepPageList list(memoryLimit);
        list.SetCompression(compressed);
        for (int n = 1; n <= 4; ++n)
            list.AddPage(PageBytes(n));
        list.Finish();
        list.SaveToFile(file);
        QCOMPARE(QFileInfo(file).size(), list.Stream().Size());
    }
    TRepPageList loaded;
    loaded.AddPage(PageBytes(99)); // discarded by the load
    loaded.LoadFromFile(file);
    QCOMPARE(loaded.PageCount(), 4);
    QCOMPARE(loaded.Compression(), compressed);
    QCOMPARE(loaded.LoadedHeaderSize(), 128);
    QVERIFY(std::abs(loaded.HeaderTime().secsTo(QDateTime::currentDateTime())) < 60);
    for (int n : {4, 1, 3, 2})
        QCOMPARE(loaded.ReadPage(n).Bytes(), PageBytes(n));
    QVERIFY(loaded.ReadPage(5).IsNull());
    // A loaded list saves the same bytes again.
    const QString copy = dir.filePath("copia.rpf");
    loaded.SaveToFile(copy);
    QCOMPARE(ReadAll(copy), ReadAll(file));
}

void TstRepPageList::loadedFileIsNeverWritten()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("r.rpf");
    {
        TRepPageList list;
        list.AddPage(PageBytes(1));
        list.Finish();
        list.SaveToFile(file);
    }
    const QByteArray before = ReadAll(file);
    TRepPageList loaded;
    loaded.LoadFromFile(file);
    QVERIFY(loaded.Stream().IsReadOnly());
    QVERIFY_THROWS_EXCEPTION(ERepError, loaded.AddPage(PageBytes(2)));
    loaded.Finish();
    // Another reader opens it at the same time.
    TRepPageList second;
    second.LoadFromFile(file);
    QCOMPARE(second.ReadPage(1).Bytes(), PageBytes(1));
    QCOMPARE(ReadAll(file), before);
    // Saving over the file it was loaded from keeps the pages readable.
    loaded.SaveToFile(file);
    QCOMPARE(ReadAll(file), before);
    QCOMPARE(loaded.ReadPage(1).Bytes(), PageBytes(1));
}

void TstRepPageList::olderHeaderIsMapped_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::newRow("plain") << false;
    QTest::newRow("compressed") << true;
}

void TstRepPageList::olderHeaderIsMapped()
{
    QFETCH(bool, compressed);
    TRepPageList list;
    list.SetCompression(compressed);
    for (int n = 1; n <= 3; ++n)
        list.AddPage(PageBytes(n));
    list.Finish();
    const QByteArray current = list.Stream().Peek(0, list.Stream().Size());
    const QByteArray old = WithOldHeader(current, 3);
    if (!compressed)
        QCOMPARE(old.mid(173, 4), QByteArray("EMF\0", 4));

    TRepPageList loaded;
    if (compressed) {
        // Compressed pages carry no readable signature: an old compressed
        // file cannot be told from a current one and reads as current.
        QVERIFY_THROWS_EXCEPTION(ERepError, loaded.LoadFromBytes(old));
        return;
    }
    loaded.LoadFromBytes(old);
    QCOMPARE(loaded.LoadedHeaderSize(), 124);
    QCOMPARE(loaded.PageCount(), 3);
    QCOMPARE(loaded.Compression(), false);
    QVERIFY(std::abs(loaded.HeaderTime().secsTo(list.HeaderTime())) <= 1);
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(loaded.ReadPage(n).Bytes(), PageBytes(n));
}

void TstRepPageList::signatureOffsetRule_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("headerSize");
    QTest::newRow("current layout, 177") << 177 << 128;
    QTest::newRow("173") << 173 << 124;
    QTest::newRow("169") << 169 << 128;
    QTest::newRow("145") << 145 << 96;
    QTest::newRow("none") << -1 << 128;
}

void TstRepPageList::signatureOffsetRule()
{
    QFETCH(int, offset);
    QFETCH(int, headerSize);
    QByteArray b(400, '\x11');
    if (offset >= 0)
        b.replace(offset, 4, QByteArray("EMF\0", 4));
    QCOMPARE(TRepPageList::DetectHeaderSize(b), headerSize);
    // "EMF" without the zero byte after it is no signature.
    if (offset >= 0) {
        b[offset + 3] = ' ';
        QCOMPARE(TRepPageList::DetectHeaderSize(b), 128);
    }
}

void TstRepPageList::damagedFileIsRefused_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("empty file") << "empty";
    QTest::newRow("not a report file") << "text";
    QTest::newRow("cut inside a page") << "cut";
    QTest::newRow("negative page count") << "countNegative";
    QTest::newRow("page count beyond the file") << "countHuge";
    QTest::newRow("one page more than stored") << "countPlusOne";
    QTest::newRow("next record pointing back") << "nextBack";
    QTest::newRow("next record pointing at itself") << "nextSelf";
    QTest::newRow("next record past the end") << "nextPast";
    QTest::newRow("start field wrong") << "start";
    QTest::newRow("page numbers out of order") << "number";
    QTest::newRow("compressed length huge") << "length";
    QTest::newRow("compressed data cut") << "packedCut";
    QTest::newRow("metafile record size broken") << "emf";
}

void TstRepPageList::damagedFileIsRefused()
{
    QFETCH(QString, damage);
    const bool compressed = damage == "length" || damage == "packedCut";
    TRepPageList list;
    list.SetCompression(compressed);
    for (int n = 1; n <= 3; ++n)
        list.AddPage(PageBytes(n));
    list.Finish();
    QByteArray b = list.Stream().Peek(0, list.Stream().Size());
    const qint32 second = I32(b, 132); // start of page 2
    if (damage == "empty")
        b.clear();
    else if (damage == "text")
        b = QByteArray("Nota fiscal\n").repeated(40);
    else if (damage == "cut")
        b.truncate(second + 50);
    else if (damage == "countNegative")
        PutI32(b, 8, -5);
    else if (damage == "countHuge")
        PutI32(b, 8, 0x7FFFFFFF);
    else if (damage == "countPlusOne")
        PutI32(b, 8, 4);
    else if (damage == "nextBack")
        PutI32(b, second + 4, 128);
    else if (damage == "nextSelf")
        PutI32(b, second + 4, second);
    else if (damage == "nextPast")
        PutI32(b, second + 4, b.size() + 100);
    else if (damage == "start")
        PutI32(b, second - 4, 130);
    else if (damage == "number")
        PutI32(b, second, 3);
    else if (damage == "length")
        PutI32(b, second + 8, 0x7FFFFFF0);
    else if (damage == "packedCut") {
        // Page 2's record made to end early: the code runs out of bits.
        const qint32 next = I32(b, second + 4);
        const qint32 shorter = second + 8 + 4 + 20 + 4;
        QByteArray rec = b.mid(second, shorter - second);
        PutI32(rec, 4, shorter);
        PutI32(rec, rec.size() - 4, second);
        QByteArray rest = b.mid(next);
        const qint32 shift = next - shorter;
        PutI32(rest, 4, I32(rest, 4) - shift);
        PutI32(rest, rest.size() - 4, I32(rest, rest.size() - 4) - shift);
        b = b.left(second) + rec + rest;
    } else if (damage == "emf")
        PutI32(b, second + 8 + 108 + 4, 0x7FFFFFF0); // size of the first record after the EMF header
    bool refused = false;
    TRepPageList loaded;
    loaded.AddPage(PageBytes(7));
    try {
        loaded.LoadFromBytes(b);
        for (int n = 1; n <= loaded.PageCount(); ++n)
            loaded.ReadPage(n);
    } catch (const ERepError &e) {
        refused = true;
        QVERIFY(!e.Message().isEmpty());
    }
    QVERIFY(refused);
    if (damage != "length" && damage != "packedCut" && damage != "emf") // caught at load, not at read
        QCOMPARE(loaded.PageCount(), 0);
}

void TstRepPageList::missingFileIsRefused()
{
    TRepPageList list;
    QTemporaryDir dir;
    try {
        list.LoadFromFile(dir.filePath("nao-existe.rpf"));
        QFAIL("missing file loaded");
    } catch (const ERepError &e) {
        QVERIFY(e.Message().contains("nao-existe.rpf"));
    }
    QCOMPARE(list.PageCount(), 0);
}

void TstRepPageList::compressionIsFixedOncePagesExist()
{
    TRepPageList list;
    list.SetCompression(true);
    list.AddPage(PageBytes(1));
    QVERIFY_THROWS_EXCEPTION(ERepError, list.SetCompression(false));
    list.SetCompression(true);
    QCOMPARE(list.ReadPage(1).Bytes(), PageBytes(1));
}

// The header's time is a date and a wall-clock time of day; on a day the
// clocks change it reads back as written, not an hour off or empty.
void TstRepPageList::headerTimeOnSummerTimeChangeDay_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("stored");
    QTest::addColumn<QTime>("shown");
    QTest::newRow("Berlin, clocks forward at 02:00") << QByteArray("Europe/Berlin") << QDate(2026, 3, 29)
                                                    << QTime(10, 15, 30) << QTime(10, 15, 30);
    QTest::newRow("Berlin, clocks back at 03:00") << QByteArray("Europe/Berlin") << QDate(2026, 10, 25)
                                                  << QTime(18, 0) << QTime(18, 0);
    QTest::newRow("São Paulo, a day without midnight") << QByteArray("America/Sao_Paulo") << QDate(2018, 11, 4)
                                                       << QTime(9, 30) << QTime(9, 30);
    // A time the clocks skipped (damaged or foreign file) reads as the clock
    // showed it: an hour on.
    QTest::newRow("São Paulo, in the skipped hour") << QByteArray("America/Sao_Paulo") << QDate(2018, 11, 4)
                                                    << QTime(0, 30) << QTime(1, 30);
}

void TstRepPageList::headerTimeOnSummerTimeChangeDay()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, date);
    QFETCH(QTime, stored);
    QFETCH(QTime, shown);
    const LocalZone local(zone);
    // Without the zone's data the test would run in UTC and prove nothing.
    if (QDateTime(date, QTime(12, 0)).offsetFromUtc() == QDateTime(date.addDays(-2), QTime(12, 0)).offsetFromUtc())
        QSKIP("no summer time change in the local zone: time zone data missing");

    TRepPageList list;
    list.AddPage(PageBytes(1));
    list.Finish();
    QByteArray b = list.Stream().Peek(0, list.Stream().Size());
    // Days since 30 December 1899, the time of day as the fraction.
    const double days = QDate(1899, 12, 30).daysTo(date) + stored.msecsSinceStartOfDay() / 86400000.0;
    quint64 bits;
    std::memcpy(&bits, &days, 8);
    qToLittleEndian<quint64>(bits, b.data() + 16);

    TRepPageList loaded;
    loaded.LoadFromBytes(b);
    const QDateTime t = loaded.HeaderTime();
    QVERIFY(t.isValid());
    QCOMPARE(t.date(), date);
    QCOMPARE(t.time(), shown);
    QCOMPARE(loaded.ReadPage(1).Bytes(), PageBytes(1));
}

QTEST_MAIN(TstRepPageList)
#include "tst_reppagelist.moc"
