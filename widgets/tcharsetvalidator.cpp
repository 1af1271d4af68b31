#include "widgets/tcharsetvalidator.h"

#include "data/tdbcharset.h"
#include "widgets/tdbeditrules.h"

#include <QLineEdit>

TCharsetValidator::TCharsetValidator(QLineEdit *editor)
    : QValidator(editor)
    , m_editor(editor)
{
    editor->setValidator(this);
}

QValidator::State TCharsetValidator::validate(QString &input, int &) const
{
    if (m_digitsOnly) {
        for (QChar c : input) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return Invalid;
        }
        return Acceptable;
    }
    const qsizetype at = TDbCharset::FirstRefused(input);
    if (at < 0)
        return Acceptable;
    // Only the user's own typing or pasting is answered; the editor asks
    // again when it loses the focus, which needs no second word.
    if (m_editor && m_editor->hasFocus())
        TDBEditRules::RefuseText(m_editor, input, at);
    return Invalid;
}
