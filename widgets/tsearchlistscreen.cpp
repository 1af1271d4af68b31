#include "widgets/tsearchlistscreen.h"

#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbrowwriter.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/tkeypreview.h"
#include "widgets/tradiogroup.h"
#include "widgets/tsearchedit.h"
#include "widgets/tsearchsql.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

TSearchListScreen::TSearchListScreen(const TSearchListSetup &setup, TFbQuery *dataSet, QWidget *owner)
    : TListScreen(owner)
    , m_dataSet(dataSet)
    , m_setup(setup)
{
    setObjectName(setup.objectName);
    setWindowTitle(setup.caption);
    resize(setup.size);

    // Search panel: label over the search box and "Procurar", the choices
    // beside them.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(89);
    Label1 = new QLabel(setup.searchLabel, Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new TSearchEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(220);
    Label1->setBuddy(Edit1);
    BitBtn1 = new TBitBtn(QStringLiteral("BitBtn1"), QStringLiteral("Procurar"),
                          TButtonPictures::MagnifyingGlass, Panel1);
    RadioGroup1 = new TRadioGroup(Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setTitle(QStringLiteral("Procurar por:"));
    QStringList captions;
    for (const TSearchChoice &c : setup.choices)
        captions << c.caption;
    RadioGroup1->SetItems(captions, qMax(1, int(captions.size())));
    RadioGroup1->SetItemIndex(0);
    auto *searchColumn = new QVBoxLayout;
    searchColumn->addWidget(Label1);
    auto *searchLine = new QHBoxLayout;
    searchLine->addWidget(Edit1, 1);
    searchLine->addWidget(BitBtn1);
    searchColumn->addLayout(searchLine);
    m_searchPanel = new QHBoxLayout(Panel1);
    m_searchPanel->setContentsMargins(6, 4, 6, 4);
    m_searchPanel->addLayout(searchColumn, 2);
    m_searchPanel->addSpacing(8);
    m_searchPanel->addWidget(RadioGroup1, 1);
    m_searchPanel->addStretch();

    DBGrid1 = new TDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));

    // Button panel.
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    BitBtn2 = new TBitBtn(QStringLiteral("BitBtn2"), setup.newButton, TButtonPictures::GreenPlus, Panel2);
    BitBtn3 = new TBitBtn(QStringLiteral("BitBtn3"), setup.editButton, TButtonPictures::Pencil, Panel2);
    BitBtn4 = new TBitBtn(QStringLiteral("BitBtn4"), setup.deleteButton, TButtonPictures::RedMinus, Panel2);
    BitBtn5 = new TBitBtn(QStringLiteral("BitBtn5"), QStringLiteral("Fechar Janela"),
                          TButtonPictures::OpenDoor, Panel2);
    m_buttonRows = new QVBoxLayout(Panel2);
    m_buttonRows->setContentsMargins(6, 4, 6, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn4);
    buttons->addStretch();
    buttons->addWidget(BitBtn5);
    m_buttonRows->addLayout(buttons);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusPanel = new QLabel(setup.statusText, StatusBar1);
    StatusBar1->addWidget(StatusPanel, 1);

    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->setSpacing(0);
    all->addWidget(Panel1);
    all->addWidget(DBGrid1, 1);
    all->addWidget(Panel2);
    all->addWidget(StatusBar1);
    // Laid out at its size before the grid meets its rows, so that an open
    // dataset is read for the rows the grid shows, not a packet of them.
    all->activate();
    DBGrid1->SetColumns(setup.columns);
    DBGrid1->SetDataSet(dataSet);

    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(Edit1, &TSearchEdit::SearchRequested, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    connect(BitBtn3, &QPushButton::clicked, this, Guarded([this] { BitBtn3Click(); }));
    connect(BitBtn4, &QPushButton::clicked, this, Guarded([this] { BitBtn4Click(); }));
    connect(BitBtn5, &QPushButton::clicked, this, Guarded([this] { BitBtn5Click(); }));

    // Keys act as the buttons' clicks, whichever control has the focus.
    KeyPreview()->Bind(Qt::Key_F1, [this] { BitBtn2Click(); });
    KeyPreview()->Bind(Qt::Key_F2, [this] { BitBtn3Click(); });
    KeyPreview()->Bind(Qt::Key_F3, [this] { BitBtn4Click(); });
    KeyPreview()->Bind(Qt::Key_Escape, [this] { BitBtn5Click(); });
}

TSearchListScreen::~TSearchListScreen() = default;

void TSearchListScreen::AddToSearchPanel(QWidget *widget)
{
    widget->setParent(Panel1);
    m_searchPanel->addWidget(widget, 0, Qt::AlignBottom);
}

QString TSearchListScreen::SearchStatement(const QString &typed, int choice) const
{
    const QList<TSearchChoice> &choices = m_setup.choices;
    const int c = choice >= 0 && choice < choices.size() ? choice : 0;
    return TSearchSql::Build(typed, m_setup.table, choices.value(c).column, m_setup.orderBy);
}

qint32 TSearchListScreen::SelectedId() const
{
    TFbQuery *q = m_dataSet;
    if (!q || !q->Active() || q->IsEmpty())
        return 0;
    return q->FieldByName(m_setup.keyField)->AsInteger();
}

void TSearchListScreen::BitBtn1Click()
{
    m_dataSet->Close();
    m_dataSet->SetSQL(SearchStatement(Edit1->text(), RadioGroup1->ItemIndex()));
    m_dataSet->Open();
}

void TSearchListScreen::BitBtn2Click()
{
    RunRecordForm(true);
}

void TSearchListScreen::BitBtn3Click()
{
    if (SelectedId() == 0)
        return;
    RunRecordForm(false);
}

void TSearchListScreen::RunRecordForm(bool isNew)
{
    // The form shows the record as stored now, not as it was when the list
    // was read: another computer may have changed it since.
    if (!isNew && !m_dataSet->RefreshCurrent()) {
        TMessages::ShowMessage(TFbRowWriter::GoneBeforeEditMessage());
        return;
    }
    std::unique_ptr<QDialog> form = CreateRecordForm();
    PrepareRecordForm(form.get(), isNew);
    if (isNew)
        m_dataSet->Append();
    else
        m_dataSet->Edit();
    try {
        form->setWindowTitle(isNew ? m_setup.newFormCaption : m_setup.editFormCaption);
        m_dataSet->HoldPending(QStringLiteral("Termine ou cancele o cadastro em edição na tela %1.")
                                   .arg(form->windowTitle()));
        LoadRecordForm(form.get(), isNew);
    } catch (...) {
        // The form never showed: the record it was to edit is given up,
        // or the next save of the table would write it.
        m_dataSet->Cancel();
        throw;
    }
    form->exec();
}

void TSearchListScreen::PrepareRecordForm(QDialog *, bool) {}

void TSearchListScreen::LoadRecordForm(QDialog *, bool) {}

void TSearchListScreen::DeleteRelated(qint32) {}

void TSearchListScreen::BitBtn4Click()
{
    TFbQuery *q = m_dataSet;
    const qint32 id = SelectedId();
    if (id == 0)
        return;
    // Refused before the question when another screen is typing on it.
    q->CheckNotHeld();
    const QString question = m_setup.questionStart
        + q->FieldByName(m_setup.questionField)->AsString() + QStringLiteral(" ] ?");
    if (TMessages::MessageBox(question, m_setup.deleteButton, TMessages::Warning,
                              TMessages::YesNo) != TMessages::Yes)
        return;
    try {
        DM->RunUnitOfWork([&] {
            DeleteRelated(id);
            q->Delete();
            q->ApplyChanges();
        });
    } catch (...) {
        // The delete must not stay cached: the next save of any record of
        // the table would write it, alone. The row is shown again, as it
        // still is in the database.
        if (q->Active() && q->UpdatesPending())
            q->CancelUpdates();
        throw;
    }
}

void TSearchListScreen::BitBtn5Click()
{
    close();
}
