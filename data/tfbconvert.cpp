#include "data/tfbconvert.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <QStringList>
#include <cmath>

static const char16_t kHigh[32] = {0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F,
                                   0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178};

QString TFbConvert::FromAnsi(const char *data, int len)
{
    QString out(len, Qt::Uninitialized);
    QChar *d = out.data();
    for (int i = 0; i < len; ++i) {
        unsigned char c = static_cast<unsigned char>(data[i]);
        d[i] = (c >= 0x80 && c < 0xA0) ? QChar(kHigh[c - 0x80]) : QChar(c);
    }
    return out;
}

QByteArray TFbConvert::ToAnsi(const QString &s)
{
    QByteArray out(s.size(), Qt::Uninitialized);
    int n = 0;
    for (int i = 0; i < s.size(); ++i) {
        char16_t u = s.at(i).unicode();
        unsigned char c = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            c = static_cast<unsigned char>(u);
        } else {
            for (int k = 0; k < 32; ++k)
                if (kHigh[k] == u) {
                    c = static_cast<unsigned char>(0x80 + k);
                    break;
                }
            // A surrogate pair is one character of the user's: one '?'.
            if (QChar::isHighSurrogate(u) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
                ++i;
        }
        out[n++] = char(c);
    }
    out.truncate(n);
    return out;
}

void TFbConvert::UnpackTimestamp(qint64 packed, int &iscDate, unsigned &iscTime)
{
    qint64 d = packed / TicksPerDay;
    qint64 t = packed % TicksPerDay;
    if (t < 0) {
        t += TicksPerDay;
        --d;
    }
    iscDate = int(d);
    iscTime = unsigned(t);
}

// ISC dates count days from 17/11/1858, Julian day 2400001.
static constexpr qint64 kIscEpochJd = 2400001;

QDateTime TFbConvert::ToDateTime(qint64 packed)
{
    int d;
    unsigned t;
    UnpackTimestamp(packed, d, t);
    QDate date = QDate::fromJulianDay(kIscEpochJd + d);
    QTime time = QTime::fromMSecsSinceStartOfDay(int(t / 10));
    return QDateTime(date, time);
}

qint64 TFbConvert::FromDateTime(const QDateTime &dt)
{
    qint64 d = dt.date().toJulianDay() - kIscEpochJd;
    qint64 t = qint64(dt.time().msecsSinceStartOfDay()) * 10;
    return d * TicksPerDay + t;
}

QString TFbConvert::DateTimeText(const QDateTime &dt)
{
    if (!dt.isValid())
        return QString();
    QString s = dt.date().toString(ShortDateFormat());
    if (dt.time().msecsSinceStartOfDay() != 0)
        s += QLatin1Char(' ') + dt.time().toString(QStringLiteral("hh:mm:ss"));
    return s;
}

QString TFbConvert::ShortDateFormat()
{
    const QString f = QLocale().dateFormat(QLocale::ShortFormat);
    for (QChar c : f)
        if (c.isLetter() && c != QLatin1Char('d') && c != QLatin1Char('M') && c != QLatin1Char('y'))
            return QStringLiteral("dd/MM/yyyy");
    if (f.contains(QLatin1String("MMM")) || f.contains(QLatin1String("ddd")))
        return QStringLiteral("dd/MM/yyyy");
    return f;
}

// The order of day, month and year in the regional short date format.
static void DateOrder(int order[3])
{
    const QString f = TFbConvert::ShortDateFormat();
    int pd = f.indexOf(QLatin1Char('d')), pm = f.indexOf(QLatin1Char('M')), py = f.indexOf(QLatin1Char('y'));
    if (pd < 0 || pm < 0 || py < 0) {
        order[0] = 0; order[1] = 1; order[2] = 2;
        return;
    }
    struct P { int pos, what; } ps[3] = {{pd, 0}, {pm, 1}, {py, 2}};
    std::sort(ps, ps + 3, [](P a, P b) { return a.pos < b.pos; });
    for (int i = 0; i < 3; ++i)
        order[i] = ps[i].what;
}

bool TFbConvert::ParseDateTime(const QString &text, QDateTime &out)
{
    static const QRegularExpression re(QStringLiteral(
        "^\\s*(\\d{1,4})[/.-](\\d{1,2})(?:[/.-](\\d{1,4}))?"
        "(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    int order[3];
    DateOrder(order);
    int parts[3] = {-1, -1, -1};      // day, month, year
    QString tok[3] = {m.captured(1), m.captured(2), m.captured(3)};
    bool yearGiven = !tok[2].isEmpty();
    if (yearGiven) {
        for (int i = 0; i < 3; ++i)
            parts[order[i]] = tok[i].toInt();
    } else {
        // Two numbers: day and month in their regional order, this year.
        int k = 0;
        for (int i = 0; i < 3 && k < 2; ++i)
            if (order[i] != 2)
                parts[order[i]] = tok[k++].toInt();
        parts[2] = QDate::currentDate().year();
    }
    int yearIdx = -1;
    for (int i = 0; i < 3; ++i)
        if (order[i] == 2)
            yearIdx = i;
    if (yearGiven && tok[yearIdx].size() <= 2) {
        // Two-digit year: the century that puts it within 50 years of now.
        int now = QDate::currentDate().year();
        int y = (now / 100) * 100 + parts[2];
        if (y > now + 50)
            y -= 100;
        else if (y <= now - 50)
            y += 100;
        parts[2] = y;
    } else if (yearGiven && tok[yearIdx].size() == 3) {
        return false;
    }
    QDate d(parts[2], parts[1], parts[0]);
    if (!d.isValid() || parts[2] < 1)
        return false;
    QTime t(0, 0);
    if (!m.captured(4).isEmpty()) {
        t = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                  m.captured(6).isEmpty() ? 0 : m.captured(6).toInt());
        if (!t.isValid())
            return false;
    }
    out = QDateTime(d, t);
    return true;
}

QString TFbConvert::FloatText(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NAN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        s.replace(QLatin1Char('e'), QLatin1Char('E'));
        s.replace(QStringLiteral("E+"), QStringLiteral("E"));
    }
    const QString dp = QLocale().decimalPoint();
    s.replace(QLatin1Char('.'), dp);
    return s;
}

bool TFbConvert::ParseFloat(const QString &text, double &out)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QString dp = QLocale().decimalPoint();
    if (dp != QLatin1String(".")) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(dp, QStringLiteral("."));
    }
    static const QRegularExpression re(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!re.match(t).hasMatch())
        return false;
    bool ok = false;
    double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

bool TFbConvert::ParseInteger(const QString &text, qint64 &out)
{
    QString t = text.trimmed();
    static const QRegularExpression re(QStringLiteral("^[+-]?\\d+$"));
    if (!re.match(t).hasMatch())
        return false;
    bool ok = false;
    qint64 v = t.toLongLong(&ok);
    if (!ok)
        return false;
    out = v;
    return true;
}

QString TFbConvert::CurrencyText(double v)
{
    QLocale loc;
    return loc.toCurrencyString(v, loc.currencySymbol(), 2);
}

QString TFbConvert::FormatDateTime(const QDateTime &dt, const QString &displayFormat)
{
    if (!dt.isValid())
        return QString();
    if (displayFormat.isEmpty())
        return DateTimeText(dt);
    // "mm" means minutes only right after an hour; elsewhere it is the month.
    QString f;
    bool afterHour = false;
    for (int i = 0; i < displayFormat.size();) {
        QChar c = displayFormat.at(i);
        int j = i;
        while (j < displayFormat.size() && displayFormat.at(j).toLower() == c.toLower())
            ++j;
        QString run = displayFormat.mid(i, j - i);
        QChar lc = c.toLower();
        if (lc == QLatin1Char('m'))
            f += afterHour ? run.toLower() : run.toUpper();
        else if (lc == QLatin1Char('h'))
            f += run.toLower(), afterHour = true;
        else if (lc == QLatin1Char('d') || lc == QLatin1Char('y') || lc == QLatin1Char('s'))
            f += run.toLower();
        else if (c.isLetter())
            f += QLatin1Char('\'') + run + QLatin1Char('\'');
        else
            f += run;
        if (lc == QLatin1Char('d') || lc == QLatin1Char('y'))
            afterHour = false;
        i = j;
    }
    return QLocale().toString(dt, f);
}
