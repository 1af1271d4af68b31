#include "widgets/tmaskdateedit.h"

#include "app/tmessages.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QValidator>
#include <algorithm>

namespace {
constexpr int kLength = 10;

bool IsSeparator(int position)
{
    return position == 2 || position == 5;
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Whatever changes the text (typing, paste, drop, the context menu) must
// leave the ten positions and the slashes where they are.
class TDateShapeValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        if (input.size() != kLength)
            return Invalid;
        for (int i = 0; i < kLength; ++i) {
            const QChar c = input[i];
            if (IsSeparator(i) ? c != QLatin1Char('/')
                               : !(IsDigit(c) || c == QLatin1Char(' ') || c == QLatin1Char('_')))
                return Invalid;
        }
        return Acceptable;
    }
};
} // namespace

TMaskDateEdit::TMaskDateEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setMaxLength(kLength);
    setValidator(new TDateShapeValidator(this));
    setText(Shaped(QString(), m_blank));
    m_textAtEntry = Text();
}

QString TMaskDateEdit::Shaped(const QString &text, QChar blank)
{
    QString shaped(kLength, blank);
    for (int i = 0; i < kLength; ++i) {
        if (IsSeparator(i))
            shaped[i] = QLatin1Char('/');
        else if (i < text.size() && IsDigit(text[i]))
            shaped[i] = text[i];
    }
    return shaped;
}

QString TMaskDateEdit::Text() const
{
    QString t = text();
    t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

void TMaskDateEdit::SetText(const QString &text)
{
    setText(Shaped(text, m_blank));
}

bool TMaskDateEdit::YearComplete() const
{
    const QString t = text();
    return std::all_of(t.begin() + 6, t.end(), IsDigit);
}

void TMaskDateEdit::ShowBlanksAs(QChar blank)
{
    if (blank == m_blank)
        return;
    const bool modified = isModified();
    const int cursor = cursorPosition();
    m_blank = blank;
    setText(Shaped(Text(), blank));
    setModified(modified);
    setCursorPosition(cursor);
}

void TMaskDateEdit::Overwrite(int from, const QString &replacement, int cursor)
{
    // Through insert(), so that it counts as typing and can be undone.
    setSelection(from, int(replacement.size()));
    insert(replacement);
    setCursorPosition(cursor);
}

void TMaskDateEdit::TypeDigits(const QString &digits)
{
    if (hasSelectedText())
        BlankSelection();
    // An empty box is filled from its first position wherever the cursor
    // stands (the focus may land, or a click may put it, at the far right).
    if (Text() == BlankText())
        setCursorPosition(0);
    for (const QChar digit : digits) {
        int position = cursorPosition();
        if (IsSeparator(position))
            ++position;
        if (position >= kLength)
            return;
        int next = position + 1;
        if (IsSeparator(next))
            ++next;
        Overwrite(position, QString(digit), next);
    }
}

void TMaskDateEdit::BlankSelection()
{
    const int from = selectionStart();
    const QString blanks = Shaped(QString(), m_blank).mid(from, selectedText().size());
    Overwrite(from, blanks, from);
}

void TMaskDateEdit::BlankAt(int position)
{
    if (position >= 0 && position < kLength && !IsSeparator(position))
        Overwrite(position, QString(m_blank), position);
}

void TMaskDateEdit::focusInEvent(QFocusEvent *event)
{
    // Coming back from another window (the box that refused a half date, a
    // menu) is not a new entry: what Esc goes back to, and whether the box
    // was typed into, stay as they were.
    const bool returning = isModified()
        && (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason);
    if (!m_refusing && !returning) {
        ShowBlanksAs(QLatin1Char('_'));
        m_textAtEntry = Text();
        setModified(false);
    }
    QLineEdit::focusInEvent(event);
}

void TMaskDateEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Another window taking the activation (a message box, a menu) is not
    // leaving the box.
    if (m_refusing || event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (RefusesToLeave() && window()->isVisible()) {
        m_refusing = true;
        QApplication::beep();
        TMessages::ShowError(InvalidInputMessage());
        setFocus(Qt::OtherFocusReason);
        m_refusing = false;
        return;
    }
    ShowBlanksAs(QLatin1Char(' '));
}

void TMaskDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (!isModified()) {
            event->ignore();
            return;
        }
        SetText(m_textAtEntry);
        setModified(false);
        setCursorPosition(0);
        event->accept();
        return;
    }
    if (isReadOnly()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        QString digits = QApplication::clipboard()->text();
        digits.removeIf([](QChar c) { return !IsDigit(c); });
        TypeDigits(digits);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        if (hasSelectedText()) {
            copy();
            BlankSelection();
        }
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (hasSelectedText()) {
            BlankSelection();
        } else if (event->key() == Qt::Key_Backspace) {
            int position = cursorPosition() - 1;
            if (IsSeparator(position))
                --position;
            BlankAt(position);
        } else {
            int position = cursorPosition();
            if (IsSeparator(position))
                ++position;
            BlankAt(position);
        }
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.isPrint(); })
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        // Digits land; any other character typed is dropped.
        QString digits = typed;
        digits.removeIf([](QChar c) { return !IsDigit(c); });
        TypeDigits(digits);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

std::optional<QDate> TMaskDateEdit::ReadDate(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^ *([0-9]{1,2}) */ *([0-9]{1,2}) */ *([0-9]{4}) *$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid() || date.year() < 1)
        return std::nullopt;
    return date;
}
