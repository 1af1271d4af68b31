#pragma once
// A drop-down list bound to a text field of a dataset's current row: the
// user chooses one of fixed items (no free typing) and the item's text is
// written into the field at once; the box shows the item whose text is the
// field's, compared exactly, and nothing for any other text.
//
// With an item colour rule the list is painted by its screen: each item
// (in the open list and in the closed box) is written in its own colour at
// the top left of its rectangle, and the highlighted item shows that colour
// on white instead of the usual highlight.
#include "widgets/tdbcontrol.h"

#include <QColor>
#include <QComboBox>
#include <functional>
#include <optional>

class TFbQuery;
class QStyleOptionViewItem;
class QPainter;

class TDBComboBox : public TDBControl<QComboBox>
{
    Q_OBJECT
public:
    // The text colour of an item by its position; nullopt keeps the list's own.
    using ItemColorRule = std::function<std::optional<QColor>(int index)>;

    explicit TDBComboBox(QWidget *parent = nullptr);
    TDBComboBox(const QString &objectName, TFbQuery *query, const QString &fieldName,
                QWidget *parent = nullptr);

    void SetItems(const QStringList &items);
    void SetItemColorRule(ItemColorRule rule);

    // How an item is painted: the fill of its rectangle and its text colour
    // (what the painting uses; screens' tests read it).
    QColor ItemBackground(int index, bool highlighted) const;
    QColor ItemTextColor(int index) const;
    // Paints one item into `rect` (the open list's delegate and the closed
    // box both come here).
    void PaintItem(QPainter *painter, const QRect &rect, int index, bool highlighted) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void ShowField();
    void OnActivated(int index);

    ItemColorRule m_rule;
};
