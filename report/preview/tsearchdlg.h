#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The preview's find dialog: the text to look for and whether case
// matters. Fixed size; "Procurar" accepts, "Cancelar" rejects.
class TSearchDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TSearchDlg(QWidget *parent = nullptr);

    QString SearchText() const;
    bool MatchCase() const;

    QLineEdit *SearchEdit;
    QLabel *Label1;
    QCheckBox *MatchCaseBox;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
};
