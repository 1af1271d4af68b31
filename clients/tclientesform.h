#pragma once
// The client record form: the modal dialog in which one client is created
// or changed. Its editors are bound to the current record of the shared
// client dataset, which the client list has put into inserting or editing
// before showing it. Besides plain binding it has the person type (which
// switches the person and company fields on and off), the annotation type,
// and the rule that a client must have a name.
#include "widgets/trecordform.h"

#include <functional>

class QToolButton;
class TDBMemo;
class TRadioGroup;

class TClientesForm : public TRecordForm
{
    Q_OBJECT
public:
    explicit TClientesForm(QWidget *parent = nullptr);

    // Handlers ("Gravar" and "Cancelar [ESC]" are the record form's).
    void BitBtn3Click();      // "Legenda Anotações"
    void SpeedButton1Click(); // settings, header page first
    void RadioGroup1Click();  // person-type switch

    // Controls, in tab order.
    TRadioGroup *RadioGroup1;             // person type
    TDBEdit *DBEdit1;                     // IDCLIENTE
    TDBEdit *DBEdit2;                     // NOME
    TDBEdit *DBEdit3;                     // FONERES
    TDBEdit *DBEdit4;                     // FONECOM
    TDBEdit *DBEdit5;                     // FONECEL
    TDBEdit *DBEdit6;                     // END1
    TDBEdit *DBEdit7;                     // END2
    TDBEdit *DBEdit8;                     // CIDADE
    TDBEdit *DBEdit9;                     // UF
    TDBEdit *DBEdit10;                    // CEP
    TDBEdit *DBEdit11;                    // CPF
    TDBEdit *DBEdit12;                    // RG
    TDBEdit *DBEdit13;                    // EMAIL
    TDBEdit *DBEdit14;                    // CNPJ
    TDBEdit *DBEdit15;                    // IE
    TDBEdit *DBEdit16;                    // PESSOACONT
    // BitBtn1 "Gravar", BitBtn2 "Cancelar [ESC]"
    TDBEdit *DBEdit17;                    // DATACADASTRO
    TDBMemo *DBMemo1;                     // ANOTA
    TRadioGroup *RadioGroup2;             // "Tipo de Anotação"
    TBitBtn *BitBtn3;                     // "Legenda Anotações"
    QToolButton *SpeedButton1;            // pencil: settings

protected:
    // The annotation and person types, from their choices.
    void WriteDerived() override;

private:
    void BuildControls();
};
