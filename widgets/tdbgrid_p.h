#pragma once
// Paints the cells of a TDBGrid (see tdbgrid.h for the rule).
#include <QStyledItemDelegate>

class TDBGrid;

class TDBGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TDBGridDelegate(TDBGrid *grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    TDBGrid *m_grid;
};
