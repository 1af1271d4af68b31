#include "stock/tcadforneform.h"

#include "data/tdm.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbgrid.h"
#include "widgets/tdbmemo.h"
#include "widgets/teditorlook.h"
#include "widgets/trowcolors.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

namespace {
QFrame *Separator(QFrame::Shape shape, QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(shape);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
} // namespace

TCadForneForm::TCadForneForm(QWidget *parent)
    : TRecordForm(DM ? DM->ForneQuery : nullptr, parent)
{
    setObjectName(QStringLiteral("CadForneForm"));
    setWindowTitle(QStringLiteral("Cadastro de Fornecedor"));
    SetRequired(QStringLiteral("NOMEFANTASIA"), QStringLiteral("Nome Fantasia não pode estar em branco!"));

    const QList<TDBEdit *> editors = MakeEditors(
        {QStringLiteral("IDFORNECE"), QStringLiteral("RAZAOSOCIAL"), QStringLiteral("NOMEFANTASIA"),
         QStringLiteral("FONE"), QStringLiteral("FAX"), QStringLiteral("END1"), QStringLiteral("END2"),
         QStringLiteral("CIDADE"), QStringLiteral("UF"), QStringLiteral("CEP"), QStringLiteral("EMAIL"),
         QStringLiteral("SITE"), QStringLiteral("CNPJ"), QStringLiteral("IE"),
         QStringLiteral("PESSOACONT"), QStringLiteral("DATA")});
    TDBEdit **const members[] = {&DBEdit1, &DBEdit2, &DBEdit3, &DBEdit4, &DBEdit5, &DBEdit6,
                                 &DBEdit7, &DBEdit8, &DBEdit9, &DBEdit10, &DBEdit11, &DBEdit12,
                                 &DBEdit13, &DBEdit14, &DBEdit15, &DBEdit16};
    for (size_t i = 0; i < std::size(members); ++i)
        *members[i] = editors.at(int(i));
    DBEdit9->SetUpperCase(true);
    DBMemo1 = new TDBMemo(QStringLiteral("DBMemo1"), DataSet(), QStringLiteral("ANOTA"), this);
    for (TDBEdit *e : editors)
        TEditorLook::SetOpen(e, e != DBEdit1);
    TEditorLook::SetOpen(DBMemo1, true);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetDataSet(DM ? DM->ProdForneQuery : nullptr);
    DBGrid1->SetColumns({{QStringLiteral("IDPROD"), QStringLiteral("Código"), 0},
                         {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), 0}});
    DBGrid1->SetRowColorRule([](const TFbQuery *, int) { return TRowColors::MenuHighlight(); });
    Label18 = new QLabel(QStringLiteral("Obs.: Adicione os produtos fornecidos por este fornecedor "
                                        "no módulo Estoque."), this);
    Label18->setObjectName(QStringLiteral("Label18"));
    Label18->setWordWrap(true);
    QFont small = Label18->font();
    small.setPixelSize(9);
    Label18->setFont(small);
    QPalette grey = Label18->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    Label18->setPalette(grey);

    // Left: the supplier's data, two or three boxes a row.
    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(6);
    fields->setVerticalSpacing(1);
    PlaceLabelled(fields, QStringLiteral("Código"), DBEdit1, 0, 0, 1);
    PlaceLabelled(fields, QStringLiteral("Razão Social"), DBEdit2, 0, 1, 5);
    PlaceLabelled(fields, QStringLiteral("Nome Fantasia"), DBEdit3, 2, 0, 4);
    PlaceLabelled(fields, QStringLiteral("Telefone"), DBEdit4, 2, 4, 1);
    PlaceLabelled(fields, QStringLiteral("Fax"), DBEdit5, 2, 5, 1);
    PlaceLabelled(fields, QStringLiteral("Endereço"), DBEdit6, 4, 0, 6);
    fields->addWidget(DBEdit7, 6, 0, 1, 6);
    PlaceLabelled(fields, QStringLiteral("Cidade"), DBEdit8, 7, 0, 3);
    PlaceLabelled(fields, QStringLiteral("Estado"), DBEdit9, 7, 3, 1);
    PlaceLabelled(fields, QStringLiteral("CEP"), DBEdit10, 7, 4, 2);
    PlaceLabelled(fields, QStringLiteral("E-mail"), DBEdit11, 9, 0, 3);
    PlaceLabelled(fields, QStringLiteral("Site"), DBEdit12, 9, 3, 3);
    PlaceLabelled(fields, QStringLiteral("CNPJ"), DBEdit13, 11, 0, 3);
    PlaceLabelled(fields, QStringLiteral("Inscrição Estadual"), DBEdit14, 11, 3, 3);
    PlaceLabelled(fields, QStringLiteral("Pessoa para Contato"), DBEdit15, 13, 0, 6);
    fields->setRowStretch(15, 1);
    for (int c = 0; c < 6; ++c)
        fields->setColumnMinimumWidth(c, 56);
    DBEdit9->setMaximumWidth(40);
    // A full phone number (13 characters, "(35)3978-1983") shows whole in
    // the phone and fax boxes: the even columns left them too narrow.
    for (TDBEdit *phone : {DBEdit4, DBEdit5}) {
        QStyleOptionFrame option;
        option.initFrom(phone);
        option.lineWidth = phone->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, phone);
        const QSize text(phone->fontMetrics().horizontalAdvance(QStringLiteral("(00)00000-0000")),
                         phone->fontMetrics().height());
        phone->setMinimumWidth(
            phone->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, phone).width() + 4);
    }

    // Right: the notes, then the products the supplier provides.
    auto *right = new QVBoxLayout;
    right->setSpacing(2);
    auto *notesLabel = new QLabel(QStringLiteral("Anotações Gerais"), this);
    notesLabel->setBuddy(DBMemo1);
    right->addWidget(notesLabel);
    right->addWidget(DBMemo1, 2);
    right->addSpacing(4);
    right->addWidget(Separator(QFrame::HLine, this));
    right->addWidget(new QLabel(QStringLiteral("Produtos que fornece"), this));
    right->addWidget(DBGrid1, 3);
    right->addWidget(Label18);

    // Foot: the buttons and the registration date.
    auto *foot = new QHBoxLayout;
    foot->addWidget(BitBtn1);
    foot->addWidget(BitBtn2);
    foot->addSpacing(16);
    auto *dateLabel = new QLabel(QStringLiteral("Data de Cadastro"), this);
    dateLabel->setBuddy(DBEdit16);
    foot->addWidget(dateLabel);
    foot->addWidget(DBEdit16);
    DBEdit16->setMaximumWidth(130);
    foot->addStretch();

    auto *leftColumn = new QVBoxLayout;
    leftColumn->addLayout(fields, 1);
    leftColumn->addLayout(foot);
    auto *all = new QHBoxLayout(this);
    all->addLayout(leftColumn, 3);
    all->addWidget(Separator(QFrame::VLine, this));
    all->addLayout(right, 2);

    QList<QWidget *> order(editors.begin(), editors.end() - 1);
    order << DBMemo1 << BitBtn1 << BitBtn2 << DBEdit16 << DBGrid1;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    DBEdit2->setFocus();

    FixWindow(QSize(760, 438));
}
