#pragma once
// The stock movement form: records one entry or one exit of the current
// product. The opener puts the product (the current record of the shared
// product dataset) into editing and appends the movement to the shared
// movement dataset, then shows this form modally in the mode it chose.
//
// "Gravar" with an empty quantity gives both records up and closes without
// a word; otherwise the movement is recorded (TStockMovement: the quantity
// stored now, both writes or neither) and the form closes. An exit larger
// than the stock, or an entry past the largest quantity, is refused with a
// message and the form stays open with the focus in the quantity box.
// However the form closes, what is still pending in either record is given
// up.
#include "stock/tstockmovement.h"

#include <QDialog>

class QLabel;
class TBitBtn;
class TDBEdit;
class TDBMemo;
class TKeyPreview;

class TProdEntForm : public QDialog
{
    Q_OBJECT
public:
    using Mode = TStockMovement::Kind;

    explicit TProdEntForm(Mode mode, QWidget *parent = nullptr);

    Mode GetMode() const { return m_mode; }

    // Handlers.
    void BitBtn1Click(); // "Gravar"
    void BitBtn2Click(); // "Cancelar [ESC]"

    // The product and its movement being typed belong to this form: other
    // screens are refused what would move or drop them, with a message
    // naming it. Called once both entries are started.
    void HoldEntries();

    // Controls, in tab order.
    TDBEdit *DBEdit1;    // product IDPROD
    TDBEdit *DBEdit2;    // product DESCRICAO
    TDBEdit *DBEdit3;    // product NOMEFORNE
    TDBEdit *DBEdit4;    // product QTDEDISP, the stock before the movement
    TBitBtn *BitBtn1;    // "Gravar"
    TBitBtn *BitBtn2;    // "Cancelar [ESC]"
    TDBEdit *DBEdit5;    // movement QTDEENT, digits only
    TDBEdit *DBEdit6;    // movement DATACAD
    TDBMemo *DBMemo1;    // movement OBS
    QLabel *Label5;      // "Quantidade de Entrada" / "Quantidade de Saída"
    QLabel *Label7;      // "Data de Entrada" / "Data de Saida"

public slots:
    void done(int result) override;

private:
    void GiveUp();

    Mode m_mode;
    TKeyPreview *m_keyPreview;
};
