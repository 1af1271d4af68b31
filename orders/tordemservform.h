#pragma once
// The service order screen: one client at a time (the shared client
// dataset's current record) with that client's service orders in a grid
// coloured by status, and the two halves of the selected order below it:
// "Dados de Entrada" (what came in, from whom, when, the status) and
// "Dados do Fechamento" (the repair, the technician, the date out and the
// price). It registers, edits, deletes and prints orders of the shared order
// dataset; the total is always value + interest - discount, exactly.
//
// Two arrangements: browsing (orders selectable, the order's boxes locked)
// and entry (the boxes open, everything that would leave the pending order
// locked). While an order is being entered nothing starts another order,
// moves to another client or closes the screen without asking first.
#include "widgets/tlistscreen.h"

#include <QColor>
#include <functional>
#include <optional>

class QGroupBox;
class QLabel;
class QStatusBar;
class QToolButton;
class TBitBtn;
class TDBComboBox;
class TDBEdit;
class TDBGrid;
class TDBMemo;
class TDBMoneyEdit;
class TFbQuery;

class TOrdemservForm : public TListScreen
{
    Q_OBJECT
public:
    explicit TOrdemservForm(QWidget *owner = nullptr);

    // "000042" from 42: at least six digits, zero-padded.
    static QString OrderNumber(qint32 idOrdem);
    // The text colour of an order row, by its status.
    static std::optional<QColor> RowColor(const TFbQuery *query, int row);
    // The statuses in the order of the list.
    static QStringList Statuses();

    bool InEntry() const { return m_entry; }

    // Handlers.
    void SpeedButton1Click(); // "..."
    void BitBtn1Click();      // "Cadastrar OS", F1
    void BitBtn2Click();      // "Editar OS", F2
    void BitBtn3Click();      // "Excluir OS", F3
    void BitBtn4Click();      // "Imprimir OS", F4
    void BitBtn5Click();      // "Gravar [F5]", F5
    void BitBtn6Click();      // "Cancelar [F6]", F6
    void DBEdit13Enter();     // entering "Valor Total"

    // Controls.
    QLabel *Label1;             // "Código"
    TDBEdit *DBEdit1;           // client IDCLIENTE
    QLabel *Label2;             // "Nome do Cliente"
    TDBEdit *DBEdit2;           // client NOME
    QToolButton *SpeedButton1;  // "..."
    TDBGrid *DBGrid1;
    TBitBtn *BitBtn1;           // "Cadastrar OS"
    TBitBtn *BitBtn2;           // "Editar OS"
    TBitBtn *BitBtn3;           // "Excluir OS"
    TBitBtn *BitBtn4;           // "Imprimir OS"
    QGroupBox *GroupBox1;       // "Dados de Entrada"
    TDBEdit *DBEdit3;           // NORDEM
    TDBEdit *DBEdit4;           // DESCRICAO
    TDBEdit *DBEdit5;           // SOLICITANTE
    TDBEdit *DBEdit6;           // DATACAD
    TDBEdit *DBEdit7;           // PRAZOENTREGA
    TDBMemo *DBMemo1;           // ANOTA
    TDBComboBox *DBComboBox1;   // SITUACAO
    QGroupBox *GroupBox2;       // "Dados do Fechamento"
    TDBMemo *DBMemo2;           // REPARO
    TDBEdit *DBEdit8;           // TECNICO
    TDBEdit *DBEdit9;           // DATASAIDA
    TDBMoneyEdit *DBEdit10;     // VALOR
    TDBMoneyEdit *DBEdit11;     // JUROS
    TDBMoneyEdit *DBEdit12;     // DESCONTO
    TDBMoneyEdit *DBEdit13;     // VALORTOT
    TBitBtn *BitBtn5;           // "Gravar [F5]"
    TBitBtn *BitBtn6;           // "Cancelar [F6]"
    QStatusBar *StatusBar1;
    QLabel *StatusPanel;        // the status bar's one panel

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void BuildClientAndOrders();
    void BuildEntryHalf();
    void BuildClosingHalf();
    void LayOutControls();
    void WireControls();
    void SetEntry(bool entry);
    // The checks before editing, deleting and printing; false after saying why.
    bool CheckClientAndOrder() const;
    // What another screen is told while this one holds an order being typed.
    QString HoldMessage() const;
    QString PendingMessage() const;
    bool CheckClient() const;
    bool CheckNothingPending() const;
    void ComputeTotal();

    bool m_entry = false;
    // The client a new order belongs to, fixed when it is registered.
    qint32 m_newOrderClient = 0;
};
