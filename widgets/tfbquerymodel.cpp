#include "tfbquerymodel.h"

#include "tfbfield.h"
#include "tfbquery.h"

TFbQueryModel::TFbQueryModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TFbQueryModel::SetDataSet(TFbQuery *query)
{
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_query = query;
    if (query) {
        m_connections << connect(query, &TFbQuery::dataReset, this, &TFbQueryModel::Reload)
                      << connect(query, &TFbQuery::opened, this, &TFbQueryModel::Reload)
                      << connect(query, &TFbQuery::closed, this, &TFbQueryModel::Reload)
                      << connect(query, &TFbQuery::rowInserted, this, &TFbQueryModel::OnRowInserted)
                      << connect(query, &TFbQuery::rowRemoved, this, &TFbQueryModel::OnRowRemoved)
                      << connect(query, &TFbQuery::rowChanged, this, &TFbQueryModel::OnRowChanged)
                      << connect(query, &QObject::destroyed, this, [this] {
                             m_query = nullptr;
                             Reload();
                         });
    }
    Reload();
}

TFbQuery *TFbQueryModel::DataSet() const
{
    return m_query;
}

void TFbQueryModel::SetColumns(const QList<TGridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    ResolveFields();
    endResetModel();
}

int TFbQueryModel::FieldIndex(int column) const
{
    return column >= 0 && column < m_fieldIndex.size() ? m_fieldIndex.at(column) : -1;
}

void TFbQueryModel::ResolveFields()
{
    // Fields made from the result columns come and go with Open and Close,
    // so the columns are looked up again whenever the row set is replaced.
    m_fieldIndex.clear();
    for (const TGridColumn &c : m_columns) {
        TFbField *f = m_query ? m_query->FindField(c.fieldName) : nullptr;
        m_fieldIndex << (f ? f->Index() : -1);
    }
}

void TFbQueryModel::Reload()
{
    beginResetModel();
    ResolveFields();
    m_rows = m_query && m_query->Active() ? m_query->RecordCount() : 0;
    endResetModel();
}

void TFbQueryModel::OnRowInserted(int row)
{
    const int count = m_query->RecordCount();
    if (count != m_rows + 1 || row < 0 || row > m_rows) {
        Reload();
        return;
    }
    beginInsertRows(QModelIndex(), row, row);
    m_rows = count;
    endInsertRows();
}

void TFbQueryModel::OnRowRemoved(int row)
{
    const int count = m_query->RecordCount();
    if (count != m_rows - 1 || row < 0 || row >= m_rows) {
        Reload();
        return;
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_rows = count;
    endRemoveRows();
}

void TFbQueryModel::OnRowChanged(int row)
{
    if (m_query->RecordCount() != m_rows) {
        Reload();
        return;
    }
    if (row >= 0 && row < m_rows && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1), {Qt::DisplayRole});
}

int TFbQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TFbQueryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TFbQueryModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !m_query || index.row() >= m_rows)
        return QVariant();
    const int field = FieldIndex(index.column());
    if (field < 0)
        return QString();
    // Plain text, not the display format: money as "134,5", dates as the
    // short date.
    return m_query->TextAt(index.row(), field);
}

QVariant TFbQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const TGridColumn &c = m_columns.at(section);
    return c.title.isEmpty() ? c.fieldName : c.title;
}

Qt::ItemFlags TFbQueryModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::NoItemFlags;
}
