#include "report/page/trepemfplayer.h"

#include "report/model/ereperror.h"
#include "report/page/trepemf_p.h"
#include "report/page/trepmetafile.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace RepEmf;

namespace {

constexpr qint64 MaxPagePixels = 1 << 20;

[[noreturn]] void Damaged(const char *what)
{
    throw ERepError(QStringLiteral("Damaged page record: %1").arg(QLatin1String(what)));
}

// Minimum size of each record type the engine understands.
quint32 MinimumSize(quint32 type)
{
    switch (type) {
    case EMR_SETBKMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT: return EmrOneValue::Size;
    case EMR_MOVETOEX:
    case EMR_LINETO: return EmrPoint::Size;
    case EMR_EOF: return EmrEof::Size;
    case EMR_CREATEPEN: return EmrPen::Size;
    case EMR_CREATEBRUSHINDIRECT: return EmrBrush::Size;
    case EMR_RECTANGLE:
    case EMR_ELLIPSE: return EmrBox::Size;
    case EMR_ROUNDRECT: return EmrRoundRect::Size;
    case EMR_EXTCREATEFONTINDIRECTW: return EmrFont::Size;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: return EmrText::Fixed;
    default: return EmrRecord::Body;
    }
}

bool HandleOk(quint32 handle, quint32 handles)
{
    return handle >= 1 && handle < handles;
}

// The characters of a text record; the record is known to be sound.
QString TextOf(const char *rec, quint32 type)
{
    const quint32 chars = U32(rec + EmrText::Chars);
    const quint32 off = U32(rec + EmrText::StringOffset);
    if (type == EMR_EXTTEXTOUTA)
        return QString::fromLatin1(rec + off, qsizetype(chars));
    QString s(qsizetype(chars), Qt::Uninitialized);
    for (quint32 i = 0; i < chars; ++i)
        s[qsizetype(i)] = QChar(U16(rec + off + 2 * i));
    return s;
}

void CheckRecord(const char *rec, quint32 type, quint32 size, quint32 handles)
{
    if (size < MinimumSize(type))
        Damaged("record too short");
    switch (type) {
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT: {
        const quint32 h = U32(rec + EmrOneValue::Value);
        if (!(h & StockFlag) && !HandleOk(h, handles))
            Damaged("object handle out of range");
        break;
    }
    case EMR_CREATEPEN:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_EXTCREATEFONTINDIRECTW:
        // The handle is the first field of all three.
        static_assert(EmrPen::Handle == EmrBrush::Handle && EmrBrush::Handle == EmrFont::Handle);
        if (!HandleOk(U32(rec + EmrPen::Handle), handles))
            Damaged("object handle out of range");
        break;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: {
        const quint64 unit = type == EMR_EXTTEXTOUTW ? 2 : 1;
        const quint64 chars = U32(rec + EmrText::Chars);
        const quint64 off = U32(rec + EmrText::StringOffset);
        const quint64 offDx = U32(rec + EmrText::DxOffset);
        if (off < 8 || off > size || chars * unit > size - off)
            Damaged("text outside its record");
        if (offDx != 0 && (offDx > size || chars * 4 > size - offDx))
            Damaged("character spacing outside its record");
        break;
    }
    default: break;
    }
}

TRepPenStyle PenStyleOf(quint32 style)
{
    switch (style & 0x0F) {
    case PS_SOLID: return psSolid;
    case PS_DASH: return psDash;
    case PS_DOT: return psDot;
    case PS_DASHDOT: return psDashDot;
    case PS_DASHDOTDOT: return psDashDotDot;
    case PS_NULL: return psClear;
    case PS_INSIDEFRAME: return psInsideFrame;
    default: return psSolid;
    }
}

TRepBrushStyle BrushStyleOf(quint32 style, quint32 hatch)
{
    if (style == BS_NULL)
        return bsClear;
    if (style != BS_HATCHED)
        return bsSolid;
    switch (hatch) {
    case HS_HORIZONTAL: return bsHorizontal;
    case HS_VERTICAL: return bsVertical;
    case HS_FDIAGONAL: return bsFDiagonal;
    case HS_BDIAGONAL: return bsBDiagonal;
    case HS_CROSS: return bsCross;
    case HS_DIAGCROSS: return bsDiagCross;
    default: return bsSolid;
    }
}

TRepBrush MakeBrush(TRepBrushStyle style, const QColor &color)
{
    TRepBrush b;
    b.Style = style;
    b.Color = color;
    return b;
}

TRepPen MakePen(TRepPenStyle style, const QColor &color)
{
    TRepPen p;
    p.Style = style;
    p.Color = color;
    p.Width = 1;
    return p;
}

struct GdiObject
{
    enum Kind { None, Font, Pen, Brush } kind = None;
    TRepCanvasFont font;
    TRepPen pen;
    TRepBrush brush;
};

// Calls f(record, type, size) for each record after the header, up to and
// including the end-of-file record. The metafile has been checked.
template<class F>
void ForEachRecord(const TRepMetafile &m, F f)
{
    const QByteArray &b = m.Bytes();
    const char *d = b.constData();
    const quint32 n = quint32(b.size());
    quint32 off = U32(d + EmrRecord::Size);
    while (n - off >= EmrRecord::Body) {
        const quint32 type = U32(d + off + EmrRecord::Type);
        const quint32 size = U32(d + off + EmrRecord::Size);
        if (size < EmrRecord::Body || size > n - off)
            return;
        f(d + off, type, size);
        if (type == EMR_EOF)
            return;
        off += size;
    }
}

} // namespace

void TRepEmfPlayer::Parse(const QByteArray &bytes, TRepMetafile &out)
{
    const char *d = bytes.constData();
    const qint64 n = bytes.size();
    if (n < EmfHeader::MinSize)
        Damaged("too short for a header");
    if (U32(d + EmrRecord::Type) != EMR_HEADER || U32(d + EmfHeader::Signature) != Signature)
        throw ERepError("The page record is not an enhanced metafile");
    const quint32 headerSize = U32(d + EmrRecord::Size);
    if (headerSize < EmfHeader::MinSize || headerSize % 4 != 0 || headerSize > n)
        Damaged("bad header size");
    const quint32 total = U32(d + EmfHeader::Bytes);
    if (total < headerSize || total % 4 != 0 || total > n)
        Damaged("bad length");
    const quint32 records = U32(d + EmfHeader::Records);
    if (records < 2 || records > total / 8)
        Damaged("bad record count");
    const quint16 handles = U16(d + EmfHeader::Handles);
    if (handles < 1)
        Damaged("bad handle count");

    const qint64 fl = I32(d + EmfHeader::FrameLeft), ft = I32(d + EmfHeader::FrameTop);
    const qint64 fr = I32(d + EmfHeader::FrameRight), fb = I32(d + EmfHeader::FrameBottom);
    const qint64 width = std::llround(double(fr - fl) * 96.0 / 2540.0);
    const qint64 height = std::llround(double(fb - ft) * 96.0 / 2540.0);
    if (width < 1 || height < 1 || width > MaxPagePixels || height > MaxPagePixels)
        Damaged("bad page frame");

    quint32 off = headerSize;
    quint32 count = 1;
    bool eof = false;
    while (off < total) {
        if (total - off < EmrRecord::Body)
            Damaged("record cut short");
        const quint32 type = U32(d + off + EmrRecord::Type);
        const quint32 size = U32(d + off + EmrRecord::Size);
        if (size < EmrRecord::Body || size % 4 != 0 || size > total - off)
            Damaged("bad record size");
        if (++count > records)
            Damaged("more records than counted");
        CheckRecord(d + off, type, size, handles);
        off += size;
        if (type == EMR_EOF) {
            eof = true;
            break;
        }
    }
    if (!eof)
        Damaged("no end-of-file record");
    if (count != records)
        Damaged("fewer records than counted");

    out.m_bytes = total == quint32(n) ? bytes : bytes.left(total);
    out.m_width = int(width);
    out.m_height = int(height);
    out.m_frame = QRect(QPoint(int(fl), int(ft)), QPoint(int(fr), int(fb)));
    out.m_bounds = QRect(QPoint(I32(d + EmfHeader::BoundsLeft), I32(d + EmfHeader::BoundsTop)),
                         QPoint(I32(d + EmfHeader::BoundsRight), I32(d + EmfHeader::BoundsBottom)));
    out.m_records = records;
    out.m_handles = handles;
}

TRepEmfPlayer::TRepEmfPlayer(const TRepMetafile &metafile)
    : m_metafile(metafile)
{
}

// What the records played so far have set.
struct TRepEmfPlayer::State
{
    explicit State(TRepCanvas &c, quint32 handles) : canvas(c), objects(handles) {}
    TRepCanvas &canvas;
    std::vector<GdiObject> objects;
    const TRepCanvasFont defaultFont;
    TRepCanvasFont font = defaultFont;
    QColor textColor = Qt::black;
    quint32 align = TA_TOP | TA_LEFT;
    QPoint current;
};

void TRepEmfPlayer::Play(TRepCanvas &canvas) const
{
    if (m_metafile.IsNull())
        return;
    State s(canvas, m_metafile.HandleCount());
    canvas.SetPen(TRepPen());
    canvas.SetBrush(TRepBrush());
    canvas.MoveTo(0, 0);

    ForEachRecord(m_metafile, [&](const char *r, quint32 type, quint32) {
        switch (type) {
        case EMR_SETTEXTCOLOR: SetTextColor(s, r); break;
        case EMR_SETTEXTALIGN: SetTextAlign(s, r); break;
        case EMR_MOVETOEX: MoveTo(s, r); break;
        case EMR_LINETO: LineTo(s, r); break;
        case EMR_CREATEPEN: CreatePen(s, r); break;
        case EMR_CREATEBRUSHINDIRECT: CreateBrush(s, r); break;
        case EMR_EXTCREATEFONTINDIRECTW: CreateFont(s, r); break;
        case EMR_SELECTOBJECT: SelectObject(s, r); break;
        case EMR_DELETEOBJECT: DeleteObject(s, r); break;
        case EMR_RECTANGLE: Rectangle(s, r); break;
        case EMR_ELLIPSE: Ellipse(s, r); break;
        case EMR_ROUNDRECT: RoundRect(s, r); break;
        case EMR_EXTTEXTOUTA:
        case EMR_EXTTEXTOUTW: TextOut(s, r, type); break;
        default: break;
        }
    });
}

void TRepEmfPlayer::SetTextColor(State &s, const char *r)
{
    s.textColor = FromColorRef(U32(r + EmrOneValue::Value));
}

void TRepEmfPlayer::SetTextAlign(State &s, const char *r)
{
    s.align = U32(r + EmrOneValue::Value);
}

void TRepEmfPlayer::MoveTo(State &s, const char *r)
{
    s.current = QPoint(I32(r + EmrPoint::X), I32(r + EmrPoint::Y));
    s.canvas.MoveTo(s.current.x(), s.current.y());
}

void TRepEmfPlayer::LineTo(State &s, const char *r)
{
    s.current = QPoint(I32(r + EmrPoint::X), I32(r + EmrPoint::Y));
    s.canvas.LineTo(s.current.x(), s.current.y());
}

void TRepEmfPlayer::CreatePen(State &s, const char *r)
{
    GdiObject &o = s.objects[U32(r + EmrPen::Handle)];
    o = GdiObject();
    o.kind = GdiObject::Pen;
    o.pen.Style = PenStyleOf(U32(r + EmrPen::Style));
    o.pen.Width = std::clamp<qint32>(I32(r + EmrPen::Width), 0, 1 << 16);
    o.pen.Color = FromColorRef(U32(r + EmrPen::Color));
}

void TRepEmfPlayer::CreateBrush(State &s, const char *r)
{
    GdiObject &o = s.objects[U32(r + EmrBrush::Handle)];
    o = GdiObject();
    o.kind = GdiObject::Brush;
    o.brush.Style = BrushStyleOf(U32(r + EmrBrush::Style), U32(r + EmrBrush::Hatch));
    o.brush.Color = FromColorRef(U32(r + EmrBrush::Color));
}

void TRepEmfPlayer::CreateFont(State &s, const char *r)
{
    GdiObject &o = s.objects[U32(r + EmrFont::Handle)];
    o = GdiObject();
    o.kind = GdiObject::Font;
    o.font.Height = I32(r + EmrFont::Height);
    o.font.Size = 10;
    o.font.Bold = I32(r + EmrFont::Weight) >= 600;
    o.font.Italic = r[EmrFont::Italic] != 0;
    o.font.Underline = r[EmrFont::Underline] != 0;
    o.font.StrikeOut = r[EmrFont::StrikeOut] != 0;
    QString face;
    for (int i = 0; i < EmrFont::FaceChars; ++i) {
        const quint16 c = U16(r + EmrFont::FaceName + 2 * i);
        if (c == 0)
            break;
        face.append(QChar(c));
    }
    o.font.Name = face.isEmpty() ? s.defaultFont.Name : face;
}

void TRepEmfPlayer::SelectObject(State &s, const char *r)
{
    const quint32 h = U32(r + EmrOneValue::Value);
    if (h & StockFlag) {
        SelectStockObject(s, h);
        return;
    }
    const GdiObject &o = s.objects[h];
    if (o.kind == GdiObject::Pen)
        s.canvas.SetPen(o.pen);
    else if (o.kind == GdiObject::Brush)
        s.canvas.SetBrush(o.brush);
    else if (o.kind == GdiObject::Font)
        s.font = o.font;
}

void TRepEmfPlayer::SelectStockObject(State &s, quint32 h)
{
    TRepCanvas &canvas = s.canvas;
    switch (h) {
    case WHITE_BRUSH: canvas.SetBrush(MakeBrush(bsSolid, Qt::white)); break;
    case LTGRAY_BRUSH: canvas.SetBrush(MakeBrush(bsSolid, QColor(192, 192, 192))); break;
    case GRAY_BRUSH: canvas.SetBrush(MakeBrush(bsSolid, QColor(128, 128, 128))); break;
    case DKGRAY_BRUSH: canvas.SetBrush(MakeBrush(bsSolid, QColor(64, 64, 64))); break;
    case BLACK_BRUSH: canvas.SetBrush(MakeBrush(bsSolid, Qt::black)); break;
    case NULL_BRUSH: canvas.SetBrush(MakeBrush(bsClear, Qt::white)); break;
    case WHITE_PEN: canvas.SetPen(MakePen(psSolid, Qt::white)); break;
    case BLACK_PEN: canvas.SetPen(MakePen(psSolid, Qt::black)); break;
    case NULL_PEN: canvas.SetPen(MakePen(psClear, Qt::black)); break;
    default:
        if (h >= 0x8000000Au && h <= 0x80000011u) // stock fonts
            s.font = s.defaultFont;
        break;
    }
}

void TRepEmfPlayer::DeleteObject(State &s, const char *r)
{
    const quint32 h = U32(r + EmrOneValue::Value);
    if (!(h & StockFlag))
        s.objects[h] = GdiObject();
}

void TRepEmfPlayer::Rectangle(State &s, const char *r)
{
    s.canvas.Rectangle(I32(r + EmrBox::Left), I32(r + EmrBox::Top), I32(r + EmrBox::Right), I32(r + EmrBox::Bottom));
}

void TRepEmfPlayer::Ellipse(State &s, const char *r)
{
    s.canvas.Ellipse(I32(r + EmrBox::Left), I32(r + EmrBox::Top), I32(r + EmrBox::Right), I32(r + EmrBox::Bottom));
}

void TRepEmfPlayer::RoundRect(State &s, const char *r)
{
    s.canvas.RoundRect(I32(r + EmrRoundRect::Left), I32(r + EmrRoundRect::Top), I32(r + EmrRoundRect::Right),
                       I32(r + EmrRoundRect::Bottom), I32(r + EmrRoundRect::CornerWidth),
                       I32(r + EmrRoundRect::CornerHeight));
}

void TRepEmfPlayer::TextOut(State &s, const char *r, quint32 type)
{
    const QString text = TextOf(r, type);
    if (text.isEmpty())
        return;
    TRepCanvas &canvas = s.canvas;
    TRepCanvasFont f = s.font;
    f.Color = s.textColor;
    canvas.SetFont(f);
    QPoint ref(I32(r + EmrText::ReferenceX), I32(r + EmrText::ReferenceY));
    if (s.align & TA_UPDATECP)
        ref = s.current;
    TRepAlignment h = taLeftJustify;
    if ((s.align & TA_CENTER) == TA_CENTER)
        h = taCenter;
    else if (s.align & TA_RIGHT)
        h = taRightJustify;
    qint64 top = ref.y();
    if ((s.align & TA_BASELINE) == TA_BASELINE)
        top -= std::llround(canvas.FontAscent());
    else if (s.align & TA_BOTTOM)
        top -= std::llround(canvas.FontAscent() + canvas.FontDescent());
    canvas.TextOut(ref.x(), int(std::clamp<qint64>(top, INT_MIN, INT_MAX)), text, h);
    if (s.align & TA_UPDATECP) {
        // The current position moves past the text, as the record's writer expects.
        const double w = canvas.TextWidthF(text);
        qint64 x = s.current.x();
        if (h == taLeftJustify)
            x += std::llround(w);
        else if (h == taRightJustify)
            x -= std::llround(w);
        s.current.setX(int(std::clamp<qint64>(x, INT_MIN, INT_MAX)));
        canvas.MoveTo(s.current.x(), s.current.y());
    }
}

QStringList TRepEmfPlayer::TextRecords() const
{
    QStringList texts;
    if (m_metafile.IsNull())
        return texts;
    ForEachRecord(m_metafile, [&](const char *r, quint32 type, quint32) {
        if (type == EMR_EXTTEXTOUTW || type == EMR_EXTTEXTOUTA)
            texts.append(TextOf(r, type));
    });
    return texts;
}
