#include "stock/trelform.h"
#include "stock/trelestoqueprint.h"

#include "app/tguard.h"
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tfbquery.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/tmaskdateedit.h"
#include "widgets/tradiogroup.h"
#include "widgets/trowcolors.h"
#include "widgets/tsearchsql.h"

#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <optional>

namespace {
// A date box counts as filled unless it holds nothing but the slashes.
bool IsFilled(const QString &text)
{
    return text.trimmed() != QStringLiteral("/  /");
}

// Some position typed and a day, month or year still missing.
bool IsPartial(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^ *[0-9]{1,2} */ *[0-9]{1,2} */ *[0-9]{4} *$"));
    return !re.match(text).hasMatch();
}

QDate CheckedDate(const QString &text)
{
    const std::optional<QDate> date = TMaskDateEdit::ReadDate(text);
    if (!date)
        throw EFbError(QStringLiteral("'%1' não é uma data válida").arg(text));
    return *date;
}

} // namespace

QString TRelForm::FilterStatement(int kind, const QString &startText, const QString &endText)
{
    QString sql;
    switch (kind) {
    case Entries: sql = QStringLiteral("select * from prodent where tipo=\"entrada\""); break;
    case Exits: sql = QStringLiteral("select * from prodent where tipo=\"saida\""); break;
    default: sql = QStringLiteral("select * from prodent"); break;
    }
    // A date typed only in part is no date and never an empty box: taking
    // it for one would list every movement as if no period were asked.
    for (const QString &text : {startText, endText})
        if (IsFilled(text) && IsPartial(text))
            CheckedDate(text);
    if (!IsFilled(startText) || !IsFilled(endText))
        return sql;
    // Both dates are read before anything is written: a bad one stops the
    // filter with nothing changed.
    const QDate start = CheckedDate(startText);
    const QDate end = CheckedDate(endText);
    // The whole end day, whatever time of day a movement was given: up to,
    // not including, the next midnight. Past the last day the database can
    // hold there is no next day, and nothing lies after it.
    sql += kind == Entries || kind == Exits ? QStringLiteral(" and ") : QStringLiteral(" where ");
    sql += QStringLiteral("datacad >= ") + TSearchSql::DateLiteral(start);
    const QDate after = end.addDays(1);
    if (after.year() <= 9999)
        sql += QStringLiteral(" and datacad < ") + TSearchSql::DateLiteral(after);
    return sql;
}

TRelForm::TRelForm(QWidget *owner)
    : TListScreen(owner)
{
    setObjectName(QStringLiteral("RelForm"));
    setWindowTitle(QStringLiteral("Relatório de Estoque - Entrada / Saida"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(760, 596);

    // Filter panel: the kinds at the left, the period beside them with
    // "Filtrar [Estoque]" under its boxes.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(105);
    RadioGroup1 = new TRadioGroup(Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setTitle(QStringLiteral("Tipo"));
    RadioGroup1->SetItems({QStringLiteral("Todos"), QStringLiteral("Entrada de Produto"),
                           QStringLiteral("Saída de Produto")}, 1);
    RadioGroup1->SetItemIndex(All);
    Label1 = new QLabel(QStringLiteral("Data Inicial"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("à"), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel(QStringLiteral("Data Final"), Panel1);
    Label3->setObjectName(QStringLiteral("Label3"));
    MaskEdit1 = new TMaskDateEdit(Panel1);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit2 = new TMaskDateEdit(Panel1);
    MaskEdit2->setObjectName(QStringLiteral("MaskEdit2"));
    Label1->setBuddy(MaskEdit1);
    Label3->setBuddy(MaskEdit2);
    for (TMaskDateEdit *box : {MaskEdit1, MaskEdit2})
        box->setFixedWidth(90);
    BitBtn1 = new TBitBtn(QStringLiteral("BitBtn1"), QStringLiteral("Filtrar [Estoque]"),
                          TButtonPictures::MagnifyingGlass, Panel1);

    auto *period = new QGridLayout;
    period->addWidget(Label1, 0, 0);
    period->addWidget(Label3, 0, 2);
    period->addWidget(MaskEdit1, 1, 0);
    period->addWidget(Label2, 1, 1);
    period->addWidget(MaskEdit2, 1, 2);
    period->addWidget(BitBtn1, 2, 0, 1, 3, Qt::AlignLeft);
    BitBtn2 = new TBitBtn(QStringLiteral("BitBtn2"), QStringLiteral("Imprimir"), TButtonPictures::Printer, Panel1);
    period->addWidget(BitBtn2, 2, 3, Qt::AlignLeft);
    period->setVerticalSpacing(4);
    period->setRowMinimumHeight(2, 0);
    period->setRowStretch(3, 1);
    period->setColumnStretch(3, 1);
    auto *panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(6, 2, 6, 2);
    panel->setAlignment(Qt::AlignTop);
    panel->addWidget(RadioGroup1);
    panel->addSpacing(16);
    panel->addLayout(period, 1);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetColumns({{QStringLiteral("DATACAD"), QStringLiteral("Data Entrada / Saida"), 0},
                         {QStringLiteral("IDPROD"), QStringLiteral("Cod. Produto"), 0},
                         {QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"), 270},
                         {QStringLiteral("QTDEENT"), QStringLiteral("Qtde Entrada / Saida"), 0},
                         {QStringLiteral("NOMEFORNE"), QStringLiteral("Fornecedor"), 270},
                         {QStringLiteral("OBS"), QStringLiteral("Observação"), 700}});
    DBGrid1->SetRowColorRule([](const TFbQuery *q, int row) {
        return TRowColors::Movement(TDBGrid::TextAt(q, row, QStringLiteral("TIPO")));
    });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(DBGrid1, 1);
    // Laid out at its size before the grid meets the movements, so that an
    // open dataset is read for the rows the grid shows, not a packet.
    layout->activate();
    DBGrid1->SetDataSet(DM ? DM->ProdEntQuery : nullptr);

    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
}

void TRelForm::BitBtn1Click()
{
    // A click that could not take the focus from a half-typed date box
    // (which has said why) filters nothing.
    for (const TMaskDateEdit *box : {MaskEdit1, MaskEdit2})
        if (box->hasFocus() && box->RefusesToLeave())
            return;
    // The statement first: a bad date leaves the dataset and the grid as
    // they were.
    const QString sql = FilterStatement(RadioGroup1->ItemIndex(), MaskEdit1->Text(), MaskEdit2->Text());
    TFbQuery *q = DM->ProdEntQuery;
    q->Close();
    q->SetSQL(sql);
    q->Open();
    m_filterKind = RadioGroup1->ItemIndex();
    m_filterStart = MaskEdit1->Text();
    m_filterEnd = MaskEdit2->Text();
}

QString TRelForm::PrintTitle() const
{
    return TRelEstoquePrint::Title(m_filterKind, m_filterStart, m_filterEnd);
}

void TRelForm::BitBtn2Click()
{
    TFbQuery *q = DM->ProdEntQuery;
    if (!q->Active())
        q->Open();
    TRelEstoquePrint print(DM);
    print.Preview(q->SQLText(), PrintTitle());
}
