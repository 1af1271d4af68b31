#include "stock/tforneform2.h"

#include "app/tmessages.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"

#include <QLineEdit>

TForneForm2::TForneForm2(QLineEdit *codeBox, QLineEdit *nameBox, QWidget *parent)
    : TPickerForm(DM ? DM->ForneQuery : nullptr,
                  {{QStringLiteral("IDFORNECE"), QStringLiteral("Cod. Fornecedor"), 0},
                   {QStringLiteral("NOMEFANTASIA"), QStringLiteral("Nome Fantasia"), 354}},
                  parent)
    , m_codeBox(codeBox)
    , m_nameBox(nameBox)
{
    setObjectName(QStringLiteral("ForneForm2"));
    setWindowTitle(QStringLiteral("Fornecedores"));
}

bool TForneForm2::Pick(QLineEdit *codeBox, QLineEdit *nameBox, QWidget *parent)
{
    TFbQuery *suppliers = DM->ForneQuery;
    // A supplier being typed elsewhere is no supplier to pick yet, and the
    // picker would move it.
    suppliers->CheckNotHeld();
    const bool hasSupplier = suppliers->Active() && !suppliers->IsEmpty()
        && suppliers->FieldByName(QStringLiteral("IDFORNECE"))->AsInteger() != 0;
    if (!hasSupplier) {
        TMessages::ShowMessage(QStringLiteral("Não existe fornecedor cadastrado!"));
        return false;
    }
    TForneForm2 picker(codeBox, nameBox, parent);
    picker.exec();
    return true;
}

void TForneForm2::Choose()
{
    TFbQuery *q = DM->ForneQuery;
    if (!q->Active() || q->IsEmpty())
        return;
    if (m_codeBox)
        m_codeBox->setText(q->FieldByName(QStringLiteral("IDFORNECE"))->AsString());
    if (m_nameBox)
        m_nameBox->setText(q->FieldByName(QStringLiteral("NOMEFANTASIA"))->AsString());
}
