#include "report/generate/treppictureformat.h"

#include <QStringList>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

struct Token
{
    enum Kind { Zero, Hash, Point, Comma, Literal } kind;
    QString text;
};

std::vector<Token> Tokenize(const QString &section)
{
    std::vector<Token> out;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == u'\'' || c == u'"') {
            const qsizetype end = section.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            out.push_back({Token::Literal, section.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == u'0') {
            out.push_back({Token::Zero, {}});
        } else if (c == u'#') {
            out.push_back({Token::Hash, {}});
        } else if (c == u'.') {
            out.push_back({Token::Point, {}});
        } else if (c == u',') {
            out.push_back({Token::Comma, {}});
        } else {
            out.push_back({Token::Literal, QString(c)});
        }
    }
    return out;
}

// Splits on ";" outside quotes.
QStringList Sections(const QString &mask)
{
    QStringList out;
    QString cur;
    QChar quote;
    for (QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            out << cur;
            cur.clear();
            continue;
        }
        cur += c;
    }
    out << cur;
    return out;
}

// A non-negative value with `decimals` decimals, halves rounded up. The
// rounding works on the shortest decimal form of the value, so that 1.005
// as typed rounds to 1.01 and not by its binary image.
QString Fixed(double value, int decimals)
{
    QString s = QString::number(value, 'f', QLocale::FloatingPointShortest);
    qsizetype dot = s.indexOf(u'.');
    if (dot < 0) {
        dot = s.size();
        s += u'.';
    }
    QString frac = s.mid(dot + 1);
    QString intPart = s.left(dot);
    bool up = frac.size() > decimals && frac.at(decimals) >= u'5';
    frac = frac.left(decimals);
    while (frac.size() < decimals)
        frac += u'0';
    QString digits = intPart + frac;
    if (up) {
        qsizetype i = digits.size() - 1;
        for (; i >= 0; --i) {
            if (digits.at(i) == u'9') {
                digits[i] = u'0';
            } else {
                digits[i] = QChar(digits.at(i).unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(u'1');
    }
    const qsizetype intLen = digits.size() - decimals;
    QString out = digits.left(intLen);
    if (out.isEmpty())
        out = QStringLiteral("0");
    if (decimals > 0)
        out += u'.' + digits.mid(intLen);
    return out;
}

QString FormatSection(const std::vector<Token> &tokens, double absValue, const QLocale &locale)
{
    qsizetype point = -1;
    for (size_t i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind == Token::Point) {
            point = qsizetype(i);
            break;
        }
    const size_t intEnd = point < 0 ? tokens.size() : size_t(point);

    bool grouping = false;
    int intPlaces = 0, minInt = 0;
    bool seenZero = false;
    for (size_t i = 0; i < intEnd; ++i) {
        const auto k = tokens[i].kind;
        if (k == Token::Comma)
            grouping = true;
        if (k == Token::Zero)
            seenZero = true;
        if (k == Token::Zero || k == Token::Hash) {
            ++intPlaces;
            if (seenZero)
                ++minInt;
        }
    }
    int decimals = 0, minDec = 0;
    if (point >= 0)
        for (size_t i = size_t(point) + 1; i < tokens.size(); ++i) {
            const auto k = tokens[i].kind;
            if (k == Token::Zero || k == Token::Hash) {
                ++decimals;
                if (k == Token::Zero)
                    minDec = decimals;
            }
        }

    const QString fixed = Fixed(absValue, decimals);
    const qsizetype dot = fixed.indexOf(u'.');
    QString intDigits = dot < 0 ? fixed : fixed.left(dot);
    QString fracDigits = dot < 0 ? QString() : fixed.mid(dot + 1);
    while (fracDigits.size() > minDec && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
    if (intDigits == QLatin1String("0") && minInt == 0)
        intDigits.clear();
    while (intDigits.size() < minInt)
        intDigits.prepend(u'0');

    const QString groupSep = locale.groupSeparator();
    // Integer part, right to left: each placeholder takes one digit, the
    // leftmost takes whatever digits are left.
    QString reversed;
    qsizetype next = intDigits.size() - 1;
    int placesLeft = intPlaces;
    int digitPos = 0;
    auto emitDigit = [&](QChar d) {
        if (grouping && digitPos > 0 && digitPos % 3 == 0)
            for (qsizetype j = groupSep.size() - 1; j >= 0; --j)
                reversed += groupSep.at(j);
        reversed += d;
        ++digitPos;
    };
    for (qsizetype i = qsizetype(intEnd) - 1; i >= 0; --i) {
        const Token &t = tokens[size_t(i)];
        if (t.kind == Token::Zero || t.kind == Token::Hash) {
            --placesLeft;
            if (placesLeft == 0) {
                while (next >= 0)
                    emitDigit(intDigits.at(next--));
            } else if (next >= 0) {
                emitDigit(intDigits.at(next--));
            }
        } else if (t.kind == Token::Literal) {
            for (qsizetype j = t.text.size() - 1; j >= 0; --j)
                reversed += t.text.at(j);
        }
    }
    QString out;
    out.reserve(reversed.size() + 8);
    for (qsizetype j = reversed.size() - 1; j >= 0; --j)
        out += reversed.at(j);
    if (intPlaces == 0 && !intDigits.isEmpty() && intDigits != QLatin1String("0"))
        out += intDigits;   // a picture without integer places still shows the integer part

    if (point >= 0) {
        if (!fracDigits.isEmpty())
            out += locale.decimalPoint();
        qsizetype f = 0;
        for (size_t i = size_t(point) + 1; i < tokens.size(); ++i) {
            const Token &t = tokens[i];
            if (t.kind == Token::Zero || t.kind == Token::Hash) {
                if (f < fracDigits.size())
                    out += fracDigits.at(f++);
            } else if (t.kind == Token::Literal) {
                out += t.text;
            }
        }
    }
    return out;
}

} // namespace

QString TRepPictureFormat::FormatFloat(const QString &mask, double value, const QLocale &locale)
{
    if (!std::isfinite(value))
        throw std::invalid_argument("value is not a finite number");
    if (mask.isEmpty())
        return locale.toString(value, 'g', 15);
    const QStringList sections = Sections(mask);
    QString section = sections.at(0);
    bool sign = value < 0;
    if (value < 0 && sections.size() >= 2 && !sections.at(1).isEmpty()) {
        section = sections.at(1);
        sign = false;
    }
    const std::vector<Token> tokens = Tokenize(section);
    if (sections.size() >= 3 && !sections.at(2).isEmpty()) {
        // The zero section applies when the value shows as zero in the
        // section that would otherwise be used.
        const QString shown = FormatSection(tokens, std::abs(value), QLocale::c());
        bool allZero = true;
        for (QChar c : shown)
            if (c.isDigit() && c != u'0')
                allZero = false;
        if (allZero)
            return FormatSection(Tokenize(sections.at(2)), 0.0, locale);
    }
    QString out = FormatSection(tokens, std::abs(value), locale);
    if (sign) {
        bool anyNonZero = false;
        for (QChar c : out)
            if (c.isDigit() && c != u'0')
                anyNonZero = true;
        if (anyNonZero)
            out.prepend(u'-');
    }
    return out;
}

namespace {

QString Pad(int v, int width)
{
    return QString::number(v).rightJustified(width, u'0');
}

// Converts the locale's own date/time format (Qt syntax) by running it as
// a Qt format; used for the short and long date and time specifiers.
QString QtFormat(const QLocale &locale, const QDateTime &v, QLocale::FormatType type, bool date)
{
    if (date)
        return locale.toString(v.date(), type);
    // The long time format of a locale may name the time zone; a report
    // shows the clock time only.
    QString f = locale.timeFormat(type);
    f.remove(u't');
    return locale.toString(v.time(), f.trimmed());
}

} // namespace

QString TRepPictureFormat::FormatDateTime(const QString &mask, const QDateTime &value, const QLocale &locale)
{
    if (!value.isValid())
        throw std::invalid_argument("invalid date");
    const QDate d = value.date();
    const QTime t = value.time();
    const QString m = mask.isEmpty() ? QStringLiteral("c") : mask;
    // pt_BR and most locales use "/" and ":"; take them from the short
    // formats when the locale has others.
    QString ds = QStringLiteral("/"), ts = QStringLiteral(":");
    {
        const QString sd = locale.dateFormat(QLocale::ShortFormat);
        for (QChar c : sd)
            if (!c.isLetter()) {
                ds = QString(c);
                break;
            }
        const QString st = locale.timeFormat(QLocale::ShortFormat);
        for (QChar c : st)
            if (!c.isLetter() && c != u' ') {
                ts = QString(c);
                break;
            }
    }
    const bool hasAmPm = m.contains(QLatin1String("am/pm"), Qt::CaseInsensitive)
        || m.contains(QLatin1String("a/p"), Qt::CaseInsensitive)
        || m.contains(QLatin1String("ampm"), Qt::CaseInsensitive);

    QString out;
    bool lastWasHour = false;
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype n = 0;
        while (i + n < m.size() && m.at(i + n).toLower() == c)
            ++n;
        return n;
    };
    while (i < m.size()) {
        const QChar c = m.at(i);
        const QChar lc = c.toLower();
        if (c == u'\'' || c == u'"') {
            const qsizetype end = m.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? m.size() : end;
            out += m.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (m.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            const bool upper = m.at(i).isUpper();
            QString s = t.hour() < 12 ? QStringLiteral("am") : QStringLiteral("pm");
            out += upper ? s.toUpper() : s;
            i += 5;
            continue;
        }
        if (m.mid(i, 3).compare(QLatin1String("a/p"), Qt::CaseInsensitive) == 0) {
            QString s = t.hour() < 12 ? QStringLiteral("a") : QStringLiteral("p");
            out += m.at(i).isUpper() ? s.toUpper() : s;
            i += 3;
            continue;
        }
        if (m.mid(i, 4).compare(QLatin1String("ampm"), Qt::CaseInsensitive) == 0) {
            out += t.hour() < 12 ? locale.amText() : locale.pmText();
            i += 4;
            continue;
        }
        switch (lc.unicode()) {
        case 'c': {
            out += QtFormat(locale, value, QLocale::ShortFormat, true);
            if (t != QTime(0, 0))
                out += u' ' + QtFormat(locale, value, QLocale::LongFormat, false);
            i += 1;
            lastWasHour = false;
            continue;
        }
        case 'd': {
            const qsizetype n = std::min<qsizetype>(run(u'd'), 6);
            if (n == 1) out += QString::number(d.day());
            else if (n == 2) out += Pad(d.day(), 2);
            else if (n == 3) out += locale.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else if (n == 4) out += locale.dayName(d.dayOfWeek(), QLocale::LongFormat);
            else if (n == 5) out += QtFormat(locale, value, QLocale::ShortFormat, true);
            else out += QtFormat(locale, value, QLocale::LongFormat, true);
            i += n;
            lastWasHour = false;
            continue;
        }
        case 'm': {
            const qsizetype n = std::min<qsizetype>(run(u'm'), 4);
            if (lastWasHour && n <= 2) {
                out += n == 1 ? QString::number(t.minute()) : Pad(t.minute(), 2);
            } else if (n == 1) out += QString::number(d.month());
            else if (n == 2) out += Pad(d.month(), 2);
            else if (n == 3) out += locale.monthName(d.month(), QLocale::ShortFormat);
            else out += locale.monthName(d.month(), QLocale::LongFormat);
            i += n;
            lastWasHour = false;
            continue;
        }
        case 'y': {
            const qsizetype n = run(u'y');
            out += n <= 2 ? Pad(d.year() % 100, 2) : Pad(d.year(), 4);
            i += n;
            lastWasHour = false;
            continue;
        }
        case 'h': {
            const qsizetype n = std::min<qsizetype>(run(u'h'), 2);
            int h = t.hour();
            if (hasAmPm) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += n == 1 ? QString::number(h) : Pad(h, 2);
            i += n;
            lastWasHour = true;
            continue;
        }
        case 'n': {
            const qsizetype n = std::min<qsizetype>(run(u'n'), 2);
            out += n == 1 ? QString::number(t.minute()) : Pad(t.minute(), 2);
            i += n;
            lastWasHour = false;
            continue;
        }
        case 's': {
            const qsizetype n = std::min<qsizetype>(run(u's'), 2);
            out += n == 1 ? QString::number(t.second()) : Pad(t.second(), 2);
            i += n;
            lastWasHour = false;
            continue;
        }
        case 'z': {
            const qsizetype n = run(u'z');
            out += n >= 3 ? Pad(t.msec(), 3) : QString::number(t.msec());
            i += n;
            continue;
        }
        case 't': {
            const qsizetype n = std::min<qsizetype>(run(u't'), 2);
            out += QtFormat(locale, value, n == 1 ? QLocale::ShortFormat : QLocale::LongFormat, false);
            i += n;
            lastWasHour = false;
            continue;
        }
        default:
            break;
        }
        if (c == u'/')
            out += ds;
        else if (c == u':')
            out += ts;
        else
            out += c;
        ++i;
    }
    return out;
}
