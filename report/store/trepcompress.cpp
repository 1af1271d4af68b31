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

namespace {

inline uint64_t Load64(const unsigned char *p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return qFromLittleEndian(v);
}

// The decoder's copy of the tree: each internal node a pair of pointers to
// its children, so that one step down is a single load indexed by the bit
// (no arithmetic between the loads of a walk). Leaves are the entries from
// 256 up and are never read; 512 is no byte.
struct alignas(2 * sizeof(void *)) DecodeNode
{
    DecodeNode *child[2];
};
static_assert(sizeof(DecodeNode) == alignof(DecodeNode));

// A slot's node and the slot beside it, from its address alone (nodes are
// aligned to their size), so that the splay needs no more than the path.
inline DecodeNode *OwnerOf(DecodeNode **slot)
{
    return reinterpret_cast<DecodeNode *>(reinterpret_cast<uintptr_t>(slot) & ~uintptr_t(sizeof(DecodeNode) - 1));
}

inline DecodeNode **SiblingOf(DecodeNode **slot)
{
    return reinterpret_cast<DecodeNode **>(reinterpret_cast<uintptr_t>(slot) ^ sizeof(DecodeNode *));
}

} // namespace

QByteArray TRepCompress::Decode(const char *data, qsizetype size, qsizetype length)
{
    if (length < 0)
        DamagedCompression("negative length");
    if (length > MaxDecodedLength(size))
        DamagedCompression("length larger than the data can hold");
    QByteArray out(length, Qt::Uninitialized);
    char *o = out.data();
    char *const oEnd = o + length;

    DecodeNode nodes[Nodes];
    for (int i = 0; i < 256; ++i) {
        nodes[i].child[0] = &nodes[m_child[i][0]];
        nodes[i].child[1] = &nodes[m_child[i][1]];
    }
    const DecodeNode *const leaves = nodes + 256;
    const DecodeNode *const noByte = nodes + 512;
    DecodeNode *const root = nodes + Root;
    // The slots a walk passed, for the splay; a path passes each internal
    // node at most once.
    DecodeNode **path[256];

    // Bits go into `acc` least significant first, `bits` of them valid.
    // While eight bytes are left a refill is one unaligned load topping the
    // accumulator up to 56 bits or more; the last bytes go in one at a time.
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    const unsigned char *const pEnd = p + size;
    uint64_t acc = 0;
    int bits = 0;
    auto refillSlowly = [&] {
        while (bits <= 48 && p < pEnd) {
            acc |= uint64_t(*p++) << bits;
            bits += 8;
        }
        if (bits == 0)
            DamagedCompression("data ends too early");
    };

    while (o < oEnd) {
        if (pEnd - p >= 8) {
            acc |= Load64(p) << bits;
            p += (63 - bits) >> 3;
            bits |= 56;
        } else {
            refillSlowly();
        }
        // A leaf right under the root is left where it is by its own code,
        // so it repeats for as long as the bits repeat its one-bit code:
        // the page's runs (mostly zeros) go out at once.
        const unsigned b0 = unsigned(acc & 1);
        DecodeNode *v = root->child[b0];
        if (v >= leaves) {
            if (v == noByte)
                DamagedCompression("code of no byte");
            const uint64_t same = b0 ? ~acc : acc;
            qsizetype n = __builtin_ctzll(same | (uint64_t(1) << bits)); // bits <= 63
            n = std::min<qsizetype>(n, oEnd - o);
            const char byte = char(v - leaves);
            if (oEnd - o >= 8 && n <= 8) {
                const uint64_t eight = uint64_t(uint8_t(byte)) * 0x0101010101010101u;
                std::memcpy(o, &eight, 8); // the bytes past the run are written again later
            } else {
                std::memset(o, byte, size_t(n));
            }
            o += n;
            acc >>= n;
            bits -= int(n);
            continue;
        }
        // Two levels down: the swap is with the root's other child.
        DecodeNode **s1 = &v->child[(acc >> 1) & 1];
        DecodeNode *const v2 = *s1;
        if (v2 >= leaves) {
            if (bits < 2)
                DamagedCompression("data ends too early");
            if (v2 == noByte)
                DamagedCompression("code of no byte");
            *o++ = char(v2 - leaves);
            DecodeNode **uncle = &root->child[b0 ^ 1];
            DecodeNode *const s = *uncle;
            *uncle = v2;
            *s1 = s;
            acc >>= 2;
            bits -= 2;
            continue;
        }
        // Deeper: walk on without counting the bits, then check that the
        // walk stayed inside them; a longer code (a deep tree or the data's
        // end) is walked again a bit at a time, reading on as it goes.
        path[0] = &root->child[b0];
        path[1] = s1;
        v = v2;
        DecodeNode ***pp = path + 2;
        uint64_t x = acc >> 2;
        do {
            DecodeNode **slot = &v->child[x & 1];
            x >>= 1;
            *pp++ = slot;
            v = *slot;
        } while (v < leaves);
        int depth = int(pp - path);
        if (depth > bits) {
            v = root;
            depth = 0;
            do {
                if (bits == 0)
                    refillSlowly();
                DecodeNode **slot = &v->child[acc & 1];
                acc >>= 1;
                --bits;
                path[depth++] = slot;
                v = *slot;
            } while (v < leaves);
        } else {
            acc >>= depth;
            bits -= depth;
        }
        if (v == noByte)
            DamagedCompression("code of no byte");
        *o++ = char(v - leaves);

        // Semi-splaying from the leaf: the node two levels up takes the
        // place of the sibling of the node between, which takes the
        // climbing node's place; the climb goes on from there. Each swap
        // touches slots no other swap of the climb reads.
        DecodeNode *a = v;
        DecodeNode ***q = path + depth;
        do {
            DecodeNode **const toC = q[-2];
            DecodeNode **const uncle = SiblingOf(toC);
            DecodeNode *const s = *uncle;
            *uncle = a;
            *q[-1] = s;
            a = OwnerOf(toC);
            q -= 2;
        } while (q >= path + 2);
    }

    // Back into the coder's own tree, parents included, so that coding can
    // go on from where this page ended.
    for (int i = 0; i < 256; ++i) {
        for (int b = 0; b < 2; ++b) {
            const auto c = uint16_t(nodes[i].child[b] - nodes);
            m_child[i][b] = c;
            m_up[c] = uint16_t(i);
        }
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
