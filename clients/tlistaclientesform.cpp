#include "tlistaclientesform.h"

#include "tbitbtn.h"
#include "tclientesform.h"
#include "tclientlegend.h"
#include "tdbgrid.h"
#include "tdm.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tguard.h"
#include "tkeypreview.h"
#include "tmessages.h"
#include "tradiogroup.h"
#include "trowcolors.h"
#include "tsearchedit.h"
#include "tsearchsql.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

TListaClientesForm::TListaClientesForm(QWidget *owner)
    : TListScreen(owner)
{
    setObjectName(QStringLiteral("ListaClientesForm"));
    setWindowTitle(QStringLiteral("Lista de Clientes"));
    resize(760, 460);

    // Search panel.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Label1 = new QLabel(QStringLiteral("Procurar Cliente"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new TSearchEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label1->setBuddy(Edit1);
    BitBtn1 = new TBitBtn(QStringLiteral("BitBtn1"), QStringLiteral("Procurar"),
                          TButtonPictures::MagnifyingGlass, Panel1);
    RadioGroup1 = new TRadioGroup(Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setTitle(QStringLiteral("Procurar por:"));
    RadioGroup1->SetItems({QStringLiteral("Nome"), QStringLiteral("Cidade"), QStringLiteral("Endereço")}, 3);
    RadioGroup1->SetItemIndex(0);
    BitBtn6 = new TBitBtn(QStringLiteral("BitBtn6"), QStringLiteral("Legenda Cores"),
                          TButtonPictures::InformationSign, Panel1);
    auto *searchColumn = new QVBoxLayout;
    searchColumn->addWidget(Label1);
    auto *searchLine = new QHBoxLayout;
    searchLine->addWidget(Edit1, 1);
    searchLine->addWidget(BitBtn1);
    searchColumn->addLayout(searchLine);
    auto *searchPanel = new QHBoxLayout(Panel1);
    searchPanel->setContentsMargins(6, 4, 6, 4);
    searchPanel->addLayout(searchColumn, 2);
    searchPanel->addSpacing(8);
    searchPanel->addWidget(RadioGroup1, 1);
    searchPanel->addStretch();
    searchPanel->addWidget(BitBtn6, 0, Qt::AlignBottom);
    Edit1->setMinimumWidth(220);

    // The grid.
    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetDataSet(DM ? DM->ClientesQuery : nullptr);
    DBGrid1->SetColumns({
        {QStringLiteral("IDCLIENTE"), QStringLiteral("Cod. Cliente"), 0},
        {QStringLiteral("NOME"), QStringLiteral("Nome"), 250},
        {QStringLiteral("FONERES"), QStringLiteral("Telefone Residencial"), 0},
        {QStringLiteral("FONECOM"), QStringLiteral("Telefone Comercial"), 0},
        {QStringLiteral("FONECEL"), QStringLiteral("Celular"), 0},
        {QStringLiteral("END1"), QStringLiteral("Endereço"), 400},
        {QStringLiteral("END2"), QStringLiteral("Endereço"), 400},
        {QStringLiteral("CIDADE"), QStringLiteral("Cidade"), 0},
        {QStringLiteral("UF"), QString(), 30},
        {QStringLiteral("CEP"), QString(), 0},
        {QStringLiteral("CPF"), QString(), 0},
        {QStringLiteral("RG"), QString(), 0},
        {QStringLiteral("EMAIL"), QStringLiteral("E-mail"), 350},
        {QStringLiteral("CNPJ"), QString(), 200},
        {QStringLiteral("IE"), QString(), 200},
        {QStringLiteral("PESSOACONT"), QStringLiteral("Pessoa Contato"), 250},
        {QStringLiteral("ANOTA"), QStringLiteral("Anotações"), 0},
    });
    DBGrid1->SetRowColorRule(&TListaClientesForm::RowColor);

    // Button panel.
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    BitBtn2 = new TBitBtn(QStringLiteral("BitBtn2"), QStringLiteral("Cadastrar Cliente"),
                          TButtonPictures::GreenPlus, Panel2);
    BitBtn3 = new TBitBtn(QStringLiteral("BitBtn3"), QStringLiteral("Editar Cliente"),
                          TButtonPictures::Pencil, Panel2);
    BitBtn4 = new TBitBtn(QStringLiteral("BitBtn4"), QStringLiteral("Excluir Cliente"),
                          TButtonPictures::RedMinus, Panel2);
    BitBtn5 = new TBitBtn(QStringLiteral("BitBtn5"), QStringLiteral("Fechar Janela"),
                          TButtonPictures::OpenDoor, Panel2);
    auto *buttons = new QHBoxLayout(Panel2);
    buttons->setContentsMargins(6, 4, 6, 4);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn4);
    buttons->addStretch();
    buttons->addWidget(BitBtn5);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusPanel = new QLabel(QStringLiteral("F1 - Cadastrar Cliente | F2 - Editar Cliente | "
                                            "F3 - Excluir Cliente | ESC - Fechar Fanela"),
                             StatusBar1);
    StatusBar1->addWidget(StatusPanel, 1);

    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->setSpacing(0);
    all->addWidget(Panel1);
    all->addWidget(DBGrid1, 1);
    all->addWidget(Panel2);
    all->addWidget(StatusBar1);

    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(Edit1, &TSearchEdit::SearchRequested, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    connect(BitBtn3, &QPushButton::clicked, this, Guarded([this] { BitBtn3Click(); }));
    connect(BitBtn4, &QPushButton::clicked, this, Guarded([this] { BitBtn4Click(); }));
    connect(BitBtn5, &QPushButton::clicked, this, Guarded([this] { BitBtn5Click(); }));
    connect(BitBtn6, &QPushButton::clicked, this, Guarded([this] { BitBtn6Click(); }));

    // Keys act as the buttons' clicks, whichever control has the focus.
    KeyPreview()->Bind(Qt::Key_F1, [this] { BitBtn2Click(); });
    KeyPreview()->Bind(Qt::Key_F2, [this] { BitBtn3Click(); });
    KeyPreview()->Bind(Qt::Key_F3, [this] { BitBtn4Click(); });
    KeyPreview()->Bind(Qt::Key_Escape, [this] { BitBtn5Click(); });
}

QString TListaClientesForm::SearchStatement(const QString &typed, int choice)
{
    static const char *const columns[] = {"nome", "cidade", "end1"};
    const int c = choice >= 0 && choice < 3 ? choice : 0;
    return TSearchSql::Build(typed, QStringLiteral("clientes"), QString::fromLatin1(columns[c]),
                             QStringLiteral("nome"));
}

std::optional<QColor> TListaClientesForm::RowColor(const TFbQuery *query, int row)
{
    return TRowColors::Annotation(TDBGrid::IntAt(query, row, QStringLiteral("TIPOANOT")));
}

void TListaClientesForm::BitBtn1Click()
{
    TFbQuery *q = DM->ClientesQuery;
    q->Close();
    q->SetSQL(SearchStatement(Edit1->text(), RadioGroup1->ItemIndex()));
    q->Open();
}

void TListaClientesForm::BitBtn2Click()
{
    TClientesForm form(this);
    DM->ClientesQuery->Append();
    form.setWindowTitle(QStringLiteral("Cadastro de Cliente"));
    form.exec();
}

namespace {
// The selected client's number; 0 when there is none (an empty list, or a
// list left closed by a failed search).
qint32 SelectedId(TFbQuery *q)
{
    if (!q->Active() || q->IsEmpty())
        return 0;
    return q->FieldByName(QStringLiteral("IDCLIENTE"))->AsInteger();
}
} // namespace

void TListaClientesForm::BitBtn3Click()
{
    TFbQuery *q = DM->ClientesQuery;
    if (SelectedId(q) == 0)
        return;
    TClientesForm form(this);
    // Values outside the choices leave the form's first choice.
    const int anot = q->FieldByName(QStringLiteral("TIPOANOT"))->AsInteger();
    if (anot >= 1 && anot <= 4)
        form.RadioGroup2->SetItemIndex(anot - 1);
    const int pessoa = q->FieldByName(QStringLiteral("TIPOPESSOA"))->AsInteger();
    if (pessoa == 1 || pessoa == 2)
        form.RadioGroup1->SetItemIndex(pessoa - 1);
    q->Edit();
    form.setWindowTitle(QStringLiteral("Alteração de Cliente"));
    form.exec();
}

void TListaClientesForm::BitBtn4Click()
{
    TFbQuery *clients = DM->ClientesQuery;
    const qint32 id = SelectedId(clients);
    if (id == 0)
        return;
    const QString question = QStringLiteral("Deseja excluir o Cliente [ ")
        + clients->FieldByName(QStringLiteral("NOME"))->AsString() + QStringLiteral(" ] ?");
    if (TMessages::MessageBox(question, QStringLiteral("Excluir Cliente"), TMessages::Warning,
                              TMessages::YesNo) != TMessages::Yes)
        return;
    // The client and its service orders go together or not at all.
    TFbQuery *orders = DM->OrdensQuery;
    try {
        DM->RunUnitOfWork([&] {
            orders->Close();
            orders->SetSQL(QStringLiteral("delete from ordemserv where idcliente=") + QString::number(id));
            orders->Execute();
            clients->Delete();
            clients->ApplyChanges();
        });
    } catch (...) {
        // The client's delete must not stay cached: the next save of any
        // client would write it alone, without its orders. The client is
        // shown again, as it still is in the database.
        if (clients->Active() && clients->UpdatesPending())
            clients->CancelUpdates();
        throw;
    }
}

void TListaClientesForm::BitBtn5Click()
{
    close();
}

void TListaClientesForm::BitBtn6Click()
{
    TClientLegend::Show();
}
