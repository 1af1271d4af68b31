#include "tclientesform2.h"

#include "tbitbtn.h"
#include "tdbgrid.h"
#include "tdm.h"
#include "tfbfield.h"
#include "tfbquery.h"
#include "tguard.h"
#include "tmessages.h"
#include "twindowplace.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

TClientesForm2::TClientesForm2(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ClientesForm2"));
    setWindowTitle(QStringLiteral("Clientes"));
    // Fixed border with a close box and a minimise box.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetDataSet(DM ? DM->ClientesQuery : nullptr);
    DBGrid1->SetColumns({{QStringLiteral("IDCLIENTE"), QStringLiteral("Cod. Cliente"), 0},
                         {QStringLiteral("NOME"), QStringLiteral("Nome"), 354}});
    DBGrid1->SetRowColorRule([this](const TFbQuery *q, int row) { return RowColor(q, row); });

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    BitBtn1 = new TBitBtn(QStringLiteral("BitBtn1"), QStringLiteral("OK"),
                          TButtonPictures::GreenTick, Panel1);
    auto *panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(6, 6, 6, 6);
    panel->addStretch();
    panel->addWidget(BitBtn1);
    panel->addStretch();

    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->setSpacing(0);
    all->addWidget(DBGrid1, 1);
    all->addWidget(Panel1);

    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(DBGrid1, &TDBGrid::DblClick, this, Guarded([this] { DBGrid1DblClick(); }));

    setFixedSize(425, 273);
    TWindowPlace::CenterOnDesktop(this);
}

bool TClientesForm2::Pick(QWidget *parent)
{
    TFbQuery *clients = DM->ClientesQuery;
    const bool hasClient = clients->Active() && !clients->IsEmpty()
        && clients->FieldByName(QStringLiteral("IDCLIENTE"))->AsInteger() != 0;
    if (!hasClient) {
        TMessages::ShowMessage(QStringLiteral("Não existe cliente cadastrado!"));
        return false;
    }
    TClientesForm2 picker(parent);
    clients->Open();
    picker.exec();
    return true;
}

std::optional<QColor> TClientesForm2::RowColor(const TFbQuery *, int) const
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

void TClientesForm2::BitBtn1Click()
{
    const qint32 id = DM->ClientesQuery->FieldByName(QStringLiteral("IDCLIENTE"))->AsInteger();
    TFbQuery *orders = DM->OrdensQuery;
    orders->Close();
    orders->SetSQL(QStringLiteral("select * from ordemserv where idcliente=") + QString::number(id));
    orders->Open();
    accept();
}

void TClientesForm2::DBGrid1DblClick()
{
    BitBtn1Click();
}
