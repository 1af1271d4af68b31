#include "report/export/treplzwencoder.h"

#include <QHash>
#include <QList>

namespace {

constexpr int ClearCode = 256;
constexpr int EndCode = 257;
constexpr int FirstFree = 258;
constexpr int MaxCodes = 4096;

class BitWriter
{
public:
    explicit BitWriter(QByteArray &out) : m_out(out) {}
    void Put(int code, int width)
    {
        m_acc = (m_acc << width) | quint32(code);
        m_bits += width;
        while (m_bits >= 8) {
            m_out.append(char((m_acc >> (m_bits - 8)) & 0xFF));
            m_bits -= 8;
        }
        m_acc &= (1u << m_bits) - 1;
    }
    void Flush()
    {
        if (m_bits > 0)
            m_out.append(char((m_acc << (8 - m_bits)) & 0xFF));
        m_bits = 0;
        m_acc = 0;
    }

private:
    QByteArray &m_out;
    quint32 m_acc = 0;
    int m_bits = 0;
};

// The width of the next code for a reader whose table holds `entries`
// codes: with early change it widens as soon as the table reaches 511,
// 1023 and 2047 entries. The reader adds each entry one code after the
// writer, so the writer asks for the width of its next free code - 1.
int WidthFor(int entries)
{
    if (entries < 511)
        return 9;
    if (entries < 1023)
        return 10;
    if (entries < 2047)
        return 11;
    return 12;
}

} // namespace

QByteArray TRepLzwEncoder::Encode(const QByteArray &data)
{
    QByteArray out;
    BitWriter bits(out);
    // (prefix code << 8 | byte) -> code
    QHash<quint32, int> table;
    table.reserve(MaxCodes);
    int next = FirstFree;
    bits.Put(ClearCode, 9);
    int prefix = -1;
    for (char ch : data) {
        const int byte = uchar(ch);
        if (prefix < 0) {
            prefix = byte;
            continue;
        }
        const quint32 key = (quint32(prefix) << 8) | quint32(byte);
        const auto it = table.constFind(key);
        if (it != table.constEnd()) {
            prefix = *it;
            continue;
        }
        bits.Put(prefix, WidthFor(next - 1));
        table.insert(key, next++);
        prefix = byte;
        // Before the 12-bit table is full: start over, so that no code ever
        // needs a 13th bit.
        if (next >= MaxCodes - 1) {
            bits.Put(ClearCode, WidthFor(next - 1));
            table.clear();
            next = FirstFree;
        }
    }
    if (prefix >= 0) {
        bits.Put(prefix, WidthFor(next - 1));
        ++next;
    }
    bits.Put(EndCode, WidthFor(next - 1));
    bits.Flush();
    return out;
}

QByteArray TRepLzwEncoder::Decode(const QByteArray &data, bool *ok)
{
    if (ok)
        *ok = false;
    QList<QByteArray> table;
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < 256; ++i)
            table.append(QByteArray(1, char(i)));
        table.append(QByteArray());
        table.append(QByteArray());
    };
    reset();
    QByteArray out;
    quint32 acc = 0;
    int bits = 0;
    qsizetype pos = 0;
    int width = 9;
    QByteArray previous;
    bool havePrevious = false;
    for (;;) {
        while (bits < width) {
            if (pos >= data.size())
                return {};
            acc = (acc << 8) | uchar(data[pos++]);
            bits += 8;
        }
        const int code = int((acc >> (bits - width)) & ((1u << width) - 1));
        bits -= width;
        if (code == EndCode)
            break;
        if (code == ClearCode) {
            reset();
            width = 9;
            havePrevious = false;
            continue;
        }
        QByteArray entry;
        if (code < table.size() && code != ClearCode && code != EndCode)
            entry = table.at(code);
        else if (code == table.size() && havePrevious)
            entry = previous + previous.left(1);
        else
            return {};
        out.append(entry);
        if (havePrevious) {
            if (table.size() >= MaxCodes)
                return {};
            table.append(previous + entry.left(1));
        }
        previous = entry;
        havePrevious = true;
        width = WidthFor(int(table.size()));
    }
    if (ok)
        *ok = true;
    return out;
}
