#include "tmaskdateedit.h"

#include "tmessages.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>

namespace {
const QString kMask = QStringLiteral("99/99/0000");
}

TMaskDateEdit::TMaskDateEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setInputMask(kMask + QStringLiteral("; "));
    m_textAtEntry = Text();
}

QString TMaskDateEdit::Text() const
{
    // Blank positions are shown either as "_" or as a blank; digits and the
    // slashes are the only other characters the mask lets in.
    QString text = displayText();
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    return text;
}

void TMaskDateEdit::SetText(const QString &text)
{
    // Position by position, each digit put in as typed: the mask's own
    // reading of a whole text shifts digits past blanks.
    clear();
    for (int i = 0; i < kMask.size() && i < text.size(); ++i) {
        if (kMask[i] != QLatin1Char('/') && text[i].isDigit() && text[i].unicode() < 128) {
            setCursorPosition(i);
            insert(QString(text[i]));
        }
    }
    setModified(false);
    setCursorPosition(kMask.size());
}

bool TMaskDateEdit::YearComplete() const
{
    const QString year = Text().mid(6, 4);
    return year.size() == 4 && std::all_of(year.begin(), year.end(), [](QChar c) { return c.isDigit(); });
}

void TMaskDateEdit::ShowBlanksAs(QChar blank)
{
    const QString text = Text();
    const bool modified = isModified();
    const int cursor = cursorPosition();
    setInputMask(kMask + QLatin1Char(';') + blank);
    SetText(text);
    setModified(modified);
    setCursorPosition(cursor);
}

void TMaskDateEdit::focusInEvent(QFocusEvent *event)
{
    if (!m_refusing) {
        ShowBlanksAs(QLatin1Char('_'));
        setModified(false);
        m_textAtEntry = Text();
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
    if (event->key() == Qt::Key_Escape && isModified()) {
        SetText(m_textAtEntry);
        setModified(false);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
