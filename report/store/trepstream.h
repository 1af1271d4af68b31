#pragma once

#include <QByteArray>
#include <QRecursiveMutex>
#include <QString>
#include <memory>

class QFile;
class QTemporaryFile;

// The byte stream that holds a report's pages. It starts in memory; when a
// write makes it larger than the memory limit, its content moves to a
// temporary file (prefix "RPF" in the temporary folder) that is removed when
// the stream is freed. A stream opened on a saved file reads that file and
// is never written. Every operation takes the stream's lock.
class TRepStream
{
public:
    static constexpr qint64 DefaultMemoryLimit = 250000;
    static constexpr qint64 SaveBlockSize = 10240;

    explicit TRepStream(qint64 memoryLimit = DefaultMemoryLimit);
    ~TRepStream();
    TRepStream(const TRepStream &) = delete;
    TRepStream &operator=(const TRepStream &) = delete;

    // Opens a saved file for reading (shared, read-only); ERepError when it
    // cannot be opened.
    static std::unique_ptr<TRepStream> OpenFile(const QString &fileName);
    // A read-only stream over bytes already in memory.
    static std::unique_ptr<TRepStream> OpenBytes(const QByteArray &bytes);

    qint64 MemoryLimit() const { return m_limit; }
    bool IsReadOnly() const { return m_readOnly; }
    bool InTemporaryFile() const;
    QString TemporaryFileName() const;
    QString FileName() const; // the saved file read, or the temporary file

    qint64 Size() const;
    qint64 Pos() const;
    void Seek(qint64 pos);
    void SeekEnd();

    // Writes at the current position (ERepError on a read-only stream or a
    // failing disk).
    void Write(const char *data, qint64 size);
    void Write(const QByteArray &data) { Write(data.constData(), data.size()); }
    void WriteI32(qint32 value);
    void WriteI32At(qint64 pos, qint32 value); // keeps the current position

    // Cuts the stream back to `size` bytes (undoing a write that failed
    // half-way); the position moves to the new end when it was beyond it.
    void Truncate(qint64 size);

    // Reads exactly `size` bytes from the current position; ERepError when
    // the stream ends first.
    QByteArray Read(qint64 size);
    qint32 ReadI32();
    // Reads up to `size` bytes at `pos` without raising, for probing.
    QByteArray Peek(qint64 pos, qint64 size) const;

    // Copies the whole stream to a new file in blocks of SaveBlockSize
    // bytes; the file appears only when complete (ERepError on failure).
    void SaveToFile(const QString &fileName) const;

    QRecursiveMutex &Lock() const { return m_lock; }

private:
    void Spill();
    void CheckWritable() const;

    mutable QRecursiveMutex m_lock;
    qint64 m_limit;
    bool m_readOnly = false;
    QByteArray m_memory;
    qint64 m_pos = 0;
    std::unique_ptr<QTemporaryFile> m_temp;
    std::unique_ptr<QFile> m_file; // a saved file opened for reading
};
