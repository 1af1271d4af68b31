#pragma once
// The client list: the shop's register of clients, in a grid over the shared
// client dataset whose text colour tells each client's annotation type. It
// searches by name, city or address and starts creating, editing and
// deleting clients; creating and editing happen in the client record form.
//
// It owns no data: a search re-runs the client dataset's query, which every
// other screen then sees.
#include "tlistscreen.h"

#include <QColor>
#include <optional>

class QLabel;
class QStatusBar;
class TBitBtn;
class TDBGrid;
class TFbQuery;
class TRadioGroup;
class TSearchEdit;

class TListaClientesForm : public TListScreen
{
    Q_OBJECT
public:
    explicit TListaClientesForm(QWidget *owner = nullptr);

    // The statement of a search for the typed text by the "Procurar por:"
    // choice (0 "Nome", 1 "Cidade", 2 "Endereço").
    static QString SearchStatement(const QString &typed, int choice);
    // The text colour of a client row, by its annotation type.
    static std::optional<QColor> RowColor(const TFbQuery *query, int row);

    // Handlers.
    void BitBtn1Click(); // "Procurar", Enter in the search box
    void BitBtn2Click(); // "Cadastrar Cliente", F1
    void BitBtn3Click(); // "Editar Cliente", F2
    void BitBtn4Click(); // "Excluir Cliente", F3
    void BitBtn5Click(); // "Fechar Janela", Esc
    void BitBtn6Click(); // "Legenda Cores"

    // Controls.
    QWidget *Panel1;            // search panel
    QLabel *Label1;             // "Procurar Cliente"
    TSearchEdit *Edit1;         // search text
    TBitBtn *BitBtn1;           // "Procurar"
    TRadioGroup *RadioGroup1;   // "Procurar por:"
    TBitBtn *BitBtn6;           // "Legenda Cores"
    TDBGrid *DBGrid1;
    QWidget *Panel2;            // button panel
    TBitBtn *BitBtn2;           // "Cadastrar Cliente"
    TBitBtn *BitBtn3;           // "Editar Cliente"
    TBitBtn *BitBtn4;           // "Excluir Cliente"
    TBitBtn *BitBtn5;           // "Fechar Janela"
    QStatusBar *StatusBar1;
    QLabel *StatusPanel;        // the status bar's one panel
};
