#include "widgets/tpickerform.h"

#include "app/tguard.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/trowcolors.h"
#include "widgets/twindowplace.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

TPickerForm::TPickerForm(TFbQuery *dataSet, const QList<TGridColumn> &columns, QWidget *parent)
    : QDialog(parent)
{
    // Fixed border with a close box; no minimise box, as on every modal
    // window.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetRowColorRule(&TPickerForm::RowColor);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(40);
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
    // Laid out before the grid meets its rows: it reads the rows it shows.
    all->activate();
    DBGrid1->SetColumns(columns);
    DBGrid1->SetDataSet(dataSet);
    TWindowPlace::CenterOnDesktop(this);
}

std::optional<QColor> TPickerForm::RowColor(const TFbQuery *, int)
{
    return TRowColors::MenuHighlight();
}

void TPickerForm::BitBtn1Click()
{
    Choose();
    accept();
}

void TPickerForm::DBGrid1DblClick()
{
    BitBtn1Click();
}

void TPickerForm::keyPressEvent(QKeyEvent *event)
{
    // A dialog would close on Esc; a picker has no keys of its own, and only
    // its close box leaves it without choosing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
