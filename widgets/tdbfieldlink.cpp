#include "widgets/tdbfieldlink.h"

#include "app/tguard.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"

#include <QLineEdit>
#include <QList>
#include <QWidget>

namespace {
// Every live link, so that a screen can flush the editors of one dataset
// without knowing them. One thread, few editors.
QList<TDBFieldLink *> &Links()
{
    static QList<TDBFieldLink *> links;
    return links;
}
} // namespace

TDBFieldLink::TDBFieldLink(QWidget *editor)
    : QObject(editor)
    , m_editor(editor)
{
    Links().append(this);
    // An entry dropped with no one left to ask logs what its boxes still
    // held, written or not.
    if (!TFbQuery::TypedNotWritten) {
        TFbQuery::TypedNotWritten = [](const TFbQuery *query) {
            QList<QPair<QString, QString>> typed;
            for (const TDBFieldLink *link : std::as_const(Links())) {
                if (link->m_query != query || !link->m_pending)
                    continue;
                if (const auto *line = qobject_cast<const QLineEdit *>(link->m_editor))
                    typed.append({link->m_fieldName, line->text()});
            }
            return typed;
        };
    }
}

TDBFieldLink::~TDBFieldLink()
{
    Links().removeOne(this);
}

void TDBFieldLink::SetField(TFbQuery *query, const QString &fieldName)
{
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_query = query;
    m_fieldName = fieldName;
    m_pending = false;
    if (query) {
        m_connections << connect(query, &TFbQuery::currentRowChanged, this, &TDBFieldLink::OnRowSetChanged)
                      << connect(query, &TFbQuery::dataReset, this, &TDBFieldLink::OnRowSetChanged)
                      << connect(query, &TFbQuery::opened, this, &TDBFieldLink::OnRowSetChanged)
                      << connect(query, &TFbQuery::closed, this, &TDBFieldLink::OnRowSetChanged)
                      << connect(query, &TFbQuery::rowChanged, this, [this](int row) {
                             if (m_query && row == m_query->RecNo())
                                 OnValuesChanged();
                         })
                      << connect(query, &TFbQuery::fieldChanged, this, [this](TFbField *f) {
                             if (f && f->FieldName().compare(m_fieldName, Qt::CaseInsensitive) == 0)
                                 OnValuesChanged();
                         })
                      << connect(query, &TFbQuery::stateChanged, this, [this](TFbQuery::TDataSetState s) {
                             // Cancel or Post ends the edit: a pending text is
                             // either written or given up with it.
                             if (s == TFbQuery::dsBrowse || s == TFbQuery::dsInactive)
                                 OnRowSetChanged();
                             else
                                 OnValuesChanged();
                         });
    }
    emit Refresh();
}

TFbQuery *TDBFieldLink::DataSet() const
{
    return m_query;
}

TFbField *TDBFieldLink::Field() const
{
    if (!m_query || !m_query->Active())
        return nullptr;
    return m_query->FindField(m_fieldName);
}

bool TDBFieldLink::Editing() const
{
    return m_query
        && (m_query->State() == TFbQuery::dsEdit || m_query->State() == TFbQuery::dsInsert);
}

bool TDBFieldLink::BeginEdit()
{
    if (!m_query || !m_query->Active() || !Field())
        return false;
    if (Editing())
        return true;
    m_writing = true;
    const bool ok = Guard([this] { m_query->Edit(); });
    m_writing = false;
    return ok && Editing();
}

void TDBFieldLink::Write(const QString &text)
{
    TFbField *f = Field();
    if (!f)
        return;
    if (!Editing())
        m_query->Edit();
    m_writing = true;
    try {
        f->SetAsString(text);
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
}

void TDBFieldLink::Flush()
{
    if (m_pending && m_flush)
        m_flush();
}

void TDBFieldLink::UpdateRecord(TFbQuery *query)
{
    const auto links = Links();
    for (TDBFieldLink *link : links) {
        if (link->m_query == query && link->m_pending)
            link->Flush();
    }
}

void TDBFieldLink::OnValuesChanged()
{
    // Our own write comes back as a change; the editor already shows it.
    // A pending text is the user's and stays until written or dropped.
    if (m_writing || m_pending)
        return;
    emit Refresh();
}

void TDBFieldLink::OnRowSetChanged()
{
    if (m_writing)
        return;
    m_pending = false;
    emit Refresh();
}
