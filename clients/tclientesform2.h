#pragma once
// The client picker: a small modal list of the client dataset's rows from
// which the service order screen chooses the client whose orders it shows.
// Moving in the list moves the shared client dataset at once; choosing
// (OK or a double click) also reloads the order dataset with that client's
// orders. Closing by the close box reloads nothing.
#include "widgets/tpickerform.h"

class TClientesForm2 : public TPickerForm
{
    Q_OBJECT
public:
    explicit TClientesForm2(QWidget *parent = nullptr);

    // The whole use from the service order screen's "..." button: with no
    // current client says "Não existe cliente cadastrado!" and opens
    // nothing; otherwise opens the client dataset if closed (its statement
    // unchanged) and shows the picker modally. True when it was shown.
    static bool Pick(QWidget *parent = nullptr);

protected:
    void Choose() override;
};
