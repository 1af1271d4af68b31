#pragma once

// Record types, constants and little-endian helpers of the enhanced
// metafile format shared by the recording canvas and the player; the field
// offsets are in trepemfrecords.h.

#include "report/page/trepemfrecords.h"

#include <QByteArray>
#include <QColor>
#include <QtEndian>
#include <cstdint>
#include <cstring>

namespace RepEmf {

enum RecordType : quint32 {
    EMR_HEADER = 1,
    EMR_EOF = 14,
    EMR_SETBKMODE = 18,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_MOVETOEX = 27,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_LINETO = 54,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
};

constexpr quint32 Signature = 0x464D4520; // " EMF"
constexpr quint32 Version = 0x00010000;

// Stock objects.
constexpr quint32 StockFlag = 0x80000000u;
constexpr quint32 WHITE_BRUSH = 0x80000000u;
constexpr quint32 LTGRAY_BRUSH = 0x80000001u;
constexpr quint32 GRAY_BRUSH = 0x80000002u;
constexpr quint32 DKGRAY_BRUSH = 0x80000003u;
constexpr quint32 BLACK_BRUSH = 0x80000004u;
constexpr quint32 NULL_BRUSH = 0x80000005u;
constexpr quint32 WHITE_PEN = 0x80000006u;
constexpr quint32 BLACK_PEN = 0x80000007u;
constexpr quint32 NULL_PEN = 0x80000008u;
constexpr quint32 DEFAULT_GUI_FONT = 0x80000011u;

// Pen styles (low byte), brush styles, hatches.
enum : quint32 {
    PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6,
};
enum : quint32 { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };
enum : quint32 { HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5 };

// Text alignment and background mode.
enum : quint32 { TA_LEFT = 0, TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24 };
enum : quint32 { TRANSPARENT = 1, OPAQUE = 2 };

// The reference device a recorded page is measured on: a 96-dpi screen whose
// size in millimetres is exact at that resolution.
constexpr int RefDevicePixelsX = 1920;
constexpr int RefDevicePixelsY = 1440;
constexpr int RefDeviceMmX = 508;
constexpr int RefDeviceMmY = 381;

inline quint32 U32(const char *p) { return qFromLittleEndian<quint32>(p); }
inline qint32 I32(const char *p) { return qFromLittleEndian<qint32>(p); }
inline quint16 U16(const char *p) { return qFromLittleEndian<quint16>(p); }
inline float F32(const char *p)
{
    const quint32 v = U32(p);
    float f;
    std::memcpy(&f, &v, sizeof f);
    return f;
}

// One record being written at the end of `out`: `size` zero bytes with its
// type and size in place, whose fields are put at their offsets
// (trepemfrecords.h).
class RecordBytes
{
public:
    RecordBytes(QByteArray &out, quint32 type, quint32 size) : m_out(out), m_start(out.size())
    {
        out.append(qsizetype(size), '\0');
        U32(EmrRecord::Type, type);
        U32(EmrRecord::Size, size);
    }
    void U32(int offset, quint32 v) { qToLittleEndian<quint32>(v, At(offset, 4)); }
    void I32(int offset, qint32 v) { U32(offset, quint32(v)); }
    void U16(int offset, quint16 v) { qToLittleEndian<quint16>(v, At(offset, 2)); }
    void U8(int offset, quint8 v) { *At(offset, 1) = char(v); }
    void F32(int offset, float f)
    {
        quint32 v;
        std::memcpy(&v, &f, sizeof v);
        U32(offset, v);
    }

private:
    char *At(int offset, int width)
    {
        Q_ASSERT(offset >= 0 && m_start + offset + width <= m_out.size());
        Q_UNUSED(width);
        return m_out.data() + m_start + offset;
    }

    QByteArray &m_out;
    qsizetype m_start;
};

inline quint32 ColorRef(const QColor &c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}
inline QColor FromColorRef(quint32 v)
{
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace RepEmf
