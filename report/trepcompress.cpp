#include "trepcompress.h"

#include "ereperror.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

TRepCompress::TRepCompress()
{
    Reset();
}

void TRepCompress::Reset()
{
    m_up[0] = 0;
    for (int i = 1; i < Nodes; ++i)
        m_up[i] = uint16_t((i - 1) / 2);
    for (int i = 0; i < 256; ++i) {
        m_left[i] = uint16_t(2 * i + 1);
        m_right[i] = uint16_t(2 * i + 2);
    }
}

inline void TRepCompress::Splay(int b)
{
    int a = b + 256;
    do {
        const int c = m_up[a];
        if (c != Root) {
            const int d = m_up[c];
            int s = m_left[d];
            if (c == s) {
                s = m_right[d];
                m_right[d] = uint16_t(a);
            } else {
                m_left[d] = uint16_t(a);
            }
            if (a == m_left[c])
                m_left[c] = uint16_t(s);
            else
                m_right[c] = uint16_t(s);
            m_up[a] = uint16_t(d);
            m_up[s] = uint16_t(c);
            a = d;
        } else {
            a = c;
        }
    } while (a != Root);
}

namespace {

// Little-endian bit packer writing into a pre-sized buffer.
class BitWriter
{
public:
    explicit BitWriter(QByteArray &out) : m_out(out) {}

    // len <= 32
    inline void Put(uint64_t code, int len)
    {
        m_acc |= code << m_bits;
        m_bits += len;
        if (m_bits >= 32) {
            Reserve(4);
            char *p = m_out.data() + m_size;
            const uint32_t v = uint32_t(m_acc);
            p[0] = char(v);
            p[1] = char(v >> 8);
            p[2] = char(v >> 16);
            p[3] = char(v >> 24);
            m_size += 4;
            m_acc >>= 32;
            m_bits -= 32;
        }
    }

    void Finish()
    {
        Reserve(8);
        while (m_bits > 0) {
            m_out.data()[m_size++] = char(m_acc & 0xFF);
            m_acc >>= 8;
            m_bits -= 8;
        }
        m_out.resize(m_size);
    }

private:
    inline void Reserve(qsizetype n)
    {
        if (m_size + n > m_out.size())
            m_out.resize(std::max<qsizetype>(m_out.size() * 2, m_size + n + 64));
    }

    QByteArray &m_out;
    qsizetype m_size = 0;
    uint64_t m_acc = 0;
    int m_bits = 0;
};

[[noreturn]] void DamagedCompression(const char *what)
{
    throw ERepError(QStringLiteral("Damaged compressed page: %1").arg(QLatin1String(what)));
}

} // namespace

QByteArray TRepCompress::Encode(const char *data, qsizetype size)
{
    QByteArray out;
    out.resize(size / 2 + 64);
    BitWriter w(out);
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype i = 0; i < size; ++i) {
        const int b = p[i];
        int a = b + 256;
        // Walking up gives the bits leaf first; shifting each one in from
        // the right leaves the root's bit lowest, the order they go out in.
        uint64_t code = 0;
        int len = 0;
        do {
            const int c = m_up[a];
            code = (code << 1) | uint64_t(m_right[c] == a);
            ++len;
            a = c;
        } while (a != Root && len < 64);
        if (a == Root) {
            if (len <= 32) {
                w.Put(code, len);
            } else {
                w.Put(code & 0xFFFFFFFFu, 32);
                w.Put(code >> 32, len - 32);
            }
        } else {
            // A path deeper than 64 (possible only after long, odd inputs):
            // collect it whole and send it from the root down.
            uint8_t bits[Nodes];
            int n = 0;
            a = b + 256;
            while (a != Root) {
                const int c = m_up[a];
                bits[n++] = uint8_t(m_right[c] == a);
                a = c;
            }
            while (n > 0)
                w.Put(bits[--n], 1);
        }
        Splay(b);
    }
    w.Finish();
    return out;
}

QByteArray TRepCompress::Decode(const char *data, qsizetype size, qsizetype length)
{
    if (length < 0)
        DamagedCompression("negative length");
    if (length > MaxDecodedLength(size))
        DamagedCompression("length larger than the data can hold");
    QByteArray out(length, Qt::Uninitialized);
    char *o = out.data();
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    qsizetype pos = 0;
    uint64_t acc = 0;
    int bits = 0;
    for (qsizetype i = 0; i < length; ++i) {
        int a = Root;
        do {
            if (bits == 0) {
                if (pos >= size)
                    DamagedCompression("data ends too early");
                if (size - pos >= 8) {
                    uint64_t v;
                    std::memcpy(&v, p + pos, 8);
                    acc = qFromLittleEndian(v);
                    pos += 8;
                    bits = 64;
                } else {
                    acc = p[pos++];
                    bits = 8;
                }
            }
            a = (acc & 1) ? m_right[a] : m_left[a];
            acc >>= 1;
            --bits;
        } while (a < 256);
        if (a > 511)
            DamagedCompression("code of no byte");
        o[i] = char(a - 256);
        Splay(a - 256);
    }
    return out;
}

QByteArray TRepCompress::Compress(const QByteArray &data)
{
    TRepCompress c;
    return c.Encode(data.constData(), data.size());
}

QByteArray TRepCompress::Decompress(const QByteArray &data, qsizetype length)
{
    TRepCompress c;
    return c.Decode(data.constData(), data.size(), length);
}
