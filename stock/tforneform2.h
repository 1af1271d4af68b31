#pragma once
// The supplier picker: a small modal list of the supplier dataset's rows as
// they stand (the last supplier search, or all suppliers), from which the
// product record form chooses a product's supplier. Choosing ("OK" or a
// double click) writes the supplier's code and trade name into the two
// supplier boxes it was given and closes; the close box writes nothing.
// It stores nothing itself. Moving in the list moves the shared supplier
// dataset at once.
#include "widgets/tpickerform.h"

#include <QPointer>

class QLineEdit;

class TForneForm2 : public TPickerForm
{
    Q_OBJECT
public:
    // The picker for the supplier code box and the supplier name box of the
    // form that opens it.
    TForneForm2(QLineEdit *codeBox, QLineEdit *nameBox, QWidget *parent = nullptr);

    // The whole use from the product record form's "..." button: with no
    // current supplier (an empty or closed list) says "Não existe
    // fornecedor cadastrado!" and leaves the boxes as they are; otherwise
    // shows the picker modally. True when it was shown.
    static bool Pick(QLineEdit *codeBox, QLineEdit *nameBox, QWidget *parent = nullptr);

protected:
    void Choose() override;

private:
    QPointer<QLineEdit> m_codeBox;
    QPointer<QLineEdit> m_nameBox;
};
