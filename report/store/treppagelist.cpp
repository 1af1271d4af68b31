#include "report/store/treppagelist.h"

#include "report/model/ereperror.h"
#include "report/page/trepemfrecords.h"
#include "report/store/trepcompress.h"
#include "report/store/trepstream.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace {

// A page larger than this is no page of ours.
constexpr qint64 MaxPageBytes = qint64(1) << 28;
// Page number, next-record offset, start offset.
constexpr qint64 RecordOverhead = 12;

const QDate &TimeBase()
{
    static const QDate base(1899, 12, 30);
    return base;
}

double ToDays(const QDateTime &t)
{
    const QDateTime local = t.toLocalTime();
    return double(TimeBase().daysTo(local.date())) + local.time().msecsSinceStartOfDay() / 86400000.0;
}

QDateTime FromDays(double days)
{
    if (!std::isfinite(days) || days < -693593.0 || days > 2958466.0) // years 1 to 9999
        return QDateTime();
    double whole = std::floor(days);
    qint64 ms = qint64(std::llround((days - whole) * 86400000.0));
    if (ms >= 86400000) { // rounded up to the next midnight
        whole += 1;
        ms -= 86400000;
    }
    // The value is a date and a wall-clock time of day: built as such, not
    // as midnight plus the time elapsed, which is an hour off on a day the
    // clocks change (and void on a day without a midnight).
    const QDate date = TimeBase().addDays(qint64(whole));
    const QDateTime t(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
    if (t.isValid())
        return t;
    // A time the clocks skipped reads as the clock would have shown it.
    // The day's first moment is midnight at the offset in force before the
    // change, so the time elapsed from it lands where the clock moved on to.
    return date.startOfDay().addMSecs(ms);
}

double GetDouble(const QByteArray &b, int off)
{
    const quint64 bits = qFromLittleEndian<quint64>(b.constData() + off);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

template<class T>
T Get(const QByteArray &b, int off)
{
    return qFromLittleEndian<T>(b.constData() + off);
}

[[noreturn]] void Damaged(const QString &what)
{
    throw ERepError(QStringLiteral("The report file is damaged: %1").arg(what));
}

} // namespace

TRepPageList::TRepPageList(qint64 memoryLimit)
    : m_stream(std::make_unique<TRepStream>(memoryLimit))
    , m_memoryLimit(memoryLimit)
{
}

TRepPageList::~TRepPageList() = default;

TRepStream &TRepPageList::Stream() const
{
    QMutexLocker l(&m_lock);
    return *m_stream;
}

void TRepPageList::SetCompression(bool on)
{
    QMutexLocker l(&m_lock);
    if (on == m_compression)
        return;
    if (m_pages > 0)
        throw ERepError("Compression cannot change once pages are stored");
    m_compression = on;
}

bool TRepPageList::Compression() const
{
    QMutexLocker l(&m_lock);
    return m_compression;
}

int TRepPageList::PageCount() const
{
    QMutexLocker l(&m_lock);
    return m_pages;
}

int TRepPageList::LoadedHeaderSize() const
{
    QMutexLocker l(&m_lock);
    return m_headerSize;
}

QDateTime TRepPageList::HeaderTime() const
{
    QMutexLocker l(&m_lock);
    return m_time;
}

void TRepPageList::WriteHeader(int count)
{
    QByteArray h(HeaderSize, '\0');
    char *p = h.data();
    qToLittleEndian<quint16>(FormatVersion, p);
    qToLittleEndian<quint16>(40, p + 2);
    qToLittleEndian<qint32>(count, p + 8);
    m_time = QDateTime::currentDateTime();
    const double days = ToDays(m_time);
    quint64 bits;
    std::memcpy(&bits, &days, 8);
    qToLittleEndian<quint64>(bits, p + 16);
    p[25] = m_compression ? 1 : 0;
    std::memset(p + 26, 0x48, 100);
    TRepStream &s = *m_stream;
    QMutexLocker sl(&s.Lock());
    const qint64 keep = s.Pos();
    s.Seek(0);
    s.Write(h);
    s.Seek(std::max(keep, qint64(HeaderSize)));
}

void TRepPageList::AddPage(const TRepMetafile &page)
{
    AddPage(page.Bytes());
}

void TRepPageList::AddPage(const QByteArray &metafileBytes)
{
    QMutexLocker l(&m_lock);
    TRepStream &s = *m_stream;
    if (s.IsReadOnly())
        throw ERepError("A report file opened for reading is never written");
    if (m_pages == INT_MAX)
        throw ERepError("Too many pages");
    QMutexLocker sl(&s.Lock());
    const int number = m_pages + 1;
    s.SeekEnd();
    const qint64 start = std::max(s.Pos(), qint64(HeaderSize));
    if (start > INT_MAX - qint64(metafileBytes.size()) - 64)
        throw ERepError("The report stream has grown past the largest file it can address");
    // A failure half-way (a full disk) cuts the stream back to the last
    // whole record, so the pages already stored stay readable.
    try {
        m_pages = number;
        if (number == 1)
            WriteHeader(1);
        s.Seek(start);
        s.WriteI32(number);
        s.WriteI32(0); // next record, written below
        if (m_compression) {
            s.WriteI32(qint32(metafileBytes.size()));
            s.Write(TRepCompress::Compress(metafileBytes));
        } else {
            s.Write(metafileBytes);
        }
        s.WriteI32(qint32(start));
        const qint64 next = s.Pos();
        if (next > INT_MAX)
            throw ERepError("The report stream has grown past the largest file it can address");
        s.WriteI32At(start + 4, qint32(next));
        s.SeekEnd();
        m_index.push_back({start, next});
    } catch (...) {
        m_pages = number - 1;
        try {
            s.Truncate(start);
        } catch (...) {
        }
        throw;
    }
}

void TRepPageList::Finish()
{
    QMutexLocker l(&m_lock);
    if (m_stream->IsReadOnly() || m_pages == 0)
        return;
    WriteHeader(m_pages);
}

QByteArray TRepPageList::ReadPageBytes(int n) const
{
    QMutexLocker l(&m_lock);
    if (n < 1 || n > m_pages || size_t(n) > m_index.size())
        return QByteArray();
    const Record r = m_index[size_t(n - 1)];
    TRepStream &s = *m_stream;
    QMutexLocker sl(&s.Lock());
    const qint64 dataStart = r.start + 8;
    const qint64 dataSize = r.next - 4 - dataStart;
    if (dataSize > MaxPageBytes)
        Damaged(QStringLiteral("page %1 is too large").arg(n));
    const qint64 keep = s.Pos();
    s.Seek(dataStart);
    QByteArray data;
    try {
        if (!m_compression) {
            data = s.Read(dataSize);
        } else {
            if (dataSize < 4)
                Damaged(QStringLiteral("page %1 has no length").arg(n));
            const qint32 length = s.ReadI32();
            const QByteArray packed = s.Read(dataSize - 4);
            if (length < 0 || length > MaxPageBytes || length > TRepCompress::MaxDecodedLength(packed.size()))
                Damaged(QStringLiteral("page %1 has a bad length").arg(n));
            data = TRepCompress::Decompress(packed, length);
        }
    } catch (...) {
        s.Seek(keep);
        throw;
    }
    s.Seek(keep);
    return data;
}

TRepMetafile TRepPageList::ReadPage(int n) const
{
    QMutexLocker l(&m_lock);
    if (n < 1 || n > m_pages)
        return TRepMetafile();
    try {
        return TRepMetafile::FromBytes(ReadPageBytes(n));
    } catch (const ERepError &e) {
        throw ERepError(QStringLiteral("Page %1: %2").arg(n).arg(e.Message()));
    }
}

void TRepPageList::SaveToFile(const QString &fileName) const
{
    QMutexLocker l(&m_lock);
    m_stream->SaveToFile(fileName);
}

void TRepPageList::Reset(std::unique_ptr<TRepStream> stream)
{
    m_stream = std::move(stream);
    m_pages = 0;
    m_index.clear();
    m_headerSize = HeaderSize;
    m_time = QDateTime();
    m_compression = false;
}

void TRepPageList::LoadFromFile(const QString &fileName)
{
    Load(TRepStream::OpenFile(fileName));
}

void TRepPageList::LoadFromBytes(const QByteArray &bytes)
{
    Load(TRepStream::OpenBytes(bytes));
}

int TRepPageList::DetectHeaderSize(const QByteArray &first)
{
    // Whether the first page record's signature (" EMF", then the low
    // bytes of the version: "EMF\0" from its second byte) lies where a
    // header of that size puts it, after the page number and next-record
    // offset of an uncompressed page.
    auto at = [&](int headerSize) {
        const int off = headerSize + 8 + RepEmf::EmfHeader::Signature + 1;
        return first.size() >= off + 4 && std::memcmp(first.constData() + off, "EMF\0", 4) == 0;
    };
    if (at(124))
        return 124;
    if (at(128))
        return 128;
    if (at(96))
        return 96;
    return 128;
}

void TRepPageList::Load(std::unique_ptr<TRepStream> stream)
{
    QMutexLocker l(&m_lock);
    // Whatever happens, the old pages are gone and a failed load leaves an
    // empty list on an empty stream.
    Reset(std::make_unique<TRepStream>(m_memoryLimit));

    TRepStream &s = *stream;
    const qint64 size = s.Size();
    const QByteArray first = s.Peek(0, 181);
    const int headerSize = DetectHeaderSize(first);
    if (size < headerSize || first.size() < std::min<qint64>(size, 181))
        throw ERepError("The file is not a report file: it is too short");

    qint32 count;
    double days;
    bool compressed;
    if (headerSize == 124) {
        count = Get<qint32>(first, 8);
        days = GetDouble(first, 12);
        compressed = first.at(21) != 0;
    } else {
        count = Get<qint32>(first, 8);
        days = GetDouble(first, 16);
        compressed = first.at(25) != 0;
    }
    if (count < 0 || count > (size - headerSize) / RecordOverhead)
        Damaged(QStringLiteral("its page count %1 does not fit its size").arg(count));

    // Every record once: its page number, where it ends, and its start
    // field must agree, so that reading never walks off or in circles.
    std::vector<Record> index;
    index.reserve(size_t(count));
    qint64 pos = headerSize;
    for (qint32 i = 1; i <= count; ++i) {
        if (size - pos < RecordOverhead)
            Damaged(QStringLiteral("page %1 is missing").arg(i));
        s.Seek(pos);
        const qint32 number = s.ReadI32();
        const qint64 next = s.ReadI32();
        if (number != i)
            Damaged(QStringLiteral("page %1 is numbered %2").arg(i).arg(number));
        if (next < pos + RecordOverhead || next > size)
            Damaged(QStringLiteral("page %1 points outside the file").arg(i));
        s.Seek(next - 4);
        if (s.ReadI32() != pos)
            Damaged(QStringLiteral("page %1 does not close where it began").arg(i));
        if (compressed && next - pos < RecordOverhead + 4)
            Damaged(QStringLiteral("page %1 has no length").arg(i));
        index.push_back({pos, next});
        pos = next;
    }
    s.Seek(size);

    m_stream = std::move(stream);
    m_index = std::move(index);
    m_pages = count;
    m_headerSize = headerSize;
    m_compression = compressed;
    m_time = FromDays(days);
}
