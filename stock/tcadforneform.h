#pragma once
// The supplier record form: the modal dialog in which one supplier is
// created or changed, its editors bound to the current record of the shared
// supplier dataset. Beside the supplier's data it shows, read only, the
// products that carry the supplier's code (loaded by the list before the
// form opens). A supplier must have a trade name.
#include "widgets/trecordform.h"

class QLabel;
class TDBGrid;
class TDBMemo;

class TCadForneForm : public TRecordForm
{
    Q_OBJECT
public:
    explicit TCadForneForm(QWidget *parent = nullptr);

    // Controls, in tab order (BitBtn1 "Gravar" and BitBtn2 "Cancelar [ESC]"
    // come after the notes).
    TDBEdit *DBEdit1;     // IDFORNECE
    TDBEdit *DBEdit2;     // RAZAOSOCIAL
    TDBEdit *DBEdit3;     // NOMEFANTASIA
    TDBEdit *DBEdit4;     // FONE
    TDBEdit *DBEdit5;     // FAX
    TDBEdit *DBEdit6;     // END1
    TDBEdit *DBEdit7;     // END2
    TDBEdit *DBEdit8;     // CIDADE
    TDBEdit *DBEdit9;     // UF
    TDBEdit *DBEdit10;    // CEP
    TDBEdit *DBEdit11;    // EMAIL
    TDBEdit *DBEdit12;    // SITE
    TDBEdit *DBEdit13;    // CNPJ
    TDBEdit *DBEdit14;    // IE
    TDBEdit *DBEdit15;    // PESSOACONT
    TDBMemo *DBMemo1;     // ANOTA
    TDBEdit *DBEdit16;    // DATA
    TDBGrid *DBGrid1;     // the supplier's products
    QLabel *Label18;      // the note under the products
};
