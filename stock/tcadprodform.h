#pragma once
// The product record form: the modal dialog in which one product is created
// or changed, its editors bound to the current record of the shared product
// dataset. The product's supplier is chosen with the supplier picker ("...")
// into two boxes of the form's own, copied into the product only when it is
// saved. A product must have a description; costs are money, quantities
// take digits only.
//
// With several computers on one database, the quantity in stock may have
// been changed by a movement recorded elsewhere since the product was read.
// Saving never overwrites such a change: when the quantity box was left as
// read, the product keeps the quantity stored now; when the user changed it,
// nothing is written and the form says so.
#include "widgets/trecordform.h"

class QLineEdit;
class QToolButton;
class TDBMemo;
class TDBMoneyEdit;

class TCadProdForm : public TRecordForm
{
    Q_OBJECT
public:
    explicit TCadProdForm(QWidget *parent = nullptr);

    // Handlers.
    void SpeedButton1Click(); // "..."

    // Controls, in tab order.
    TDBEdit *DBEdit1;          // IDPROD
    TDBEdit *DBEdit2;          // DESCRICAO
    TDBEdit *DBEdit3;          // MARCA
    TDBMoneyEdit *DBEdit4;     // CUSTOCOMPRA
    TDBMoneyEdit *DBEdit5;     // CUSTOVENDA
    TDBEdit *DBEdit6;          // QTDEDISP
    TDBEdit *DBEdit7;          // QTDEMIN
    TDBMemo *DBMemo1;          // ANOTA
    TDBEdit *DBEdit8;          // DATACAD
    QLineEdit *Edit1;          // supplier code
    QLineEdit *Edit2;          // supplier name
    QToolButton *SpeedButton1; // "..."

protected:
    void WriteDerived() override;
    bool ApplyRecord() override;
};
