#pragma once
// A read-only table model over a TFbQuery: one row per visible row of the
// dataset, one column per grid column. It holds no copy of the rows: every
// cell is read from the dataset when the view asks for it, so the model
// follows the dataset's paired change signals: the begin of a change (rows
// added or removed, the whole row set replaced) is passed on to the views
// when the dataset announces it, before the rows change, and its end when
// the dataset reports it done; changed values are reported afterwards.
//
// Its rows are the rows the dataset has read so far - at least a first
// packet whenever the row set is replaced: the rows its view shows and one
// more when the view has said how many it shows (SetViewRows), a packet
// otherwise. A view asks for more as it scrolls (canFetchMore/fetchMore, a
// packet at a time), and rows the dataset reads for other reasons (a move
// past the rows read, a search) come in the same way.
#include "widgets/tgridcolumn.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QVector>
#include <functional>

class TFbQuery;

class TFbQueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TFbQueryModel(QObject *parent = nullptr);

    void SetDataSet(TFbQuery *query);
    TFbQuery *DataSet() const;
    void SetColumns(const QList<TGridColumn> &columns);
    const QList<TGridColumn> &Columns() const { return m_columns; }
    // The dataset's field index behind a grid column (-1: no such field).
    int FieldIndex(int column) const;

    // How many rows the view shows at its size, asked whenever a new row
    // set starts (0: the view does not know yet, a packet is read).
    void SetViewRows(std::function<int()> rowsShown) { m_viewRows = std::move(rowsShown); }
    // Reads up to the rows the view shows and one more, after the view grew
    // or first got its size.
    void FillView();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    enum class TPending { None, Reset, Insert, Remove, Fetch };

    void Reload();
    void ReadFirstPacket();
    int FirstPacket() const;
    // Reads until the dataset holds `rows` rows or its cursor ends.
    void FetchUpTo(int rows);
    void OnAboutToReset();
    void OnReset();
    void OnRowAboutToBeInserted(int row);
    void OnRowInserted(int row);
    void OnRowAboutToBeRemoved(int row);
    void OnRowRemoved(int row);
    void OnRowsAboutToBeFetched(int first, int last);
    void OnRowsFetched(int first, int last);
    void OnRowChanged(int row);
    void FinishPending();
    void EndChange(const std::function<void()> &end);
    int DataSetRows() const;
    void ResolveFields();

    QPointer<TFbQuery> m_query;
    QList<TGridColumn> m_columns;
    QVector<int> m_fieldIndex;
    int m_rows = 0;
    int m_fetching = 0;   // rows of the pending Fetch
    bool m_readingFirst = false;
    int m_ending = 0;     // inside an end*() call: the views hear of a change
    TPending m_pending = TPending::None;
    QList<QMetaObject::Connection> m_connections;
    std::function<int()> m_viewRows;
};
