#include "widgets/tdbmoneyedit.h"

#include "app/tguard.h"
#include "data/efberror.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "widgets/tcharsetvalidator.h"
#include "widgets/tdbeditrules.h"
#include "widgets/tdbfieldlink.h"

#include <QKeyEvent>

TDBMoneyEdit::TDBMoneyEdit(QWidget *parent)
    : TDBControl(parent)
{
    connect(m_link, &TDBFieldLink::Refresh, this, &TDBMoneyEdit::ShowField);
    connect(this, &QLineEdit::textEdited, this, &TDBMoneyEdit::OnTextEdited);
    m_link->SetFlush([this] { WritePending(); });
    new TCharsetValidator(this);
}

TDBMoneyEdit::TDBMoneyEdit(const QString &objectName, TFbQuery *query, const QString &fieldName,
                           QWidget *parent)
    : TDBMoneyEdit(parent)
{
    Bind(objectName, query, fieldName);
}

TMoney TDBMoneyEdit::AmountOf(const TFbField *field)
{
    if (!field || field->IsNull())
        return TMoney();
    const double stored = field->AsFloat();
    const std::optional<TMoney> m = TMoney::FromDouble(stored);
    if (!m)
        throw EFbError(TMoney::OutOfRangeMessage(field->AsString()));
    return *m;
}

void TDBMoneyEdit::SetAmount(TFbField *field, TMoney amount)
{
    field->SetAsFloat(amount.ToDouble());
}

QString TDBMoneyEdit::NegativeMessage(const QString &text)
{
    return QStringLiteral("O valor não pode ser negativo: '%1'. Digite o valor sem o sinal de menos").arg(text);
}

void TDBMoneyEdit::ShowField()
{
    const TFbField *f = m_link->Field();
    QString text;
    if (f && !f->IsNull()) {
        const std::optional<TMoney> m = TMoney::FromDouble(f->AsFloat());
        // A stored number past the money range is shown as it is.
        if (!m)
            text = f->AsString();
        else
            text = hasFocus() ? m->EditText() : m->CurrencyText();
    }
    if (text != this->text()) {
        m_showing = true;
        setText(text);
        m_showing = false;
    }
}

void TDBMoneyEdit::OnTextEdited()
{
    if (m_showing)
        return;
    if (!m_link->BeginEdit()) {
        ShowField();
        return;
    }
    m_link->SetPending(true);
}

void TDBMoneyEdit::WritePending()
{
    if (!m_link->Pending())
        return;
    TFbField *f = m_link->Field();
    if (!f) {
        m_link->SetPending(false);
        return;
    }
    // Read first: a refused text throws before the field is touched and
    // stays pending on screen.
    TMoney amount;
    const TMoney::ParseResult r = TMoney::TryParse(text(), amount);
    if (r == TMoney::ParseResult::NotAnAmount)
        throw EFbError(TMoney::NotAnAmountMessage(text().trimmed()));
    if (r == TMoney::ParseResult::OutOfRange)
        throw EFbError(TMoney::OutOfRangeMessage(text().trimmed()));
    // Amounts are typed in reais and centavos: a third decimal is a slip
    // (a cursor left after "0,00"), never a price.
    if (r == TMoney::ParseResult::Ok && !amount.IsWholeCents())
        throw EFbError(TMoney::TooManyDecimalsMessage(text().trimmed()));
    // Prices, charges and discounts are never below zero; a minus typed
    // by slip would otherwise lower a total without a word.
    if (r == TMoney::ParseResult::Ok && amount < TMoney())
        throw EFbError(NegativeMessage(text().trimmed()));
    TFbQuery *q = m_link->DataSet();
    if (!m_link->Editing())
        q->Edit();
    if (r == TMoney::ParseResult::Empty)
        f->Clear();
    else
        SetAmount(f, amount);
    m_link->SetPending(false);
}

void TDBMoneyEdit::FinishEditing()
{
    TDBEditRules::FinishEditing(this, m_link);
}

bool TDBMoneyEdit::AcceptsCharacter(QChar c)
{
    return c.isDigit() || c == QLatin1Char(',') || c == QLatin1Char('.') || c == QLatin1Char('+')
        || c == QLatin1Char('-') || c == QLatin1Char('e') || c == QLatin1Char('E')
        || c == QLatin1Char(' ');
}

void TDBMoneyEdit::keyPressEvent(QKeyEvent *event)
{
    if (TDBEditRules::DropRefusedKey(event, &TDBMoneyEdit::AcceptsCharacter))
        return;
    QLineEdit::keyPressEvent(event);
}

void TDBMoneyEdit::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    // A click that brings the focus in selects the amount as Tab does, so
    // what is typed replaces it instead of landing after its decimals.
    if (m_selectOnClick) {
        m_selectOnClick = false;
        selectAll();
    }
}

void TDBMoneyEdit::focusInEvent(QFocusEvent *event)
{
    m_selectOnClick = event->reason() == Qt::MouseFocusReason;
    QLineEdit::focusInEvent(event);
    if (!m_link->Pending())
        ShowField();
    emit Entered();
}

void TDBMoneyEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (TDBEditRules::LeavesEditor(event))
        FinishEditing();
    if (!m_link->Pending())
        ShowField();
}
