#include "tconfigfieldedit.h"

#include "tfbfield.h"
#include "tfbquery.h"
#include "tguard.h"

#include <QApplication>

TConfigFieldEdit::TConfigFieldEdit(TFbField *field, QWidget *parent)
    : QLineEdit(parent), m_field(field)
{
    if (m_field->Size() > 0)
        setMaxLength(m_field->Size());
    TFbQuery *q = m_field->DataSet();
    for (auto signal : {&TFbQuery::opened, &TFbQuery::closed, &TFbQuery::dataReset})
        connect(q, signal, this, &TConfigFieldEdit::Refresh);
    connect(q, &TFbQuery::rowChanged, this, &TConfigFieldEdit::Refresh);
    connect(q, &TFbQuery::rowInserted, this, &TConfigFieldEdit::Refresh);
    connect(q, &TFbQuery::rowRemoved, this, &TConfigFieldEdit::Refresh);
    connect(q, &TFbQuery::currentRowChanged, this, &TConfigFieldEdit::Refresh);
    connect(q, &TFbQuery::stateChanged, this, &TConfigFieldEdit::Refresh);
    connect(q, &TFbQuery::fieldChanged, this, [this](TFbField *f) {
        if (f == m_field)
            Refresh();
    });
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) { Guard([&] { Write(text); }); });
    SetOpen(false);
    Refresh();
}

QColor TConfigFieldEdit::LockedColor()
{
    const QColor light = QApplication::palette().color(QPalette::Midlight);
    if (light == QColor(Qt::white))
        return QColor(227, 227, 227);
    return light;
}

void TConfigFieldEdit::SetOpen(bool open)
{
    setEnabled(open);
    QPalette p = palette();
    p.setColor(QPalette::All, QPalette::Base, open ? QColor(Qt::white) : LockedColor());
    setPalette(p);
}

void TConfigFieldEdit::Refresh()
{
    // While the editor writes its own text, the dataset's echoes must not
    // put the text back (and move the cursor).
    if (m_writing)
        return;
    const TFbQuery *q = m_field->DataSet();
    const bool hasRow = q->Active() && m_field->Bound() && (q->RecNo() >= 0 || q->State() == TFbQuery::dsInsert);
    const QString text = hasRow ? m_field->AsString() : QString();
    if (text != this->text()) {
        m_refreshing = true;
        const int cursor = cursorPosition();
        setText(text);
        setCursorPosition(qMin(cursor, int(text.size())));
        m_refreshing = false;
    }
}

void TConfigFieldEdit::Write(const QString &text)
{
    if (m_refreshing)
        return;
    TFbQuery *q = m_field->DataSet();
    m_writing = true;
    try {
        if (q->State() == TFbQuery::dsBrowse || q->State() == TFbQuery::dsInactive)
            q->Edit();
        m_field->SetAsString(text);
    } catch (...) {
        m_writing = false;
        // What the editor shows must stay what the row holds.
        Refresh();
        throw;
    }
    m_writing = false;
}
