#include "widgets/trecordform.h"

#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbfieldlink.h"
#include "widgets/tkeypreview.h"
#include "widgets/twindowplace.h"

#include <QGridLayout>
#include <QLabel>

TRecordForm::TRecordForm(TFbQuery *dataSet, QWidget *parent)
    : QDialog(parent)
    , m_dataSet(dataSet)
    , m_keyPreview(new TKeyPreview(this))
{
    BitBtn1 = new TBitBtn(QStringLiteral("BitBtn1"), QStringLiteral("Gravar"),
                          TButtonPictures::FloppyDisk, this);
    BitBtn2 = new TBitBtn(QStringLiteral("BitBtn2"), QStringLiteral("Cancelar [ESC]"),
                          TButtonPictures::RedCross, this);
    connect(BitBtn1, &QPushButton::clicked, this, Guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, Guarded([this] { BitBtn2Click(); }));
    m_keyPreview->Bind(Qt::Key_Escape, [this] { BitBtn2Click(); });
}

void TRecordForm::SetRequired(const QString &fieldName, const QString &message)
{
    m_requiredField = fieldName;
    m_requiredMessage = message;
}

void TRecordForm::WriteDerived() {}

bool TRecordForm::ApplyRecord()
{
    m_dataSet->ApplyChanges();
    return true;
}

QList<TDBEdit *> TRecordForm::MakeEditors(const QStringList &columns, int first)
{
    QList<TDBEdit *> editors;
    for (const QString &column : columns)
        editors << new TDBEdit(QStringLiteral("DBEdit%1").arg(first + editors.size()), m_dataSet,
                               column, this);
    return editors;
}

void TRecordForm::PlaceLabelled(QGridLayout *grid, const QString &caption, QWidget *editor,
                                int row, int column, int span)
{
    if (!caption.isEmpty()) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(editor);
        grid->addWidget(label, row, column, 1, span);
    }
    grid->addWidget(editor, row + 1, column, 1, span);
}

void TRecordForm::FixWindow(QSize size)
{
    // No minimise box: a modal form out of sight would leave the screens
    // under it blocked with nothing to answer.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (size.isEmpty()) {
        adjustSize();
        size = sizeHint();
    }
    setFixedSize(size);
    TWindowPlace::CenterOnDesktop(this);
}

TDBEdit *TRecordForm::EditorOf(const QString &column) const
{
    for (TDBEdit *e : findChildren<TDBEdit *>()) {
        if (e->Link()->FieldName().compare(column, Qt::CaseInsensitive) == 0)
            return e;
    }
    return nullptr;
}

void TRecordForm::BitBtn1Click()
{
    TFbQuery *q = m_dataSet;
    // What is still being typed belongs to the record being saved.
    TDBFieldLink::UpdateRecord(q);
    WriteDerived();
    if (!m_requiredField.isEmpty() && q->FieldByName(m_requiredField)->AsString().isEmpty()) {
        TMessages::ShowMessage(m_requiredMessage);
        return;
    }
    if (ApplyRecord())
        accept();
}

void TRecordForm::BitBtn2Click()
{
    m_dataSet->Cancel();
    reject();
}

void TRecordForm::done(int result)
{
    // However the form closes (saved, cancelled, Esc, close box), what is
    // still pending in the record is given up; after a save there is
    // nothing left to give up.
    if (m_dataSet) {
        Guard([this, result] {
            TFbQuery *q = m_dataSet;
            q->Cancel();
            // A save the database refused left the record posted in the
            // change cache; giving up the form gives it up too, or the next
            // save of any record of the table would write it.
            if (result != QDialog::Accepted && q->Active() && q->UpdatesPending())
                q->CancelUpdates();
        });
    }
    QDialog::done(result);
}
