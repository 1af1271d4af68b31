#pragma once
// The about box: who made the system, what the free version holds, and
// where to ask.
#include <QDialog>

class QPlainTextEdit;

class TSobreForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSobreForm(QWidget *parent = nullptr);

    QPlainTextEdit *Memo1 = nullptr;
};
