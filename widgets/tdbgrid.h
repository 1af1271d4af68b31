#pragma once
// The grid of every list screen and picker: a read-only view of a TFbQuery
// that selects whole rows, shows titles, lines and resizable columns, and
// keeps its selection on the dataset's current row in both directions
// (moving in the grid moves the dataset, and the grid follows every move of
// the dataset).
//
// Cells are painted the one way the screens want them: the selected row on
// sky blue whether or not the grid has the focus, the text colour of each
// row from the screen's row-colour rule (none: the grid's own text colour),
// the value as plain text 2 pixels right of the cell's left edge, at its top.
//
// Ctrl+Delete with Ctrl as the only modifier is swallowed.
#include "widgets/tgridcolumn.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <optional>

class TFbQuery;
class TFbQueryModel;

class TDBGrid : public QTableView
{
    Q_OBJECT
public:
    // The text colour of a visible row of the dataset; nullopt keeps the
    // grid's own.
    using RowColorRule = std::function<std::optional<QColor>(const TFbQuery *query, int row)>;

    explicit TDBGrid(QWidget *parent = nullptr);
    ~TDBGrid() override;

    void SetDataSet(TFbQuery *query);
    TFbQuery *DataSet() const;
    void SetColumns(const QList<TGridColumn> &columns);
    void SetRowColorRule(RowColorRule rule) { m_rule = std::move(rule); viewport()->update(); }
    TFbQueryModel *Model() const { return m_model; }
    // The rows the grid shows at its size, one cut by the bottom edge
    // counted; 0 while it has never had a size (neither shown nor laid
    // out). A new row set reads these and one more.
    int RowsShown() const;

    // How a row is painted (what the delegate uses; screens' tests read it).
    QColor RowBackground(int row) const;
    QColor RowTextColor(int row) const;

    // Reading a column of any row without moving the dataset, for rules.
    static std::optional<int> IntAt(const TFbQuery *query, int row, const QString &fieldName);
    static QString TextAt(const TFbQuery *query, int row, const QString &fieldName);

signals:
    // A double click anywhere in the grid, titles included.
    void DblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyboardSearch(const QString &search) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FollowDataSet();
    void ApplyWidths();
    int DefaultWidth(int column) const;

    TFbQueryModel *m_model;
    RowColorRule m_rule;
    bool m_following = false;
    bool m_modelChanging = false;   // between a row change's begin and end
    QList<QMetaObject::Connection> m_connections;
};
