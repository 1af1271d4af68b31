#include "report/model/trepdbcalc.h"

#include "report/model/trepdataset.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

TRepDBCalc::TRepDBCalc(QObject *parent)
    : TRepDBText(parent)
{
}

QString TRepDBCalc::KindName(Kind kind)
{
    return kind == Count ? QStringLiteral("Count") : QStringLiteral("Sum");
}

std::optional<TRepDBCalc::Kind> TRepDBCalc::KindFromName(const QString &name)
{
    if (name == QLatin1String("Sum"))
        return Sum;
    if (name == QLatin1String("Count"))
        return Count;
    return std::nullopt;
}

void TRepDBCalc::Reset()
{
    FRecords = 0;
    FUnits = 0;
    FBroken = false;
}

std::optional<qint64> TRepDBCalc::ToUnits(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return qint64(0);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char: {
        const qint64 v = value.toLongLong();
        if (v > std::numeric_limits<qint64>::max() / 10000 || v < std::numeric_limits<qint64>::min() / 10000)
            return std::nullopt;
        return v * 10000;
    }
    default:
        break;
    }
    // Text of a decimal number: read digit by digit, no binary rounding.
    if (value.typeId() == QMetaType::QString) {
        static const QRegularExpression number(QStringLiteral("^\\s*([-+]?)(\\d{1,18})(?:\\.(\\d*))?\\s*$"));
        const QRegularExpressionMatch m = number.match(value.toString());
        if (!m.hasMatch())
            return std::nullopt;
        bool ok = false;
        const qint64 whole = m.captured(2).toLongLong(&ok);
        if (!ok || whole > std::numeric_limits<qint64>::max() / 10000 - 1)
            return std::nullopt;
        QString decimals = m.captured(3);
        const bool roundUp = decimals.size() > 4 && decimals.at(4) >= QLatin1Char('5');
        decimals = decimals.left(4).leftJustified(4, QLatin1Char('0'));
        qint64 units = whole * 10000 + decimals.toLongLong() + (roundUp ? 1 : 0);
        return m.captured(1) == QLatin1String("-") ? -units : units;
    }
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d) || std::abs(d) >= 9.0e14)
        return std::nullopt;
    // The shortest decimal text that reads back as the same double is the
    // amount the database meant (12.35, not 12.349999...).
    return ToUnits(QVariant(QString::number(d, 'f', 6)));
}

void TRepDBCalc::Accumulate()
{
    ++FRecords;
    if (Calc != Sum || FBroken || !DataSet || DataField().isEmpty())
        return;
    std::optional<qint64> units;
    try {
        const int field = DataSet->FieldIndex(DataField());
        if (field < 0) {
            FBroken = true;
            return;
        }
        units = ToUnits(DataSet->FieldValue(field));
    } catch (...) {
        units.reset();
    }
    qint64 sum = 0;
    if (!units || __builtin_add_overflow(FUnits, *units, &sum)) {
        FBroken = true;
        return;
    }
    FUnits = sum;
}

std::optional<qint64> TRepDBCalc::SumUnits() const
{
    if (FBroken)
        return std::nullopt;
    return FUnits;
}
