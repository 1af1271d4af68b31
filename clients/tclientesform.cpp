#include "clients/tclientesform.h"

#include "app/tguard.h"
#include "app/tmessages.h"
#include "clients/tclientlegend.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "widgets/tbitbtn.h"
#include "widgets/tbuttonpictures.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbfieldlink.h"
#include "widgets/tdbmemo.h"
#include "widgets/teditorlook.h"
#include "widgets/tkeypreview.h"
#include "widgets/tradiogroup.h"
#include "widgets/tscreenlinks.h"
#include "widgets/twindowplace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <iterator>

namespace {
const QString kFisica = QStringLiteral("Cadastro de Clientes - Pessoa Física");
const QString kJuridica = QStringLiteral("Cadastro de Clientes - Pessoa Jurídica");
} // namespace

TClientesForm::TClientesForm(QWidget *parent)
    : TRecordForm(DM ? DM->ClientesQuery : nullptr, parent)
{
    setObjectName(QStringLiteral("ClientesForm"));
    setWindowTitle(kFisica);
    SetRequired(QStringLiteral("NOME"), QStringLiteral("Nome do Cliente não pode ser em branco!"));
    BuildControls();
    RadioGroup1->SetItemIndex(0);
    RadioGroup2->SetItemIndex(0);
    FixWindow();
}

void TClientesForm::BuildControls()
{
    TFbQuery *q = DataSet();

    RadioGroup1 = new TRadioGroup(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->SetItems({QStringLiteral("Pessoa Física"), QStringLiteral("Pessoa Jurídica")}, 2);
    // DBEdit1 to DBEdit17 and the columns they are bound to.
    const QList<TDBEdit *> editors = MakeEditors(
        {QStringLiteral("IDCLIENTE"), QStringLiteral("NOME"), QStringLiteral("FONERES"),
         QStringLiteral("FONECOM"), QStringLiteral("FONECEL"), QStringLiteral("END1"),
         QStringLiteral("END2"), QStringLiteral("CIDADE"), QStringLiteral("UF"),
         QStringLiteral("CEP"), QStringLiteral("CPF"), QStringLiteral("RG"),
         QStringLiteral("EMAIL"), QStringLiteral("CNPJ"), QStringLiteral("IE"),
         QStringLiteral("PESSOACONT"), QStringLiteral("DATACADASTRO")});
    TDBEdit **const members[] = {&DBEdit1, &DBEdit2, &DBEdit3, &DBEdit4, &DBEdit5, &DBEdit6,
                                 &DBEdit7, &DBEdit8, &DBEdit9, &DBEdit10, &DBEdit11, &DBEdit12,
                                 &DBEdit13, &DBEdit14, &DBEdit15, &DBEdit16, &DBEdit17};
    for (size_t i = 0; i < std::size(members); ++i)
        *members[i] = editors.at(int(i));
    DBEdit9->SetUpperCase(true);
    DBMemo1 = new TDBMemo(QStringLiteral("DBMemo1"), q, QStringLiteral("ANOTA"), this);
    RadioGroup2 = new TRadioGroup(this);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup2->setTitle(QStringLiteral("Tipo de Anotação"));
    RadioGroup2->SetItems({QStringLiteral("Preto - Sem Anotação"), QStringLiteral("Verde"),
                           QStringLiteral("Azul"), QStringLiteral("Vermelho")}, 2);
    BitBtn3 = new TBitBtn(QStringLiteral("BitBtn3"), QStringLiteral("Legenda Anotações"),
                          TButtonPictures::InformationSign, this);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(TButtonPictures::Icon(TButtonPictures::Pencil));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);

    // Editors open (white) or locked (grey) as the form opens; the person
    // fields follow the person type.
    for (TDBEdit *e : {DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8, DBEdit9,
                       DBEdit10, DBEdit11, DBEdit12, DBEdit13, DBEdit17})
        TEditorLook::SetOpen(e, true);
    for (TDBEdit *e : {DBEdit1, DBEdit14, DBEdit15, DBEdit16})
        TEditorLook::SetOpen(e, false);
    TEditorLook::SetOpen(DBMemo1, true);

    // Layout: the client's data at the left, notes and annotation type at
    // the right, the buttons and the registration date along the foot.
    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(1);
    int row = 0;
    auto place = [&](const QString &caption, QWidget *editor, int r, int column, int span) {
        PlaceLabelled(fields, caption, editor, r, column, span);
    };
    fields->addWidget(RadioGroup1, row++, 0, 1, 6);
    place(QStringLiteral("Código"), DBEdit1, row, 0, 1);
    place(QStringLiteral("Nome do Cliente"), DBEdit2, row, 1, 5);
    row += 2;
    place(QStringLiteral("Telefone Residencial"), DBEdit3, row, 0, 2);
    place(QStringLiteral("Telefone Comercial"), DBEdit4, row, 2, 2);
    place(QStringLiteral("Celular"), DBEdit5, row, 4, 2);
    row += 2;
    place(QStringLiteral("Endereço"), DBEdit6, row, 0, 6);
    row += 2;
    fields->addWidget(DBEdit7, row++, 0, 1, 6);
    place(QStringLiteral("Cidade"), DBEdit8, row, 0, 3);
    place(QStringLiteral("Estado"), DBEdit9, row, 3, 1);
    place(QStringLiteral("CEP"), DBEdit10, row, 4, 2);
    row += 2;
    place(QStringLiteral("CPF"), DBEdit11, row, 0, 2);
    place(QStringLiteral("RG"), DBEdit12, row, 2, 2);
    row += 2;
    place(QStringLiteral("E-mail"), DBEdit13, row, 0, 6);
    row += 2;
    place(QStringLiteral("CNPJ"), DBEdit14, row, 0, 3);
    place(QStringLiteral("Inscriçao Estadual"), DBEdit15, row, 3, 3);
    row += 2;
    place(QStringLiteral("Pessoa para Contato"), DBEdit16, row, 0, 6);
    for (int c = 0; c < 6; ++c)
        fields->setColumnMinimumWidth(c, 62);
    DBEdit9->setMaximumWidth(40);

    auto *notes = new QVBoxLayout;
    auto *notesLabel = new QLabel(QStringLiteral("Anotações Gerais"), this);
    notesLabel->setBuddy(DBMemo1);
    notes->addWidget(notesLabel);
    notes->addWidget(DBMemo1, 1);
    notes->addWidget(RadioGroup2);
    auto *legend = new QHBoxLayout;
    legend->addWidget(BitBtn3);
    legend->addWidget(SpeedButton1);
    legend->addStretch();
    notes->addLayout(legend);
    DBMemo1->setMinimumSize(250, 150);

    auto *foot = new QHBoxLayout;
    foot->addWidget(BitBtn1);
    foot->addWidget(BitBtn2);
    foot->addSpacing(24);
    auto *dateLabel = new QLabel(QStringLiteral("Data de Cadastro"), this);
    dateLabel->setBuddy(DBEdit17);
    foot->addWidget(dateLabel);
    foot->addWidget(DBEdit17);
    DBEdit17->setMaximumWidth(130);
    foot->addStretch();

    auto *body = new QHBoxLayout;
    body->addLayout(fields, 3);
    body->addSpacing(8);
    body->addLayout(notes, 2);
    auto *all = new QVBoxLayout(this);
    all->addLayout(body);
    all->addSpacing(6);
    all->addLayout(foot);

    // Tab order as the controls are listed; the picture button is not in it.
    QList<QWidget *> order{RadioGroup1->Button(0), RadioGroup1->Button(1),
                           DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8,
                           DBEdit9, DBEdit10, DBEdit11, DBEdit12, DBEdit13, DBEdit14, DBEdit15,
                           DBEdit16, BitBtn1, BitBtn2, DBEdit17, DBMemo1};
    for (int i = 0; i < RadioGroup2->Items().size(); ++i)
        order << RadioGroup2->Button(i);
    order << BitBtn3;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(BitBtn3, &QPushButton::clicked, this, Guarded([this] { BitBtn3Click(); }));
    connect(SpeedButton1, &QToolButton::clicked, this, Guarded([this] { SpeedButton1Click(); }));
    connect(RadioGroup1, &TRadioGroup::Click, this, Guarded([this] { RadioGroup1Click(); }));
}

void TClientesForm::RadioGroup1Click()
{
    // Only which editors take input changes; no column is cleared.
    const bool company = RadioGroup1->ItemIndex() == 1;
    for (TDBEdit *e : {DBEdit3, DBEdit11, DBEdit12})
        TEditorLook::SetOpen(e, !company);
    for (TDBEdit *e : {DBEdit14, DBEdit15, DBEdit16})
        TEditorLook::SetOpen(e, company);
    setWindowTitle(company ? kJuridica : kFisica);
}

void TClientesForm::WriteDerived()
{
    TFbQuery *q = DataSet();
    q->FieldByName(QStringLiteral("TIPOANOT"))->SetAsInteger(qMax(0, RadioGroup2->ItemIndex()) + 1);
    q->FieldByName(QStringLiteral("TIPOPESSOA"))->SetAsInteger(qMax(0, RadioGroup1->ItemIndex()) + 1);
}

void TClientesForm::BitBtn3Click()
{
    TClientLegend::Show();
}

void TClientesForm::SpeedButton1Click()
{
    if (!TScreenLinks::OpenHeaderSettings)
        return;
    DM->ConfigQuery->Open();
    TScreenLinks::OpenHeaderSettings(this);
}
