#include "report/store/trepcompress.h"

#include "report/model/ereperror.h"

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
        m_child[i][0] = uint16_t(2 * i + 1);
        m_child[i][1] = uint16_t(2 * i + 2);
    }
}

inline void TRepCompress::Splay(int b)
{
    int a = b + 256;
    do {
        const int c = m_up[a];
        if (c != Root) {
            const int d = m_up[c];
            int s = m_child[d][0];
            if (c == s) {
                s = m_child[d][1];
                m_child[d][1] = uint16_t(a);
            } else {
                m_child[d][0] = uint16_t(a);
            }
            if (a == m_child[c][0])
                m_child[c][0] = uint16_t(s);
            else
                m_child[c][1] = uint16_t(s);
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
    uint16_t *up = m_up;
    uint16_t(*child)[2] = m_child;
    for (qsizetype i = 0; i < size; ++i) {
        // Semi-splaying climbs the leaf's original chain of ancestors two
        // at a time, so the code (which side each node hangs on, read
        // before the splay moves it) is gathered on the same climb. Bits
        // come leaf first; shifting each in from the right leaves the
        // root's bit lowest, the order in which they go out. Paths deeper
        // than 64 keep their earlier (leaf-side) words aside.
        uint64_t code = 0;
        int len = 0;
        uint64_t deep[(Nodes + 63) / 64];
        int words = 0;
        int a = p[i] + 256;
        do {
            const int c = up[a];
            const bool aRight = child[c][1] == a;
            if (len == 64) {
                deep[words++] = code;
                code = 0;
                len = 0;
            }
            code = (code << 1) | uint64_t(aRight);
            ++len;
            if (c != Root) {
                const int d = up[c];
                int s = child[d][0];
                if (len == 64) {
                    deep[words++] = code;
                    code = 0;
                    len = 0;
                }
                code = (code << 1) | uint64_t(c != s);
                ++len;
                if (c == s) {
                    s = child[d][1];
                    child[d][1] = uint16_t(a);
                } else {
                    child[d][0] = uint16_t(a);
                }
                child[c][aRight] = uint16_t(s);
                up[a] = uint16_t(d);
                up[s] = uint16_t(c);
                a = d;
            } else {
                a = c;
            }
        } while (a != Root);
        if (len <= 32) {
            w.Put(code, len);
        } else {
            w.Put(code & 0xFFFFFFFFu, 32);
            w.Put(code >> 32, len - 32);
        }
        while (words > 0) {
            const uint64_t word = deep[--words];
            w.Put(word & 0xFFFFFFFFu, 32);
            w.Put(word >> 32, 32);
        }
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
            a = m_child[a][acc & 1];
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
