#pragma once

#include "report/page/trepmetafile.h"

#include <QDateTime>
#include <QRecursiveMutex>
#include <memory>
#include <vector>

class TRepStream;

// The pages of a report in one byte stream, which is also the saved report
// file: a 128-byte header, then one record per page (page number, offset of
// the next record, the page's metafile — or its length and splay-coded
// bytes when compressed — and the record's own start offset). All integers
// little-endian.
//
// Pages are found through an index of record offsets kept in memory (filled
// while pages are added, and by checking every record once when a file is
// loaded), so any page is read in the same time. Every access takes the
// list's lock: the preview reads pages while generation adds them.
class TRepPageList
{
public:
    static constexpr int HeaderSize = 128;
    static constexpr quint16 FormatVersion = 3;

    explicit TRepPageList(qint64 memoryLimit = 250000);
    ~TRepPageList();
    TRepPageList(const TRepPageList &) = delete;
    TRepPageList &operator=(const TRepPageList &) = delete;

    // Page data compression; set it before the first page (ERepError after).
    void SetCompression(bool on);
    bool Compression() const;

    // Appends one page record; the first page writes the header first.
    void AddPage(const TRepMetafile &page);
    void AddPage(const QByteArray &metafileBytes);
    // Rewrites the header with the final page count and the current time.
    void Finish();

    int PageCount() const;
    // The metafile of page n (1-based); a null metafile when n is outside
    // 1..PageCount(). ERepError when the stored page is damaged.
    TRepMetafile ReadPage(int n) const;
    // The stored page's metafile bytes, decompressed, unchecked.
    QByteArray ReadPageBytes(int n) const;

    // Copies the stream to a file (the saved report file).
    void SaveToFile(const QString &fileName) const;
    // Discards the current pages and reads a saved file (never written).
    // Every header field and record is checked first: a damaged or foreign
    // file raises ERepError and leaves the list empty.
    void LoadFromFile(const QString &fileName);
    void LoadFromBytes(const QByteArray &bytes);

    // Header size found in the loaded stream (older layouts: 96 or 124).
    int LoadedHeaderSize() const;
    // The time the header was last written.
    QDateTime HeaderTime() const;

    // Header size of a stream from its first bytes, by where the first
    // metafile's signature sits.
    static int DetectHeaderSize(const QByteArray &firstBytes);

    // The stream itself (for its lock, size and temporary file).
    TRepStream &Stream() const;

private:
    struct Record
    {
        qint64 start;
        qint64 next;
    };

    void WriteHeader(int count);
    void Load(std::unique_ptr<TRepStream> stream);
    void Reset(std::unique_ptr<TRepStream> stream);

    mutable QRecursiveMutex m_lock;
    std::unique_ptr<TRepStream> m_stream;
    qint64 m_memoryLimit;
    bool m_compression = false;
    int m_pages = 0;
    int m_headerSize = HeaderSize;
    QDateTime m_time;
    std::vector<Record> m_index;
};
