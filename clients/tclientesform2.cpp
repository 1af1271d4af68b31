#include "clients/tclientesform2.h"

#include "app/tmessages.h"
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"

TClientesForm2::TClientesForm2(QWidget *parent)
    : TPickerForm(DM ? DM->ClientesQuery : nullptr,
                  {{QStringLiteral("IDCLIENTE"), QStringLiteral("Cod. Cliente"), 0},
                   {QStringLiteral("NOME"), QStringLiteral("Nome"), 354}},
                  parent)
{
    setObjectName(QStringLiteral("ClientesForm2"));
    setWindowTitle(QStringLiteral("Clientes"));
}

bool TClientesForm2::Pick(QWidget *parent)
{
    TFbQuery *clients = DM->ClientesQuery;
    const bool hasClient = clients->Active() && !clients->IsEmpty()
        && clients->FieldByName(QStringLiteral("IDCLIENTE"))->AsInteger() != 0;
    if (!hasClient) {
        TMessages::ShowMessage(QStringLiteral("Não existe cliente cadastrado!"));
        return false;
    }
    // The list is read again, so that a client deleted on another computer
    // is not offered (and one added there is); the current client stays
    // current. Where an entry holds the dataset it is shown as read.
    bool free = true;
    try {
        clients->CheckNotHeld();
    } catch (const EFbError &) {
        free = false;
    }
    if (free) {
        const QVariant id = clients->FieldByName(QStringLiteral("IDCLIENTE"))->Value();
        clients->Close();
        clients->Open();
        if (clients->IsEmpty()) {
            TMessages::ShowMessage(QStringLiteral("Não existe cliente cadastrado!"));
            return false;
        }
        if (!clients->Locate(QStringLiteral("IDCLIENTE"), id))
            clients->First();
    }
    TClientesForm2 picker(parent);
    clients->Open();
    picker.exec();
    return true;
}

void TClientesForm2::Choose()
{
    const qint32 id = DM->ClientesQuery->FieldByName(QStringLiteral("IDCLIENTE"))->AsInteger();
    TFbQuery *orders = DM->OrdensQuery;
    orders->Close();
    orders->SetSQL(QStringLiteral("select * from ordemserv where idcliente=") + QString::number(id));
    orders->Open();
}
