#include "stock/tprodentform.h"

#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/tdm.h"
#include "data/tfbquery.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbfieldlink.h"
#include "widgets/tdbmemo.h"
#include "widgets/teditorlook.h"
#include "widgets/tkeypreview.h"
#include "widgets/twindowplace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
QLabel *LabelFor(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}
} // namespace

TProdEntForm::TProdEntForm(Mode mode, QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_keyPreview(new TKeyPreview(this))
{
    setObjectName(QStringLiteral("ProdEntForm"));
    const bool entry = mode == Mode::Entry;
    setWindowTitle(entry ? QStringLiteral("Entrada de Produto") : QStringLiteral("Saída de Produto"));

    TFbQuery *product = DM ? DM->ProdForneQuery : nullptr;
    TFbQuery *movement = DM ? DM->ProdEntQuery : nullptr;
    DBEdit1 = new TDBEdit(QStringLiteral("DBEdit1"), product, QStringLiteral("IDPROD"), this);
    DBEdit2 = new TDBEdit(QStringLiteral("DBEdit2"), product, QStringLiteral("DESCRICAO"), this);
    DBEdit3 = new TDBEdit(QStringLiteral("DBEdit3"), product, QStringLiteral("NOMEFORNE"), this);
    DBEdit4 = new TDBEdit(QStringLiteral("DBEdit4"), product, QStringLiteral("QTDEDISP"), this);
    BitBtn1 = new TBitBtn(QStringLiteral("BitBtn1"), QStringLiteral("Gravar"),
                          TButtonPictures::FloppyDisk, this);
    BitBtn2 = new TBitBtn(QStringLiteral("BitBtn2"), QStringLiteral("Cancelar [ESC]"),
                          TButtonPictures::RedCross, this);
    DBEdit5 = new TDBEdit(QStringLiteral("DBEdit5"), movement, QStringLiteral("QTDEENT"), this);
    DBEdit5->SetDigitsOnly(true);
    DBEdit6 = new TDBEdit(QStringLiteral("DBEdit6"), movement, QStringLiteral("DATACAD"), this);
    DBMemo1 = new TDBMemo(QStringLiteral("DBMemo1"), movement, QStringLiteral("OBS"), this);
    for (TDBEdit *e : {DBEdit1, DBEdit2, DBEdit3, DBEdit4})
        TEditorLook::SetOpen(e, false);
    for (TDBEdit *e : {DBEdit5, DBEdit6})
        TEditorLook::SetOpen(e, true);
    TEditorLook::SetOpen(DBMemo1, true);
    for (TDBEdit *e : {DBEdit1, DBEdit4, DBEdit5})
        e->setAlignment(Qt::AlignRight);

    Label5 = LabelFor(entry ? QStringLiteral("Quantidade de Entrada") : QStringLiteral("Quantidade de Saída"),
                      DBEdit5, this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label7 = LabelFor(entry ? QStringLiteral("Data de Entrada") : QStringLiteral("Data de Saida"), DBEdit6, this);
    Label7->setObjectName(QStringLiteral("Label7"));

    // The product, read only, on top.
    auto *top = new QGridLayout;
    top->setVerticalSpacing(1);
    top->addWidget(LabelFor(QStringLiteral("Cod. Produto"), DBEdit1, this), 0, 0);
    top->addWidget(DBEdit1, 1, 0);
    top->addWidget(LabelFor(QStringLiteral("Descrição"), DBEdit2, this), 0, 1, 1, 2);
    top->addWidget(DBEdit2, 1, 1, 1, 2);
    top->addWidget(LabelFor(QStringLiteral("Fornecedor"), DBEdit3, this), 2, 0, 1, 2);
    top->addWidget(DBEdit3, 3, 0, 1, 2);
    auto *stockLabel = LabelFor(QStringLiteral("Quantidade Disponível\n em Estoque"), DBEdit4, this);
    top->addWidget(stockLabel, 2, 2, Qt::AlignBottom);
    top->addWidget(DBEdit4, 3, 2);
    top->setColumnStretch(1, 1);

    // The movement.
    auto *middle = new QGridLayout;
    middle->setVerticalSpacing(1);
    auto *quantityLabels = new QVBoxLayout;
    quantityLabels->setSpacing(0);
    quantityLabels->addWidget(Label5);
    quantityLabels->addWidget(new QLabel(QStringLiteral("de Produto"), this));
    middle->addLayout(quantityLabels, 0, 0, Qt::AlignBottom);
    middle->addWidget(DBEdit5, 1, 0);
    middle->addWidget(Label7, 0, 1, Qt::AlignBottom);
    middle->addWidget(DBEdit6, 1, 1);
    middle->addWidget(LabelFor(QStringLiteral("Observação"), DBMemo1, this), 2, 0, 1, 2);
    middle->addWidget(DBMemo1, 3, 0, 1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();

    auto *all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(middle, 1);
    all->addLayout(buttons);

    const QList<QWidget *> order{DBEdit1, DBEdit2, DBEdit3, DBEdit4, BitBtn1, BitBtn2,
                                 DBEdit5, DBEdit6, DBMemo1};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    // Enter right after opening presses "Gravar".
    BitBtn1->setDefault(true);
    BitBtn1->setFocus();

    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    m_keyPreview->Bind(Qt::Key_Escape, [this] { BitBtn2Click(); });

    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(398, 296);
    TWindowPlace::CenterOnDesktop(this);
}

void TProdEntForm::BitBtn1Click()
{
    if (DBEdit5->text().isEmpty()) {
        // Nothing typed: nothing to record.
        GiveUp();
        reject();
        return;
    }
    // What is still being typed belongs to the movement; a text that cannot
    // be stored (a quantity past a whole number, a wrong date) is corrected
    // where it was typed.
    try {
        TDBFieldLink::UpdateRecord(DM->ProdEntQuery);
    } catch (...) {
        for (TDBEdit *box : {DBEdit5, DBEdit6}) {
            if (box->Link()->Pending()) {
                box->setFocus();
                box->selectAll();
                break;
            }
        }
        throw;
    }
    // A failed attempt leaves the records posted in the change cache: they
    // go back into editing for the next one.
    for (TFbQuery *q : {DM->ProdForneQuery, DM->ProdEntQuery})
        if (q->State() == TFbQuery::dsBrowse)
            q->Edit();
    HoldEntries();

    const TStockMovement::Result r = TStockMovement::Record(*DM, m_mode);
    switch (r.outcome) {
    case TStockMovement::Outcome::Recorded:
        accept();
        return;
    case TStockMovement::Outcome::NotEnoughStock:
        TMessages::ShowMessage(QStringLiteral("Quantidade de item a retirar é maior que a quantidade "
                                              "de item disponível em estoque!"));
        break;
    case TStockMovement::Outcome::TooMuchStock:
        TMessages::ShowMessage(QStringLiteral("Quantidade de entrada grande demais: o estoque passaria "
                                              "de %1 itens!").arg(TStockMovement::MaxQuantity));
        break;
    case TStockMovement::Outcome::ProductGone:
        TMessages::ShowMessage(QStringLiteral("Este produto não existe mais no banco de dados "
                                              "(foi excluído em outro computador)!"));
        return;
    }
    DBEdit5->setFocus();
    DBEdit5->selectAll();
}

void TProdEntForm::BitBtn2Click()
{
    GiveUp();
    reject();
}

void TProdEntForm::GiveUp()
{
    // The product first (it keeps its old values), then the movement (the
    // new one disappears). Both entries are this form's own to give up.
    for (TFbQuery *q : {DM->ProdForneQuery, DM->ProdEntQuery})
        q->HoldPending(QString());
    for (TFbQuery *q : {DM->ProdForneQuery, DM->ProdEntQuery}) {
        if (!q->Active())
            continue;
        q->Cancel();
        // A write the database refused left the record posted in the
        // change cache; the next save of the table must not write it.
        if (q->UpdatesPending())
            q->CancelUpdates();
    }
}

void TProdEntForm::done(int result)
{
    // However the form closes, nothing stays pending; after a recorded
    // movement there is nothing left.
    if (DM)
        Guard([this] { GiveUp(); });
    QDialog::done(result);
}

void TProdEntForm::HoldEntries()
{
    const QString message = QStringLiteral("Termine ou cancele a movimentação em edição na tela %1.")
                                .arg(windowTitle());
    for (TFbQuery *q : {DM->ProdForneQuery, DM->ProdEntQuery})
        q->HoldPending(message);
}
