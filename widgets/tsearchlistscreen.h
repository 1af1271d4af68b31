#pragma once
// The list screen of one table: a search panel (label, search box,
// "Procurar", the "Procurar por:" choices), the grid of the table's shared
// dataset, a button panel (new, edit, delete at the left, "Fechar Janela" at
// the right) and a status bar that lists the keys.
//
// F1, F2, F3 and Esc act as the four buttons from whichever control has the
// focus; Enter in the search box searches. A search closes the dataset and
// reopens it on the statement of TSearchSql. New and edit open the screen's
// record form modally on an appended or edited record; delete asks a Yes/No
// question and deletes the current row, with whatever goes with it, as one
// unit of work. Edit and delete do nothing without a current row.
//
// A screen describes itself with a TSearchListSetup and supplies its record
// form; the hooks below add what is particular to it.
#include "widgets/tgridcolumn.h"
#include "widgets/tlistscreen.h"

#include <QList>
#include <QSize>
#include <QString>
#include <memory>

class QDialog;
class QHBoxLayout;
class QLabel;
class QStatusBar;
class QVBoxLayout;
class TBitBtn;
class TDBGrid;
class TFbQuery;
class TRadioGroup;
class TSearchEdit;

struct TSearchChoice
{
    QString caption;   // "Cidade"
    QString column;    // the column searched: "cidade"
};

struct TSearchListSetup
{
    QString objectName;
    QString caption;            // window caption
    QSize size;                 // client area when first shown
    QString searchLabel;        // "Procurar Fornecedor"
    QList<TSearchChoice> choices;
    QString table;              // the table searched: "fornecedores"
    QString orderBy;            // the order of every search: "nomefantasia"
    QString keyField;           // the record's key: "IDFORNECE" (0 or null: no record)
    QList<TGridColumn> columns;
    QString newButton;          // "Cadastrar Fornecedor"
    QString editButton;         // "Editar Fornecedor"
    QString deleteButton;       // "Excluir Fornecedor", also the delete question's caption
    QString statusText;         // the status bar's one panel
    QString newFormCaption;     // "Cadastro de Fornecedor"
    QString editFormCaption;    // "Alteração de Fornecedor"
    // The delete question: questionStart + the current row's questionField
    // as text + " ] ?".
    QString questionStart;      // "Deseja excluir o Fornecedor [ "
    QString questionField;      // "NOMEFANTASIA"
};

class TSearchListScreen : public TListScreen
{
    Q_OBJECT
public:
    TSearchListScreen(const TSearchListSetup &setup, TFbQuery *dataSet, QWidget *owner = nullptr);
    ~TSearchListScreen() override;

    // The statement of a search for the typed text by the choice (its index
    // in the setup's choices; outside them, the first).
    QString SearchStatement(const QString &typed, int choice) const;
    TFbQuery *DataSet() const { return m_dataSet; }
    // The current row's key; 0 when there is none (an empty list, or one
    // left closed by a failed search).
    qint32 SelectedId() const;

    // Handlers.
    void BitBtn1Click(); // "Procurar", Enter in the search box
    void BitBtn2Click(); // new, F1
    void BitBtn3Click(); // edit, F2
    void BitBtn4Click(); // delete, F3
    void BitBtn5Click(); // "Fechar Janela", Esc

    // Controls.
    QWidget *Panel1;            // search panel
    QLabel *Label1;             // search label
    TSearchEdit *Edit1;         // search text
    TBitBtn *BitBtn1;           // "Procurar"
    TRadioGroup *RadioGroup1;   // "Procurar por:"
    TDBGrid *DBGrid1;
    QWidget *Panel2;            // button panel
    TBitBtn *BitBtn2;           // new
    TBitBtn *BitBtn3;           // edit
    TBitBtn *BitBtn4;           // delete
    TBitBtn *BitBtn5;           // "Fechar Janela"
    QStatusBar *StatusBar1;
    QLabel *StatusPanel;        // the status bar's one panel

protected:
    // The screen's record form, created for one modal run.
    virtual std::unique_ptr<QDialog> CreateRecordForm() = 0;
    // Before the record is appended or put into editing.
    virtual void PrepareRecordForm(QDialog *form, bool isNew);
    // After the record is appended or edited and the caption set, just
    // before the form is shown.
    virtual void LoadRecordForm(QDialog *form, bool isNew);
    // Inside the delete's unit of work, before the row itself is deleted:
    // the rows of other tables that go with it.
    virtual void DeleteRelated(qint32 key);

    // A widget at the far right of the search panel ("Legenda Cores").
    void AddToSearchPanel(QWidget *widget);
    // The button panel's rows, top to bottom: a screen may add a row.
    QVBoxLayout *ButtonPanelLayout() const { return m_buttonRows; }

private:
    void RunRecordForm(bool isNew);

    TFbQuery *m_dataSet;
    TSearchListSetup m_setup;
    QHBoxLayout *m_searchPanel;
    QVBoxLayout *m_buttonRows;
};
