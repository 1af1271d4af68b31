#include "data/tfbfield.h"
#include "data/efberror.h"
#include "data/tfbconvert.h"
#include "data/tfbquery.h"

#include <cmath>

namespace {
constexpr qint64 kOleAutomationEpochJd = 2415019;   // 30/12/1899, day 0 of an OLE Automation date

double Pow10(int n)
{
    return std::pow(10.0, n);
}

QDateTime FromDays(double days)
{
    double whole = std::floor(days);
    qint64 ms = qint64(std::llround((days - whole) * 86400000.0));
    return QDateTime(QDate::fromJulianDay(kOleAutomationEpochJd + qint64(whole)), QTime(0, 0)).addMSecs(ms);
}

double ToDays(const QDateTime &dt)
{
    return double(dt.date().toJulianDay() - kOleAutomationEpochJd) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}
} // namespace

TFbField::TFbField(TFbQuery *q, const QString &name, TFbFieldKind kind, int size)
    : m_query(q), m_name(name), m_kind(kind), m_size(size)
{
    switch (kind) {
    case TFbFieldKind::Integer: case TFbFieldKind::LargeInt: m_storage = TFbStorage::Int; break;
    case TFbFieldKind::Float: case TFbFieldKind::Currency: m_storage = TFbStorage::Double; break;
    case TFbFieldKind::DateTime: m_storage = TFbStorage::Timestamp; break;
    case TFbFieldKind::String: m_storage = TFbStorage::Text; break;
    case TFbFieldKind::Blob: m_storage = TFbStorage::Blob; break;
    }
}

void TFbField::SetCurrency(bool on)
{
    if (on && (m_kind == TFbFieldKind::Float || m_kind == TFbFieldKind::Currency))
        m_kind = TFbFieldKind::Currency;
    else if (!on && m_kind == TFbFieldKind::Currency)
        m_kind = TFbFieldKind::Float;
}

TFbCell TFbField::Cell() const
{
    return m_query->CurrentCell(m_col);
}

void TFbField::Write(TFbCell c)
{
    m_query->WriteCurrentCell(const_cast<TFbField *>(this), c);
}

void TFbField::ConversionError(const char *type) const
{
    throw EFbError(QStringLiteral("Cannot access field '%1' as type %2").arg(m_name, QLatin1String(type)));
}

bool TFbField::IsNull() const
{
    return Cell().null;
}

void TFbField::Clear()
{
    Write(TFbCell());
}

QString TFbField::CellText(const TFbCell &c) const
{
    if (c.null)
        return QString();
    switch (m_storage) {
    case TFbStorage::Int:
        if (m_scale == 0)
            return QString::number(c.i);
        return TFbConvert::FloatText(double(c.i) * Pow10(m_scale));
    case TFbStorage::Double:
        return TFbConvert::FloatText(c.d);
    case TFbStorage::Timestamp:
        return TFbConvert::DateTimeText(TFbConvert::ToDateTime(c.i));
    case TFbStorage::Text:
        return TFbConvert::FromAnsi(c.s);
    case TFbStorage::Blob:
        return QStringLiteral("(BLOB)");
    }
    return QString();
}

QVariant TFbField::CellVariant(const TFbCell &c) const
{
    if (c.null)
        return QVariant();
    switch (m_storage) {
    case TFbStorage::Int:
        if (m_scale != 0)
            return double(c.i) * Pow10(m_scale);
        if (m_kind == TFbFieldKind::Integer)
            return int(c.i);
        return qlonglong(c.i);
    case TFbStorage::Double:
        return c.d;
    case TFbStorage::Timestamp:
        return TFbConvert::ToDateTime(c.i);
    case TFbStorage::Text:
        return TFbConvert::FromAnsi(c.s);
    case TFbStorage::Blob:
        return qlonglong(c.i);
    }
    return QVariant();
}

QString TFbField::AsString() const
{
    return CellText(Cell());
}

qint64 TFbField::AsLargeInt() const
{
    const TFbCell c = Cell();
    if (c.null)
        return 0;
    switch (m_storage) {
    case TFbStorage::Int:
        return m_scale == 0 ? c.i : std::llround(double(c.i) * Pow10(m_scale));
    case TFbStorage::Double:
        return std::llround(c.d);
    case TFbStorage::Text: {
        qint64 v;
        const QString t = TFbConvert::FromAnsi(c.s);
        if (!TFbConvert::ParseInteger(t, v))
            throw EFbError(QStringLiteral("'%1' não é um número inteiro válido").arg(t));
        return v;
    }
    default:
        ConversionError("Integer");
    }
}

qint32 TFbField::AsInteger() const
{
    qint64 v = AsLargeInt();
    if (v < INT32_MIN || v > INT32_MAX)
        throw EFbError(QStringLiteral("'%1' não é um número inteiro válido").arg(v));
    return qint32(v);
}

double TFbField::AsFloat() const
{
    const TFbCell c = Cell();
    if (c.null)
        return 0;
    switch (m_storage) {
    case TFbStorage::Int:
        return double(c.i) * Pow10(m_scale);
    case TFbStorage::Double:
        return c.d;
    case TFbStorage::Timestamp:
        return ToDays(TFbConvert::ToDateTime(c.i));
    case TFbStorage::Text: {
        double v;
        const QString t = TFbConvert::FromAnsi(c.s);
        if (!TFbConvert::ParseFloat(t, v))
            throw EFbError(QStringLiteral("'%1' não é um número válido").arg(t));
        return v;
    }
    default:
        ConversionError("Float");
    }
}

QDateTime TFbField::AsDateTime() const
{
    const TFbCell c = Cell();
    if (c.null)
        return QDateTime();
    switch (m_storage) {
    case TFbStorage::Timestamp:
        return TFbConvert::ToDateTime(c.i);
    case TFbStorage::Double:
        return FromDays(c.d);
    case TFbStorage::Text: {
        QDateTime dt;
        const QString t = TFbConvert::FromAnsi(c.s);
        if (!TFbConvert::ParseDateTime(t, dt))
            throw EFbError(QStringLiteral("'%1' não é uma data válida").arg(t));
        return dt;
    }
    default:
        ConversionError("DateTime");
    }
}

void TFbField::SetAsString(const QString &v)
{
    TFbCell c;
    switch (m_storage) {
    case TFbStorage::Text:
        if (!v.isEmpty()) {
            c.null = false;
            c.s = TFbConvert::ToAnsi(v);
            if (m_size > 0 && c.s.size() > m_size)
                c.s.truncate(m_size);
        }
        break;
    case TFbStorage::Int:
        if (!v.trimmed().isEmpty()) {
            if (m_scale == 0) {
                qint64 x;
                if (!TFbConvert::ParseInteger(v, x)
                    || (m_kind == TFbFieldKind::Integer && (x < INT32_MIN || x > INT32_MAX)))
                    throw EFbError(QStringLiteral("'%1' não é um número inteiro válido").arg(v));
                c.i = x;
            } else {
                double d;
                if (!TFbConvert::ParseFloat(v, d))
                    throw EFbError(QStringLiteral("'%1' não é um número válido").arg(v));
                c.i = std::llround(d * Pow10(-m_scale));
            }
            c.null = false;
        }
        break;
    case TFbStorage::Double:
        if (!v.trimmed().isEmpty()) {
            if (!TFbConvert::ParseFloat(v, c.d))
                throw EFbError(QStringLiteral("'%1' não é um número válido").arg(v));
            c.null = false;
        }
        break;
    case TFbStorage::Timestamp:
        if (!v.trimmed().isEmpty()) {
            QDateTime dt;
            if (!TFbConvert::ParseDateTime(v, dt))
                throw EFbError(QStringLiteral("'%1' não é uma data válida").arg(v));
            c.i = TFbConvert::FromDateTime(dt);
            c.null = false;
        }
        break;
    case TFbStorage::Blob:
        ConversionError("String");
    }
    Write(c);
}

void TFbField::SetAsLargeInt(qint64 v)
{
    TFbCell c;
    c.null = false;
    switch (m_storage) {
    case TFbStorage::Int:
        if (m_scale == 0) {
            if (m_kind == TFbFieldKind::Integer && (v < INT32_MIN || v > INT32_MAX))
                throw EFbError(QStringLiteral("'%1' não é um número inteiro válido").arg(v));
            c.i = v;
        } else {
            c.i = std::llround(double(v) * Pow10(-m_scale));
        }
        break;
    case TFbStorage::Double:
        c.d = double(v);
        break;
    case TFbStorage::Text:
        SetAsString(QString::number(v));
        return;
    default:
        ConversionError("Integer");
    }
    Write(c);
}

void TFbField::SetAsInteger(qint32 v)
{
    SetAsLargeInt(v);
}

void TFbField::SetAsFloat(double v)
{
    if (!std::isfinite(v))
        throw EFbError(QStringLiteral("Invalid floating point value for field '%1'").arg(m_name));
    TFbCell c;
    c.null = false;
    switch (m_storage) {
    case TFbStorage::Int:
        if (m_scale == 0) {
            SetAsLargeInt(std::llround(v));
            return;
        }
        c.i = std::llround(v * Pow10(-m_scale));
        break;
    case TFbStorage::Double:
        c.d = v;
        break;
    case TFbStorage::Timestamp:
        c.i = TFbConvert::FromDateTime(FromDays(v));
        break;
    case TFbStorage::Text:
        SetAsString(TFbConvert::FloatText(v));
        return;
    default:
        ConversionError("Float");
    }
    Write(c);
}

void TFbField::SetAsDateTime(const QDateTime &v)
{
    if (!v.isValid()) {
        Clear();
        return;
    }
    TFbCell c;
    c.null = false;
    switch (m_storage) {
    case TFbStorage::Timestamp:
        c.i = TFbConvert::FromDateTime(v);
        break;
    case TFbStorage::Double:
        c.d = ToDays(v);
        break;
    case TFbStorage::Text:
        SetAsString(TFbConvert::DateTimeText(v));
        return;
    default:
        ConversionError("DateTime");
    }
    Write(c);
}

QVariant TFbField::Value() const
{
    return CellVariant(Cell());
}

void TFbField::SetValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        Clear();
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        SetAsLargeInt(v.toLongLong());
        break;
    case QMetaType::Double: case QMetaType::Float:
        SetAsFloat(v.toDouble());
        break;
    case QMetaType::QDateTime:
        SetAsDateTime(v.toDateTime());
        break;
    case QMetaType::QDate:
        SetAsDateTime(QDateTime(v.toDate(), QTime(0, 0)));
        break;
    default:
        SetAsString(v.toString());
        break;
    }
}

QString TFbField::DisplayText() const
{
    return DisplayTextAt(m_query->RecNo());
}

QString TFbField::DisplayTextAt(int row) const
{
    const TFbCell c = row == m_query->RecNo() ? Cell() : m_query->CellAt(row, m_col);
    if (c.null)
        return QString();
    if (m_storage == TFbStorage::Timestamp && !m_displayFormat.isEmpty())
        return TFbConvert::FormatDateTime(TFbConvert::ToDateTime(c.i), m_displayFormat);
    if (m_kind == TFbFieldKind::Currency)
        return TFbConvert::CurrencyText(m_storage == TFbStorage::Int ? double(c.i) * Pow10(m_scale) : c.d);
    return CellText(c);
}

QVariant TFbField::OldValue() const
{
    return CellVariant(m_query->OldCell(m_col));
}

QString TFbField::AsStringAt(int row) const
{
    return CellText(m_query->CellAt(row, m_col));
}

bool TFbField::IsNullAt(int row) const
{
    return m_query->CellAt(row, m_col).null;
}

QVariant TFbField::ValueAt(int row) const
{
    return CellVariant(m_query->CellAt(row, m_col));
}
