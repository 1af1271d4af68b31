#pragma once
// The client picker: a small modal list of the client dataset's rows from
// which the service order screen chooses the client whose orders it shows.
// Moving in the list moves the shared client dataset at once; choosing
// (OK or a double click) also reloads the order dataset with that client's
// orders. Closing by the close box reloads nothing.
#include <QColor>
#include <QDialog>
#include <optional>

class TBitBtn;
class TDBGrid;
class TFbQuery;

class TClientesForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TClientesForm2(QWidget *parent = nullptr);

    // The whole use from the service order screen's "..." button: with no
    // current client says "Não existe cliente cadastrado!" and opens
    // nothing; otherwise opens the client dataset if closed (its statement
    // unchanged) and shows the picker modally. True when it was shown.
    static bool Pick(QWidget *parent = nullptr);

    // The text colour of every row: the desktop's menu-highlight colour.
    std::optional<QColor> RowColor(const TFbQuery *query, int row) const;

    void BitBtn1Click();       // "OK", double click: choose
    void DBGrid1DblClick();

    TDBGrid *DBGrid1;
    QWidget *Panel1;
    TBitBtn *BitBtn1;
};
