#include "report/page/trepemfcanvas.h"

#include "report/model/ereperror.h"
#include "report/page/trepemf_p.h"
#include "report/page/trepmetafile.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

using namespace RepEmf;

namespace {

quint32 PenStyleCode(TRepPenStyle style)
{
    switch (style) {
    case psSolid: return PS_SOLID;
    case psDash: return PS_DASH;
    case psDot: return PS_DOT;
    case psDashDot: return PS_DASHDOT;
    case psDashDotDot: return PS_DASHDOTDOT;
    case psClear: return PS_NULL;
    case psInsideFrame: return PS_INSIDEFRAME;
    }
    return PS_SOLID;
}

// Page sizes beyond this are no paper.
constexpr int MaxPagePixels = 1 << 20;

} // namespace

TRepEmfCanvas::TRepEmfCanvas(int width, int height)
    : m_width(std::clamp(width, 1, MaxPagePixels))
    , m_height(std::clamp(height, 1, MaxPagePixels))
{
    m_handles.push_back(true);
    m_data.reserve(4096);
    // Header first; its totals are filled in by Finish().
    m_data.append(EmfHeader::Size, '\0');
    m_records = 1;
    Record12(EMR_SETBKMODE, TRANSPARENT);
}

void TRepEmfCanvas::CheckOpen() const
{
    if (m_finished)
        throw ERepError("Page record already finished");
}

void TRepEmfCanvas::FontChanged()
{
    if (m_font.state == SelState::Current)
        m_font.state = SelState::Stale;
}

void TRepEmfCanvas::PenChanged()
{
    if (m_pen.state == SelState::Current)
        m_pen.state = SelState::Stale;
}

void TRepEmfCanvas::BrushChanged()
{
    if (m_brush.state == SelState::Current)
        m_brush.state = SelState::Stale;
}

RecordBytes TRepEmfCanvas::NewRecord(quint32 type, quint32 size)
{
    ++m_records;
    return RecordBytes(m_data, type, size);
}

void TRepEmfCanvas::Record12(quint32 type, quint32 value)
{
    RecordBytes r = NewRecord(type, EmrOneValue::Size);
    r.U32(EmrOneValue::Value, value);
}

void TRepEmfCanvas::RecordBox(quint32 type, int left, int top, int right, int bottom)
{
    RecordBytes r = NewRecord(type, EmrBox::Size);
    r.I32(EmrBox::Left, left);
    r.I32(EmrBox::Top, top);
    r.I32(EmrBox::Right, right);
    r.I32(EmrBox::Bottom, bottom);
}

quint32 TRepEmfCanvas::AllocHandle()
{
    for (quint32 i = 1; i < m_handles.size(); ++i) {
        if (!m_handles[i]) {
            m_handles[i] = true;
            return i;
        }
    }
    m_handles.push_back(true);
    const quint32 h = quint32(m_handles.size() - 1);
    m_maxHandle = std::max(m_maxHandle, h);
    return h;
}

void TRepEmfCanvas::FreeHandle(quint32 handle)
{
    if (handle > 0 && handle < m_handles.size())
        m_handles[handle] = false;
}

void TRepEmfCanvas::SelectNew(Selected &sel, quint32 handle)
{
    Record12(EMR_SELECTOBJECT, handle);
    if (sel.handle) {
        Record12(EMR_DELETEOBJECT, sel.handle);
        FreeHandle(sel.handle);
    }
    sel.handle = handle;
}

void TRepEmfCanvas::SelectStock(Selected &sel, quint32 stock)
{
    Record12(EMR_SELECTOBJECT, stock);
    if (sel.handle) {
        Record12(EMR_DELETEOBJECT, sel.handle);
        FreeHandle(sel.handle);
    }
    sel.handle = 0;
}

void TRepEmfCanvas::EnsureFont()
{
    if (m_font.state == SelState::Current)
        return;
    const TRepCanvasFont &f = Font();
    const quint32 h = AllocHandle();
    RecordBytes r = NewRecord(EMR_EXTCREATEFONTINDIRECTW, EmrFont::Size);
    r.U32(EmrFont::Handle, h);
    r.I32(EmrFont::Height, FontHeightFor(f));
    // Width, escapement and orientation 0.
    r.I32(EmrFont::Weight, f.Bold ? 700 : 400);
    r.U8(EmrFont::Italic, f.Italic ? 1 : 0);
    r.U8(EmrFont::Underline, f.Underline ? 1 : 0);
    r.U8(EmrFont::StrikeOut, f.StrikeOut ? 1 : 0);
    r.U8(EmrFont::CharSet, 1); // DEFAULT_CHARSET
    // Default precisions, quality, pitch and family: 0.
    const QString face = f.Name.left(EmrFont::FaceChars - 1);
    for (int i = 0; i < face.size(); ++i)
        r.U16(EmrFont::FaceName + 2 * i, face.at(i).unicode());
    SelectNew(m_font, h);
    m_font.state = SelState::Current;
}

void TRepEmfCanvas::EnsurePen()
{
    if (m_pen.state == SelState::Current)
        return;
    const TRepPen &p = Pen();
    if (p.Style == psClear) {
        if (m_pen.state != SelState::Null)
            SelectStock(m_pen, NULL_PEN);
        m_pen.state = SelState::Current;
        return;
    }
    const quint32 h = AllocHandle();
    RecordBytes r = NewRecord(EMR_CREATEPEN, EmrPen::Size);
    r.U32(EmrPen::Handle, h);
    r.U32(EmrPen::Style, PenStyleCode(p.Style));
    r.I32(EmrPen::Width, std::max(0, p.Width));
    r.U32(EmrPen::Color, ColorRef(p.Color));
    SelectNew(m_pen, h);
    m_pen.state = SelState::Current;
}

void TRepEmfCanvas::EnsureNullPen()
{
    if (m_pen.state == SelState::Null)
        return;
    if (m_pen.state == SelState::Current && Pen().Style == psClear)
        return;
    SelectStock(m_pen, NULL_PEN);
    m_pen.state = SelState::Null;
}

void TRepEmfCanvas::EnsureBrush()
{
    if (m_brush.state == SelState::Current)
        return;
    const TRepBrush &b = Brush();
    if (b.Style == bsClear) {
        SelectStock(m_brush, NULL_BRUSH);
        m_brush.state = SelState::Current;
        return;
    }
    quint32 style = BS_SOLID;
    quint32 hatch = 0;
    switch (b.Style) {
    case bsSolid:
    case bsClear: break;
    case bsHorizontal: style = BS_HATCHED; hatch = HS_HORIZONTAL; break;
    case bsVertical: style = BS_HATCHED; hatch = HS_VERTICAL; break;
    case bsFDiagonal: style = BS_HATCHED; hatch = HS_FDIAGONAL; break;
    case bsBDiagonal: style = BS_HATCHED; hatch = HS_BDIAGONAL; break;
    case bsCross: style = BS_HATCHED; hatch = HS_CROSS; break;
    case bsDiagCross: style = BS_HATCHED; hatch = HS_DIAGCROSS; break;
    }
    const quint32 h = AllocHandle();
    RecordBytes r = NewRecord(EMR_CREATEBRUSHINDIRECT, EmrBrush::Size);
    r.U32(EmrBrush::Handle, h);
    r.U32(EmrBrush::Style, style);
    r.U32(EmrBrush::Color, ColorRef(b.Color));
    r.U32(EmrBrush::Hatch, hatch);
    SelectNew(m_brush, h);
    m_brush.state = SelState::Current;
}

void TRepEmfCanvas::EnsureTextState(TRepAlignment align)
{
    const quint32 color = ColorRef(Font().Color);
    if (color != m_textColor) {
        Record12(EMR_SETTEXTCOLOR, color);
        m_textColor = color;
    }
    quint32 ta = TA_TOP | TA_LEFT;
    if (align == taRightJustify)
        ta = TA_TOP | TA_RIGHT;
    else if (align == taCenter)
        ta = TA_TOP | TA_CENTER;
    if (ta != m_textAlign) {
        Record12(EMR_SETTEXTALIGN, ta);
        m_textAlign = ta;
    }
}

void TRepEmfCanvas::AddBounds(int left, int top, int right, int bottom)
{
    // Inclusive device-unit rectangle, clipped to the page.
    QRect r(QPoint(std::min(left, right), std::min(top, bottom)), QPoint(std::max(left, right), std::max(top, bottom)));
    r = r.intersected(QRect(0, 0, m_width, m_height));
    if (r.isEmpty())
        return;
    m_bounds = m_bounds.isNull() ? r : m_bounds.united(r);
}

void TRepEmfCanvas::FillRect(int left, int top, int right, int bottom)
{
    CheckOpen();
    if (Brush().Style == bsClear)
        return;
    // A rectangle drawn without a pen covers one pixel less to the right
    // and bottom than its box, so the box grows by one.
    EnsureBrush();
    EnsureNullPen();
    RecordBox(EMR_RECTANGLE, left, top, right + 1, bottom + 1);
    AddBounds(left, top, right - 1, bottom - 1);
}

void TRepEmfCanvas::Rectangle(int left, int top, int right, int bottom)
{
    CheckOpen();
    EnsureBrush();
    EnsurePen();
    RecordBox(EMR_RECTANGLE, left, top, right, bottom);
    AddBounds(left, top, right - 1, bottom - 1);
}

void TRepEmfCanvas::Ellipse(int left, int top, int right, int bottom)
{
    CheckOpen();
    EnsureBrush();
    EnsurePen();
    RecordBox(EMR_ELLIPSE, left, top, right, bottom);
    AddBounds(left, top, right - 1, bottom - 1);
}

void TRepEmfCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    CheckOpen();
    EnsureBrush();
    EnsurePen();
    RecordBytes r = NewRecord(EMR_ROUNDRECT, EmrRoundRect::Size);
    r.I32(EmrRoundRect::Left, left);
    r.I32(EmrRoundRect::Top, top);
    r.I32(EmrRoundRect::Right, right);
    r.I32(EmrRoundRect::Bottom, bottom);
    r.I32(EmrRoundRect::CornerWidth, cornerWidth);
    r.I32(EmrRoundRect::CornerHeight, cornerHeight);
    AddBounds(left, top, right - 1, bottom - 1);
}

void TRepEmfCanvas::MoveTo(int x, int y)
{
    CheckOpen();
    RecordBytes r = NewRecord(EMR_MOVETOEX, EmrPoint::Size);
    r.I32(EmrPoint::X, x);
    r.I32(EmrPoint::Y, y);
    m_curX = x;
    m_curY = y;
}

void TRepEmfCanvas::LineTo(int x, int y)
{
    CheckOpen();
    EnsurePen();
    RecordBytes r = NewRecord(EMR_LINETO, EmrPoint::Size);
    r.I32(EmrPoint::X, x);
    r.I32(EmrPoint::Y, y);
    if (Pen().Style != psClear) {
        const int half = std::max(1, Pen().Width) / 2;
        AddBounds(std::min(m_curX, x) - half, std::min(m_curY, y) - half, std::max(m_curX, x) + half, std::max(m_curY, y) + half);
    }
    m_curX = x;
    m_curY = y;
}

void TRepEmfCanvas::TextOut(int x, int y, const QString &text, TRepAlignment align)
{
    CheckOpen();
    if (text.isEmpty())
        return;
    EnsureFont();
    EnsureTextState(align);

    // Advances of each UTF-16 unit, rounded so that their sum stays on the
    // measured width; other programs place the characters with them.
    const QFontMetricsF &fm = CurrentMetrics();
    const int n = int(text.size());
    std::vector<qint32> dx(size_t(n), 0);
    double acc = 0;
    qint32 placed = 0;
    for (int i = 0; i < n; ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < n) {
            acc += fm.horizontalAdvance(text.mid(i, 2));
            const qint32 pos = qint32(std::lround(acc));
            dx[size_t(i)] = pos - placed;
            placed = pos;
            ++i; // the low surrogate advances nothing
            continue;
        }
        acc += fm.horizontalAdvance(text.at(i));
        const qint32 pos = qint32(std::lround(acc));
        dx[size_t(i)] = pos - placed;
        placed = pos;
    }
    const double width = TextWidthF(text);
    const double left = TextLeft(x, text, align);
    const int bl = int(std::floor(left));
    const int bt = y;
    const int br = int(std::ceil(left + width));
    const int bb = y + int(std::ceil(fm.ascent() + fm.descent()));

    const quint32 strBytes = quint32(n) * 2;
    const quint32 strPadded = (strBytes + 3) & ~3u;
    const quint32 offString = EmrText::Fixed;
    const quint32 offDx = offString + strPadded;
    const quint32 size = offDx + quint32(n) * 4;
    RecordBytes r = NewRecord(EMR_EXTTEXTOUTW, size);
    r.I32(EmrText::BoundsLeft, bl);
    r.I32(EmrText::BoundsTop, bt);
    r.I32(EmrText::BoundsRight, br - 1);
    r.I32(EmrText::BoundsBottom, bb - 1);
    r.U32(EmrText::GraphicsMode, 1);                   // GM_COMPATIBLE
    r.F32(EmrText::XScale, float(2540.0 / 96.0));      // 0.01 mm per pixel
    r.F32(EmrText::YScale, float(2540.0 / 96.0));
    r.I32(EmrText::ReferenceX, x);
    r.I32(EmrText::ReferenceY, y);
    r.U32(EmrText::Chars, quint32(n));
    r.U32(EmrText::StringOffset, offString);
    // No options; the rectangle is unused without clipping.
    r.I32(EmrText::RectRight, -1);
    r.I32(EmrText::RectBottom, -1);
    r.U32(EmrText::DxOffset, offDx);
    for (int i = 0; i < n; ++i)
        r.U16(int(offString) + 2 * i, text.at(i).unicode());
    for (int i = 0; i < n; ++i)
        r.I32(int(offDx) + 4 * i, dx[size_t(i)]);
    AddBounds(bl, bt, br - 1, bb - 1);
}

QByteArray TRepEmfCanvas::Finish()
{
    if (m_finished)
        return m_data;
    // Leave the device context as it was found: stock objects selected,
    // ours deleted.
    if (m_font.handle) {
        Record12(EMR_SELECTOBJECT, DEFAULT_GUI_FONT);
        Record12(EMR_DELETEOBJECT, m_font.handle);
    }
    if (m_pen.handle) {
        Record12(EMR_SELECTOBJECT, BLACK_PEN);
        Record12(EMR_DELETEOBJECT, m_pen.handle);
    }
    if (m_brush.handle) {
        Record12(EMR_SELECTOBJECT, WHITE_BRUSH);
        Record12(EMR_DELETEOBJECT, m_brush.handle);
    }
    RecordBytes eof = NewRecord(EMR_EOF, EmrEof::Size);
    eof.U32(EmrEof::PalEntries, 0);
    eof.U32(EmrEof::PalOffset, EmrEof::SizeLast);
    eof.U32(EmrEof::SizeLast, EmrEof::Size);

    QByteArray header;
    RecordBytes h(header, EMR_HEADER, EmfHeader::Size);
    if (m_bounds.isNull()) {
        h.I32(EmfHeader::BoundsRight, -1);
        h.I32(EmfHeader::BoundsBottom, -1);
    } else {
        h.I32(EmfHeader::BoundsLeft, m_bounds.left());
        h.I32(EmfHeader::BoundsTop, m_bounds.top());
        h.I32(EmfHeader::BoundsRight, m_bounds.right());
        h.I32(EmfHeader::BoundsBottom, m_bounds.bottom());
    }
    // Frame in 0.01 mm: the whole page.
    h.I32(EmfHeader::FrameRight, qint32(std::lround(m_width * 2540.0 / 96.0)));
    h.I32(EmfHeader::FrameBottom, qint32(std::lround(m_height * 2540.0 / 96.0)));
    h.U32(EmfHeader::Signature, Signature);
    h.U32(EmfHeader::Version, Version);
    h.U32(EmfHeader::Bytes, quint32(m_data.size()));
    h.U32(EmfHeader::Records, m_records);
    h.U16(EmfHeader::Handles, quint16(m_maxHandle + 1));
    // No description, palette or pixel format.
    h.I32(EmfHeader::DevicePixelsX, RefDevicePixelsX);
    h.I32(EmfHeader::DevicePixelsY, RefDevicePixelsY);
    h.I32(EmfHeader::DeviceMmX, RefDeviceMmX);
    h.I32(EmfHeader::DeviceMmY, RefDeviceMmY);
    h.U32(EmfHeader::DeviceMicrometersX, RefDeviceMmX * 1000);
    h.U32(EmfHeader::DeviceMicrometersY, RefDeviceMmY * 1000);
    m_data.replace(0, EmfHeader::Size, header);
    m_finished = true;
    return m_data;
}

TRepMetafile TRepEmfCanvas::FinishMetafile()
{
    return TRepMetafile::FromBytes(Finish());
}
