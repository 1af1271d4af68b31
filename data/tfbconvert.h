#pragma once
// Conversions between the database's single-byte text and dialect 1 dates
// and the values the program works with, under the regional settings of the
// default QLocale (the application sets Brazilian Portuguese).
#include <QByteArray>
#include <QDateTime>
#include <QString>

class TFbConvert
{
public:
    // Windows-1252 <-> Unicode. Characters the code page lacks become '?'.
    static QString FromAnsi(const char *data, int len);
    static QString FromAnsi(const QByteArray &b) { return FromAnsi(b.constData(), int(b.size())); }
    static QByteArray ToAnsi(const QString &s);

    // Dialect 1 DATE (ISC_TIMESTAMP) packed into one number: days since
    // 17/11/1858 times 864000000 plus the time of day in 1/10000 s.
    static qint64 PackTimestamp(int iscDate, unsigned iscTime)
    {
        return qint64(iscDate) * TicksPerDay + iscTime;
    }
    static void UnpackTimestamp(qint64 packed, int &iscDate, unsigned &iscTime);
    static QDateTime ToDateTime(qint64 packed);
    static qint64 FromDateTime(const QDateTime &dt);
    static constexpr qint64 TicksPerDay = 864000000;

    // Text forms under the regional settings: the short date, followed by
    // " hh:mm:ss" when the time of day is not midnight.
    static QString DateTimeText(const QDateTime &dt);
    // The regional short date format, numeric ("dd/MM/yyyy" here); a locale
    // whose short date spells the month out gets "dd/MM/yyyy".
    static QString ShortDateFormat();
    // Reads a date in the regional order (day/month/year here) with an
    // optional time of day. Returns false when the text is not a valid date.
    static bool ParseDateTime(const QString &text, QDateTime &out);
    // Plain number text: up to 15 significant digits, regional decimal
    // separator, no grouping (134.5 -> "134,5").
    static QString FloatText(double v);
    static bool ParseFloat(const QString &text, double &out);
    static bool ParseInteger(const QString &text, qint64 &out);
    // Currency text under the regional settings ("R$ 1.234,50").
    static QString CurrencyText(double v);
    // Formats a date with a display format such as "dd/mm/yyyy" (month in
    // lower case "mm" where no hour precedes it, as users write it).
    static QString FormatDateTime(const QDateTime &dt, const QString &displayFormat);
};
