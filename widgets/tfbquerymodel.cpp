#include "widgets/tfbquerymodel.h"

#include "app/tguard.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"

#include <QScopeGuard>

TFbQueryModel::TFbQueryModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TFbQueryModel::SetDataSet(TFbQuery *query)
{
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections.clear();
    FinishPending();
    m_query = query;
    if (query) {
        m_connections << connect(query, &TFbQuery::aboutToResetData, this, &TFbQueryModel::OnAboutToReset)
                      << connect(query, &TFbQuery::dataReset, this, &TFbQueryModel::OnReset)
                      << connect(query, &TFbQuery::rowAboutToBeInserted, this,
                                 &TFbQueryModel::OnRowAboutToBeInserted)
                      << connect(query, &TFbQuery::rowInserted, this, &TFbQueryModel::OnRowInserted)
                      << connect(query, &TFbQuery::rowAboutToBeRemoved, this,
                                 &TFbQueryModel::OnRowAboutToBeRemoved)
                      << connect(query, &TFbQuery::rowRemoved, this, &TFbQueryModel::OnRowRemoved)
                      << connect(query, &TFbQuery::rowChanged, this, &TFbQueryModel::OnRowChanged)
                      << connect(query, &TFbQuery::rowsAboutToBeFetched, this,
                                 &TFbQueryModel::OnRowsAboutToBeFetched)
                      << connect(query, &TFbQuery::rowsFetched, this, &TFbQueryModel::OnRowsFetched)
                      << connect(query, &QObject::destroyed, this, [this] {
                             m_query = nullptr;
                             FinishPending();
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
    EndChange([this] { endResetModel(); });
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

int TFbQueryModel::DataSetRows() const
{
    // The rows read so far: counting them all would read the whole result.
    return m_query && m_query->Active() ? m_query->FetchedCount() : 0;
}

void TFbQueryModel::Reload()
{
    ReadFirstPacket();
    beginResetModel();
    ResolveFields();
    m_rows = DataSetRows();
    EndChange([this] { endResetModel(); });
}

// The rows shown and one past them: the view then knows there is more to
// scroll to, and finds nothing more to ask for before the user scrolls.
int TFbQueryModel::FirstPacket() const
{
    const int shown = m_viewRows ? m_viewRows() : 0;
    return shown > 0 ? shown + 1 : TFbQuery::kFetchPacket;
}

// A new row set starts with what the view shows at once (inside a reset,
// read while the views wait for its end); the rest comes with fetchMore.
void TFbQueryModel::ReadFirstPacket()
{
    if (!m_query || !m_query->Active() || !m_query->CanFetchMore())
        return;
    m_readingFirst = true;
    FetchUpTo(FirstPacket());
    m_readingFirst = false;
}

void TFbQueryModel::FillView()
{
    if (!m_viewRows || !canFetchMore(QModelIndex()))
        return;
    if (const int shown = m_viewRows(); shown > 0)
        FetchUpTo(shown + 1);
}

void TFbQueryModel::FetchUpTo(int rows)
{
    const int wanted = rows - m_query->FetchedCount();
    if (wanted <= 0)
        return;
    // Asked from a view's layout, resize or scrolling code: a failing read
    // is shown, not thrown.
    QPointer<TFbQuery> q = m_query;
    Guard([q, wanted] {
        if (q)
            q->FetchMore(wanted);
    });
}

// A change whose end never came (the dataset failed half-way): whatever
// the rows are now, the views are told to read them all again.
void TFbQueryModel::FinishPending()
{
    const TPending was = m_pending;
    m_pending = TPending::None;
    switch (was) {
    case TPending::None:
        return;
    case TPending::Reset:
        ResolveFields();
        ReadFirstPacket();
        m_rows = DataSetRows();
        EndChange([this] { endResetModel(); });
        return;
    case TPending::Insert:
        ++m_rows;
        EndChange([this] { endInsertRows(); });
        break;
    case TPending::Remove:
        --m_rows;
        EndChange([this] { endRemoveRows(); });
        break;
    case TPending::Fetch:
        m_rows += m_fetching;
        EndChange([this] { endInsertRows(); });
        break;
    }
    Reload();
}

void TFbQueryModel::EndChange(const std::function<void()> &end)
{
    ++m_ending;
    const auto done = qScopeGuard([this] { --m_ending; });
    end();
}

void TFbQueryModel::OnAboutToReset()
{
    FinishPending();
    beginResetModel();
    m_pending = TPending::Reset;
}

void TFbQueryModel::OnReset()
{
    if (m_pending != TPending::Reset) {
        // Not announced: the views start over all the same.
        FinishPending();
        Reload();
        return;
    }
    FinishPending();
}

void TFbQueryModel::OnRowAboutToBeInserted(int row)
{
    FinishPending();
    if (row < 0 || row > m_rows)
        return;   // the end re-reads everything
    beginInsertRows(QModelIndex(), row, row);
    m_pending = TPending::Insert;
}

void TFbQueryModel::OnRowInserted(int)
{
    if (m_pending != TPending::Insert || DataSetRows() != m_rows + 1) {
        FinishPending();
        Reload();
        return;
    }
    m_pending = TPending::None;
    ++m_rows;
    EndChange([this] { endInsertRows(); });
}

void TFbQueryModel::OnRowAboutToBeRemoved(int row)
{
    FinishPending();
    if (row < 0 || row >= m_rows)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_pending = TPending::Remove;
}

void TFbQueryModel::OnRowRemoved(int)
{
    if (m_pending != TPending::Remove || DataSetRows() != m_rows - 1) {
        FinishPending();
        Reload();
        return;
    }
    m_pending = TPending::None;
    --m_rows;
    EndChange([this] { endRemoveRows(); });
}

void TFbQueryModel::OnRowsAboutToBeFetched(int first, int last)
{
    if (m_readingFirst)
        return;   // inside a reset: its end counts them
    FinishPending();
    if (first < 0 || first > m_rows || last < first)
        return;   // the end re-reads everything
    beginInsertRows(QModelIndex(), first, last);
    m_pending = TPending::Fetch;
    m_fetching = last - first + 1;
}

void TFbQueryModel::OnRowsFetched(int, int)
{
    if (m_readingFirst)
        return;
    if (m_pending != TPending::Fetch || DataSetRows() != m_rows + m_fetching) {
        FinishPending();
        Reload();
        return;
    }
    m_pending = TPending::None;
    m_rows += m_fetching;
    EndChange([this] { endInsertRows(); });
}

bool TFbQueryModel::canFetchMore(const QModelIndex &parent) const
{
    // Not while a change is being reported: a view reacting to the end of a
    // reset would start another change inside it.
    return !parent.isValid() && m_pending == TPending::None && !m_readingFirst && m_ending == 0 && m_query
           && m_query->CanFetchMore();
}

void TFbQueryModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        FetchUpTo(m_query->FetchedCount() + TFbQuery::kFetchPacket);
}

void TFbQueryModel::OnRowChanged(int row)
{
    if (m_pending != TPending::None || DataSetRows() != m_rows) {
        FinishPending();
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
    if (role != Qt::DisplayRole || !index.isValid() || !m_query || index.row() >= m_rows
        || index.row() >= m_query->FetchedCount())
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
