#include "widgets/tdbmemo.h"

#include "app/tguard.h"
#include "data/tdbcharset.h"
#include "data/tfbfield.h"
#include "widgets/tdbeditrules.h"
#include "widgets/tdbfieldlink.h"

#include <QKeyEvent>
#include <QMimeData>

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

void TDBMemo::keyPressEvent(QKeyEvent *event)
{
    // Keys that type nothing (arrows, Backspace) and shortcuts pass.
    const QString typed = event->text();
    if (!typed.isEmpty() && !(event->modifiers() & Qt::ControlModifier)) {
        const qsizetype at = TDbCharset::FirstRefused(typed, TDbCharset::Lines::Many);
        // Backspace and Escape type controls the editor handles itself.
        if (at >= 0 && event->key() != Qt::Key_Backspace && event->key() != Qt::Key_Escape
            && event->key() != Qt::Key_Delete) {
            event->accept();
            TDBEditRules::RefuseText(this, typed, at);
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TDBMemo::insertFromMimeData(const QMimeData *source)
{
    // Pasting and dropping both come here; the editor takes plain text only.
    if (source && source->hasText()) {
        const QString text = source->text();
        const qsizetype at = TDbCharset::FirstRefused(text, TDbCharset::Lines::Many);
        if (at >= 0) {
            TDBEditRules::RefuseText(this, text, at);
            return;
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}
