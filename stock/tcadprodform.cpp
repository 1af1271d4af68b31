#include "stock/tcadprodform.h"

#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "stock/tforneform2.h"
#include "stock/tstockmovement.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbmemo.h"
#include "widgets/tdbmoneyedit.h"
#include "widgets/teditorlook.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TCadProdForm::TCadProdForm(QWidget *parent)
    : TRecordForm(DM ? DM->ProdForneQuery : nullptr, parent)
{
    setObjectName(QStringLiteral("CadProdForm"));
    setWindowTitle(QStringLiteral("Cadastro de Produto"));
    SetRequired(QStringLiteral("DESCRICAO"),
                QStringLiteral("Descrição (Nome do Produto) não pode estar em branco!"));

    TFbQuery *q = DataSet();
    const QList<TDBEdit *> editors = MakeEditors(
        {QStringLiteral("IDPROD"), QStringLiteral("DESCRICAO"), QStringLiteral("MARCA")});
    DBEdit1 = editors.at(0);
    DBEdit2 = editors.at(1);
    DBEdit3 = editors.at(2);
    DBEdit4 = new TDBMoneyEdit(QStringLiteral("DBEdit4"), q, QStringLiteral("CUSTOCOMPRA"), this);
    DBEdit5 = new TDBMoneyEdit(QStringLiteral("DBEdit5"), q, QStringLiteral("CUSTOVENDA"), this);
    DBEdit6 = new TDBEdit(QStringLiteral("DBEdit6"), q, QStringLiteral("QTDEDISP"), this);
    DBEdit7 = new TDBEdit(QStringLiteral("DBEdit7"), q, QStringLiteral("QTDEMIN"), this);
    DBEdit6->SetDigitsOnly(true);
    DBEdit7->SetDigitsOnly(true);
    DBMemo1 = new TDBMemo(QStringLiteral("DBMemo1"), q, QStringLiteral("ANOTA"), this);
    DBEdit8 = new TDBEdit(QStringLiteral("DBEdit8"), q, QStringLiteral("DATACAD"), this);
    for (QLineEdit *e : std::initializer_list<QLineEdit *>{DBEdit4, DBEdit5, DBEdit6, DBEdit7})
        e->setAlignment(Qt::AlignRight);
    DBEdit1->setAlignment(Qt::AlignRight);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setFixedSize(23, 22);

    TEditorLook::SetOpen(DBEdit1, false);
    for (QWidget *w : std::initializer_list<QWidget *>{DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6,
                                                       DBEdit7, DBMemo1, DBEdit8})
        TEditorLook::SetOpen(w, true);
    // The supplier comes only from the picker.
    TEditorLook::SetOpen(Edit1, false);
    TEditorLook::SetOpen(Edit2, false);

    auto *top = new QGridLayout;
    top->setVerticalSpacing(1);
    PlaceLabelled(top, QStringLiteral("Cod. Produto"), DBEdit1, 0, 0);
    PlaceLabelled(top, QStringLiteral("Descrição (Nome do Produto)"), DBEdit2, 0, 1, 2);
    PlaceLabelled(top, QStringLiteral("Marca / Fabricante"), DBEdit3, 2, 0, 3);
    top->setColumnStretch(1, 1);

    auto *values = new QGroupBox(QStringLiteral("Valores R$"), this);
    values->setObjectName(QStringLiteral("GroupBox1"));
    auto *valuesGrid = new QGridLayout(values);
    valuesGrid->setVerticalSpacing(1);
    PlaceLabelled(valuesGrid, QStringLiteral("Custo de Compra"), DBEdit4, 0, 0);
    PlaceLabelled(valuesGrid, QStringLiteral("Custo de Venda"), DBEdit5, 0, 1);
    auto *quantities = new QGroupBox(QStringLiteral("Quantidade"), this);
    quantities->setObjectName(QStringLiteral("GroupBox2"));
    auto *quantitiesGrid = new QGridLayout(quantities);
    quantitiesGrid->setVerticalSpacing(1);
    PlaceLabelled(quantitiesGrid, QStringLiteral("Qtde Disponível"), DBEdit6, 0, 0);
    PlaceLabelled(quantitiesGrid, QStringLiteral("Qtde Mínima"), DBEdit7, 0, 1);
    auto *groups = new QHBoxLayout;
    groups->addWidget(values);
    groups->addWidget(quantities);

    auto *notesLabel = new QLabel(QStringLiteral("Anotações sobre o produto"), this);
    notesLabel->setBuddy(DBMemo1);

    auto *foot = new QGridLayout;
    foot->setVerticalSpacing(1);
    PlaceLabelled(foot, QStringLiteral("Data de Cadastro"), DBEdit8, 0, 2);
    PlaceLabelled(foot, QStringLiteral("Cod. Fornecedor"), Edit1, 2, 0);
    PlaceLabelled(foot, QStringLiteral("Nome do Fornecedor"), Edit2, 2, 1, 2);
    foot->addWidget(SpeedButton1, 3, 3);
    foot->addWidget(BitBtn1, 1, 0);
    foot->addWidget(BitBtn2, 1, 1);
    foot->setColumnStretch(1, 1);

    auto *all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(groups);
    all->addWidget(notesLabel);
    all->addWidget(DBMemo1, 1);
    all->addLayout(foot);

    const QList<QWidget *> order{DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7,
                                 DBMemo1, BitBtn1, BitBtn2, DBEdit8, Edit1, Edit2};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    DBEdit2->setFocus();

    connect(SpeedButton1, &QToolButton::clicked, this, Guarded([this] { SpeedButton1Click(); }));

    FixWindow(QSize(474, 361));
}

void TCadProdForm::SpeedButton1Click()
{
    TForneForm2::Pick(Edit1, Edit2, this);
}

void TCadProdForm::WriteDerived()
{
    TFbQuery *q = DataSet();
    TFbField *code = q->FieldByName(QStringLiteral("IDFORNECE"));
    if (Edit1->text().isEmpty())
        code->Clear();
    else
        code->SetAsString(Edit1->text());
    q->FieldByName(QStringLiteral("NOMEFORNE"))->SetAsString(Edit2->text());
}

bool TCadProdForm::ApplyRecord()
{
    TFbQuery *q = DataSet();
    if (q->State() == TFbQuery::dsInsert || q->UpdateStatus() == TFbQuery::usInserted)
        return TRecordForm::ApplyRecord();

    const QString refusal = TStockMovement::ApplyProductEdit(*DM);
    if (!refusal.isEmpty())
        TMessages::ShowMessage(refusal);
    return refusal.isEmpty();
}
