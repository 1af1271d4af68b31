#pragma once
// The product list, the stock screen: the products in a grid over the
// shared product dataset, red where the stock has fallen below its minimum,
// searched by description or by the supplier name stored in the product;
// the start of creating, editing and deleting a product (in the product
// record form) and of recording a stock entry or exit (in the stock
// movement form), both opened modally from here. The keypad's "+" and "-"
// start an entry and an exit; those of the main keyboard do nothing special.
#include "stock/tstockmovement.h"
#include "widgets/tsearchlistscreen.h"

#include <optional>

class QColor;

class TProdForm : public TSearchListScreen
{
    Q_OBJECT
public:
    explicit TProdForm(QWidget *owner = nullptr);

    // The text colour of a product row: red below the minimum, navy
    // otherwise (empty quantities read 0).
    static std::optional<QColor> RowColor(const TFbQuery *query, int row);
    // The colour legend's text.
    static QString LegendText();

    // Handlers.
    void BitBtn6Click(); // "Legenda Cores"
    void BitBtn7Click(); // entry, keypad "+"
    void BitBtn8Click(); // exit, keypad "-"

    TBitBtn *BitBtn6;    // "Legenda Cores"
    TBitBtn *BitBtn7;    // entry (cart with a green plus)
    TBitBtn *BitBtn8;    // exit (cart with a red minus)

protected:
    std::unique_ptr<QDialog> CreateRecordForm() override;
    void LoadRecordForm(QDialog *form, bool isNew) override;

private:
    void StartMovement(TStockMovement::Kind kind);
};
