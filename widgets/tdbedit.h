#pragma once
// A one-line editor bound to a field of a dataset's current row.
//
// What it does follows the field's kind:
// - text: accepts at most the field's size in characters and writes each
//   change into the field at once;
// - whole numbers: only "+", "-" and digits can be typed (others beep);
// - money: only the characters of a decimal number can be typed (digits,
//   sign, decimal separator, exponent letter; others beep); shown in the
//   currency format while the editor has no focus, as a plain number while
//   it is edited;
// - dates: shown in the field's display format while the editor has no
//   focus; the typed text is read as a day/month/year date when the editor
//   is left.
// Numbers and dates are written when the editor is left (or when the screen
// saves, see TDBFieldLink::UpdateRecord); a refused text is shown in the
// standard error box, selected, and the focus stays in the editor.
//
// Typing puts the dataset into editing. SetUpperCase turns typed letters
// into capitals; SetDigitsOnly lets only the digits 0 to 9 and Backspace
// through, silently (quantities); the clipboard and undo keys (Ctrl+A, C,
// V, X, Z) work in every box, a paste held to the same rule. A click that
// brings the focus into a number box selects its text, as Tab does, so what
// is typed replaces the number. A typed or pasted character the database
// cannot hold is refused with a message (TCharsetValidator).
#include "widgets/tdbcontrol.h"

#include <QLineEdit>

class TCharsetValidator;
class TFbQuery;

class TDBEdit : public TDBControl<QLineEdit>
{
    Q_OBJECT
public:
    explicit TDBEdit(QWidget *parent = nullptr);
    TDBEdit(const QString &objectName, TFbQuery *query, const QString &fieldName,
            QWidget *parent = nullptr);

    void SetUpperCase(bool on) { m_upperCase = on; }
    bool UpperCase() const { return m_upperCase; }
    void SetDigitsOnly(bool on);
    bool DigitsOnly() const { return m_digitsOnly; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ShowField();
    void OnTextEdited(const QString &text);
    bool WritesAtOnce() const;
    bool AcceptsCharacter(QChar c) const;
    bool HoldsNumber() const;
    void WritePending();
    // Throws EFbError (in Portuguese) when a whole-number field is given a
    // text that is no number or past what the column holds.
    void CheckWholeNumber(const QString &typed) const;
    void FinishEditing();

    bool m_upperCase = false;
    bool m_digitsOnly = false;
    bool m_selectOnClick = false;
    TCharsetValidator *m_validator = nullptr;
};
