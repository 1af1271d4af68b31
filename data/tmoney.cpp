#include "data/tmoney.h"

#include "data/efberror.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace {
// More significant digits than this cannot be in range (MaxUnits has 15).
constexpr int MaxDigits = 15;

QString Grouped(const QString &digits)
{
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char('.');
        out += digits.at(i);
    }
    return out;
}
} // namespace

TMoney TMoney::FromUnits(qint64 units)
{
    if (!InRange(units))
        throw EFbError(OutOfRangeMessage(TMoney(units / UnitsPerReal).Text()));
    return TMoney(units);
}

TMoney::ParseResult TMoney::TryParse(const QString &text, TMoney &out)
{
    QString t = text.trimmed();
    t.replace(QChar(0x00A0), QLatin1Char(' '));
    if (t.isEmpty())
        return ParseResult::Empty;
    // sign, currency symbol, sign, whole part (plain or grouped by dots),
    // decimals after the comma, exponent.
    static const QRegularExpression re(QStringLiteral(
        "^([+-]?)\\s*(?:R\\$\\s*)?([+-]?)(\\d{1,3}(?:\\.\\d{3})+|\\d*)(?:,(\\d*))?(?:[eE]([+-]?\\d+))?$"));
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch())
        return ParseResult::NotAnAmount;
    const QString sign1 = m.captured(1), sign2 = m.captured(2);
    if (!sign1.isEmpty() && !sign2.isEmpty())
        return ParseResult::NotAnAmount;
    const bool negative = sign1 == QLatin1String("-") || sign2 == QLatin1String("-");
    QString whole = m.captured(3);
    whole.remove(QLatin1Char('.'));
    const QString decimals = m.captured(4);
    if (whole.isEmpty() && decimals.isEmpty())
        return ParseResult::NotAnAmount;

    // The amount is digits x 10^exponent; in units, x 10^(exponent + 4).
    qint64 exponent = 0;
    if (m.hasCaptured(5)) {
        bool ok = false;
        exponent = m.captured(5).toLongLong(&ok);
        if (!ok)   // beyond any sensible exponent
            exponent = m.captured(5).startsWith(QLatin1Char('-')) ? -100000 : 100000;
        exponent = qBound(qint64(-100000), exponent, qint64(100000));
    }
    QString digits = whole + decimals;
    qint64 shift = exponent - decimals.size() + 4;
    // Leading zeros carry nothing.
    int lead = 0;
    while (lead < digits.size() && digits.at(lead) == QLatin1Char('0'))
        ++lead;
    digits = digits.mid(lead);
    if (digits.isEmpty()) {
        out = TMoney();
        return ParseResult::Ok;
    }
    bool roundUp = false;
    if (shift < 0) {
        const qint64 drop = -shift;
        if (drop > digits.size()) {
            digits.clear();   // below half a unit
        } else {
            roundUp = digits.at(digits.size() - drop) >= QLatin1Char('5');
            digits.chop(drop);
        }
        shift = 0;
    }
    if (digits.size() + shift > MaxDigits)
        return ParseResult::OutOfRange;
    qint64 units = digits.isEmpty() ? 0 : digits.toLongLong();
    for (qint64 i = 0; i < shift; ++i)
        units *= 10;
    if (roundUp)
        ++units;
    if (!InRange(units))
        return ParseResult::OutOfRange;
    out = TMoney(negative ? -units : units);
    return ParseResult::Ok;
}

TMoney TMoney::Parse(const QString &text)
{
    TMoney m;
    switch (TryParse(text, m)) {
    case ParseResult::Ok:
    case ParseResult::Empty:
        return m;
    case ParseResult::OutOfRange:
        throw EFbError(OutOfRangeMessage(text.trimmed()));
    case ParseResult::NotAnAmount:
        break;
    }
    throw EFbError(NotAnAmountMessage(text.trimmed()));
}

std::optional<TMoney> TMoney::FromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    if (value == 0)
        return TMoney();
    // The shortest text that reads back as the same double is the amount
    // that was stored; its decimal digits are exact.
    const QString text = QString::number(value, 'e', QLocale::FloatingPointShortest);
    QString plain = text;
    plain.replace(QLatin1Char('.'), QLatin1Char(','));
    TMoney m;
    if (TryParse(plain, m) != ParseResult::Ok)
        return std::nullopt;
    return m;
}

QString TMoney::Format(bool grouped) const
{
    const bool negative = m_units < 0;
    // MaxUnits keeps the magnitude clear of the qint64 limits.
    const qint64 abs = negative ? -m_units : m_units;
    const QString whole = QString::number(abs / UnitsPerReal);
    QString frac = QStringLiteral("%1").arg(abs % UnitsPerReal, 4, 10, QLatin1Char('0'));
    while (frac.size() > 2 && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    return (negative ? QStringLiteral("-") : QString()) + (grouped ? Grouped(whole) : whole)
        + QLatin1Char(',') + frac;
}

QString TMoney::Text() const
{
    return Format(true);
}

QString TMoney::EditText() const
{
    return Format(false);
}

QString TMoney::CurrencyText() const
{
    // As the regional currency format writes it: sign, symbol, no-break
    // space, amount ("-R$ 100,00", never "R$ -100,00").
    if (m_units < 0)
        return QStringLiteral("-R$") + QChar(0x00A0) + TMoney(-m_units).Text();
    return QStringLiteral("R$") + QChar(0x00A0) + Text();
}

std::optional<TMoney> TMoney::Plus(TMoney other) const
{
    // Both within MaxUnits: the sum cannot overflow qint64.
    const qint64 r = m_units + other.m_units;
    if (!InRange(r))
        return std::nullopt;
    return TMoney(r);
}

std::optional<TMoney> TMoney::Minus(TMoney other) const
{
    const qint64 r = m_units - other.m_units;
    if (!InRange(r))
        return std::nullopt;
    return TMoney(r);
}

std::optional<TMoney> TMoney::Total(TMoney valor, TMoney juros, TMoney desconto)
{
    // Summed in one step so that an intermediate beyond the range that the
    // discount brings back still gives the right total.
    const qint64 r = valor.m_units + juros.m_units - desconto.m_units;
    if (!InRange(r))
        return std::nullopt;
    return TMoney(r);
}

QString TMoney::NotAnAmountMessage(const QString &text)
{
    return QStringLiteral("'%1' não é um valor válido. Digite o valor como 1.234,50").arg(text);
}

QString TMoney::OutOfRangeMessage(const QString &text)
{
    return QStringLiteral("O valor '%1' está fora do limite permitido (até 99.999.999.999,9999)")
        .arg(text);
}

QString TMoney::TooManyDecimalsMessage(const QString &text)
{
    return QStringLiteral("'%1' tem mais de duas casas decimais. Digite o valor em reais e "
                          "centavos, como 1.234,50").arg(text);
}
