#include "data/reportdata/tfbreportdataset.h"

#include "data/tfbfield.h"
#include "data/tfbquery.h"

TFbReportDataSet::TFbReportDataSet(TFbQuery *query, const QString &name)
    : m_query(query)
    , m_name(name)
{
}

QString TFbReportDataSet::DataSetName() const
{
    if (!m_name.isEmpty() || !m_query)
        return m_name;
    return m_query->objectName();
}

bool TFbReportDataSet::IsOpen() const
{
    return m_query && m_query->Active();
}

void TFbReportDataSet::First()
{
    if (IsOpen())
        m_query->First();
}

void TFbReportDataSet::Next()
{
    if (IsOpen())
        m_query->Next();
}

bool TFbReportDataSet::Eof() const
{
    return !IsOpen() || m_query->Eof();
}

int TFbReportDataSet::RecordCount() const
{
    return IsOpen() ? m_query->RecordCount() : 0;
}

int TFbReportDataSet::FieldIndex(const QString &name) const
{
    if (!m_query)
        return -1;
    const TFbField *f = m_query->FindField(name);
    return f ? f->Index() : -1;
}

TRepFieldKind TFbReportDataSet::FieldKind(int field) const
{
    if (!m_query || field < 0 || field >= m_query->FieldCount())
        return TRepFieldKind::Other;
    switch (m_query->Field(field)->Kind()) {
    case TFbFieldKind::Integer:
    case TFbFieldKind::LargeInt: return TRepFieldKind::Integer;
    case TFbFieldKind::Float: return TRepFieldKind::Float;
    case TFbFieldKind::Currency: return TRepFieldKind::Currency;
    case TFbFieldKind::DateTime: return TRepFieldKind::DateTime;
    case TFbFieldKind::String: return TRepFieldKind::String;
    case TFbFieldKind::Blob: return TRepFieldKind::Memo;
    }
    return TRepFieldKind::Other;
}

QVariant TFbReportDataSet::FieldValue(int field) const
{
    if (!m_query || field < 0 || field >= m_query->FieldCount())
        return QVariant();
    const TFbField *f = m_query->Field(field);
    return f->IsNull() ? QVariant() : f->Value();
}

QString TFbReportDataSet::FieldDisplayText(int field) const
{
    if (!m_query || field < 0 || field >= m_query->FieldCount())
        return QString();
    return m_query->Field(field)->DisplayText();
}
