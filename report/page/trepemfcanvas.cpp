#include "trepemfcanvas.h"

#include "ereperror.h"
#include "trepemf_p.h"
#include "trepmetafile.h"

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
    m_data.append(HeaderSize, '\0');
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

void TRepEmfCanvas::BeginRecord(quint32 type, quint32 size)
{
    Writer w(m_data);
    w.U32(type);
    w.U32(size);
    ++m_records;
}

void TRepEmfCanvas::Record12(quint32 type, quint32 value)
{
    BeginRecord(type, 12);
    Writer(m_data).U32(value);
}

void TRepEmfCanvas::RecordBox(quint32 type, int left, int top, int right, int bottom)
{
    BeginRecord(type, 24);
    Writer w(m_data);
    w.I32(left);
    w.I32(top);
    w.I32(right);
    w.I32(bottom);
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
    BeginRecord(EMR_EXTCREATEFONTINDIRECTW, 8 + 4 + 92);
    Writer w(m_data);
    w.U32(h);
    w.I32(FontHeightFor(f)); // lfHeight
    w.I32(0);                // lfWidth
    w.I32(0);                // lfEscapement
    w.I32(0);                // lfOrientation
    w.I32(f.Bold ? 700 : 400);
    w.U8(f.Italic ? 1 : 0);
    w.U8(f.Underline ? 1 : 0);
    w.U8(f.StrikeOut ? 1 : 0);
    w.U8(1); // DEFAULT_CHARSET
    w.U8(0); // OUT_DEFAULT_PRECIS
    w.U8(0); // CLIP_DEFAULT_PRECIS
    w.U8(0); // DEFAULT_QUALITY
    w.U8(0); // DEFAULT_PITCH | FF_DONTCARE
    QString face = f.Name.left(31);
    for (int i = 0; i < 32; ++i)
        w.U16(i < face.size() ? face.at(i).unicode() : 0);
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
    BeginRecord(EMR_CREATEPEN, 28);
    Writer w(m_data);
    w.U32(h);
    w.U32(PenStyleCode(p.Style));
    w.I32(std::max(0, p.Width));
    w.I32(0);
    w.U32(ColorRef(p.Color));
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
    BeginRecord(EMR_CREATEBRUSHINDIRECT, 24);
    Writer w(m_data);
    w.U32(h);
    w.U32(style);
    w.U32(ColorRef(b.Color));
    w.U32(hatch);
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
    BeginRecord(EMR_ROUNDRECT, 32);
    Writer w(m_data);
    w.I32(left);
    w.I32(top);
    w.I32(right);
    w.I32(bottom);
    w.I32(cornerWidth);
    w.I32(cornerHeight);
    AddBounds(left, top, right - 1, bottom - 1);
}

void TRepEmfCanvas::MoveTo(int x, int y)
{
    CheckOpen();
    BeginRecord(EMR_MOVETOEX, 16);
    Writer w(m_data);
    w.I32(x);
    w.I32(y);
    m_curX = x;
    m_curY = y;
}

void TRepEmfCanvas::LineTo(int x, int y)
{
    CheckOpen();
    EnsurePen();
    BeginRecord(EMR_LINETO, 16);
    Writer w(m_data);
    w.I32(x);
    w.I32(y);
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
    const quint32 offString = TextRecordFixed;
    const quint32 offDx = offString + strPadded;
    const quint32 size = offDx + quint32(n) * 4;
    BeginRecord(EMR_EXTTEXTOUTW, size);
    Writer w(m_data);
    w.I32(bl); // Bounds
    w.I32(bt);
    w.I32(br - 1);
    w.I32(bb - 1);
    w.U32(1);                     // GM_COMPATIBLE
    w.F32(float(2540.0 / 96.0));  // exScale: 0.01 mm per pixel
    w.F32(float(2540.0 / 96.0));  // eyScale
    w.I32(x);                     // Reference
    w.I32(y);
    w.U32(quint32(n));            // Chars
    w.U32(offString);
    w.U32(0);                     // Options
    w.I32(0);                     // Rectangle (unused without clipping)
    w.I32(0);
    w.I32(-1);
    w.I32(-1);
    w.U32(offDx);
    for (int i = 0; i < n; ++i)
        w.U16(text.at(i).unicode());
    w.Zero(int(strPadded - strBytes));
    for (qint32 d : dx)
        w.I32(d);
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
    BeginRecord(EMR_EOF, 20);
    Writer w(m_data);
    w.U32(0);  // nPalEntries
    w.U32(16); // offPalEntries
    w.U32(20); // SizeLast

    QByteArray header;
    header.reserve(HeaderSize);
    Writer h(header);
    h.U32(EMR_HEADER);
    h.U32(HeaderSize);
    if (m_bounds.isNull()) {
        h.I32(0);
        h.I32(0);
        h.I32(-1);
        h.I32(-1);
    } else {
        h.I32(m_bounds.left());
        h.I32(m_bounds.top());
        h.I32(m_bounds.right());
        h.I32(m_bounds.bottom());
    }
    h.I32(0); // Frame in 0.01 mm: the whole page
    h.I32(0);
    h.I32(qint32(std::lround(m_width * 2540.0 / 96.0)));
    h.I32(qint32(std::lround(m_height * 2540.0 / 96.0)));
    h.U32(Signature);
    h.U32(Version);
    h.U32(quint32(m_data.size()));
    h.U32(m_records);
    h.U16(quint16(m_maxHandle + 1));
    h.U16(0);
    h.U32(0); // nDescription
    h.U32(0); // offDescription
    h.U32(0); // nPalEntries
    h.I32(RefDevicePixelsX);
    h.I32(RefDevicePixelsY);
    h.I32(RefDeviceMmX);
    h.I32(RefDeviceMmY);
    h.U32(0); // cbPixelFormat
    h.U32(0); // offPixelFormat
    h.U32(0); // bOpenGL
    h.U32(RefDeviceMmX * 1000);
    h.U32(RefDeviceMmY * 1000);
    Q_ASSERT(header.size() == HeaderSize);
    m_data.replace(0, HeaderSize, header);
    m_finished = true;
    return m_data;
}

TRepMetafile TRepEmfCanvas::FinishMetafile()
{
    return TRepMetafile::FromBytes(Finish());
}
