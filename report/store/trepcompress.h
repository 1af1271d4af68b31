#pragma once

#include <QByteArray>
#include <cstdint>

// The page compression of the saved report file: an adaptive splay-tree
// prefix code over the 256 byte values (semi-splaying), bits packed from
// the least significant bit, the last byte partly filled. Every page starts
// from the same initial tree, so a page is encoded and decoded on its own.
//
// The tree has internal nodes 0 to 255 (0 is the root) whose children start
// as 2i + 1 and 2i + 2; the leaf of byte b is node b + 256. The last
// internal node's right child is node 512, which is no byte: it has a parent
// entry like every other node, so splaying stays inside the tree, and a code
// that leads to it is damaged data.
class TRepCompress
{
public:
    TRepCompress();

    // Back to the initial tree (start of a page).
    void Reset();

    // Encodes `size` bytes; the result ends with the partly filled byte.
    QByteArray Encode(const char *data, qsizetype size);
    // Decodes exactly `length` bytes from `size` compressed bytes; raises
    // ERepError when the input ends too early or leads to no byte.
    QByteArray Decode(const char *data, qsizetype size, qsizetype length);

    // One page each, from the initial tree.
    static QByteArray Compress(const QByteArray &data);
    static QByteArray Decompress(const QByteArray &data, qsizetype length);

    // The most bytes `size` compressed bytes can decode to (every byte
    // takes at least one bit): a longer claimed length is damage.
    static qint64 MaxDecodedLength(qint64 size) { return size * 8; }

private:
    static constexpr int Root = 0;
    static constexpr int Nodes = 513; // 0..512
    uint16_t m_up[Nodes];
    // m_child[i][0] is left[i], m_child[i][1] is right[i]: indexing by the
    // bit spares the decoder a branch per bit.
    uint16_t m_child[256][2];
};
