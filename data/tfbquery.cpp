#include "data/tfbquery.h"
#include "data/efberror.h"
#include "data/tfbconvert.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery_p.h"
#include "data/tfbstatement.h"
#include "data/tfbtransaction.h"
#include "data/tfbrowwriter.h"
#include "data/tfbupdatesql.h"

#include <algorithm>
#include <cstring>

struct TFbQuery::JournalEntry
{
    TFbRow *row;
    TUpdateStatus status;
    const unsigned char *orig;
    std::unique_ptr<TFbCell[]> cur;
    bool gone;
    int depth;   // of the unit of work that applied the row
};

namespace {
constexpr short kSqlBoolean = 32764;

QString Msg(const char *text)
{
    return QString::fromLatin1(text);
}
} // namespace

TFbQuery::TFbQuery(QObject *parent) : QObject(parent), m_arena(std::make_unique<TFbArena>())
{
}

TFbQuery::~TFbQuery()
{
    m_holdMessage.clear();
    try {
        Close();
    } catch (...) {
    }
    if (TFbTransaction *tr = Transaction())
        tr->ForgetDataset(this);
    m_stmt.reset();
    if (m_db)
        m_db->UnbindDataset(this);
    for (TFbField *f : m_fields)
        delete f;
}

void TFbQuery::SetDatabase(TFbDatabase *db)
{
    if (db == m_db)
        return;
    Close();
    m_stmt.reset();
    if (m_db)
        m_db->UnbindDataset(this);
    m_db = db;
    if (m_db)
        m_db->BindDataset(this);
}

void TFbQuery::DatabaseDestroyed()
{
    m_holdMessage.clear();
    Close();
    m_stmt.reset();
    m_db = nullptr;
}

TFbDatabase *TFbQuery::Database() const
{
    return m_db.data();
}

void TFbQuery::SetTransaction(TFbTransaction *tr)
{
    m_tr = tr;
}

TFbTransaction *TFbQuery::Transaction() const
{
    if (m_tr)
        return m_tr.data();
    return m_db ? m_db->DefaultTransaction() : nullptr;
}

void TFbQuery::SetSQL(const QStringList &lines)
{
    CheckNotHeld();
    Close();
    m_stmt.reset();
    m_sql = lines;
}

// ---------------------------------------------------------------- fields

TFbField *TFbQuery::AddField(const QString &name, TFbFieldKind kind, int size, bool required)
{
    if (Active())
        throw EFbError(Msg("Cannot perform this operation on an open dataset"));
    auto *f = new TFbField(this, name, kind, size);
    f->m_declared = true;
    f->m_required = required;
    f->m_index = int(m_fields.size());
    m_fields.push_back(f);
    return f;
}

TFbField *TFbQuery::FindField(const QString &name) const
{
    for (TFbField *f : m_fields)
        if (f->m_name.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

TFbField *TFbQuery::FieldByName(const QString &name) const
{
    TFbField *f = FindField(name);
    if (!f)
        throw EFbError(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

static TFbFieldKind KindOf(const TFbColumn &c)
{
    switch (c.storage) {
    case TFbStorage::Int:
        if (c.scale != 0)
            return TFbFieldKind::Float;
        return c.sqlType == SQL_INT64 ? TFbFieldKind::LargeInt : TFbFieldKind::Integer;
    case TFbStorage::Double: return TFbFieldKind::Float;
    case TFbStorage::Timestamp: return TFbFieldKind::DateTime;
    case TFbStorage::Text: return TFbFieldKind::String;
    case TFbStorage::Blob: return TFbFieldKind::Blob;
    }
    return TFbFieldKind::String;
}

void TFbQuery::BindFields()
{
    const bool declared = !m_fields.empty() && m_fields.front()->m_declared;
    auto bind = [](TFbField *f, const TFbColumn &c, int col) {
        f->m_col = col;
        f->m_storage = c.storage;
        f->m_scale = c.scale;
        f->m_origin = c.relation.isEmpty() ? QString() : c.relation + QLatin1Char('.') + c.sqlName;
        if (c.storage == TFbStorage::Text && (f->m_size <= 0 || f->m_size > c.length))
            f->m_size = c.length;
    };
    if (declared) {
        for (TFbField *f : m_fields) {
            int found = -1;
            for (size_t i = 0; i < m_cols.size(); ++i)
                if (m_cols[i].name.compare(f->m_name, Qt::CaseInsensitive) == 0) {
                    found = int(i);
                    break;
                }
            if (found < 0) {
                for (TFbField *g : m_fields)
                    g->m_col = -1;
                throw EFbError(QStringLiteral("Field '%1' not found").arg(f->m_name));
            }
            bind(f, m_cols[size_t(found)], found);
        }
        return;
    }
    for (size_t i = 0; i < m_cols.size(); ++i) {
        const TFbColumn &c = m_cols[i];
        QString name = c.name;
        for (int n = 1; FindField(name); ++n)
            name = c.name + QLatin1Char('_') + QString::number(n);
        auto *f = new TFbField(this, name, KindOf(c), c.storage == TFbStorage::Text ? c.length : 0);
        f->m_index = int(m_fields.size());
        f->m_required = !c.nullable;
        bind(f, c, int(i));
        m_fields.push_back(f);
    }
}

// ---------------------------------------------------------------- open / close

void TFbQuery::CheckActive() const
{
    if (!Active())
        throw EFbError(Msg("Cannot perform this operation on a closed dataset"));
}

void TFbQuery::PrepareStatement()
{
    bool blank = true;
    for (const QString &l : m_sql)
        if (!l.trimmed().isEmpty())
            blank = false;
    if (blank)
        throw EFbError(Msg("Empty SQL Statement"));
    if (!m_db)
        throw EFbError(Msg("Database not assigned"));
    m_db->Open();
    TFbTransaction *tr = Transaction();
    if (!tr)
        throw EFbError(Msg("Transaction not assigned"));
    if (!tr->DefaultDatabase())
        tr->SetDefaultDatabase(m_db);
    tr->StartIfNeeded();
    if (!m_stmt || m_stmt->Database() != m_db)
        m_stmt = std::make_unique<TFbStatement>(m_db);
    if (!m_stmt->Prepared())
        m_stmt->Prepare(tr, TFbConvert::ToAnsi(SQLText()));
}

void TFbQuery::Open()
{
    if (Active())
        return;
    PrepareStatement();
    m_cols = m_stmt->Columns();
    if (m_cols.empty())
        throw EFbError(Msg("Statement does not return a result set"));
    BindFields();
    try {
        m_stmt->Execute(Transaction());
        FetchAll();
    } catch (...) {
        ClearRows();
        m_paramMapOwner = nullptr;
        DropResultFields();
        try {
            m_stmt->CloseCursor();
        } catch (...) {
        }
        throw;
    }
    // Until now nothing could see the fetched rows (the dataset was not
    // active): they appear here.
    emit aboutToResetData();
    m_state = dsBrowse;
    m_cur = m_visible.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.empty();
    emit opened();
    emit dataReset();
    emit stateChanged(m_state);
    emit currentRowChanged(m_cur);
}

void TFbQuery::FetchAll()
{
    XSQLDA *out = m_stmt->Out();
    const int n = int(m_cols.size());
    const size_t nullBytes = size_t((n + 7) / 8);
    while (m_stmt->Fetch()) {
        size_t size = nullBytes;
        for (int i = 0; i < n; ++i) {
            const XSQLVAR &v = out->sqlvar[i];
            if (*v.sqlind < 0)
                continue;
            const TFbColumn &c = m_cols[size_t(i)];
            if (c.storage != TFbStorage::Text) {
                size += 8;
            } else if (c.sqlType == SQL_VARYING) {
                unsigned short l;
                std::memcpy(&l, v.sqldata, 2);
                size += 2 + l;
            } else {
                size += 2 + size_t(v.sqllen);
            }
        }
        unsigned char *p = m_arena->Alloc(size);
        std::memset(p, 0, nullBytes);
        unsigned char *w = p + nullBytes;
        for (int i = 0; i < n; ++i) {
            const XSQLVAR &v = out->sqlvar[i];
            if (*v.sqlind < 0) {
                p[i >> 3] |= static_cast<unsigned char>(1u << (i & 7));
                continue;
            }
            const TFbColumn &c = m_cols[size_t(i)];
            const char *d = v.sqldata;
            switch (c.storage) {
            case TFbStorage::Text: {
                unsigned short l;
                const char *src;
                if (c.sqlType == SQL_VARYING) {
                    std::memcpy(&l, d, 2);
                    src = d + 2;
                } else {
                    // CHAR: the blanks that pad it are not part of the value.
                    l = static_cast<unsigned short>(v.sqllen);
                    while (l > 0 && d[l - 1] == ' ')
                        --l;
                    src = d;
                }
                std::memcpy(w, &l, 2);
                std::memcpy(w + 2, src, l);
                w += 2 + l;
                break;
            }
            case TFbStorage::Double: {
                double x;
                if (c.sqlType == SQL_FLOAT) {
                    float f;
                    std::memcpy(&f, d, 4);
                    x = f;
                } else {
                    std::memcpy(&x, d, 8);
                }
                std::memcpy(w, &x, 8);
                w += 8;
                break;
            }
            default: {
                TFbCell cell;
                qint64 x = 0;
                switch (c.sqlType) {
                case SQL_LONG: { ISC_LONG y; std::memcpy(&y, d, 4); x = y; break; }
                case SQL_SHORT: { short y; std::memcpy(&y, d, 2); x = y; break; }
                case SQL_TIMESTAMP: {
                    ISC_TIMESTAMP ts;
                    std::memcpy(&ts, d, 8);
                    x = TFbConvert::PackTimestamp(ts.timestamp_date, ts.timestamp_time);
                    break;
                }
                case kSqlBoolean: x = *d ? 1 : 0; break;
                default:
                    TFbStatement::ReadCell(v, c, cell);
                    x = cell.i;
                    break;
                }
                std::memcpy(w, &x, 8);
                w += 8;
                break;
            }
            }
        }
        auto row = std::make_unique<TFbRow>();
        row->orig = p;
        m_visible.push_back(row.get());
        m_rows.push_back(std::move(row));
    }
}

void TFbQuery::ClearRows()
{
    m_visible.clear();
    m_rows.clear();
    m_arena->Clear();
    m_cur = -1;
    m_editBackup.reset();
    m_journal.clear();
}

void TFbQuery::DropResultFields()
{
    // Declared fields stay, unbound; fields made from the result go.
    for (auto it = m_fields.begin(); it != m_fields.end();) {
        if ((*it)->m_declared) {
            (*it)->m_col = -1;
            ++it;
        } else {
            delete *it;
            it = m_fields.erase(it);
        }
    }
}

void TFbQuery::Close()
{
    if (!Active())
        return;
    CheckNotHeld();
    emit aboutToResetData();
    if (TFbTransaction *tr = Transaction())
        tr->ForgetDataset(this);
    ClearRows();
    m_newRow.reset();
    try {
        if (m_stmt && m_db && m_db->Connected())
            m_stmt->CloseCursor();
    } catch (...) {
    }
    DropResultFields();
    m_cols.clear();
    m_paramMapOwner = nullptr;   // resolved fields may be gone
    m_state = dsInactive;
    m_bof = m_eof = true;
    emit closed();
    emit dataReset();
    emit stateChanged(m_state);
    emit currentRowChanged(-1);
}

// ---------------------------------------------------------------- row memory

void TFbQuery::DecodeCell(const unsigned char *p, int col, TFbCell &out) const
{
    out = TFbCell();
    if (!p || (p[col >> 3] & (1u << (col & 7))))
        return;
    const unsigned char *w = p + (m_cols.size() + 7) / 8;
    for (int j = 0; j < col; ++j) {
        if (p[j >> 3] & (1u << (j & 7)))
            continue;
        if (m_cols[size_t(j)].storage == TFbStorage::Text) {
            unsigned short l;
            std::memcpy(&l, w, 2);
            w += 2 + l;
        } else {
            w += 8;
        }
    }
    out.null = false;
    switch (m_cols[size_t(col)].storage) {
    case TFbStorage::Text: {
        unsigned short l;
        std::memcpy(&l, w, 2);
        out.s = QByteArray(reinterpret_cast<const char *>(w + 2), l);
        break;
    }
    case TFbStorage::Double:
        std::memcpy(&out.d, w, 8);
        break;
    default:
        std::memcpy(&out.i, w, 8);
        break;
    }
}

void TFbQuery::DecodeRow(const unsigned char *p, TFbCell *out) const
{
    for (int i = 0; i < int(m_cols.size()); ++i)
        DecodeCell(p, i, out[i]);
}

const unsigned char *TFbQuery::EncodeRow(const TFbCell *cells)
{
    const int n = int(m_cols.size());
    const size_t nullBytes = size_t((n + 7) / 8);
    size_t size = nullBytes;
    for (int i = 0; i < n; ++i)
        if (!cells[i].null)
            size += m_cols[size_t(i)].storage == TFbStorage::Text ? 2 + size_t(cells[i].s.size()) : 8;
    unsigned char *p = m_arena->Alloc(size);
    std::memset(p, 0, nullBytes);
    unsigned char *w = p + nullBytes;
    for (int i = 0; i < n; ++i) {
        const TFbCell &c = cells[i];
        if (c.null) {
            p[i >> 3] |= static_cast<unsigned char>(1u << (i & 7));
            continue;
        }
        switch (m_cols[size_t(i)].storage) {
        case TFbStorage::Text: {
            unsigned short l = static_cast<unsigned short>(std::min<qsizetype>(c.s.size(), 65535));
            std::memcpy(w, &l, 2);
            std::memcpy(w + 2, c.s.constData(), l);
            w += 2 + l;
            break;
        }
        case TFbStorage::Double:
            std::memcpy(w, &c.d, 8);
            w += 8;
            break;
        default:
            std::memcpy(w, &c.i, 8);
            w += 8;
            break;
        }
    }
    return p;
}

void TFbQuery::EnsureCur(TFbRow *row) const
{
    if (row->cur)
        return;
    row->cur.reset(new TFbCell[m_cols.size()]);
    if (row->orig)
        DecodeRow(row->orig, row->cur.get());
}

TFbCell TFbQuery::CellAt(int row, int col) const
{
    // A closed dataset has no current row: its fields read as null.
    if (!Active())
        return TFbCell();
    if (col < 0 || col >= int(m_cols.size()) || row < 0 || row >= int(m_visible.size()))
        return TFbCell();
    const TFbRow *r = m_visible[size_t(row)];
    if (r->cur)
        return r->cur[size_t(col)];
    TFbCell c;
    DecodeCell(r->orig, col, c);
    return c;
}

TFbCell TFbQuery::CurrentCell(int col) const
{
    return CellAt(m_cur, col);
}

TFbCell TFbQuery::OldCell(int col) const
{
    TFbCell c;
    if (!Active())
        return c;
    if (m_cur >= 0 && col >= 0)
        DecodeCell(m_visible[size_t(m_cur)]->orig, col, c);
    return c;
}

void TFbQuery::WriteCurrentCell(TFbField *f, const TFbCell &c)
{
    CheckActive();
    if (m_state != dsEdit && m_state != dsInsert)
        throw EFbError(Msg("Dataset not in edit or insert mode"));
    TFbRow *r = m_visible[size_t(m_cur)];
    EnsureCur(r);
    r->cur[size_t(f->m_col)] = c;
    emit fieldChanged(f);
    emit rowChanged(m_cur);
}

QString TFbQuery::TextAt(int row, int fieldIndex) const
{
    const TFbField *f = m_fields.at(size_t(fieldIndex));
    return f->CellText(CellAt(row, f->m_col));
}

QVariant TFbQuery::ValueAt(int row, int fieldIndex) const
{
    const TFbField *f = m_fields.at(size_t(fieldIndex));
    return f->CellVariant(CellAt(row, f->m_col));
}

TFbQuery::TUpdateStatus TFbQuery::UpdateStatusAt(int row) const
{
    if (row < 0 || row >= int(m_visible.size()))
        return usUnmodified;
    if (m_state == dsInsert && row == m_cur)
        return usInserted;
    return m_visible[size_t(row)]->status;
}

TFbQuery::TUpdateStatus TFbQuery::UpdateStatus() const
{
    return UpdateStatusAt(m_cur);
}

size_t TFbQuery::MemoryUsage() const
{
    size_t n = m_arena->Bytes() + m_rows.capacity() * sizeof(void *) + m_visible.capacity() * sizeof(void *)
               + m_rows.size() * sizeof(TFbRow);
    for (const auto &r : m_rows)
        if (r->cur)
            n += m_cols.size() * sizeof(TFbCell);
    return n;
}

int TFbQuery::RowIndexOf(const TFbRow *r) const
{
    auto it = std::find(m_visible.begin(), m_visible.end(), r);
    return it == m_visible.end() ? -1 : int(it - m_visible.begin());
}

// ---------------------------------------------------------------- navigation

void TFbQuery::HoldPending(const QString &message)
{
    m_holdMessage = message;
}

QString TFbQuery::HeldBy() const
{
    return (m_state == dsEdit || m_state == dsInsert) ? m_holdMessage : QString();
}

void TFbQuery::SetMaster(TFbQuery *master)
{
    if (master && master != this)
        master->m_dependents.emplace_back(this);
}

void TFbQuery::CheckNotHeld(bool self, bool dependents) const
{
    if (self) {
        const QString held = HeldBy();
        if (!held.isEmpty())
            throw EFbError(held);
    }
    for (const QPointer<TFbQuery> &d : m_dependents) {
        if (!dependents)
            break;
        const QString held = d ? d->HeldBy() : QString();
        if (!held.isEmpty())
            throw EFbError(held);
    }
}

QString TFbQuery::DropPending()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return {};
    QStringList values;
    for (TFbField *f : m_fields) {
        QString text;
        try {
            text = f->AsString();
        } catch (...) {
            text = QStringLiteral("?");
        }
        if (!text.isEmpty())
            values << f->FieldName() + QLatin1Char('=') + text;
    }
    const QString what = (m_state == dsInsert ? QStringLiteral("novo registro ") : QStringLiteral("alteração "))
        + SQLText().simplified() + QStringLiteral(": ") + values.join(QStringLiteral(", "));
    m_holdMessage.clear();
    Cancel();
    return what;
}

void TFbQuery::SetState(TDataSetState s)
{
    if (s == m_state)
        return;
    m_state = s;
    emit stateChanged(s);
}

void TFbQuery::SetCurrent(int row)
{
    if (m_visible.empty())
        row = -1;
    else
        row = std::clamp(row, 0, int(m_visible.size()) - 1);
    if (row == m_cur)
        return;
    m_cur = row;
    emit currentRowChanged(row);
}

void TFbQuery::CheckBrowseMode()
{
    CheckActive();
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
}

void TFbQuery::SetRecNo(int row)
{
    if (row == m_cur && Active())
        return;
    CheckNotHeld(true, false);
    CheckBrowseMode();
    SetCurrent(row);
    m_bof = m_eof = m_visible.empty();
}

void TFbQuery::First()
{
    CheckNotHeld(true, false);
    CheckBrowseMode();
    SetCurrent(0);
    m_bof = true;
    m_eof = m_visible.empty();
}

void TFbQuery::Last()
{
    CheckNotHeld(true, false);
    CheckBrowseMode();
    SetCurrent(int(m_visible.size()) - 1);
    m_eof = true;
    m_bof = m_visible.empty();
}

void TFbQuery::Next()
{
    CheckNotHeld(true, false);
    CheckBrowseMode();
    if (m_cur + 1 < int(m_visible.size())) {
        SetCurrent(m_cur + 1);
        m_bof = m_eof = false;
    } else {
        m_eof = true;
    }
}

void TFbQuery::Prior()
{
    CheckNotHeld(true, false);
    CheckBrowseMode();
    if (m_cur > 0) {
        SetCurrent(m_cur - 1);
        m_bof = m_eof = false;
    } else {
        m_bof = true;
    }
}

bool TFbQuery::Locate(const QString &fieldName, const QVariant &value)
{
    CheckNotHeld(true, false);
    CheckBrowseMode();
    const TFbField *f = FieldByName(fieldName);
    const bool text = value.typeId() == QMetaType::QString;
    for (int r = 0; r < int(m_visible.size()); ++r) {
        bool hit;
        if (text)
            hit = f->AsStringAt(r).compare(value.toString(), Qt::CaseInsensitive) == 0;
        else if (!value.isValid() || value.isNull())
            hit = f->IsNullAt(r);
        else
            hit = f->ValueAt(r) == value;
        if (hit) {
            SetCurrent(r);
            m_bof = m_eof = false;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- editing

void TFbQuery::StartNewRow()
{
    if (!m_cachedUpdates && !m_updateObject)
        throw EFbError(Msg("Cannot modify a read-only dataset"));
    m_holdMessage.clear();
    m_insertPrevRow = m_cur;
    auto row = std::make_unique<TFbRow>();
    row->status = usInserted;
    row->cur.reset(new TFbCell[m_cols.size()]);
    const int at = int(m_visible.size());
    emit rowAboutToBeInserted(at);
    m_visible.push_back(row.get());
    m_newRow = std::move(row);
    m_state = dsInsert;
    emit rowInserted(at);
    m_cur = at;
    m_bof = m_eof = false;
    emit currentRowChanged(at);
    emit stateChanged(m_state);
    if (OnNewRecord) {
        try {
            OnNewRecord(this);
        } catch (...) {
            Cancel();
            throw;
        }
    }
}

void TFbQuery::Append()
{
    CheckNotHeld(true, false);
    CheckBrowseMode();
    StartNewRow();
}

void TFbQuery::Edit()
{
    CheckActive();
    // Another screen's entry on this row would otherwise be taken over
    // and saved with whatever this caller writes.
    if (!m_holdMessage.isEmpty() && (m_state == dsEdit || m_state == dsInsert))
        throw EFbError(m_holdMessage);
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    m_holdMessage.clear();
    if (m_visible.empty()) {
        StartNewRow();
        return;
    }
    if (!m_cachedUpdates && !m_updateObject)
        throw EFbError(Msg("Cannot modify a read-only dataset"));
    TFbRow *r = m_visible[size_t(m_cur)];
    m_editHadCur = bool(r->cur);
    EnsureCur(r);
    m_editBackup.reset(new TFbCell[m_cols.size()]);
    std::copy(r->cur.get(), r->cur.get() + m_cols.size(), m_editBackup.get());
    SetState(dsEdit);
}

void TFbQuery::Post()
{
    CheckActive();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    TFbRow *r = m_visible[size_t(m_cur)];
    for (TFbField *f : m_fields)
        if (f->m_required && f->m_col >= 0 && r->cur[size_t(f->m_col)].null)
            throw EFbError(QStringLiteral("Field '%1' must have a value").arg(f->m_name));
    if (m_state == dsInsert) {
        m_rows.push_back(std::move(m_newRow));
    } else {
        if (r->status == usUnmodified)
            r->status = usModified;
        m_editBackup.reset();
    }
    const TDataSetState was = m_state;
    m_state = dsBrowse;
    if (!m_cachedUpdates) {
        // Without a change cache the row is written at once.
        try {
            ApplyRow(r);
            PurgeGone();
        } catch (...) {
            // Stay in the edit so that nothing typed is lost.
            if (was == dsInsert) {
                m_newRow = std::move(m_rows.back());
                m_rows.pop_back();
            }
            m_state = was;
            throw;
        }
        if (TFbTransaction *tr = Transaction())
            tr->AfterWrite();
    }
    emit rowChanged(m_cur);
    emit stateChanged(m_state);
}

void TFbQuery::Cancel()
{
    if (m_state == dsInsert) {
        const int at = m_cur;
        emit rowAboutToBeRemoved(at);
        m_visible.erase(m_visible.begin() + at);
        m_newRow.reset();
        m_state = dsBrowse;
        emit rowRemoved(at);
        int back = m_insertPrevRow >= 0 ? m_insertPrevRow : 0;
        m_cur = m_visible.empty() ? -1 : std::min(back, int(m_visible.size()) - 1);
        emit currentRowChanged(m_cur);
        m_bof = m_eof = m_visible.empty();
        emit stateChanged(m_state);
    } else if (m_state == dsEdit) {
        TFbRow *r = m_visible[size_t(m_cur)];
        if (m_editHadCur)
            std::copy(m_editBackup.get(), m_editBackup.get() + m_cols.size(), r->cur.get());
        else
            r->cur.reset();
        m_editBackup.reset();
        m_state = dsBrowse;
        emit rowChanged(m_cur);
        emit stateChanged(m_state);
    }
}

void TFbQuery::Delete()
{
    CheckActive();
    CheckNotHeld();
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    if (m_state == dsEdit)
        Cancel();
    if (m_visible.empty())
        throw EFbError(Msg("Cannot perform this operation on an empty dataset"));
    if (!m_cachedUpdates && !m_updateObject)
        throw EFbError(Msg("Cannot modify a read-only dataset"));
    const int at = m_cur;
    TFbRow *r = m_visible[size_t(at)];
    const TUpdateStatus was = r->status;
    r->status = was == usInserted ? usInsertedDeleted : usDeleted;
    if (!m_cachedUpdates) {
        try {
            ApplyRow(r);
        } catch (...) {
            r->status = was;
            throw;
        }
    }
    emit rowAboutToBeRemoved(at);
    m_visible.erase(m_visible.begin() + at);
    emit rowRemoved(at);
    m_cur = at < int(m_visible.size()) ? at : int(m_visible.size()) - 1;
    emit currentRowChanged(m_cur);
    m_bof = m_eof = m_visible.empty();
    if (!m_cachedUpdates) {
        PurgeGone();
        if (TFbTransaction *tr = Transaction())
            tr->AfterWrite();
    }
}

bool TFbQuery::UpdatesPending() const
{
    if (m_state == dsEdit || m_state == dsInsert)
        return true;
    for (const auto &r : m_rows)
        if (!r->gone && (r->status == usModified || r->status == usInserted || r->status == usDeleted))
            return true;
    return false;
}

void TFbQuery::ApplyRow(TFbRow *r)
{
    if (!m_updateObject)
        throw EFbError(Msg("UpdateObject not assigned"));
    TFbUpdateSQL::TUpdateKind kind;
    switch (r->status) {
    case usModified: kind = TFbUpdateSQL::ukModify; break;
    case usInserted: kind = TFbUpdateSQL::ukInsert; break;
    case usDeleted: kind = TFbUpdateSQL::ukDelete; break;
    default: return;
    }
    if (m_paramMapOwner != m_updateObject) {
        for (ParamMap &m : m_paramMap)
            m = ParamMap();
        m_paramMapOwner = m_updateObject;
    }
    ParamMap &map = m_paramMap[kind];
    auto source = [this, r, &map, kind](int index, const QString &name, TFbCell &value, TFbStorage &storage,
                                        short &scale) {
        if (index == 0 && map.names != m_updateObject->ParamNames(kind)) {
            // Resolve the names once per prepared statement.
            map.names = m_updateObject->ParamNames(kind);
            map.fields.clear();
            for (const QString &n : map.names) {
                TFbField *f = nullptr;
                bool old = false;
                if (n.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive)) {
                    f = FindField(n.mid(4));
                    old = f != nullptr;
                }
                if (!f)
                    f = FindField(n);
                map.fields.emplace_back(f, old);
            }
        }
        (void)name;
        if (index >= int(map.fields.size()))
            return false;
        TFbField *f = map.fields[size_t(index)].first;
        const bool old = map.fields[size_t(index)].second;
        if (!f || f->m_col < 0)
            return false;
        if (old || !r->cur)
            DecodeCell(r->orig, f->m_col, value);
        else
            value = r->cur[size_t(f->m_col)];
        storage = f->m_storage;
        scale = f->m_scale;
        return true;
    };
    TFbTransaction *tr = Transaction();
    auto statement = [&] { return m_updateObject->Apply(kind, m_db, tr, source); };
    TFbRowWriter *writer = m_updateObject->RowWriter();
    TFbRowWriter::TFbRowValues values;   // the row as read and as it is now, for the writer
    for (TFbField *f : m_fields) {
        if (!writer || f->m_col < 0)
            continue;
        TFbRowWriter::TFbRowValue v{f->m_name, f->m_storage, f->m_scale, {}, {}};
        if (r->orig)
            DecodeCell(r->orig, f->m_col, v.old);
        v.now = r->cur ? r->cur[size_t(f->m_col)] : v.old;
        values.push_back(std::move(v));
    }
    const qint64 n = writer ? writer->Apply(kind, m_db, tr, values, statement) : statement();
    if (n != 1)
        throw EFbError(Msg("Update Failed"));
    if (tr && tr->InUnitOfWork()) {
        JournalEntry e{r, r->status, r->orig, nullptr, r->gone, tr->UnitOfWorkDepth()};
        if (r->cur) {
            e.cur.reset(new TFbCell[m_cols.size()]);
            std::copy(r->cur.get(), r->cur.get() + m_cols.size(), e.cur.get());
        }
        m_journal.push_back(std::move(e));
        tr->JournalDataset(this);
    }
    if (r->status == usDeleted) {
        r->gone = true;
    } else {
        r->orig = EncodeRow(r->cur.get());
        r->cur.reset();
        r->status = usUnmodified;
    }
}

void TFbQuery::PurgeGone()
{
    if (!m_journal.empty())
        return;   // a unit of work may still need them
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(),
                                [](const std::unique_ptr<TFbRow> &r) {
                                    return r->gone || r->status == usInsertedDeleted;
                                }),
                 m_rows.end());
}

void TFbQuery::ApplyChangesOrCancel()
{
    try {
        ApplyChanges();
    } catch (...) {
        if (Active() && UpdatesPending())
            CancelUpdates();
        throw;
    }
}

void TFbQuery::ApplyChanges()
{
    if (!m_cachedUpdates)
        throw EFbError(Msg("CachedUpdates not enabled"));
    CheckActive();
    const TDataSetState entry = m_state;
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    TFbRow *remembered = m_cur >= 0 ? m_visible[size_t(m_cur)] : nullptr;
    bool wrote = false;
    auto finish = [&]() {
        PurgeGone();
        int at = RowIndexOf(remembered);
        SetCurrent(at >= 0 ? at : 0);
    };
    try {
        // Rows may be appended to m_rows by nobody during the walk; index it.
        for (size_t i = 0; i < m_rows.size(); ++i) {
            TFbRow *r = m_rows[i].get();
            if (r->gone)
                continue;
            if (r->status == usModified || r->status == usInserted || r->status == usDeleted) {
                // Values do not change by being written: no row signal.
                ApplyRow(r);
                wrote = true;
            }
        }
    } catch (...) {
        finish();
        // The entry this save posted was not written (refused, or the
        // connection lost): it goes on being typed, so that the next save
        // or a cancel finds it as the user left it.
        TFbRow *r = remembered;
        if ((entry == dsEdit || entry == dsInsert) && r && m_state == dsBrowse && m_cur >= 0
            && m_visible[size_t(m_cur)] == r && !r->gone && r->status == (entry == dsInsert ? usInserted : usModified)) {
            if (entry == dsInsert) {
                auto it = std::find_if(m_rows.begin(), m_rows.end(), [r](const auto &p) { return p.get() == r; });
                m_newRow = std::move(*it);
                m_rows.erase(it);
            } else {
                m_editHadCur = true;
                m_editBackup.reset(new TFbCell[m_cols.size()]);
                std::copy(r->cur.get(), r->cur.get() + m_cols.size(), m_editBackup.get());
            }
            m_state = entry;
            emit stateChanged(m_state);
        }
        if (wrote) {
            // What was written stays written: make it durable like any save.
            try {
                if (TFbTransaction *tr = Transaction())
                    tr->AfterWrite();
            } catch (...) {
            }
        }
        throw;
    }
    finish();
    if (wrote)
        if (TFbTransaction *tr = Transaction())
            tr->AfterWrite();
}

void TFbQuery::CancelUpdates()
{
    CheckActive();
    CheckNotHeld();
    if (m_state == dsEdit || m_state == dsInsert)
        Cancel();
    emit aboutToResetData();
    for (auto &r : m_rows) {
        if (r->gone)
            continue;
        if (r->status == usInserted || r->status == usInsertedDeleted) {
            r->gone = true;
        } else {
            r->cur.reset();
            r->status = usUnmodified;
        }
    }
    PurgeGone();
    m_visible.clear();
    for (auto &r : m_rows)
        if (!r->gone)
            m_visible.push_back(r.get());
    m_cur = m_visible.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.empty();
    emit dataReset();
    emit currentRowChanged(m_cur);
}

void TFbQuery::UndoJournal(int fromDepth)
{
    const bool active = Active();
    if (active)
        emit aboutToResetData();
    while (!m_journal.empty() && m_journal.back().depth >= fromDepth) {
        JournalEntry &e = m_journal.back();
        TFbRow *r = e.row;
        r->status = e.status;
        r->orig = e.orig;
        r->cur = std::move(e.cur);
        r->gone = e.gone;
        m_journal.pop_back();
    }
    if (active)
        emit dataReset();
}

void TFbQuery::MergeJournal(int depth)
{
    for (JournalEntry &e : m_journal)
        if (e.depth >= depth)
            e.depth = depth - 1;
}

void TFbQuery::CommitJournal()
{
    m_journal.clear();
    PurgeGone();
}

void TFbQuery::Execute()
{
    if (Active())
        throw EFbError(Msg("Cannot perform this operation on an open dataset"));
    PrepareStatement();
    TFbTransaction *tr = Transaction();
    m_stmt->Execute(tr);
    m_stmt->CloseCursor();
    switch (m_stmt->StatementType()) {
    case isc_info_sql_stmt_insert: case isc_info_sql_stmt_update: case isc_info_sql_stmt_delete:
    case isc_info_sql_stmt_exec_procedure: case isc_info_sql_stmt_ddl:
        tr->AfterWrite();
        break;
    default:
        break;
    }
}
