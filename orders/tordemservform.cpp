#include "orders/tordemservform.h"

#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tdmsharedaccess.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbrowwriter.h"
#include "data/tmoney.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbcombobox.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbfieldlink.h"
#include "widgets/tdbgrid.h"
#include "widgets/tdbmemo.h"
#include "widgets/tdbmoneyedit.h"
#include "widgets/teditorlook.h"
#include "widgets/tkeypreview.h"
#include "widgets/trowcolors.h"
#include "widgets/tscreenlinks.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kSelectClient = QStringLiteral("Selecione um Cliente!");
const QString kNoOrder = QStringLiteral("O Cliente não possui nenhuma OS cadastrada!");
const QString kDateFormat = QStringLiteral("dd/mm/yyyy");

bool Pending(const TFbQuery *q)
{
    return q && (q->State() == TFbQuery::dsEdit || q->State() == TFbQuery::dsInsert);
}

// The current client's NOME and IDCLIENTE; empty and 0 without a client.
QString ClientName()
{
    const TFbQuery *c = DM->ClientesQuery;
    return c->Active() && !c->IsEmpty() ? DM->ClientesQueryNOME->AsString() : QString();
}

qint32 ClientId()
{
    const TFbQuery *c = DM->ClientesQuery;
    return c->Active() && !c->IsEmpty() ? DM->ClientesQueryIDCLIENTE->AsInteger() : 0;
}

qint32 SelectedOrder()
{
    const TFbQuery *q = DM->OrdensQuery;
    return q->Active() && !q->IsEmpty() ? DM->OrdensQueryIDORDEM->AsInteger() : 0;
}
QLabel *Labelled(QWidget *parent, const QString &caption, QWidget *buddy)
{
    auto *l = new QLabel(caption, parent);
    l->setBuddy(buddy);
    return l;
}

// A caption over its editor, one under the other in the grid's column.
void PlaceIn(QGridLayout *grid, int &row, QGroupBox *box, const QString &caption, QWidget *editor)
{
    auto *l = new QLabel(caption, box);
    l->setBuddy(editor);
    grid->addWidget(l, row++, 0);
    grid->addWidget(editor, row++, 0);
}
} // namespace

QString TOrdemservForm::OrderNumber(qint32 idOrdem)
{
    return QStringLiteral("%1").arg(idOrdem, 6, 10, QLatin1Char('0'));
}

QStringList TOrdemservForm::Statuses()
{
    return {QStringLiteral("Não Atendido"), QStringLiteral("Em Andamento"), QStringLiteral("Concluído")};
}

std::optional<QColor> TOrdemservForm::RowColor(const TFbQuery *query, int row)
{
    return TRowColors::Status(TDBGrid::TextAt(query, row, QStringLiteral("SITUACAO")));
}

TOrdemservForm::TOrdemservForm(QWidget *owner)
    : TListScreen(owner)
{
    setObjectName(QStringLiteral("OrdemservForm"));
    setWindowTitle(QStringLiteral("Ordem de Serviço"));
    // A fixed border with a close box and a minimise box.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    BuildControls();
    SetEntry(false);
    setFixedSize(800, 640);

    // Keys act as the buttons' clicks, whichever control has the focus.
    // While an order is being entered F1 and F2 would leave it unchecked:
    // they do nothing then.
    KeyPreview()->Bind(Qt::Key_F1, [this] { if (!m_entry) BitBtn1Click(); });
    KeyPreview()->Bind(Qt::Key_F2, [this] { if (!m_entry) BitBtn2Click(); });
    KeyPreview()->Bind(Qt::Key_F3, [this] { BitBtn3Click(); });
    KeyPreview()->Bind(Qt::Key_F4, [this] { BitBtn4Click(); });
    KeyPreview()->Bind(Qt::Key_F5, [this] { if (BitBtn5->isEnabled()) BitBtn5Click(); });
    KeyPreview()->Bind(Qt::Key_F6, [this] { if (BitBtn5->isEnabled()) BitBtn6Click(); });
    KeyPreview()->Bind(Qt::Key_Escape, [this] { close(); });
}

void TOrdemservForm::BuildControls()
{
    BuildClientAndOrders();
    BuildEntryHalf();
    BuildClosingHalf();
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = new QLabel(QStringLiteral("F1 - Cadastrar OS | F2 - Editar OS | F3 - Excluir OS | "
                                            "F4 - Imprimir OS | ESC - Fechar Janela"),
                             StatusBar1);
    StatusBar1->addWidget(StatusPanel, 1);

    LayOutControls();
    WireControls();
}

// The client along the top, the grid of its orders and the order buttons.
void TOrdemservForm::BuildClientAndOrders()
{
    TFbQuery *clients = DM ? DM->ClientesQuery : nullptr;
    TFbQuery *orders = DM ? DM->OrdensQuery : nullptr;

    DBEdit1 = new TDBEdit(QStringLiteral("DBEdit1"), clients, QStringLiteral("IDCLIENTE"), this);
    Label1 = Labelled(this, QStringLiteral("Código"), DBEdit1);
    DBEdit2 = new TDBEdit(QStringLiteral("DBEdit2"), clients, QStringLiteral("NOME"), this);
    Label2 = Labelled(this, QStringLiteral("Nome do Cliente"), DBEdit2);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("..."));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    TEditorLook::SetOpen(DBEdit1, false);
    // The screen never saves a client: the name is shown and selectable,
    // and looks as locked as it is.
    DBEdit2->setReadOnly(true);
    TEditorLook::SetReadOnlyLook(DBEdit2);
    DBEdit1->setFixedWidth(70);

    // The orders.
    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetDataSet(orders);
    DBGrid1->SetColumns({{QStringLiteral("NORDEM"), QStringLiteral("Número SO"), 0},
                         {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), 300},
                         {QStringLiteral("SOLICITANTE"), QStringLiteral("Solicitante"), 250},
                         {QStringLiteral("DATACAD"), QStringLiteral("Data de Cadastro"), 0},
                         {QStringLiteral("VALORTOT"), QStringLiteral("Valor Total"), 0}});
    DBGrid1->SetRowColorRule(&TOrdemservForm::RowColor);
    BitBtn1 = new TBitBtn(QStringLiteral("BitBtn1"), QStringLiteral("Cadastrar OS"), TButtonPictures::GreenPlus, this);
    BitBtn2 = new TBitBtn(QStringLiteral("BitBtn2"), QStringLiteral("Editar OS"), TButtonPictures::Pencil, this);
    BitBtn3 = new TBitBtn(QStringLiteral("BitBtn3"), QStringLiteral("Excluir OS"), TButtonPictures::RedMinus, this);
    BitBtn4 = new TBitBtn(QStringLiteral("BitBtn4"), QStringLiteral("Imprimir OS"), TButtonPictures::Printer, this);
}

// "Dados de Entrada": what is taken in with the item.
void TOrdemservForm::BuildEntryHalf()
{
    TFbQuery *orders = DM ? DM->OrdensQuery : nullptr;

    GroupBox1 = new QGroupBox(QStringLiteral("Dados de Entrada"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    DBEdit3 = new TDBEdit(QStringLiteral("DBEdit3"), orders, QStringLiteral("NORDEM"), GroupBox1);
    DBEdit4 = new TDBEdit(QStringLiteral("DBEdit4"), orders, QStringLiteral("DESCRICAO"), GroupBox1);
    DBEdit5 = new TDBEdit(QStringLiteral("DBEdit5"), orders, QStringLiteral("SOLICITANTE"), GroupBox1);
    DBEdit6 = new TDBEdit(QStringLiteral("DBEdit6"), orders, QStringLiteral("DATACAD"), GroupBox1);
    DBEdit7 = new TDBEdit(QStringLiteral("DBEdit7"), orders, QStringLiteral("PRAZOENTREGA"), GroupBox1);
    DBMemo1 = new TDBMemo(QStringLiteral("DBMemo1"), orders, QStringLiteral("ANOTA"), GroupBox1);
    DBComboBox1 = new TDBComboBox(QStringLiteral("DBComboBox1"), orders, QStringLiteral("SITUACAO"), GroupBox1);
    DBComboBox1->SetItems(Statuses());
    DBComboBox1->SetItemColorRule([](int index) -> std::optional<QColor> {
        const QStringList all = Statuses();
        if (index < 0 || index >= all.size())
            return std::nullopt;
        return TRowColors::Status(all.at(index));
    });
    auto *entry = new QGridLayout(GroupBox1);
    entry->setVerticalSpacing(1);
    int row = 0;
    PlaceIn(entry, row, GroupBox1, QStringLiteral("Número da OS"), DBEdit3);
    PlaceIn(entry, row, GroupBox1, QStringLiteral("Descrição do Produto"), DBEdit4);
    PlaceIn(entry, row, GroupBox1, QStringLiteral("Solicitante"), DBEdit5);
    PlaceIn(entry, row, GroupBox1, QStringLiteral("Data de Cadastro"), DBEdit6);
    PlaceIn(entry, row, GroupBox1, QStringLiteral("Prazo de Entrega: Data - Hora"), DBEdit7);
    PlaceIn(entry, row, GroupBox1, QStringLiteral("Anotações Gerais"), DBMemo1);
    PlaceIn(entry, row, GroupBox1, QStringLiteral("Situação"), DBComboBox1);
    DBEdit3->setFixedWidth(100);
    DBEdit6->setFixedWidth(130);
    DBEdit7->setFixedWidth(160);
    DBComboBox1->setFixedWidth(160);
}

// "Dados do Fechamento": the repair, the technician and the amounts; save and cancel.
void TOrdemservForm::BuildClosingHalf()
{
    TFbQuery *orders = DM ? DM->OrdensQuery : nullptr;

    GroupBox2 = new QGroupBox(QStringLiteral("Dados do Fechamento"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    DBMemo2 = new TDBMemo(QStringLiteral("DBMemo2"), orders, QStringLiteral("REPARO"), GroupBox2);
    DBEdit8 = new TDBEdit(QStringLiteral("DBEdit8"), orders, QStringLiteral("TECNICO"), GroupBox2);
    DBEdit9 = new TDBEdit(QStringLiteral("DBEdit9"), orders, QStringLiteral("DATASAIDA"), GroupBox2);
    DBEdit10 = new TDBMoneyEdit(QStringLiteral("DBEdit10"), orders, QStringLiteral("VALOR"), GroupBox2);
    DBEdit11 = new TDBMoneyEdit(QStringLiteral("DBEdit11"), orders, QStringLiteral("JUROS"), GroupBox2);
    DBEdit12 = new TDBMoneyEdit(QStringLiteral("DBEdit12"), orders, QStringLiteral("DESCONTO"), GroupBox2);
    DBEdit13 = new TDBMoneyEdit(QStringLiteral("DBEdit13"), orders, QStringLiteral("VALORTOT"), GroupBox2);
    auto *closing = new QGridLayout(GroupBox2);
    closing->setVerticalSpacing(1);
    int row = 0;
    PlaceIn(closing, row, GroupBox2, QStringLiteral("Reparos / Manutenção"), DBMemo2);
    PlaceIn(closing, row, GroupBox2, QStringLiteral("Técnico Responsável"), DBEdit8);
    PlaceIn(closing, row, GroupBox2, QStringLiteral("Data de Saída"), DBEdit9);
    auto *money = new QGridLayout;
    money->setVerticalSpacing(1);
    const std::pair<QString, TDBMoneyEdit *> amounts[] = {
        {QStringLiteral("Valor do Serviço"), DBEdit10}, {QStringLiteral("Juros"), DBEdit11},
        {QStringLiteral("Desconto"), DBEdit12}, {QStringLiteral("Valor Total"), DBEdit13}};
    for (int i = 0; i < 4; ++i) {
        auto *l = new QLabel(amounts[i].first, GroupBox2);
        l->setBuddy(amounts[i].second);
        money->addWidget(l, (i / 2) * 2, i % 2);
        money->addWidget(amounts[i].second, (i / 2) * 2 + 1, i % 2);
    }
    closing->addLayout(money, row++, 0);
    DBEdit9->setFixedWidth(130);
    DBMemo1->setFixedHeight(60);
    DBMemo2->setFixedHeight(100);
    BitBtn5 = new TBitBtn(QStringLiteral("BitBtn5"), QStringLiteral("Gravar [F5]"), TButtonPictures::FloppyDisk, this);
    BitBtn6 = new TBitBtn(QStringLiteral("BitBtn6"), QStringLiteral("Cancelar [F6]"), TButtonPictures::RedCross, this);
}

// Places the parts built above.
void TOrdemservForm::LayOutControls()
{
    // Layout: the client along the top, the grid with its buttons, the two
    // halves of the order side by side, save and cancel at the bottom right.
    auto *client = new QGridLayout;
    client->setVerticalSpacing(1);
    client->addWidget(Label1, 0, 0);
    client->addWidget(Label2, 0, 1);
    client->addWidget(DBEdit1, 1, 0);
    client->addWidget(DBEdit2, 1, 1);
    client->addWidget(SpeedButton1, 1, 2);
    client->setColumnStretch(1, 1);
    auto *orderButtons = new QVBoxLayout;
    for (TBitBtn *b : {BitBtn1, BitBtn2, BitBtn3, BitBtn4})
        orderButtons->addWidget(b);
    orderButtons->addStretch();
    auto *list = new QHBoxLayout;
    list->addWidget(DBGrid1, 1);
    list->addLayout(orderButtons);
    auto *saveButtons = new QHBoxLayout;
    saveButtons->addStretch();
    saveButtons->addWidget(BitBtn5);
    saveButtons->addWidget(BitBtn6);
    auto *right = new QVBoxLayout;
    right->addWidget(GroupBox2);
    right->addLayout(saveButtons);
    auto *halves = new QHBoxLayout;
    halves->addWidget(GroupBox1, 1);
    halves->addLayout(right, 1);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(8, 6, 8, 6);
    body->addLayout(client);
    body->addLayout(list, 1);
    body->addLayout(halves);
    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->setSpacing(0);
    all->addLayout(body, 1);
    all->addWidget(StatusBar1);
}

// Tab order, handlers and the look-out on the shared dataset.
void TOrdemservForm::WireControls()
{
    TFbQuery *orders = DM ? DM->OrdensQuery : nullptr;

    // Tab order: client, grid, the closing half (its own odd order), save
    // and cancel, the order buttons, the entry half.
    const QList<QWidget *> order{DBEdit1, DBEdit2, DBGrid1,
                                 DBMemo2, DBEdit8, DBEdit10, DBEdit12, DBEdit11, DBEdit13, DBEdit9,
                                 BitBtn5, BitBtn6, BitBtn1, BitBtn2, BitBtn3, BitBtn4,
                                 DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBMemo1, DBComboBox1};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(SpeedButton1, &QToolButton::clicked, this, Guarded([this] { SpeedButton1Click(); }));
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    connect(BitBtn3, &QPushButton::clicked, this, Guarded([this] { BitBtn3Click(); }));
    connect(BitBtn4, &QPushButton::clicked, this, Guarded([this] { BitBtn4Click(); }));
    connect(BitBtn5, &QPushButton::clicked, this, Guarded([this] { BitBtn5Click(); }));
    connect(BitBtn6, &QPushButton::clicked, this, Guarded([this] { BitBtn6Click(); }));
    connect(DBEdit13, &TDBMoneyEdit::Entered, this, Guarded([this] { DBEdit13Enter(); }));
    DBEdit6->installEventFilter(this);
    DBEdit9->installEventFilter(this);
    // Another order screen on the same dataset may start an order: moving
    // in this screen's grid meanwhile would post it unchecked.
    if (orders)
        connect(orders, &TFbQuery::stateChanged, this, [this] {
            if (!m_entry)
                DBGrid1->setEnabled(!Pending(DM->OrdensQuery));
        });
}

void TOrdemservForm::SetEntry(bool entry)
{
    m_entry = entry;
    // Closing asks while an order is typed: the main window's Sair asks
    // this screen before it closes any other ("asksOnClose", read there).
    setProperty("asksOnClose", entry);
    GroupBox1->setEnabled(entry);
    GroupBox2->setEnabled(entry);
    for (QWidget *e : std::initializer_list<QWidget *>{DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBMemo1,
                                                       DBComboBox1, DBMemo2, DBEdit8, DBEdit9,
                                                       DBEdit10, DBEdit11, DBEdit12, DBEdit13})
        TEditorLook::SetOpen(e, entry);
    TEditorLook::SetOpen(DBEdit3, false);
    for (QWidget *w : std::initializer_list<QWidget *>{BitBtn1, BitBtn2, BitBtn3, BitBtn4})
        w->setEnabled(!entry);
    DBGrid1->setEnabled(!entry && !(DM && Pending(DM->OrdensQuery)));
    BitBtn5->setEnabled(entry);
    BitBtn6->setEnabled(entry);
}

QString TOrdemservForm::HoldMessage() const
{
    return QStringLiteral("Termine ou cancele a OS em edição na tela %1.").arg(windowTitle());
}

// The one refusal while an order is being entered, here or on another order
// screen: the words of the screen that holds it.
QString TOrdemservForm::PendingMessage() const
{
    const QString held = DM->OrdensQuery->HeldBy();
    return held.isEmpty() ? HoldMessage() : held;
}

bool TOrdemservForm::CheckClient() const
{
    if (ClientName().isEmpty()) {
        TMessages::ShowMessage(kSelectClient);
        return false;
    }
    return true;
}

bool TOrdemservForm::CheckClientAndOrder() const
{
    if (!CheckClient())
        return false;
    if (SelectedOrder() == 0) {
        TMessages::ShowMessage(kNoOrder);
        return false;
    }
    return true;
}

bool TOrdemservForm::CheckNothingPending() const
{
    // Another order screen on the same dataset may be in the middle of an
    // order: starting anything here would post it unchecked or drop it.
    if (Pending(DM->OrdensQuery)) {
        TMessages::ShowMessage(PendingMessage());
        return false;
    }
    return true;
}

void TOrdemservForm::SpeedButton1Click()
{
    // Choosing a client reloads the order dataset, which would drop the
    // order being entered.
    if (m_entry || Pending(DM->OrdensQuery)) {
        TMessages::ShowMessage(PendingMessage());
        return;
    }
    if (TScreenLinks::PickClient)
        TScreenLinks::PickClient(this);
}

void TOrdemservForm::BitBtn1Click()
{
    if (m_entry)
        return;
    if (!CheckClient() || !CheckNothingPending())
        return;
    const qint32 client = ClientId();
    TFbQuery *q = DM->OrdensQuery;
    q->Append();   // the next IDORDEM and today's DATACAD
    q->HoldPending(HoldMessage());
    try {
        TDBMoneyEdit::SetAmount(DM->OrdensQueryJUROS, TMoney());
        TDBMoneyEdit::SetAmount(DM->OrdensQueryDESCONTO, TMoney());
        DM->OrdensQueryNORDEM->SetAsString(OrderNumber(DM->OrdensQueryIDORDEM->AsInteger()));
        DM->OrdensQueryIDCLIENTE->SetAsInteger(client);
    } catch (...) {
        q->Cancel();
        throw;
    }
    m_newOrderClient = client;
    SetEntry(true);
    DBEdit4->setFocus();
}

void TOrdemservForm::BitBtn2Click()
{
    if (m_entry)
        return;
    if (!CheckClientAndOrder() || !CheckNothingPending())
        return;
    // The entry starts from the order as stored now.
    if (!DM->OrdensQuery->RefreshCurrent()) {
        TMessages::ShowMessage(TFbRowWriter::GoneBeforeEditMessage());
        return;
    }
    DM->OrdensQuery->Edit();
    DM->OrdensQuery->HoldPending(HoldMessage());
    SetEntry(true);
    DBEdit4->setFocus();
}

void TOrdemservForm::BitBtn3Click()
{
    if (!CheckClientAndOrder())
        return;
    // The order another screen is entering is not this screen's to delete.
    if (!m_entry && !CheckNothingPending())
        return;
    const QString question = QStringLiteral("Deseja excluir a OS [ ")
        + DM->OrdensQueryNORDEM->AsString() + QStringLiteral(" ] ?");
    if (TMessages::MessageBox(question, QStringLiteral("Excluir Cliente"), TMessages::Warning,
                              TMessages::YesNo) != TMessages::Yes)
        return;
    TFbQuery *q = DM->OrdensQuery;
    // The entry this screen holds is its own to delete.
    if (m_entry)
        q->HoldPending(QString());
    q->Delete();
    // The delete must not stay cached for the next save to write.
    q->ApplyChangesOrCancel();
    // Deleting the order being entered ends the entry.
    if (m_entry && !Pending(q))
        SetEntry(false);
}

void TOrdemservForm::BitBtn4Click()
{
    if (!CheckClientAndOrder())
        return;
    const int id = SelectedOrder();
    if (TScreenLinks::PrintOrder)
        TScreenLinks::PrintOrder(id);
}

void TOrdemservForm::ComputeTotal()
{
    const std::optional<TMoney> total = TMoney::Total(TDBMoneyEdit::AmountOf(DM->OrdensQueryVALOR),
                                                      TDBMoneyEdit::AmountOf(DM->OrdensQueryJUROS),
                                                      TDBMoneyEdit::AmountOf(DM->OrdensQueryDESCONTO));
    if (!total)
        throw EFbError(QStringLiteral("Valor Total fora do limite permitido (até 99.999.999.999,9999)"));
    // A discount past the value and interest would store a total below
    // zero: refused, the order stays as typed for the clerk to correct.
    if (*total < TMoney()) {
        const TMoney desconto = TDBMoneyEdit::AmountOf(DM->OrdensQueryDESCONTO);
        const std::optional<TMoney> charged = desconto.Plus(*total);
        throw EFbError(QStringLiteral("O desconto (%1) é maior que o valor mais os juros (%2): o Valor Total "
                                      "ficaria negativo. Corrija o desconto")
                           .arg(desconto.CurrencyText(), charged ? charged->CurrencyText() : QString()));
    }
    TDBMoneyEdit::SetAmount(DM->OrdensQueryVALORTOT, *total);
}

void TOrdemservForm::BitBtn5Click()
{
    TFbQuery *q = DM->OrdensQuery;
    if (!Pending(q)) {
        // Nothing left to save (the order was ended elsewhere).
        SetEntry(false);
        return;
    }
    // What is still typed in an editor belongs to the order being saved.
    TDBFieldLink::UpdateRecord(q);
    if (DM->OrdensQueryDESCRICAO->AsString().isEmpty()) {
        TMessages::ShowMessage(QStringLiteral("Descrição do Produto não pode estar em branco!"));
        return;
    }
    // The client is the one the order was registered for; an edit keeps
    // the order's own, whatever client the shared client dataset is on now.
    if (q->State() == TFbQuery::dsInsert)
        DM->OrdensQueryIDCLIENTE->SetAsInteger(m_newOrderClient);
    ComputeTotal();
    // A new order is refused when another computer deleted its client
    // meanwhile, and stays typed.
    TDmSharedAccess::ApplyOrder(*DM);
    SetEntry(false);
}

void TOrdemservForm::BitBtn6Click()
{
    TFbQuery *q = DM->OrdensQuery;
    if (q->Active()) {
        q->Cancel();
        // A save the database refused left the order posted in the cache;
        // cancelling gives it up too.
        if (q->UpdatesPending())
            q->CancelUpdates();
    }
    SetEntry(false);
}

void TOrdemservForm::DBEdit13Enter()
{
    if (!Pending(DM->OrdensQuery))
        return;
    ComputeTotal();
}

bool TOrdemservForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && DM) {
        // The format belongs to the data module's column, for every screen.
        if (watched == DBEdit6)
            DM->OrdensQueryDATACAD->SetDisplayFormat(kDateFormat);
        else if (watched == DBEdit9)
            DM->OrdensQueryDATASAIDA->SetDisplayFormat(kDateFormat);
    }
    return TListScreen::eventFilter(watched, event);
}

void TOrdemservForm::closeEvent(QCloseEvent *event)
{
    if (m_entry && DM && Pending(DM->OrdensQuery)) {
        const int answer = TMessages::MessageBox(QStringLiteral("Deseja gravar a OS?"), windowTitle(),
                                                 TMessages::Question, TMessages::YesNoCancel);
        if (answer == TMessages::Yes) {
            Guard([this] { BitBtn5Click(); });
            if (m_entry) {   // refused: the order stays on screen
                event->ignore();
                return;
            }
        } else if (answer == TMessages::No) {
            if (!Guard([this] { BitBtn6Click(); })) {
                event->ignore();
                return;
            }
        } else {
            event->ignore();
            return;
        }
    }
    TListScreen::closeEvent(event);
}
