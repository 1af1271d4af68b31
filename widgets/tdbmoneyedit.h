#pragma once
// A one-line editor bound to a money field of a dataset's current row, that
// reads and writes amounts exactly (TMoney) the Brazilian way: "1.234,50",
// "150" and "150,5" are what they say; "abc", "1,2,3" or an amount past the
// range of a money column are refused with a message that says so.
//
// While it has no focus it shows the currency form ("R$ 1.234,50"); while
// it is edited, the plain amount ("1234,50"). The typed text is written when
// the editor is left, or when the screen calls TDBFieldLink::UpdateRecord
// before saving; a refused text stays on screen as typed (nothing is lost),
// the standard error box says why, and the focus goes back to the editor.
// An empty editor writes null (an empty amount, zero in every sum).
//
// Typing puts the dataset into editing; characters that cannot be part of
// an amount beep and are dropped. Amounts are typed with at most two
// decimals (more are refused with a message; a stored amount keeps its
// own), and never below zero (a negative amount is refused with a message).
// Entering the editor with a click selects its text, as Tab does.
#include "data/tmoney.h"
#include "widgets/tdbcontrol.h"

#include <QLineEdit>
#include <optional>

class TFbField;
class TFbQuery;

class TDBMoneyEdit : public TDBControl<QLineEdit>
{
    Q_OBJECT
public:
    explicit TDBMoneyEdit(QWidget *parent = nullptr);
    TDBMoneyEdit(const QString &objectName, TFbQuery *query, const QString &fieldName,
                 QWidget *parent = nullptr);

    // The amount of a money field's current value: zero when null;
    // throws EFbError (with the user's message) when the stored number is
    // not an amount the money type holds.
    static TMoney AmountOf(const TFbField *field);
    // The refusal of a typed amount below zero.
    static QString NegativeMessage(const QString &text);
    // Writes an amount into a money field exactly as the database's double
    // holds it.
    static void SetAmount(TFbField *field, TMoney amount);

signals:
    // The editor got the focus (after showing the field for typing).
    void Entered();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ShowField();
    void OnTextEdited();
    void WritePending();
    void FinishEditing();
    static bool AcceptsCharacter(QChar c);

    bool m_selectOnClick = false;
};
