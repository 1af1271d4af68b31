#include "stock/tprodform.h"

#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbrowwriter.h"
#include "stock/tcadprodform.h"
#include "stock/tprodentform.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/tkeypreview.h"
#include "widgets/trowcolors.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
TSearchListSetup Setup()
{
    TSearchListSetup s;
    s.objectName = QStringLiteral("ProdForm");
    s.caption = QStringLiteral("Controle de Estoque / Produtos");
    s.size = QSize(676, 422);
    s.searchLabel = QStringLiteral("Procurar Produto");
    s.choices = {{QStringLiteral("Descrição"), QStringLiteral("descricao")},
                 {QStringLiteral("Fornecedor"), QStringLiteral("nomeforne")}};
    s.table = QStringLiteral("prodforne");
    s.orderBy = QStringLiteral("descricao");
    s.keyField = QStringLiteral("IDPROD");
    s.columns = {
        {QStringLiteral("IDPROD"), QStringLiteral("Cód. Produto"), 0},
        {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), 300},
        {QStringLiteral("QTDEDISP"), QStringLiteral("Qtde. Disponível"), 0},
        {QStringLiteral("NOMEFORNE"), QStringLiteral("Fornecedor"), 300},
        {QStringLiteral("GRUPO"), QStringLiteral("Grupo"), 150},
    };
    s.newButton = QStringLiteral("Cadastrar Produto");
    s.editButton = QStringLiteral("Editar Produto");
    s.deleteButton = QStringLiteral("Excluir Produto");
    s.statusText = QStringLiteral("F1 - Cadastrar Produto | F2 - Editar Produto | F3 - Excluir Produto | "
                                  "ESC - Fechar Janela | [+  Entrada] [- Saida]");
    s.newFormCaption = QStringLiteral("Cadastro de Produtos");
    s.editFormCaption = QStringLiteral("Alteração de Produtos");
    s.questionStart = QStringLiteral("Deseja excluir o Produto de código [ ");
    s.questionField = QStringLiteral("IDPROD");
    return s;
}

// A square button showing only its 32 x 32 picture, its meaning in a hint.
TBitBtn *CartButton(const QString &name, TButtonPictures::Motif motif, const QString &hint, QWidget *parent)
{
    auto *b = new TBitBtn(name, QString(), motif, parent);
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(44, 44);
    b->setToolTip(hint);
    return b;
}
} // namespace

TProdForm::TProdForm(QWidget *owner)
    : TSearchListScreen(Setup(), DM ? DM->ProdForneQuery : nullptr, owner)
{
    DBGrid1->SetRowColorRule(&TProdForm::RowColor);

    BitBtn6 = new TBitBtn(QStringLiteral("BitBtn6"), QStringLiteral("Legenda Cores"),
                          TButtonPictures::InformationSign, Panel1);
    AddToSearchPanel(BitBtn6);

    BitBtn7 = CartButton(QStringLiteral("BitBtn7"), TButtonPictures::CartPlus,
                         QStringLiteral("Entrada de Produto"), Panel2);
    BitBtn8 = CartButton(QStringLiteral("BitBtn8"), TButtonPictures::CartMinus,
                         QStringLiteral("Saida de Produto"), Panel2);
    auto *carts = new QHBoxLayout;
    carts->addWidget(BitBtn7);
    carts->addWidget(BitBtn8);
    carts->addStretch();
    ButtonPanelLayout()->addLayout(carts);
    Panel2->setFixedHeight(98);

    connect(BitBtn6, &QPushButton::clicked, this, Guarded([this] { BitBtn6Click(); }));
    connect(BitBtn7, &QPushButton::clicked, this, Guarded([this] { BitBtn7Click(); }));
    connect(BitBtn8, &QPushButton::clicked, this, Guarded([this] { BitBtn8Click(); }));
    KeyPreview()->Bind(Qt::Key_Plus, [this] { BitBtn7Click(); }, TKeyPreview::KeypadKey);
    KeyPreview()->Bind(Qt::Key_Minus, [this] { BitBtn8Click(); }, TKeyPreview::KeypadKey);
}

std::optional<QColor> TProdForm::RowColor(const TFbQuery *query, int row)
{
    const qint32 qtde = TDBGrid::IntAt(query, row, QStringLiteral("QTDEDISP")).value_or(0);
    const qint32 minimo = TDBGrid::IntAt(query, row, QStringLiteral("QTDEMIN")).value_or(0);
    return TRowColors::Stock(qtde, minimo);
}

QString TProdForm::LegendText()
{
    return QStringLiteral("Azul - Quantidade em estoque maior que quantidade mínima.") + QLatin1Char('\r')
        + QStringLiteral("Vermelho - Quantidade em estoque menor que quantidade mínima.");
}

void TProdForm::BitBtn6Click()
{
    TMessages::MessageBox(LegendText(), QStringLiteral("Legenda Estoque"), TMessages::Warning, TMessages::Ok);
}

void TProdForm::BitBtn7Click()
{
    StartMovement(TStockMovement::Kind::Entry);
}

void TProdForm::BitBtn8Click()
{
    StartMovement(TStockMovement::Kind::Exit);
}

std::unique_ptr<QDialog> TProdForm::CreateRecordForm()
{
    return std::make_unique<TCadProdForm>(this);
}

void TProdForm::LoadRecordForm(QDialog *dialog, bool isNew)
{
    if (isNew)
        return;
    auto *form = static_cast<TCadProdForm *>(dialog);
    const TFbQuery *q = DataSet();
    form->Edit1->setText(q->FieldByName(QStringLiteral("IDFORNECE"))->AsString());
    form->Edit2->setText(q->FieldByName(QStringLiteral("NOMEFORNE"))->AsString());
}

void TProdForm::StartMovement(TStockMovement::Kind kind)
{
    if (SelectedId() == 0)
        return;
    TFbQuery *movement = DM->ProdEntQuery;
    TFbQuery *product = DM->ProdForneQuery;
    // The form shows the quantity stored now (the movement itself is
    // checked against the locked row when it is saved).
    if (!product->RefreshCurrent()) {
        TMessages::ShowMessage(TFbRowWriter::GoneBeforeEditMessage());
        return;
    }
    TProdEntForm form(kind, this);
    // A closed movement dataset fails here, before anything is pending.
    movement->Append();
    try {
        product->Edit();
    } catch (...) {
        movement->Cancel();
        throw;
    }
    form.HoldEntries();
    form.exec();
}
