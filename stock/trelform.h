#pragma once
// The stock movement report: the movements of the shared movement dataset
// in a grid, entries in blue and exits in red, filtered by kind and by a
// period of dates. "Imprimir" previews the rows it shows, product by product
// with their entries and exits summed; it has no keys of its own.
//
// Every instance shows the one movement dataset, which keeps the last
// filter; a new screen still starts at "Todos" with empty dates.
#include "widgets/tlistscreen.h"

#include <QString>

class QLabel;
class TBitBtn;
class TDBGrid;
class TMaskDateEdit;
class TRadioGroup;

class TRelForm : public TListScreen
{
    Q_OBJECT
public:
    // The "Tipo" choices, in their order.
    enum Kind { All = 0, Entries = 1, Exits = 2 };

    explicit TRelForm(QWidget *owner = nullptr);

    // The statement of a filter: the kind's base statement and, when both
    // date texts are filled, the period from the start day to the end of the
    // end day. A filled text that is not a date raises
    // "'<text>' não é uma data válida" (EFbError). No widget involved.
    static QString FilterStatement(int kind, const QString &startText, const QString &endText);

    // Handler.
    void BitBtn1Click(); // "Filtrar [Estoque]"
    void BitBtn2Click(); // "Imprimir"
    // The title of the printout: the kind and period of the last filter.
    QString PrintTitle() const;

    // Controls.
    QWidget *Panel1;            // filter panel
    TRadioGroup *RadioGroup1;   // "Tipo"
    QLabel *Label1;             // "Data Inicial"
    QLabel *Label2;             // "à"
    QLabel *Label3;             // "Data Final"
    TMaskDateEdit *MaskEdit1;   // start date
    TMaskDateEdit *MaskEdit2;   // end date
    TBitBtn *BitBtn1;           // "Filtrar [Estoque]"
    TBitBtn *BitBtn2;           // "Imprimir"
    TDBGrid *DBGrid1;

private:
    // The filter the rows come from (none yet: every movement).
    int m_filterKind = All;
    QString m_filterStart, m_filterEnd;
};
