#pragma once
// A read-only table model over a TFbQuery: one row per visible row of the
// dataset, one column per grid column. It holds no copy of the rows: every
// cell is read from the dataset when the view asks for it, and the model
// follows the dataset's change signals (rows added or removed, values
// changed, the whole row set replaced).
#include "tgridcolumn.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QVector>

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

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void Reload();
    void OnRowInserted(int row);
    void OnRowRemoved(int row);
    void OnRowChanged(int row);
    void ResolveFields();

    QPointer<TFbQuery> m_query;
    QList<TGridColumn> m_columns;
    QVector<int> m_fieldIndex;
    int m_rows = 0;
    QList<QMetaObject::Connection> m_connections;
};
