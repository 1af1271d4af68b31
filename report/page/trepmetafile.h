#pragma once

#include <QByteArray>
#include <QRect>
#include <QStringList>

class QPainter;
class TRepCanvas;

// One recorded page: the bytes of an enhanced metafile, checked when it is
// made from bytes, with the facts of its header. Cheap to copy (the bytes
// are shared). A null metafile stands for "no page".
class TRepMetafile
{
public:
    TRepMetafile() = default;

    // Checks the header and every record's size, count and object handle;
    // raises ERepError with a clear message when the bytes are no usable
    // page record. Bytes after the metafile's own length are ignored.
    static TRepMetafile FromBytes(const QByteArray &bytes);

    bool IsNull() const { return m_bytes.isEmpty(); }
    const QByteArray &Bytes() const { return m_bytes; }
    int Size() const { return int(m_bytes.size()); }

    // Page size in pixels at 96 pixels per inch, from the frame.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The frame in 0.01 mm and the drawn bounds in pixels, as recorded.
    QRect Frame() const { return m_frame; }
    QRect Bounds() const { return m_bounds; }
    quint32 RecordCount() const { return m_records; }
    quint16 HandleCount() const { return m_handles; }

    // Replays the records onto a canvas in the page's own pixels.
    void Play(TRepCanvas &canvas) const;
    // Stretches the page over `target` (in the painter's coordinates).
    void Draw(QPainter &painter, const QRectF &target) const;
    // The characters of every text record, in drawing order.
    QStringList TextRecords() const;

    bool operator==(const TRepMetafile &other) const { return m_bytes == other.m_bytes; }

private:
    friend class TRepEmfPlayer;
    QByteArray m_bytes;
    int m_width = 0;
    int m_height = 0;
    QRect m_frame;
    QRect m_bounds;
    quint32 m_records = 0;
    quint16 m_handles = 0;
};
