#include "widgets/tdbmemo.h"

#include "app/tguard.h"
#include "data/tfbfield.h"
#include "widgets/tdbfieldlink.h"

TDBMemo::TDBMemo(QWidget *parent)
    : TDBControl(parent)
{
    setTabChangesFocus(true);
    connect(m_link, &TDBFieldLink::Refresh, this, &TDBMemo::ShowField);
    connect(this, &QPlainTextEdit::textChanged, this, &TDBMemo::OnTextChanged);
}

TDBMemo::TDBMemo(const QString &objectName, TFbQuery *query, const QString &fieldName,
                 QWidget *parent)
    : TDBMemo(parent)
{
    Bind(objectName, query, fieldName);
}

void TDBMemo::ShowField()
{
    const TFbField *f = m_link->Field();
    QString text = f ? f->AsString() : QString();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text != toPlainText()) {
        m_showing = true;
        setPlainText(text);
        m_showing = false;
    }
}

void TDBMemo::OnTextChanged()
{
    if (m_showing)
        return;
    if (!m_link->BeginEdit()) {
        ShowField();
        return;
    }
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    Guard([this, text] { m_link->Write(text); });
}
