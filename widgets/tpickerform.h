#pragma once
// A picker: a small modal list over a shared dataset, with one "OK" button
// below the grid, from which another screen chooses a row. Moving in the
// grid moves the dataset at once; "OK" or a double click anywhere in the
// grid chooses the current row and closes; the close box closes without
// choosing. It has no keys of its own: Esc does not close it.
//
// Every row is written in the desktop's menu-highlight colour.
#include "widgets/tgridcolumn.h"

#include <QColor>
#include <QDialog>
#include <QList>
#include <optional>

class TBitBtn;
class TDBGrid;
class TFbQuery;

class TPickerForm : public QDialog
{
    Q_OBJECT
public:
    TPickerForm(TFbQuery *dataSet, const QList<TGridColumn> &columns, QWidget *parent = nullptr);

    // The text colour of every row: the desktop's menu-highlight colour.
    static std::optional<QColor> RowColor(const TFbQuery *query, int row);

    void BitBtn1Click();       // "OK": choose, then close
    void DBGrid1DblClick();    // as "OK"

    TDBGrid *DBGrid1;
    QWidget *Panel1;           // button panel
    TBitBtn *BitBtn1;          // "OK"

protected:
    // What choosing the current row does.
    virtual void Choose() = 0;
    void keyPressEvent(QKeyEvent *event) override;
};
