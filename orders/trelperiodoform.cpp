#include "orders/trelperiodoform.h"

#include "app/tguard.h"
#include "data/tdm.h"
#include "orders/tperiodreport.h"
#include "widgets/tbitbtn.h"
#include "widgets/tmaskdateedit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

TRelPeriodoForm::TRelPeriodoForm(TPeriodReport *report, QWidget *parent)
    : QDialog(parent)
    , m_report(report)
{
    setObjectName(QStringLiteral("RelPeriodoForm"));
    setWindowTitle(QStringLiteral("Ordens de Serviço por Período"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);

    MaskEdit1 = new TMaskDateEdit(this);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit2 = new TMaskDateEdit(this);
    MaskEdit2->setObjectName(QStringLiteral("MaskEdit2"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItem(QStringLiteral("Todos"));
    ComboBox1->addItems(TPeriodReport::StatusChoices());
    auto *dates = new QGroupBox(QStringLiteral("Data"), this);
    RadioButton1 = new QRadioButton(QStringLiteral("Data de cadastro"), dates);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Data de saída"), dates);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton1->setChecked(true);
    auto *datesLayout = new QHBoxLayout(dates);
    datesLayout->addWidget(RadioButton1);
    datesLayout->addWidget(RadioButton2);
    BitBtn1 = new TBitBtn(QStringLiteral("BitBtn1"), QStringLiteral("Visualizar"), TButtonPictures::Printer, this);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Data Inicial"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Data Final"), this), 0, 2);
    grid->addWidget(MaskEdit1, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("à"), this), 1, 1);
    grid->addWidget(MaskEdit2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Situação"), this), 2, 0);
    grid->addWidget(ComboBox1, 3, 0, 1, 3);
    auto *all = new QVBoxLayout(this);
    all->addLayout(grid);
    all->addWidget(dates);
    all->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
}

void TRelPeriodoForm::BitBtn1Click()
{
    // A box still being typed keeps the focus and says why itself.
    if (MaskEdit1->RefusesToLeave() || MaskEdit2->RefusesToLeave())
        return;
    const QDate start = TPeriodReport::ReadDate(MaskEdit1->Text(), QStringLiteral("data inicial"));
    const QDate end = TPeriodReport::ReadDate(MaskEdit2->Text(), QStringLiteral("data final"));
    const QString status = ComboBox1->currentIndex() > 0 ? ComboBox1->currentText() : QString();
    const auto kind = RadioButton2->isChecked() ? TPeriodReport::Closed : TPeriodReport::Registered;
    m_report->Preview(start, end, status, kind);
}

void TRelPeriodoForm::Run(QWidget *parent)
{
    if (!DM)
        return;
    TPeriodReport report(DM);
    TRelPeriodoForm form(&report, parent);
    form.exec();
}
