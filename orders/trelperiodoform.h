#pragma once
// The choices of "Ordens de Serviço por Período": the period (two masked
// date boxes, as on the stock report), the status ("Todos" or one) and
// which date counts (registered or closed); "Visualizar" previews the
// report, a wrong choice is told and nothing is shown.
#include <QDialog>

class QComboBox;
class QLabel;
class QRadioButton;
class TBitBtn;
class TMaskDateEdit;
class TPeriodReport;

class TRelPeriodoForm : public QDialog
{
    Q_OBJECT
public:
    explicit TRelPeriodoForm(TPeriodReport *report, QWidget *parent = nullptr);

    void BitBtn1Click();   // "Visualizar"

    // Shows the form modally over `parent` with a report of its own.
    static void Run(QWidget *parent);

    TMaskDateEdit *MaskEdit1;     // start date
    TMaskDateEdit *MaskEdit2;     // end date
    QComboBox *ComboBox1;         // status, "Todos" first
    QRadioButton *RadioButton1;   // "Data de cadastro"
    QRadioButton *RadioButton2;   // "Data de saída"
    TBitBtn *BitBtn1;             // "Visualizar"

private:
    TPeriodReport *m_report;
};
