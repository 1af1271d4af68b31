#include "clients/tlistaclientesform.h"

#include "app/tguard.h"
#include "clients/tclientesform.h"
#include "clients/tclientlegend.h"
#include "data/tdm.h"
#include "data/tdmsharedaccess.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/tradiogroup.h"
#include "widgets/trowcolors.h"

namespace {
TSearchListSetup Setup()
{
    TSearchListSetup s;
    s.objectName = QStringLiteral("ListaClientesForm");
    s.caption = QStringLiteral("Lista de Clientes");
    s.size = QSize(760, 460);
    s.searchLabel = QStringLiteral("Procurar Cliente");
    s.choices = {{QStringLiteral("Nome"), QStringLiteral("nome")},
                 {QStringLiteral("Cidade"), QStringLiteral("cidade")},
                 {QStringLiteral("Endereço"), QStringLiteral("end1")}};
    s.table = QStringLiteral("clientes");
    s.orderBy = QStringLiteral("nome");
    s.keyField = QStringLiteral("IDCLIENTE");
    s.columns = {
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
    };
    s.newButton = QStringLiteral("Cadastrar Cliente");
    s.editButton = QStringLiteral("Editar Cliente");
    s.deleteButton = QStringLiteral("Excluir Cliente");
    s.statusText = QStringLiteral("F1 - Cadastrar Cliente | F2 - Editar Cliente | "
                                  "F3 - Excluir Cliente | ESC - Fechar Janela");
    s.newFormCaption = QStringLiteral("Cadastro de Cliente");
    s.editFormCaption = QStringLiteral("Alteração de Cliente");
    s.questionStart = QStringLiteral("Deseja excluir o Cliente [ ");
    s.questionField = QStringLiteral("NOME");
    return s;
}
} // namespace

TListaClientesForm::TListaClientesForm(QWidget *owner)
    : TSearchListScreen(Setup(), DM ? DM->ClientesQuery : nullptr, owner)
{
    DBGrid1->SetRowColorRule(&TListaClientesForm::RowColor);
    BitBtn6 = new TBitBtn(QStringLiteral("BitBtn6"), QStringLiteral("Legenda Cores"),
                          TButtonPictures::InformationSign, Panel1);
    AddToSearchPanel(BitBtn6);
    connect(BitBtn6, &QPushButton::clicked, this, Guarded([this] { BitBtn6Click(); }));
}

std::optional<QColor> TListaClientesForm::RowColor(const TFbQuery *query, int row)
{
    return TRowColors::Annotation(TDBGrid::IntAt(query, row, QStringLiteral("TIPOANOT")));
}

std::unique_ptr<QDialog> TListaClientesForm::CreateRecordForm()
{
    return std::make_unique<TClientesForm>(this);
}

void TListaClientesForm::PrepareRecordForm(QDialog *dialog, bool isNew)
{
    if (isNew)
        return;
    auto *form = static_cast<TClientesForm *>(dialog);
    TFbQuery *q = DataSet();
    // Values outside the choices leave the form's first choice.
    const int anot = q->FieldByName(QStringLiteral("TIPOANOT"))->AsInteger();
    if (anot >= 1 && anot <= 4)
        form->RadioGroup2->SetItemIndex(anot - 1);
    const int pessoa = q->FieldByName(QStringLiteral("TIPOPESSOA"))->AsInteger();
    if (pessoa == 1 || pessoa == 2)
        form->RadioGroup1->SetItemIndex(pessoa - 1);
}

void TListaClientesForm::DeleteRelated(qint32 key)
{
    TDmSharedAccess::DeleteClientOrders(*DM, key);
}

void TListaClientesForm::BitBtn6Click()
{
    TClientLegend::Show();
}
