#pragma once
// A date box with the fixed shape day/month/year: "99/99/0000". The text
// always has its ten positions; the two slashes are part of it and cannot be
// typed over; the day and month positions take a digit or stay blank, the
// four year positions must hold a digit. Only the digits 0-9 can be typed:
// a digit overwrites the position at the cursor and the cursor steps over
// the slashes (in an empty box the first digit goes to the first position,
// wherever the cursor is); Backspace and Delete blank a position (or the selected ones)
// instead of removing it; a paste puts in the digits it carries. While the
// box has the focus its blank positions show "_"; Text() always gives them
// as blanks, so an untouched box reads "  /  /    ".
//
// A box that was typed into cannot be left while a year position is blank:
// it beeps, says in the standard error box that the date is incomplete and
// that Esc abandons the changes, and keeps the focus. Esc puts back the text the
// box had when it got the focus (the changes are abandoned); an Esc with
// nothing changed goes on to the window.
#include <QDate>
#include <QLineEdit>
#include <optional>

class TMaskDateEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TMaskDateEdit(QWidget *parent = nullptr);

    // The box's text with a blank in every empty position: "  /  /    ",
    // "01/05/2008", " 1/05/2008".
    QString Text() const;
    // Puts a text into the box position by position (only digits land; a
    // position without one stays blank), without counting as typing.
    void SetText(const QString &text);
    // Every year position holds a digit (what leaving a typed box needs).
    bool YearComplete() const;
    // Typed into with a year position still blank: the focus cannot leave
    // it, and a button clicked meanwhile should not act.
    bool RefusesToLeave() const { return isModified() && !YearComplete(); }

    // A box's text read day/month/year. Blanks around a number are allowed
    // (" 1/ 5/2008" is the 1st of May); a day or month left blank, a year
    // not of four digits or a day the calendar lacks is no date.
    static std::optional<QDate> ReadDate(const QString &text);

    static QString BlankText() { return QStringLiteral("  /  /    "); }
    static QString InvalidInputMessage()
    {
        return QStringLiteral("Data incompleta: o ano precisa de quatro dígitos. Tecle Esc para "
                              "abandonar as alterações");
    }

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The ten positions of a text, digits kept and all else blank, with
    // `blank` showing the blanks.
    static QString Shaped(const QString &text, QChar blank);
    // Switches the character that shows a blank position, keeping the text,
    // the cursor and whether it was typed into.
    void ShowBlanksAs(QChar blank);
    // Edits as the user's typing: `positions` from `from` on replaced by
    // `replacement` (same length), the cursor left at `cursor`.
    void Overwrite(int from, const QString &replacement, int cursor);
    void TypeDigits(const QString &digits);
    void BlankSelection();
    void BlankAt(int position);

    QChar m_blank = QLatin1Char(' ');
    QString m_textAtEntry;   // what Esc goes back to
    bool m_refusing = false; // the refusal's own focus moves are not checked
};
