#include "tests/support/trepmemorydataset.h"

#include <QDateTime>

#include <stdexcept>

TRepMemoryDataSet::TRepMemoryDataSet(const QString &name)
    : m_name(name)
{
}

void TRepMemoryDataSet::AddField(const QString &name, TRepFieldKind kind)
{
    m_fieldNames << name;
    m_kinds.push_back(kind);
    for (QVariantList &row : m_rows)
        row << QVariant();
}

void TRepMemoryDataSet::AppendRow(const QVariantList &values)
{
    QVariantList row = values;
    while (row.size() < m_fieldNames.size())
        row << QVariant();
    row = row.mid(0, m_fieldNames.size());
    m_rows.push_back(row);
}

void TRepMemoryDataSet::Clear()
{
    m_rows.clear();
    m_pos = 0;
}

void TRepMemoryDataSet::SetOpen(bool open)
{
    m_open = open;
    m_pos = 0;
}

void TRepMemoryDataSet::First()
{
    if (!m_open)
        throw std::runtime_error("Dataset not open");
    m_pos = 0;
}

void TRepMemoryDataSet::Next()
{
    if (!m_open)
        throw std::runtime_error("Dataset not open");
    if (m_pos < int(m_rows.size()))
        ++m_pos;
}

bool TRepMemoryDataSet::Eof() const
{
    return !m_open || m_pos >= int(m_rows.size());
}

int TRepMemoryDataSet::RecordCount() const
{
    if (m_countFails)
        throw std::runtime_error("Record count not available");
    return int(m_rows.size());
}

int TRepMemoryDataSet::FieldIndex(const QString &name) const
{
    for (qsizetype i = 0; i < m_fieldNames.size(); ++i)
        if (m_fieldNames.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TRepMemoryDataSet::CheckField(int field) const
{
    if (field < 0 || field >= m_fieldNames.size())
        throw std::out_of_range("Field index out of range");
}

TRepFieldKind TRepMemoryDataSet::FieldKind(int field) const
{
    CheckField(field);
    return m_kinds[size_t(field)];
}

QVariant TRepMemoryDataSet::FieldValue(int field) const
{
    CheckField(field);
    if (m_valueFails)
        throw std::runtime_error("Field value not readable");
    if (!m_open || m_pos >= int(m_rows.size()))
        return QVariant();
    return m_rows[size_t(m_pos)].at(field);
}

QString TRepMemoryDataSet::FieldDisplayText(int field) const
{
    const QVariant v = FieldValue(field);
    if (!v.isValid() || v.isNull())
        return QString();
    const QLocale loc;
    switch (m_kinds[size_t(field)]) {
    case TRepFieldKind::Float:
    case TRepFieldKind::Bcd:
        return loc.toString(v.toDouble(), 'g', 15);
    case TRepFieldKind::Currency:
        return loc.toCurrencyString(v.toDouble());
    case TRepFieldKind::Date:
        return loc.toString(v.toDate(), QLocale::ShortFormat);
    case TRepFieldKind::Time:
        return loc.toString(v.toTime(), QStringLiteral("HH:mm:ss"));
    case TRepFieldKind::DateTime: {
        const QDateTime dt = v.toDateTime();
        QString s = loc.toString(dt.date(), QLocale::ShortFormat);
        if (dt.time() != QTime(0, 0))
            s += u' ' + loc.toString(dt.time(), QStringLiteral("HH:mm:ss"));
        return s;
    }
    default:
        return v.toString();
    }
}
