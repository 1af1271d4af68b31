#include "report/preview/tsearchdlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TSearchDlg::TSearchDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("TSearchDlg"));
    setWindowTitle(QStringLiteral("Procurar por Texto"));
    Label1 = new QLabel(QStringLiteral("Texto a procurar"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    Label1->setBuddy(SearchEdit);
    MatchCaseBox = new QCheckBox(QStringLiteral("Diferenciar maiúsculas de minúsculas"), this);
    MatchCaseBox->setObjectName(QStringLiteral("MatchCase"));
    OKBtn = new QPushButton(QStringLiteral("Procurar"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancelar"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(SearchEdit, 1, 0);
    grid->addWidget(MatchCaseBox, 2, 0);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    grid->addLayout(buttons, 3, 0);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    SearchEdit->setMinimumWidth(260);
}

QString TSearchDlg::SearchText() const
{
    return SearchEdit->text();
}

bool TSearchDlg::MatchCase() const
{
    return MatchCaseBox->isChecked();
}
