#include "report/export/treprtfwriter.h"

#include "report/export/trepwinansi.h"
#include "report/model/ereperror.h"
#include "report/model/trepfilecommit.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

const QColor Palette[18] = {
    QColor(0, 0, 0),       QColor(128, 0, 0),     QColor(0, 128, 0),     QColor(128, 128, 0),
    QColor(0, 0, 128),     QColor(128, 0, 128),   QColor(0, 128, 128),   QColor(128, 128, 128),
    QColor(192, 192, 192), QColor(255, 0, 0),     QColor(0, 255, 0),     QColor(255, 255, 0),
    QColor(0, 0, 255),     QColor(255, 0, 255),   QColor(0, 255, 255),   QColor(192, 192, 192),
    QColor(128, 128, 128), QColor(255, 255, 255)};

// Height of a line of text for its font size, in the sans-serif faces the
// font table names (ascent, descent and line gap of the face).
constexpr double LineSpacing = 1.15;
// What a word processor adds to every line beyond that, in twips.
constexpr double LineLeading = 50;

QByteArray Int(double v)
{
    return QByteArray::number(qint64(std::llround(v)));
}

} // namespace

TRepRtfWriter::TRepRtfWriter(QIODevice &out, const PageSetup &page, const QList<FontEntry> &fonts)
    : m_out(out), m_page(page), m_fonts(fonts)
{
    m_slotCount = page.Length > 0 ? int(std::lround(page.Length / SlotHeight)) : 0;
    m_slots.resize(m_slotCount);
}

QStringList TRepRtfWriter::InstalledFamilies()
{
    // Where two foundries make a family the toolkit names it "Family
    // [foundry]"; a document knows faces by the family name alone.
    QStringList out;
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    for (QString f : QFontDatabase::families())
        out << f.remove(foundry);
    return out;
}

QByteArray TRepRtfWriter::FamilyKeyword(const QString &face)
{
    // A face the system does not have is known by the face it draws with.
    QString real = face;
    if (!QFontDatabase::families().contains(face, Qt::CaseInsensitive))
        real = QFontInfo(QFont(face)).family();
    if (QFontDatabase::isFixedPitch(real))
        return "\\fmodern";
    const QString n = real.toLower();
    if (n.contains(QLatin1String("symbol")) || n.contains(QLatin1String("dingbat")) || n.contains(QLatin1String("math")))
        return "\\ftech";
    if (n.contains(QLatin1String("script")))
        return "\\fscript";
    if ((n.contains(QLatin1String("serif")) && !n.contains(QLatin1String("sans"))) || n.contains(QLatin1String("times"))
        || n.contains(QLatin1String("roman")) || n.contains(QLatin1String("georgia")))
        return "\\froman";
    return "\\fswiss";
}

QList<TRepRtfWriter::FontEntry> TRepRtfWriter::FontTable(const QStringList &installed, const QStringList &extra)
{
    QStringList names;
    auto add = [&](const QString &n) {
        if (n.trimmed().isEmpty() || names.contains(n, Qt::CaseInsensitive))
            return;
        names << n;
    };
    for (const QString &n : installed)
        add(n);
    for (const QString &n : extra)
        add(n);
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QList<FontEntry> out;
    for (const QString &n : names)
        out.append({n, FamilyKeyword(n)});
    return out;
}

int TRepRtfWriter::ColorNumber(const QColor &color)
{
    const QColor c = color.toRgb();
    for (int i = 1; i < 18; ++i)
        if (Palette[i].red() == c.red() && Palette[i].green() == c.green() && Palette[i].blue() == c.blue())
            return i;
    return 0;
}

QByteArray TRepRtfWriter::EscapeText(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch == '\\' || ch == '{' || ch == '}') {
            out += '\\';
            out += char(ch);
            continue;
        }
        if (ch >= 0x20 && ch < 0x7F) {
            out += char(ch);
            continue;
        }
        unsigned char b;
        if (TRepWinAnsi::FromUnicode(ch, b)) {
            out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
            continue;
        }
        // Beyond the code page: the Unicode value (a signed 16-bit number
        // as RTF reads it) with "?" for readers that do not know it. A
        // character outside the basic plane is its two surrogates.
        out += "\\u" + QByteArray::number(int(int16_t(ch))) + '?';
    }
    return out;
}

int TRepRtfWriter::FontNumber(const QString &name) const
{
    for (int i = 0; i < m_fonts.size(); ++i)
        if (m_fonts.at(i).Name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TRepRtfWriter::Put(const QByteArray &bytes)
{
    if (m_out.write(bytes) != bytes.size())
        throw ERepError(QStringLiteral("Cannot write the RTF file: %1").arg(TRepFileCommit::WriteFailure(m_out)));
}

void TRepRtfWriter::WriteHeader()
{
    const double t = TwipsPerNative;
    QByteArray h("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720");
    if (m_page.Length > 0)
        h += "\\paperh" + Int(m_page.Length * t) + "\\paperw" + Int(m_page.Width * t) + "\\psz"
            + QByteArray::number(m_page.PaperCode);
    h += "\\margl" + Int(m_page.LeftMargin * t) + "\\margr" + Int(m_page.RightMargin * t) + "\\margt"
        + Int(m_page.TopMargin * t) + "\\margb" + Int(m_page.BottomMargin * t);
    if (m_page.Landscape)
        h += "\\landscape";
    h += "{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i)
        h += "{\\f" + QByteArray::number(i) + m_fonts.at(i).Family + ' ' + EscapeText(m_fonts.at(i).Name) + ";}";
    h += "}";
    Line(h);
    QByteArray colors("{\\colortbl");
    for (const QColor &c : Palette)
        colors += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
            + QByteArray::number(c.blue()) + ';';
    colors += "}";
    Line(colors);
    Line("\\deflang1033");
}

void TRepRtfWriter::NewPage()
{
    m_slots = QList<QList<Item>>(m_slotCount);
}

void TRepRtfWriter::AddText(const Item &item)
{
    if (!std::isfinite(item.Y) || !std::isfinite(item.X))
        return;
    const double s = std::round(item.Y / SlotHeight);
    if (s < 0 || s >= m_slotCount)
        return;
    QList<Item> &slot = m_slots[int(s)];
    auto at = std::find_if(slot.begin(), slot.end(), [&](const Item &i) { return i.X > item.X; });
    slot.insert(at, item);
}

void TRepRtfWriter::EndPage()
{
    const double t = TwipsPerNative;
    const double leftTwips = std::round(m_page.LeftMargin * t);
    bool pageBreakDone = false;
    // Each paragraph starts where the line above ended: the space before
    // it is the distance between the two lines less the height of the line
    // above (its largest font at the line spacing of the sans-serif faces
    // the table names, 1.15 of the size).
    double lastY = m_page.TopMargin;
    int above = 0;
    for (const QList<Item> &slot : m_slots) {
        if (slot.isEmpty())
            continue;
        if (m_pageWritten && !pageBreakDone) {
            Line("{\\page }");
            pageBreakDone = true;
        }
        QByteArray format("\\pard\\plain");
        const qint64 before = std::llround((slot.first().Y - lastY) * t - above * 10 * LineSpacing - LineLeading);
        if (before > 0)
            format += "\\sb" + QByteArray::number(before);
        QByteArray runs;
        for (const Item &i : slot) {
            format += i.Alignment == taRightJustify ? "\\tqr" : i.Alignment == taCenter ? "\\tqc" : "\\tql";
            format += "\\tx" + QByteArray::number(std::llround(i.X * t - leftTwips) + 20);
            runs += "\\tab\\plain";
            const int f = FontNumber(i.FontName);
            if (f >= 0)
                runs += "\\f" + QByteArray::number(f);
            runs += "\\fs" + QByteArray::number(i.HalfPoints);
            if (i.Bold)
                runs += "\\b";
            if (i.Italic)
                runs += "\\i";
            if (i.Underline)
                runs += "\\ul";
            if (i.StrikeOut)
                runs += "\\strike";
            if (const int c = ColorNumber(i.Color))
                runs += "\\cf" + QByteArray::number(c);
            runs += ' ' + EscapeText(i.Text);
        }
        lastY = slot.first().Y;
        above = 0;
        for (const Item &i : slot)
            above = std::max(above, i.HalfPoints);
        Line(format);
        Line("{\\plain" + runs + "{\\fs1\\par}}");
    }
    for (const QList<Item> &slot : m_slots)
        if (!slot.isEmpty())
            m_pageWritten = true;
    // Written once: a second end without a new page writes nothing again.
    NewPage();
}

void TRepRtfWriter::Finish()
{
    // The closing paragraph keeps none of the last line's space before (it
    // would push it onto a page of its own) and is as low as can be.
    Line("\\sb0\\plain\\fs1");
    Line("\\par }");
}
