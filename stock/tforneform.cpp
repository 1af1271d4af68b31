#include "stock/tforneform.h"

#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "stock/tcadforneform.h"
#include "widgets/tdbgrid.h"
#include "widgets/trowcolors.h"

namespace {
TSearchListSetup Setup()
{
    TSearchListSetup s;
    s.objectName = QStringLiteral("ForneForm");
    s.caption = QStringLiteral("Lista de Fornecedores");
    s.size = QSize(682, 398);
    s.searchLabel = QStringLiteral("Procurar Fornecedor");
    s.choices = {{QStringLiteral("Nome"), QStringLiteral("nomefantasia")},
                 {QStringLiteral("Cidade"), QStringLiteral("cidade")},
                 {QStringLiteral("Endereço"), QStringLiteral("end1")}};
    s.table = QStringLiteral("fornecedores");
    s.orderBy = QStringLiteral("nomefantasia");
    s.keyField = QStringLiteral("IDFORNECE");
    s.columns = {
        {QStringLiteral("IDFORNECE"), QStringLiteral("Código"), 0},
        {QStringLiteral("RAZAOSOCIAL"), QStringLiteral("Razão Sozial"), 300},
        {QStringLiteral("NOMEFANTASIA"), QStringLiteral("Nome Fantasia"), 300},
        {QStringLiteral("FONE"), QStringLiteral("Telefone"), 0},
        {QStringLiteral("FAX"), QStringLiteral("Fax"), 0},
        {QStringLiteral("CIDADE"), QStringLiteral("Cidade"), 200},
        {QStringLiteral("UF"), QString(), 30},
        {QStringLiteral("CEP"), QString(), 60},
        {QStringLiteral("END1"), QStringLiteral("Endereço"), 300},
        {QStringLiteral("END2"), QStringLiteral("Endereço"), 300},
        {QStringLiteral("CNPJ"), QString(), 200},
        {QStringLiteral("IE"), QStringLiteral("Inscrição Estadual"), 200},
        {QStringLiteral("EMAIL"), QStringLiteral("E-mail"), 250},
        {QStringLiteral("PESSOACONT"), QStringLiteral("Pessoa para Contato"), 200},
    };
    s.newButton = QStringLiteral("Cadastrar Fornecedor");
    s.editButton = QStringLiteral("Editar Fornecedor");
    s.deleteButton = QStringLiteral("Excluir Fornecedor");
    s.statusText = QStringLiteral("F1 - Cadastrar Fornecedor | F2 - Editar Fornecedor | "
                                  "F3 - Excluir Fornecedor | ESC - Fechar Janela");
    s.newFormCaption = QStringLiteral("Cadastro de Fornecedor");
    s.editFormCaption = QStringLiteral("Alteração de Fornecedor");
    s.questionStart = QStringLiteral("Deseja excluir o Fornecedor [ ");
    s.questionField = QStringLiteral("NOMEFANTASIA");
    return s;
}
} // namespace

TForneForm::TForneForm(QWidget *owner)
    : TSearchListScreen(Setup(), DM ? DM->ForneQuery : nullptr, owner)
{
    DBGrid1->SetRowColorRule([](const TFbQuery *, int) { return TRowColors::Navy(); });
}

std::unique_ptr<QDialog> TForneForm::CreateRecordForm()
{
    return std::make_unique<TCadForneForm>(this);
}

void TForneForm::LoadRecordForm(QDialog *, bool)
{
    // The record form shows the products carrying the supplier's code; the
    // product dataset keeps this statement after the form is gone.
    const qint32 id = DataSet()->FieldByName(QStringLiteral("IDFORNECE"))->AsInteger();
    TFbQuery *products = DM->ProdForneQuery;
    products->Close();
    products->SetSQL(QStringLiteral("select * from prodforne where idfornece=") + QString::number(id));
    products->Open();
}
