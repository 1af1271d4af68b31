#pragma once
// The validator of every one-line editor whose text goes to the database
// (bound editors and search boxes): a typed or pasted text with a character
// the database cannot hold (see TDbCharset) is refused as a whole, with a
// beep and a short message, and the editor keeps what it had. With
// SetDigitsOnly only the digits 0 to 9 get through, silently.
//
// Text put in by the program (setText) is not refused: the editor shows a
// stored value as it is.
#include <QPointer>
#include <QValidator>

class QLineEdit;

class TCharsetValidator : public QValidator
{
    Q_OBJECT
public:
    // Installs itself on `editor` (which owns it).
    explicit TCharsetValidator(QLineEdit *editor);

    void SetDigitsOnly(bool on) { m_digitsOnly = on; }
    bool DigitsOnly() const { return m_digitsOnly; }

    State validate(QString &input, int &pos) const override;

private:
    QPointer<QLineEdit> m_editor;
    bool m_digitsOnly = false;
};
