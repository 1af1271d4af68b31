#include "report/export/treppdfwriter.h"

#include "report/export/trepascii85.h"
#include "report/export/trepglyphnames.h"
#include "report/export/treplzwencoder.h"
#include "report/export/trepwinansi.h"
#include "report/model/ereperror.h"
#include "report/model/trepfilecommit.h"

#include <QHash>
#include <QIODevice>
#include <QPainter>

#include <algorithm>

#include <cmath>

namespace {

// Control points of a quarter circle drawn as one cubic curve.
constexpr double Kappa = 0.55229;
const QByteArray Eol = QByteArrayLiteral("\r\n");

QByteArray Obj(int n)
{
    return QByteArray::number(n) + " 0 obj";
}

QByteArray Ref(int n)
{
    return QByteArray::number(n) + " 0 R";
}

} // namespace

// The document as it is written: the byte count is the offset of what
// comes next. Bytes go to the device in large pieces.
class TRepPdfWriter::Output
{
public:
    explicit Output(QIODevice &device) : m_device(device) {}
    qint64 Pos() const { return m_written + m_buffer.size(); }
    void Line(const QByteArray &text)
    {
        m_buffer.append(text);
        m_buffer.append(Eol);
        if (m_buffer.size() > (1 << 20))
            Flush();
    }
    void Raw(const QByteArray &bytes)
    {
        m_buffer.append(bytes);
        if (m_buffer.size() > (1 << 20))
            Flush();
    }
    // Starts object `object` here, noting its offset for the cross
    // reference table.
    void Begin(int object)
    {
        m_offsets[object] = Pos();
        Line(Obj(object));
    }
    qint64 Offset(int object) const { return m_offsets.value(object); }
    void Flush()
    {
        if (m_buffer.isEmpty())
            return;
        if (m_device.write(m_buffer) != m_buffer.size())
            throw ERepError(
                QStringLiteral("Não foi possível gravar o arquivo PDF: %1.").arg(TRepFileCommit::WriteFailure(m_device)));
        m_written += m_buffer.size();
        m_buffer.clear();
    }

private:
    QIODevice &m_device;
    QByteArray m_buffer;
    qint64 m_written = 0;
    QHash<int, qint64> m_offsets;
};

QString TRepPdfWriter::Font::Key() const
{
    QString style;
    if (Bold)
        style += QLatin1Char('B');
    if (Italic)
        style += QLatin1Char('I');
    return Name + QLatin1Char('\t') + style + QLatin1Char('\t') + QString::number(Charset) + QLatin1Char('\t')
        + QString::fromLatin1(PdfName());
}

QByteArray TRepPdfWriter::Font::PdfName() const
{
    // A PDF name: no blanks, and nothing outside the printable ASCII range
    // or among PDF's delimiters unescaped.
    QByteArray name;
    for (char c : TRepWinAnsi::Encode(Name)) {
        const uchar u = uchar(c);
        if (u == ' ')
            continue;
        if (u < 0x21 || u > 0x7E || QByteArrayView("#()<>[]{}/%").contains(c))
            name += '#' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            name += c;
    }
    if (name.isEmpty())
        name = "Font";
    if (Bold || Italic) {
        name += ',';
        if (Bold)
            name += "Bold";
        if (Italic)
            name += "Italic";
    }
    return name;
}

TRepPdfWriter::TRepPdfWriter()
    : MeasureFont(&TRepFontMetrics::Measure)
{
}

void TRepPdfWriter::Clear()
{
    m_pages.clear();
    m_fonts.clear();
    m_metrics.clear();
    m_pictures = false;
}

void TRepPdfWriter::BeginPage(double widthPoints, double heightPoints)
{
    Page p;
    p.Width = widthPoints;
    p.Height = heightPoints;
    m_pages.append(p);
}

TRepPdfWriter::Page &TRepPdfWriter::Current()
{
    if (m_pages.isEmpty())
        BeginPage(595.28, 841.89);
    return m_pages.last();
}

QByteArray TRepPdfWriter::ResourceName(int index)
{
    return "F" + QByteArray::number(index).rightJustified(2, '0');
}

QByteArray TRepPdfWriter::Num(double v)
{
    if (!std::isfinite(v))
        return "0";
    const double r = std::round(v * 100.0) / 100.0;
    QByteArray s = QByteArray::number(r == 0 ? 0.0 : r, 'f', 2);
    while (s.endsWith('0'))
        s.chop(1);
    if (s.endsWith('.'))
        s.chop(1);
    return s;
}

QByteArray TRepPdfWriter::PdfDate(const QDateTime &when)
{
    return "D:" + when.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
}

QByteArray TRepPdfWriter::StringOperand(const QString &text)
{
    QByteArray out("(");
    for (char c : TRepWinAnsi::Encode(text)) {
        const uchar u = uchar(c);
        if (c == '\\' || c == '(' || c == ')') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            out += '\\' + QByteArray::number(u, 8).rightJustified(3, '0');
        } else {
            out += c;
        }
    }
    out += ')';
    return out;
}

QByteArray TRepPdfWriter::WinAnsiEncoding()
{
    static const QByteArray encoding = [] {
        const TRepGlyphNames &names = TRepGlyphNames::Standard();
        QByteArray e(" <</Type/Encoding /Differences [ 2 ");
        for (int code = 2; code < 256; ++code)
            e += '/' + names.NameFor(TRepWinAnsi::ToUnicode(uchar(code)));
        e += "]>>";
        return e;
    }();
    return encoding;
}

QByteArray TRepPdfWriter::ColorOperands(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return Num(rgb.red() / 255.0) + ' ' + Num(rgb.green() / 255.0) + ' ' + Num(rgb.blue() / 255.0);
}

int TRepPdfWriter::FontIndex(const Font &font)
{
    const QString key = font.Key();
    for (int i = 0; i < m_fonts.size(); ++i)
        if (m_fonts.at(i).Key() == key)
            return i;
    // Measured before it joins the list: a font that fails is never written.
    m_metrics.append(MeasureFont(font.Name, font.Bold, font.Italic));
    m_fonts.append(font);
    return int(m_fonts.size()) - 1;
}

double TRepPdfWriter::NaturalWidth(int fontIndex, const QString &text, double size) const
{
    const TRepFontMetrics &m = m_metrics.at(fontIndex);
    qint64 units = 0;
    for (char c : TRepWinAnsi::Encode(text))
        units += m.Widths[uchar(c)];
    return units / 1000.0 * std::abs(size);
}

void TRepPdfWriter::AddText(const Font &font, double size, const QColor &color, const QString &text, double x,
                            double baseline, double width)
{
    if (text.isEmpty())
        return;
    const int index = FontIndex(font);
    Page &p = Current();
    QByteArray scale("100");
    if (width > 0) {
        const double natural = NaturalWidth(index, text, size);
        if (natural > 0)
            scale = Num(std::clamp(100.0 * width / natural, 1.0, 10000.0));
    }
    if (scale != (p.TextScale.isEmpty() ? QByteArray("100") : p.TextScale)) {
        p.Text += scale + " Tz" + Eol;
        p.TextScale = scale;
    }
    const QByteArray rg = ColorOperands(color) + " rg";
    if (rg != p.TextColor) {
        p.Text += rg + Eol;
        p.TextColor = rg;
    }
    const QByteArray tf = '/' + ResourceName(index) + ' ' + Num(std::abs(size)) + " Tf";
    if (tf != p.TextFont) {
        p.Text += tf + Eol;
        p.TextFont = tf;
    }
    p.Text += "1 0 0 1 " + Num(x) + ' ' + Num(p.Height - baseline) + " Tm " + StringOperand(text) + " Tj" + Eol;
}

void TRepPdfWriter::SetLineWidth(Page &p, double width)
{
    const QByteArray w = Num(width) + " w";
    if (w != p.LineWidth) {
        p.Graphics += w + Eol;
        p.LineWidth = w;
    }
}

void TRepPdfWriter::SetStrokeColor(Page &p, const QColor &c)
{
    const QByteArray rg = ColorOperands(c) + " RG";
    if (rg != p.StrokeColor) {
        p.Graphics += rg + Eol;
        p.StrokeColor = rg;
    }
}

void TRepPdfWriter::SetFillColor(Page &p, const QColor &c)
{
    const QByteArray rg = ColorOperands(c) + " rg";
    if (rg != p.FillColor) {
        p.Graphics += rg + Eol;
        p.FillColor = rg;
    }
}

void TRepPdfWriter::AddGraphic(const Graphic &g)
{
    Page &p = Current();
    // PDF space: X, Y the top left corner, H going down.
    const double X = g.X, Y = p.Height - g.Y, W = g.Width, H = g.Height;
    auto pt = [](double x, double y) { return Num(x) + ' ' + Num(y); };
    auto line = [&](double x1, double y1, double x2, double y2) {
        p.Graphics += pt(x1, y1) + " m " + pt(x2, y2) + " l S" + Eol;
    };
    // Closed outlines, filled and/or stroked.
    auto ellipsePath = [&](double cx, double cy, double rx, double ry) {
        const double kx = rx * Kappa, ky = ry * Kappa;
        QByteArray s = pt(cx, cy + ry) + " m" + Eol;
        s += pt(cx + kx, cy + ry) + ' ' + pt(cx + rx, cy + ky) + ' ' + pt(cx + rx, cy) + " c" + Eol;
        s += pt(cx + rx, cy - ky) + ' ' + pt(cx + kx, cy - ry) + ' ' + pt(cx, cy - ry) + " c" + Eol;
        s += pt(cx - kx, cy - ry) + ' ' + pt(cx - rx, cy - ky) + ' ' + pt(cx - rx, cy) + " c" + Eol;
        s += pt(cx - rx, cy + ky) + ' ' + pt(cx - kx, cy + ry) + ' ' + pt(cx, cy + ry) + " c" + Eol;
        return s;
    };
    auto roundRectPath = [&](double r) {
        const double L = X, R = X + W, T = Y, B = Y - H, k = r * Kappa;
        QByteArray s = pt(L + r, T) + " m" + Eol;
        s += pt(R - r, T) + " l" + Eol;
        s += pt(R - r + k, T) + ' ' + pt(R, T - r + k) + ' ' + pt(R, T - r) + " c" + Eol;
        s += pt(R, B + r) + " l" + Eol;
        s += pt(R, B + r - k) + ' ' + pt(R - r + k, B) + ' ' + pt(R - r, B) + " c" + Eol;
        s += pt(L + r, B) + " l" + Eol;
        s += pt(L + r - k, B) + ' ' + pt(L, B + r - k) + ' ' + pt(L, B + r) + " c" + Eol;
        s += pt(L, T - r) + " l" + Eol;
        s += pt(L, T - r + k) + ' ' + pt(L + r - k, T) + ' ' + pt(L + r, T) + " c" + Eol;
        return s;
    };
    auto closed = [&](const QByteArray &path) {
        if (g.Filled) {
            SetFillColor(p, g.FillColor);
            p.Graphics += path + "f" + Eol;
        }
        if (g.Stroked) {
            SetLineWidth(p, g.PenWidth);
            SetStrokeColor(p, g.PenColor);
            p.Graphics += path + "s" + Eol;
        }
    };
    auto stroke = [&] {
        SetLineWidth(p, g.PenWidth);
        SetStrokeColor(p, g.PenColor);
    };

    switch (g.Kind) {
    case TRepExportGraphic::Rectangle:
        closed(pt(X, Y - H) + ' ' + pt(W, H) + " re ");
        return;
    case TRepExportGraphic::Ellipse:
        closed(ellipsePath(X + W / 2, Y - H / 2, W / 2, H / 2));
        return;
    case TRepExportGraphic::RoundRect: {
        const double r = std::clamp(g.CornerRadius, 0.0, std::min(std::abs(W), std::abs(H)) / 2);
        closed(roundRectPath(r));
        return;
    }
    case TRepExportGraphic::HorLine:
    case TRepExportGraphic::Rule:
        if (!g.Stroked)
            return;
        stroke();
        line(X, Y - H / 2, X + W, Y - H / 2);
        return;
    case TRepExportGraphic::VertLine:
        if (!g.Stroked)
            return;
        stroke();
        line(X + W / 2, Y - H, X + W / 2, Y);
        return;
    case TRepExportGraphic::TopAndBottom:
        if (!g.Stroked)
            return;
        stroke();
        line(X, Y, X + W, Y);
        line(X, Y - H, X + W, Y - H);
        return;
    case TRepExportGraphic::RightAndLeft:
        if (!g.Stroked)
            return;
        stroke();
        line(X, Y - H, X, Y);
        line(X + W, Y - H, X + W, Y);
        return;
    }
    throw ERepError("Internal error: IT_INVALID");
}

void TRepPdfWriter::AddPicture(const QImage &image, double x, double y, double width, double height)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return;
    Page &p = Current();
    m_pictures = true;
    // Transparent pixels over white, as the picture shows on paper.
    QImage rgb(image.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    {
        QPainter painter(&rgb);
        painter.drawImage(0, 0, image);
    }
    QByteArray pixels;
    pixels.reserve(qsizetype(rgb.width()) * rgb.height() * 3);
    for (int row = 0; row < rgb.height(); ++row)
        pixels.append(reinterpret_cast<const char *>(rgb.constScanLine(row)), qsizetype(rgb.width()) * 3);
    const QByteArray data = TRepAscii85::Encode(Compression ? TRepLzwEncoder::Encode(pixels) : pixels);
    const double top = p.Height - y;
    p.Graphics += "q " + Num(width) + " 0 0 " + Num(height) + ' ' + Num(x) + ' ' + Num(top - height) + " cm" + Eol;
    p.Graphics += "BI" + Eol;
    p.Graphics += "/Width " + QByteArray::number(rgb.width()) + Eol;
    p.Graphics += "/Height " + QByteArray::number(rgb.height()) + Eol;
    p.Graphics += "/BitsPerComponent 8" + Eol;
    p.Graphics += "/ColorSpace /DeviceRGB" + Eol;
    p.Graphics += QByteArray("/Filter [") + (Compression ? "/ASCII85Decode /LZWDecode" : "/ASCII85Decode") + "]" + Eol;
    p.Graphics += "ID" + Eol;
    p.Graphics += data + Eol;
    p.Graphics += "EI" + Eol;
    p.Graphics += "Q" + Eol;
}

// Object numbers: catalog 1, outlines 2, page tree 3, then each page and its
// contents, each font and its descriptor, information and ProcSet last.
int TRepPdfWriter::PageObject(int page)
{
    return 4 + 2 * page;
}

int TRepPdfWriter::FontObject(int font) const
{
    return PageObject(int(m_pages.size())) + 2 * font;
}

int TRepPdfWriter::InfoObject() const
{
    return FontObject(int(m_fonts.size()));
}

int TRepPdfWriter::ProcSetObject() const
{
    return InfoObject() + 1;
}

void TRepPdfWriter::Write(QIODevice &device, const QDateTime &created)
{
    Current();
    Output out(device);
    WriteHeader(out);
    WriteCatalog(out);
    WritePageTree(out);
    for (int i = 0; i < m_pages.size(); ++i)
        WritePage(out, i);
    for (int k = 0; k < m_fonts.size(); ++k)
        WriteFont(out, k);
    WriteInfo(out, created);
    WriteProcSet(out);
    WriteXrefAndTrailer(out);
    out.Flush();
}

void TRepPdfWriter::WriteHeader(Output &out)
{
    out.Line("%PDF-1.3");
    // Bytes above 127 tell transfer programs that the file is binary.
    out.Line(QByteArray("%\xC5\xAD\x6F\x81"));
}

void TRepPdfWriter::WriteCatalog(Output &out)
{
    out.Begin(1);
    out.Line("<<");
    out.Line("/Type /Catalog");
    out.Line("/Pages 3 0 R");
    out.Line("/Outlines 2 0 R");
    out.Line("/ViewerPreferences << /HideToolbar false /FitWindow true >>");
    out.Line(">>");
    out.Line("endobj");

    out.Begin(2);
    out.Line("<<");
    out.Line("/Type /Outlines");
    out.Line("/Count 0");
    out.Line(">>");
    out.Line("endobj");
}

// The page tree holds the resources every page shares: the fonts and the ProcSet.
void TRepPdfWriter::WritePageTree(Output &out) const
{
    const int P = int(m_pages.size());
    out.Begin(3);
    out.Line("<<");
    out.Line("/Type /Pages");
    out.Line("/Count " + QByteArray::number(P));
    QByteArray kids("/Kids [");
    for (int i = 0; i < P; ++i)
        kids += (i ? " " : "") + Ref(PageObject(i));
    out.Line(kids + "]");
    out.Line("/MediaBox [0 0 " + Num(m_pages.first().Width) + ' ' + Num(m_pages.first().Height) + "]");
    WriteResources(out);
    out.Line(">>");
    out.Line("endobj");
}

void TRepPdfWriter::WriteResources(Output &out) const
{
    out.Line("/Resources << ");
    out.Line("/Font << ");
    for (int k = 0; k < m_fonts.size(); ++k)
        out.Line("  /" + ResourceName(k) + ' ' + Ref(FontObject(k)) + ' ');
    out.Line("  >>");
    out.Line("/ProcSet " + Ref(ProcSetObject()));
    out.Line(">>");
}

void TRepPdfWriter::WritePage(Output &out, int index) const
{
    const Page &p = m_pages.at(index);
    out.Begin(PageObject(index));
    out.Line("<<");
    out.Line("/Type /Page");
    out.Line("/Parent 3 0 R");
    out.Line("/Contents " + Ref(PageObject(index) + 1));
    out.Line("/MediaBox [0 0 " + Num(p.Width) + ' ' + Num(p.Height) + "]");
    out.Line(">>");
    out.Line("endobj");
    WriteContents(out, index);
}

void TRepPdfWriter::WriteContents(Output &out, int index) const
{
    const Page &p = m_pages.at(index);
    // Graphics first, so that text lies on top.
    QByteArray content = p.Graphics + "BT" + Eol + p.Text + "ET";
    QByteArray filter;
    if (DeflateContent) {
        // qCompress puts the length in front of the zlib stream.
        content = qCompress(content, 6).mid(4);
        filter = " /Filter /FlateDecode";
    }
    out.Begin(PageObject(index) + 1);
    out.Line("<< /Length " + QByteArray::number(content.size()) + filter + " >>");
    out.Line("stream");
    out.Raw(content);
    out.Line(QByteArray());
    out.Line("endstream");
    out.Line("endobj");
}

void TRepPdfWriter::WriteFont(Output &out, int index) const
{
    const Font &f = m_fonts.at(index);
    const TRepFontMetrics &m = m_metrics.at(index);
    out.Begin(FontObject(index));
    out.Line("<<");
    out.Line("/Type /Font");
    out.Line("/Subtype /TrueType");
    out.Line("/Name /" + ResourceName(index));
    out.Line("/BaseFont /" + f.PdfName());
    out.Line("/FirstChar 0");
    out.Line("/LastChar 255");
    out.Line("/Widths [ ");
    QByteArray widths;
    for (int w : m.Widths)
        widths += QByteArray::number(w) + ' ';
    out.Line(widths);
    out.Line(" ]");
    out.Line("/Encoding " + WinAnsiEncoding());
    out.Line("/FontDescriptor " + Ref(FontObject(index) + 1));
    out.Line(">>");
    out.Line("endobj");
    WriteFontDescriptor(out, index);
}

void TRepPdfWriter::WriteFontDescriptor(Output &out, int index) const
{
    const Font &f = m_fonts.at(index);
    const TRepFontMetrics &m = m_metrics.at(index);
    out.Begin(FontObject(index) + 1);
    out.Line("<<");
    out.Line("/Type /FontDescriptor");
    out.Line("/Ascent " + QByteArray::number(m.Ascent));
    out.Line("/Descent " + QByteArray::number(m.Descent));
    // The face's style in the flags too: a reader without the font (the
    // fonts are not embedded) picks its stand-in by them, and draws a bold
    // or italic face that the flags do not mark as regular.
    int flags = m.Flags;
    if (f.Bold)
        flags |= ForceBoldFlag;
    if (f.Italic)
        flags |= ItalicFlag;
    out.Line("/Flags " + QByteArray::number(flags));
    out.Line("/FontBBox [ " + QByteArray::number(m.BBox[0]) + ' ' + QByteArray::number(m.BBox[1]) + ' '
             + QByteArray::number(m.BBox[2]) + ' ' + QByteArray::number(m.BBox[3]) + " ]");
    out.Line("/FontName /" + f.PdfName());
    out.Line("/ItalicAngle " + Num(m.ItalicAngle));
    // Required of a descriptor; the report's fonts give no stem width.
    out.Line("/CapHeight " + QByteArray::number(m.Ascent));
    out.Line("/StemV 80");
    out.Line(">>");
    out.Line("endobj");
}

void TRepPdfWriter::WriteInfo(Output &out, const QDateTime &created) const
{
    out.Begin(InfoObject());
    out.Line("<<");
    out.Line("/CreationDate (" + PdfDate(created) + ")");
    out.Line("/Producer " + StringOperand(Producer));
    out.Line("/Subject " + StringOperand(Subject));
    out.Line("/Creator " + StringOperand(Creator));
    out.Line("/Title " + StringOperand(Title));
    out.Line("/Author " + StringOperand(Author));
    out.Line(">>");
    out.Line("endobj");
}

void TRepPdfWriter::WriteProcSet(Output &out) const
{
    out.Begin(ProcSetObject());
    out.Line(m_pictures ? "[/PDF /Text /ImageC]" : "[/PDF /Text]");
    out.Line("endobj");
}

void TRepPdfWriter::WriteXrefAndTrailer(Output &out) const
{
    const int N = ProcSetObject();
    const qint64 xref = out.Pos();
    out.Line("xref");
    out.Line("0 " + QByteArray::number(N + 1));
    out.Line("0000000000 65535 f");
    for (int object = 1; object <= N; ++object)
        out.Line(QByteArray::number(out.Offset(object)).rightJustified(10, '0') + " 00000 n");
    out.Line("trailer");
    out.Line("<<");
    out.Line("/Size " + QByteArray::number(N + 1));
    out.Line("/Root 1 0 R");
    out.Line("/Info " + Ref(InfoObject()));
    out.Line(">>");
    out.Line("startxref");
    out.Line(QByteArray::number(xref));
    out.Line("%%EOF");
}
