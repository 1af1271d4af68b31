#include "widgets/tdbedit.h"

#include "app/tguard.h"
#include "data/efberror.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "widgets/tcharsetvalidator.h"
#include "widgets/tdbeditrules.h"
#include "widgets/tdbfieldlink.h"

#include <QKeyEvent>
#include <QLocale>
#include <limits>

TDBEdit::TDBEdit(QWidget *parent)
    : TDBControl(parent)
{
    connect(m_link, &TDBFieldLink::Refresh, this, &TDBEdit::ShowField);
    connect(this, &QLineEdit::textEdited, this, &TDBEdit::OnTextEdited);
    m_link->SetFlush([this] { WritePending(); });
    m_validator = new TCharsetValidator(this);
}

TDBEdit::TDBEdit(const QString &objectName, TFbQuery *query, const QString &fieldName,
                 QWidget *parent)
    : TDBEdit(parent)
{
    Bind(objectName, query, fieldName);
}

void TDBEdit::SetDigitsOnly(bool on)
{
    m_digitsOnly = on;
    // Pasted text is held to the same rule as typed text.
    m_validator->SetDigitsOnly(on);
}

bool TDBEdit::WritesAtOnce() const
{
    const TFbField *f = m_link->Field();
    return f && f->Kind() == TFbFieldKind::String;
}

void TDBEdit::ShowField()
{
    const TFbField *f = m_link->Field();
    QString text;
    if (f) {
        if (f->Kind() == TFbFieldKind::String)
            setMaxLength(f->Size() > 0 ? f->Size() : 32767);
        // The display form while the user is not in the editor, the plain
        // form while editing.
        text = hasFocus() ? f->AsString() : f->DisplayText();
    }
    if (text != this->text()) {
        m_showing = true;
        setText(text);
        m_showing = false;
    }
}

void TDBEdit::OnTextEdited(const QString &typed)
{
    if (m_showing)
        return;
    if (!m_link->BeginEdit()) {
        ShowField();
        return;
    }
    QString text = typed;
    if (m_upperCase) {
        const QString upper = typed.toUpper();
        if (upper != typed) {
            const int cursor = cursorPosition();
            m_showing = true;
            setText(upper);
            setCursorPosition(cursor);
            m_showing = false;
            text = upper;
        }
    }
    if (WritesAtOnce()) {
        Guard([this, text] { m_link->Write(text); });
    } else {
        m_link->SetPending(true);
    }
}

void TDBEdit::WritePending()
{
    if (!m_link->Pending())
        return;
    CheckWholeNumber(text());
    m_link->Write(text());
    m_link->SetPending(false);
}

void TDBEdit::CheckWholeNumber(const QString &typed) const
{
    const TFbField *f = m_link->Field();
    if (!f || (f->Kind() != TFbFieldKind::Integer && f->Kind() != TFbFieldKind::LargeInt))
        return;
    const QString t = typed.trimmed();
    if (t.isEmpty())
        return;
    const bool small = f->Kind() == TFbFieldKind::Integer;
    const qint64 min = small ? std::numeric_limits<qint32>::min() : std::numeric_limits<qint64>::min();
    const qint64 max = small ? std::numeric_limits<qint32>::max() : std::numeric_limits<qint64>::max();
    bool ok = false;
    const qint64 v = t.toLongLong(&ok);
    // The column's own words would be English ("is not a valid integer
    // value"): the clerk is told in Portuguese, with the limit to keep to.
    if (!ok || v < min || v > max)
        throw EFbError(QStringLiteral("'%1' não é um número inteiro válido: digite um número de %2 a %3")
                           .arg(t, QLocale().toString(min), QLocale().toString(max)));
}

void TDBEdit::FinishEditing()
{
    TDBEditRules::FinishEditing(this, m_link);
}

bool TDBEdit::AcceptsCharacter(QChar c) const
{
    const TFbField *f = m_link->Field();
    if (!f)
        return true;
    switch (f->Kind()) {
    case TFbFieldKind::Integer:
    case TFbFieldKind::LargeInt:
        return c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-');
    case TFbFieldKind::Float:
    case TFbFieldKind::Currency:
        return c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-')
            || c == QLatin1Char('e') || c == QLatin1Char('E')
            || c == QLocale().decimalPoint().at(0);
    default:
        return true;
    }
}

bool TDBEdit::HoldsNumber() const
{
    if (m_digitsOnly)
        return true;
    const TFbField *f = m_link->Field();
    if (!f)
        return false;
    switch (f->Kind()) {
    case TFbFieldKind::Integer:
    case TFbFieldKind::LargeInt:
    case TFbFieldKind::Float:
    case TFbFieldKind::Currency: return true;
    default: return false;
    }
}

void TDBEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const bool control = (event->modifiers() & Qt::ControlModifier)
        && !(event->modifiers() & (Qt::AltModifier | Qt::MetaModifier));
    if (m_digitsOnly && !control) {
        // Only digits and Backspace; every other character (minus sign,
        // separators, letters, Enter) is dropped without a sound. Keys that
        // type nothing (arrows) and the Ctrl keys (select all, clipboard,
        // undo: a paste meets the validator's digits rule) still work.
        if (!text.isEmpty() && event->key() != Qt::Key_Backspace) {
            for (QChar c : text) {
                if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                    event->accept();
                    return;
                }
            }
        }
    } else if (TDBEditRules::DropRefusedKey(event, [this](QChar c) { return AcceptsCharacter(c); })) {
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    // A click that brings the focus into a number selects it as Tab does,
    // so a typed 5 replaces a 6 instead of making 56.
    if (m_selectOnClick) {
        m_selectOnClick = false;
        selectAll();
    }
}

void TDBEdit::focusInEvent(QFocusEvent *event)
{
    m_selectOnClick = event->reason() == Qt::MouseFocusReason && HoldsNumber();
    QLineEdit::focusInEvent(event);
    if (!m_link->Pending())
        ShowField();
}

void TDBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (TDBEditRules::LeavesEditor(event))
        FinishEditing();
    if (!m_link->Pending())
        ShowField();
}
