#pragma once
// An amount of money held exactly, in ten-thousandths of a real (four
// decimal places), and the rules that work on amounts: reading what a user
// types the Brazilian way, writing it back, exact sums and differences, the
// range a money column can hold, and the trip to and from the database's
// floating-point money columns.
//
// The range is what a money column (a double) stores without losing a digit:
// fifteen significant digits, up to 99.999.999.999,9999 either side of zero.
// Every operation that would leave it refuses (EFbError, or nullopt / an
// error code for the non-throwing forms) instead of rounding or wrapping.
#include <QString>
#include <QtGlobal>
#include <optional>

class TMoney
{
public:
    static constexpr qint64 UnitsPerReal = 10000;
    static constexpr qint64 MaxUnits = 999'999'999'999'999;   // 99.999.999.999,9999

    enum class ParseResult { Ok, Empty, NotAnAmount, OutOfRange };

    constexpr TMoney() = default;

    // An amount in ten-thousandths; throws EFbError outside the range.
    static TMoney FromUnits(qint64 units);
    qint64 Units() const { return m_units; }
    bool IsZero() const { return m_units == 0; }
    // True when the amount has no digit past the centavos.
    bool IsWholeCents() const { return m_units % (UnitsPerReal / 100) == 0; }

    // Reads a typed amount: "1.234,50", "150", "150,5", "-10", "R$ 1.234,50",
    // "1e3" (blanks around it are ignored). Dots group thousands (three digits
    // a group), the comma separates the decimals; past the fourth decimal the
    // amount is rounded half away from zero. "abc", "1,2,3" or "1.5" are no
    // amount. The non-throwing form tells what was wrong; empty text is Empty.
    static ParseResult TryParse(const QString &text, TMoney &out);
    // As TryParse, but empty text is zero and anything else that is not an
    // amount throws EFbError with a message for the user.
    static TMoney Parse(const QString &text);

    // A database money value: rounded to the fourth decimal through its
    // shortest decimal text, so 0.1 is 0,1000 and not a binary neighbour;
    // nullopt when not finite or outside the range.
    static std::optional<TMoney> FromDouble(double value);
    double ToDouble() const { return double(m_units) / double(UnitsPerReal); }

    // "1.234,50": grouped, at least two decimals, up to four when they count.
    QString Text() const;
    // "1234,50": the same without grouping, as an editor shows it for typing.
    QString EditText() const;
    // "R$ 1.234,50": the currency form of the editors that are not being typed in.
    QString CurrencyText() const;

    // Exact; nullopt when the result leaves the range.
    std::optional<TMoney> Plus(TMoney other) const;
    std::optional<TMoney> Minus(TMoney other) const;

    // The total of a service order: value + interest - discount, each an
    // exact amount (an empty one counts as zero); nullopt outside the range.
    static std::optional<TMoney> Total(TMoney valor, TMoney juros, TMoney desconto);

    // The messages shown when a typed amount is refused.
    static QString NotAnAmountMessage(const QString &text);
    static QString OutOfRangeMessage(const QString &text);
    static QString TooManyDecimalsMessage(const QString &text);

    friend bool operator==(TMoney a, TMoney b) { return a.m_units == b.m_units; }
    friend bool operator!=(TMoney a, TMoney b) { return a.m_units != b.m_units; }
    friend bool operator<(TMoney a, TMoney b) { return a.m_units < b.m_units; }

private:
    explicit constexpr TMoney(qint64 units) : m_units(units) {}
    static bool InRange(qint64 units) { return units >= -MaxUnits && units <= MaxUnits; }
    QString Format(bool grouped) const;

    qint64 m_units = 0;
};
