#include "report/export/treprtfwriter.h"

#include "report/export/trepwinansi.h"
#include "report/model/ereperror.h"
#include "report/model/trepfilecommit.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
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
        // A line break or other control character prints as nothing.
        if (ch < 0x20)
            continue;
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
        throw ERepError(QStringLiteral("Não foi possível gravar o arquivo RTF: %1.")
            .arg(TRepFileCommit::WriteFailure(m_out)));
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

TRepRtfWriter::FaceMetrics TRepRtfWriter::MetricsOf(const QString &face)
{
    // What the system draws the face with, as a word processor on it does:
    // its ascent, descent and line gap for a size of 1.
    static QHash<QString, FaceMetrics> known;
    const QString key = face.toLower();
    if (const auto it = known.constFind(key); it != known.constEnd())
        return *it;
    QFont font(face);
    font.setPixelSize(1000);
    const QFontMetricsF m(font);
    FaceMetrics out;
    if (m.ascent() > 0 && m.descent() >= 0) {
        out.Ascent = m.ascent() / 1000.0;
        out.Descent = m.descent() / 1000.0;
        out.Gap = std::max(0.0, m.leading() / 1000.0);
    }
    known.insert(key, out);
    return out;
}

double TRepRtfWriter::NaturalWidth(const Item &item)
{
    QFont font(item.FontName);
    font.setPixelSize(1000);
    font.setBold(item.Bold);
    font.setItalic(item.Italic);
    return QFontMetricsF(font).horizontalAdvance(item.Text) / 1000.0 * item.HalfPoints * 10.0;
}

QByteArray TRepRtfWriter::Spaced(const Item &item)
{
    // The page prints a text as wide as its own font measures it, a little
    // narrower or wider than the face's widths add up: the letters are
    // spaced to that width, in whole twips, the first letters by one step
    // and the rest by the next, so that the words after the first fall
    // where they are printed.
    const qsizetype n = item.Text.size();
    const double width = item.Width * TwipsPerNative;
    if (item.Width <= 0 || n == 0 || !std::isfinite(width))
        return ' ' + EscapeText(item.Text);
    const qint64 extra = std::llround(width - NaturalWidth(item));
    if (extra == 0)
        return ' ' + EscapeText(item.Text);
    const qint64 step = qint64(std::floor(double(extra) / double(n)));
    qsizetype split = n - qsizetype(extra - step * n);   // letters at `step`, the rest at step + 1
    if (split > 0 && split < n && item.Text.at(split).isLowSurrogate())
        --split;
    QByteArray out;
    const auto part = [&](qint64 spacing, const QString &text) {
        if (text.isEmpty())
            return;
        out += "\\expndtw" + QByteArray::number(spacing) + ' ' + EscapeText(text);
    };
    part(step, item.Text.left(split));
    part(step + 1, item.Text.mid(split));
    return out;
}

TRepRtfWriter::Item TRepRtfWriter::FitToPaper(const Item &item) const
{
    // The paper ends a text printed past its edge; a word processor would
    // wrap the rest onto lines of its own and push every line below down.
    if (item.Alignment != taLeftJustify || m_page.Width <= 0 || item.Text.isEmpty())
        return item;
    const double natural = NaturalWidth(item);
    if (!(natural > 0))
        return item;
    const double scale = item.Width > 0 ? item.Width * TwipsPerNative / natural : 1.0;
    // A little short of the edge, or the word processor wraps the last
    // letter all the same.
    const double room = (m_page.Width - item.X) * TwipsPerNative - 20;
    if (natural * scale <= room)
        return item;
    Item out = item;
    qsizetype fits = 0, past = item.Text.size();
    while (past - fits > 1) {
        const qsizetype mid = (fits + past) / 2;
        out.Text = item.Text.left(mid);
        if (NaturalWidth(out) * scale <= room)
            fits = mid;
        else
            past = mid;
    }
    out.Text = item.Text.left(fits);
    if (!out.Text.isEmpty() && out.Text.back().isHighSurrogate())
        out.Text.chop(1);
    out.Width = item.Width > 0 ? NaturalWidth(out) * scale / TwipsPerNative : 0;
    return out;
}

void TRepRtfWriter::EndPage()
{
    const double t = TwipsPerNative;
    const double leftTwips = std::round(m_page.LeftMargin * t);
    // A word processor lays the lines one under the other, each as high as
    // its face says; the page prints each at its own place. Each line here
    // is one slot: its baseline is that of its text rising highest, the
    // others are raised or lowered to their own printed baselines (a word
    // processor moves a text by a share of its face's line height per half
    // point asked, and grows the line by what the text then passes).
    struct Laid
    {
        double Baseline = 0, Ascent = 0, Descent = 0;   // twips from the top of the paper
        QByteArray Tabs, Runs;
        bool PastMargin = false;
        qint64 Indent = 0;   // twips; negative: the line starts in the left margin
    };
    const double marginEdge = (m_page.Width - m_page.RightMargin) * t;
    QList<Laid> lines;
    for (const QList<Item> &slot : m_slots) {
        if (slot.isEmpty())
            continue;
        Laid line;
        double best = -1;
        for (const Item &i : slot) {
            const FaceMetrics f = MetricsOf(i.FontName);
            const double size = i.HalfPoints * 10.0;   // twips
            if ((f.Ascent + f.Gap) * size > best) {
                best = (f.Ascent + f.Gap) * size;
                line.Baseline = i.Y * t + f.Ascent * size;
            }
        }
        for (const Item &given : slot) {
            const Item i = FitToPaper(given);
            if (i.Alignment == taLeftJustify && m_page.Width > 0
                && i.X * t + (i.Width > 0 ? i.Width * t : NaturalWidth(i)) > marginEdge)
                line.PastMargin = true;
            const FaceMetrics f = MetricsOf(i.FontName);
            const double size = i.HalfPoints * 10.0;
            const double perHalfPoint = (f.Ascent + f.Descent + f.Gap) * 10.0;
            const qint64 shift = std::llround((i.Y * t + f.Ascent * size - line.Baseline) / perHalfPoint);
            line.Ascent = std::max(line.Ascent, (f.Ascent + f.Gap) * size - double(shift) * perHalfPoint);
            line.Descent = std::max(line.Descent, f.Descent * size + double(shift) * perHalfPoint);

            // A left text starting the line at (or left of) the margin needs
            // no tab: a word processor skips a tab stop at the margin itself
            // and would move the text, and every text after it, one stop to
            // the right. One left of the margin starts there by a negative
            // first-line indent instead.
            const qint64 stop = std::llround(i.X * t - leftTwips);
            const bool atStart = line.Runs.isEmpty() && i.Alignment == taLeftJustify && stop <= 0;
            if (atStart) {
                line.Indent = stop;
            } else {
                line.Tabs += i.Alignment == taRightJustify ? "\\tqr" : i.Alignment == taCenter ? "\\tqc" : "\\tql";
                line.Tabs += "\\tx" + QByteArray::number(stop);
            }
            // The tab carries the text's own face and size, or the line
            // would be as high as the document's default font.
            line.Runs += "\\plain";
            const int number = FontNumber(i.FontName);
            if (number >= 0)
                line.Runs += "\\f" + QByteArray::number(number);
            line.Runs += "\\fs" + QByteArray::number(i.HalfPoints);
            if (i.Bold)
                line.Runs += "\\b";
            if (i.Italic)
                line.Runs += "\\i";
            if (shift > 0)
                line.Runs += "\\dn" + QByteArray::number(shift);
            else if (shift < 0)
                line.Runs += "\\up" + QByteArray::number(-shift);
            if (!atStart)
                line.Runs += "\\tab";
            if (i.Underline)
                line.Runs += "\\ul";
            if (i.StrikeOut)
                line.Runs += "\\strike";
            if (const int c = ColorNumber(i.Color))
                line.Runs += "\\cf" + QByteArray::number(c);
            line.Runs += Spaced(i);
        }
        lines.append(line);
    }

    // The page break opens the page's first paragraph: written between
    // the paragraphs, it made a word processor start each page with an
    // empty line, which pushed a full page's last lines (its footer) onto
    // a page of their own.
    const bool pageBreak = !lines.isEmpty() && m_pageWritten;
    // Each paragraph starts where the one above ends, after its space
    // before. A line whose face reaches below the start of the next one
    // (a large text printed close above a small one) is given an exact
    // height instead: the word processor then shares that height between
    // ascent and descent as the face does, so the height and the space
    // before are chosen to keep its baseline in place and end it where the
    // next line starts.
    double lineEnd = std::round(m_page.TopMargin * t);
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const Laid &line = lines.at(k);
        double top = line.Baseline - line.Ascent;
        double height = line.Ascent + line.Descent;
        bool exact = false;
        if (k + 1 < lines.size()) {
            const Laid &next = lines.at(k + 1);
            const double nextTop = next.Baseline - next.Ascent;
            if (nextTop < line.Baseline + line.Descent && nextTop > line.Baseline && line.Descent > 0) {
                height = std::round((nextTop - line.Baseline) * (line.Ascent + line.Descent) / line.Descent);
                top = nextTop - height;
                exact = true;
            }
        }
        const qint64 before = std::max<qint64>(0, std::llround(top - lineEnd));
        lineEnd += double(before) + height;
        QByteArray format("\\pard\\plain");
        if (before > 0)
            format += "\\sb" + QByteArray::number(before);
        if (exact)
            format += "\\sl-" + QByteArray::number(qint64(height)) + "\\slmult0";
        // A text printed into the right margin stays on its line there.
        if (line.Indent < 0)
            format += "\\fi" + QByteArray::number(line.Indent);
        if (line.PastMargin)
            format += "\\ri-" + QByteArray::number(std::llround(m_page.RightMargin * t));
        EndParagraph();
        Line(format + line.Tabs);
        Line((k == 0 && pageBreak ? QByteArray("{\\page }") : QByteArray()) + "{" + line.Runs + "}");
        m_paragraphOpen = true;
    }
    if (!lines.isEmpty())
        m_pageWritten = true;
    // Written once: a second end without a new page writes nothing again.
    NewPage();
}

void TRepRtfWriter::EndParagraph()
{
    // The paragraph mark as low as can be; the last one is the document's
    // own end, or a word processor would add an empty line after it, which
    // on a full page goes onto a page of its own.
    if (!m_paragraphOpen)
        return;
    Line("\\plain\\fs1\\par");
    m_paragraphOpen = false;
}

void TRepRtfWriter::Finish()
{
    if (m_paragraphOpen)
        Line("\\plain\\fs1");
    m_paragraphOpen = false;
    Line("\\par }");
}
