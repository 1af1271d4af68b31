#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Number and date pictures of data texts.
//
// Numbers: "0" a digit always shown, "#" an optional digit, "," before the
// decimal point turns on thousands grouping, "." the decimal point, text in
// single or double quotes and any other character copied as it is; up to
// three sections separated by ";" for positive, negative and zero values.
//
// Dates: d dd ddd dddd ddddd (short date) dddddd (long date), m mm mmm mmmm
// (minutes right after an hour), yy yyyy, h hh, n nn, s ss, z zzz, t (short
// time) tt (long time), am/pm a/p ampm, c (short date and time), "/" and ":"
// the locale's separators, quoted text copied.
//
// Separators and names are those of the locale given (the default locale
// when none). A value that cannot be formatted raises std::invalid_argument.
class TRepPictureFormat
{
public:
    static QString FormatFloat(const QString &mask, double value, const QLocale &locale = QLocale());
    static QString FormatDateTime(const QString &mask, const QDateTime &value, const QLocale &locale = QLocale());
};
