#pragma once
// The record form of one table: the modal dialog whose editors are bound to
// the current record of a shared dataset, which the list screen has put into
// inserting or editing before showing it.
//
// - "Gravar" (BitBtn1) writes what is still being typed into the record,
//   lets the form write its own columns (WriteDerived), checks the one
//   required text (empty: the form's message, the form stays open, the
//   record stays in inserting or editing), then applies the change and
//   closes.
// - "Cancelar [ESC]" (BitBtn2) and Esc from any control give the record up
//   and close.
// - However the form closes (the close box included), what is still pending
//   in the record is given up; a save the database refused leaves nothing
//   behind in the dataset's change cache for a later save to write.
#include <QDialog>
#include <QList>
#include <QSize>
#include <QStringList>

class QGridLayout;
class TBitBtn;
class TDBEdit;
class TFbQuery;
class TKeyPreview;

class TRecordForm : public QDialog
{
    Q_OBJECT
public:
    TRecordForm(TFbQuery *dataSet, QWidget *parent = nullptr);

    TFbQuery *DataSet() const { return m_dataSet; }
    TKeyPreview *KeyPreview() const { return m_keyPreview; }

    // The editor bound to a column ("CNPJ" -> DBEdit14), null if none.
    TDBEdit *EditorOf(const QString &column) const;

    // Handlers.
    void BitBtn1Click(); // "Gravar"
    void BitBtn2Click(); // "Cancelar [ESC]"

    TBitBtn *BitBtn1;    // "Gravar"
    TBitBtn *BitBtn2;    // "Cancelar [ESC]"

public slots:
    void done(int result) override;

protected:
    // The text column that may not be empty, and the message that says so.
    void SetRequired(const QString &fieldName, const QString &message);
    // Columns the form writes from controls of its own, before the check.
    virtual void WriteDerived();
    // Writes the checked record to the database; false when the form
    // refused to write it (it said why) and stays open.
    virtual bool ApplyRecord();

    // Editors "DBEdit<first>", "DBEdit<first + 1>", ... bound to the columns.
    QList<TDBEdit *> MakeEditors(const QStringList &columns, int first = 1);
    // A label over its editor in a grid of label and editor rows: the label
    // at `row` (none for an empty caption), the editor at `row` + 1.
    void PlaceLabelled(QGridLayout *grid, const QString &caption, QWidget *editor,
                       int row, int column, int span = 1);
    // Fixed border at the given size (empty: the layout's own), centred on
    // the desktop.
    void FixWindow(QSize size = QSize());

private:
    TFbQuery *m_dataSet;
    TKeyPreview *m_keyPreview;
    QString m_requiredField;
    QString m_requiredMessage;
};
