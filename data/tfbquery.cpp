#include "data/tfbquery.h"
#include "data/efberror.h"
#include "data/tfbchangecache.h"
#include "data/tfbconvert.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbrowstore.h"
#include "data/tfbstatement.h"
#include "data/tfbtransaction.h"
#include "data/tfbrowwriter.h"
#include "data/tfbupdatesql.h"

#include <QMetaMethod>
#include <algorithm>
#include <limits>

namespace {
QString Msg(const char *text)
{
    return QString::fromLatin1(text);
}
} // namespace

TFbQuery::TFbQuery(QObject *parent)
    : QObject(parent), m_store(std::make_unique<TFbRowStore>()),
      m_changes(std::make_unique<TFbChangeCache>(*m_store))
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

void TFbQuery::ConnectionLost()
{
    if (!Active() || m_store->AllRead())
        return;
    m_store->StopReading();
    CursorDone();
    m_cursorLost = true;
}

void TFbQuery::ReadAgainAfterReconnect()
{
    if (!m_cursorLost)
        return;
    m_cursorLost = false;
    if (!Active() || m_state != dsBrowse || UpdatesPending() || !HeldBy().isEmpty())
        return;
    // Read again from the start, as it was first opened: the screen shows
    // its rows anew instead of a list cut short where the connection went.
    const bool started = m_started;
    Close();
    if (started)
        Open();
    else
        OpenUnread();
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
    const std::vector<TFbColumn> &cols = m_store->Columns();
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
            for (size_t i = 0; i < cols.size(); ++i)
                if (cols[i].name.compare(f->m_name, Qt::CaseInsensitive) == 0) {
                    found = int(i);
                    break;
                }
            if (found < 0) {
                for (TFbField *g : m_fields)
                    g->m_col = -1;
                throw EFbError(QStringLiteral("Field '%1' not found").arg(f->m_name));
            }
            bind(f, cols[size_t(found)], found);
        }
        return;
    }
    for (size_t i = 0; i < cols.size(); ++i) {
        const TFbColumn &c = cols[i];
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
    OpenCursor(true);
}

void TFbQuery::OpenUnread()
{
    OpenCursor(false);
}

void TFbQuery::OpenCursor(bool readFirst)
{
    if (Active())
        return;
    PrepareStatement();
    if (m_stmt->Columns().empty())
        throw EFbError(Msg("Statement does not return a result set"));
    m_store->Start(m_stmt->Columns(), nullptr);
    try {
        BindFields();
        m_stmt->Execute(Transaction());
        m_store->Start(m_stmt->Columns(), m_stmt.get());
        // The first row is read before anyone sees the dataset: what the
        // select does, and how it fails, happens in Open.
        if (readFirst && m_store->Fetch(1) > 0)
            m_visible.push_back(m_store->Rows().front().get());
    } catch (...) {
        ClearRows();
        m_store->Clear();
        m_paramMapOwner = nullptr;
        DropResultFields();
        try {
            m_stmt->CloseCursor();
        } catch (...) {
        }
        throw;
    }
    if (m_store->AllRead()) {
        try {
            m_stmt->CloseCursor();
        } catch (...) {
        }
    }
    WatchTransaction();
    emit aboutToResetData();
    m_state = dsBrowse;
    m_started = readFirst;
    m_cur = m_visible.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.empty();
    emit opened();
    emit dataReset();
    emit stateChanged(m_state);
    // Unread, the first row is read when someone needs it - at once when
    // something follows the current row.
    if (!readFirst && isSignalConnected(QMetaMethod::fromSignal(&TFbQuery::currentRowChanged)))
        Need();
    if (m_cur < 0 || readFirst)
        emit currentRowChanged(m_cur);
}

// ---------------------------------------------------------------- reading the cursor

void TFbQuery::WatchTransaction()
{
    disconnect(m_trWatch);
    TFbTransaction *tr = Transaction();
    if (!tr || m_store->AllRead())
        return;
    // A hard commit or rollback closes every cursor of the transaction:
    // the rows not read yet are read before, so that none is lost.
    m_trWatch = connect(tr, &TFbTransaction::aboutToEnd, this, [this] { NeedAll(); });
}

void TFbQuery::CursorDone()
{
    disconnect(m_trWatch);
    m_trWatch = {};
}

int TFbQuery::LocalStart() const
{
    int at = int(m_visible.size());
    while (at > 0 && m_visible[size_t(at - 1)]->local)
        --at;
    return at;
}

void TFbQuery::Start()
{
    if (!Active() || m_started)
        return;
    m_started = true;
    ReadMore(1);
    const int cur = m_visible.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_visible.empty();
    if (cur != m_cur) {
        m_cur = cur;
        emit currentRowChanged(m_cur);
    }
}

int TFbQuery::ReadMore(int max)
{
    if (!Active() || m_store->AllRead() || max <= 0)
        return 0;
    const size_t from = m_store->Rows().size();
    int n;
    try {
        n = m_store->Fetch(max);
    } catch (...) {
        CursorDone();
        throw;
    }
    if (m_store->AllRead()) {
        CursorDone();
        try {
            m_stmt->CloseCursor();
        } catch (...) {
        }
    }
    if (n == 0)
        return 0;
    // Read rows go before the new rows typed here, as they would have had
    // they been read at Open.
    const int at = LocalStart();
    emit rowsAboutToBeFetched(at, at + n - 1);
    std::vector<TFbRow *> rows;
    rows.reserve(size_t(n));
    for (size_t i = from; i < from + size_t(n); ++i)
        rows.push_back(m_store->Rows()[i].get());
    m_visible.insert(m_visible.begin() + at, rows.begin(), rows.end());
    const bool moved = m_cur >= at;
    if (moved)
        m_cur += n;
    if (m_insertPrevRow >= at)
        m_insertPrevRow += n;
    emit rowsFetched(at, at + n - 1);
    if (moved)
        emit currentRowChanged(m_cur);
    return n;
}

void TFbQuery::ReadUpTo(int row)
{
    Start();
    while (row >= int(m_visible.size()) && !m_store->AllRead())
        ReadMore(std::max(kFetchPacket, row + 1 - int(m_visible.size())));
}

void TFbQuery::ReadAll()
{
    Start();
    while (!m_store->AllRead())
        ReadMore(std::numeric_limits<int>::max());
}

void TFbQuery::Need(int row) const
{
    auto *self = const_cast<TFbQuery *>(this);
    if (!Active() || (m_started && (row < int(m_visible.size()) || m_store->AllRead())))
        return;
    try {
        self->ReadUpTo(row);
    } catch (const std::exception &e) {
        TFbTransaction::ReportFailure(QString::fromUtf8(e.what()));
    }
}

void TFbQuery::NeedAll() const
{
    auto *self = const_cast<TFbQuery *>(this);
    if (!Active() || (m_started && m_store->AllRead()))
        return;
    try {
        self->ReadAll();
    } catch (const std::exception &e) {
        TFbTransaction::ReportFailure(QString::fromUtf8(e.what()));
    }
}

bool TFbQuery::AllRowsRead() const
{
    return !Active() || m_store->AllRead();
}

int TFbQuery::FetchMore(int count)
{
    CheckActive();
    if (!m_started) {
        const int before = int(m_visible.size());
        Start();
        return int(m_visible.size()) - before + ReadMore(count - 1);
    }
    return ReadMore(count);
}

int TFbQuery::RecordCount() const
{
    NeedAll();
    return int(m_visible.size());
}

bool TFbQuery::IsEmpty() const
{
    Need();
    return m_visible.empty();
}

int TFbQuery::RecNo() const
{
    Need();
    return m_cur;
}

bool TFbQuery::Eof() const
{
    Need();
    return m_eof;
}

bool TFbQuery::Bof() const
{
    Need();
    return m_bof;
}

void TFbQuery::ClearRows()
{
    CursorDone();
    m_visible.clear();
    m_changes->Clear();
    m_newRow.reset();
    m_store->Clear();
    m_started = false;
    m_cur = -1;
    m_editBackup.reset();
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

void TFbQuery::Reopen(const QString &sql)
{
    Close();
    SetSQL(sql);
    Open();
}

void TFbQuery::Close()
{
    if (!Active())
        return;
    CheckNotHeld();
    emit aboutToResetData();
    if (TFbTransaction *tr = Transaction())
        tr->ForgetDataset(this);
    // A cursor half read is closed here; one its transaction already ended
    // is only forgotten.
    ClearRows();
    try {
        if (m_stmt && m_db && m_db->Connected())
            m_stmt->CloseCursor();
    } catch (...) {
    }
    DropResultFields();
    m_paramMapOwner = nullptr;   // resolved fields may be gone
    m_state = dsInactive;
    m_bof = m_eof = true;
    emit closed();
    emit dataReset();
    emit stateChanged(m_state);
    emit currentRowChanged(-1);
}

// ---------------------------------------------------------------- row memory

TFbCell TFbQuery::CellAt(int row, int col) const
{
    // A closed dataset has no current row: its fields read as null.
    if (!Active() || row < 0)
        return TFbCell();
    Need(row);
    if (row >= int(m_visible.size()))
        return TFbCell();
    return m_store->Cell(m_visible[size_t(row)], col);
}

TFbCell TFbQuery::CurrentCell(int col) const
{
    Need();
    return CellAt(m_cur, col);
}

TFbCell TFbQuery::OldCell(int col) const
{
    TFbCell c;
    if (!Active())
        return c;
    Need();
    if (m_cur >= 0 && col >= 0 && col < int(m_store->ColumnCount()))
        m_store->DecodeCell(m_visible[size_t(m_cur)]->orig, col, c);
    return c;
}

void TFbQuery::WriteCurrentCell(TFbField *f, const TFbCell &c)
{
    CheckActive();
    if (m_state != dsEdit && m_state != dsInsert)
        throw EFbError(Msg("Dataset not in edit or insert mode"));
    TFbRow *r = m_visible[size_t(m_cur)];
    m_store->EnsureCur(r);
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
    if (row >= 0)
        Need(row);
    if (row < 0 || row >= int(m_visible.size()))
        return usUnmodified;
    if (m_state == dsInsert && row == m_cur)
        return usInserted;
    return m_visible[size_t(row)]->status;
}

TFbQuery::TUpdateStatus TFbQuery::UpdateStatus() const
{
    return UpdateStatusAt(RecNo());
}

size_t TFbQuery::MemoryUsage() const
{
    return m_store->MemoryUsage() + m_visible.capacity() * sizeof(void *);
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
    // The box being typed in when the entry was given up.
    if (TypedNotWritten) {
        for (const auto &[field, typed] : TypedNotWritten(this))
            values << field.toUpper() + QStringLiteral(" (digitado)=") + typed;
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
    Start();
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
}

void TFbQuery::SetRecNo(int row)
{
    if (row == m_cur && Active())
        return;
    CheckNotHeld();
    CheckBrowseMode();
    ReadUpTo(row);
    SetCurrent(row);
    m_bof = m_eof = m_visible.empty();
}

void TFbQuery::First()
{
    CheckNotHeld();
    CheckBrowseMode();
    SetCurrent(0);
    m_bof = true;
    m_eof = m_visible.empty();
}

void TFbQuery::Last()
{
    CheckNotHeld();
    CheckBrowseMode();
    ReadAll();
    SetCurrent(int(m_visible.size()) - 1);
    m_eof = true;
    m_bof = m_visible.empty();
}

void TFbQuery::Next()
{
    CheckNotHeld();
    CheckBrowseMode();
    if (m_cur + 1 >= int(m_visible.size()))
        ReadMore(kFetchPacket);
    if (m_cur + 1 < int(m_visible.size())) {
        SetCurrent(m_cur + 1);
        m_bof = m_eof = false;
    } else {
        m_eof = true;
    }
}

void TFbQuery::Prior()
{
    CheckNotHeld();
    CheckBrowseMode();
    if (m_cur > 0) {
        SetCurrent(m_cur - 1);
        m_bof = m_eof = false;
    } else {
        m_bof = true;
    }
}

bool TFbQuery::Locate(const QString &fieldName, const QVariant &value, TLocateReach reach)
{
    CheckNotHeld();
    CheckBrowseMode();
    const TFbField *f = FieldByName(fieldName);
    const bool text = value.typeId() == QMetaType::QString;
    auto matches = [&](int r) {
        if (text)
            return f->AsStringAt(r).compare(value.toString(), Qt::CaseInsensitive) == 0;
        if (!value.isValid() || value.isNull())
            return f->IsNullAt(r);
        return f->ValueAt(r) == value;
    };
    auto found = [&](int r) {
        SetCurrent(r);
        m_bof = m_eof = false;
        return true;
    };
    // In the order the rows have once all are read: the rows read, those
    // not read yet (a packet at a time, until one matches), then the new
    // rows typed here.
    int r = 0;
    for (;;) {
        for (const int end = LocalStart(); r < end; ++r)
            if (matches(r))
                return found(r);
        if (reach == RowsRead || ReadMore(kFetchPacket) == 0)
            break;
    }
    for (; r < int(m_visible.size()); ++r)
        if (matches(r))
            return found(r);
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
    row->local = true;
    row->cur = m_store->NewCells();
    const int at = int(m_visible.size());
    emit rowAboutToBeInserted(at);
    m_visible.push_back(row.get());
    m_newRow = std::move(row);
    m_state = dsInsert;
    emit rowInserted(at);
    m_cur = at;
    m_bof = m_eof = false;
    // The new-record rule fills the row (its key) before the row is made
    // current for anyone watching: a grid that follows the current row
    // scrolls to it, which reads the next rows of a list opened a screenful
    // at a time, and whatever that sets moving would find a row without
    // its key.
    if (OnNewRecord) {
        try {
            OnNewRecord(this);
        } catch (...) {
            Cancel();
            throw;
        }
    }
    emit currentRowChanged(m_cur);
    emit stateChanged(m_state);
}

void TFbQuery::Append()
{
    CheckNotHeld();
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
    Start();
    if (m_visible.empty()) {
        StartNewRow();
        return;
    }
    if (!m_cachedUpdates && !m_updateObject)
        throw EFbError(Msg("Cannot modify a read-only dataset"));
    TFbRow *r = m_visible[size_t(m_cur)];
    m_editHadCur = bool(r->cur);
    m_store->EnsureCur(r);
    m_editBackup = m_store->NewCells();
    std::copy(r->cur.get(), r->cur.get() + m_store->ColumnCount(), m_editBackup.get());
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
    if (!m_cachedUpdates) {
        // The row is about to be written: the cursor must not hand it back.
        ReadAll();
        r = m_visible[size_t(m_cur)];
    }
    if (m_state == dsInsert) {
        m_store->Add(std::move(m_newRow));
    } else {
        m_changes->Edited(r);
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
            if (was == dsInsert)
                m_newRow = m_store->TakeLast();
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
            std::copy(m_editBackup.get(), m_editBackup.get() + m_store->ColumnCount(), r->cur.get());
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
    Start();
    if (!m_cachedUpdates && m_updateObject)
        ReadAll();   // about to be written: see Post
    if (m_visible.empty())
        throw EFbError(Msg("Cannot perform this operation on an empty dataset"));
    if (!m_cachedUpdates && !m_updateObject)
        throw EFbError(Msg("Cannot modify a read-only dataset"));
    const int at = m_cur;
    TFbRow *r = m_visible[size_t(at)];
    const TUpdateStatus was = m_changes->Deleted(r);
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
    return m_changes->Pending();
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
            m_store->DecodeCell(r->orig, f->m_col, value);
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
            m_store->DecodeCell(r->orig, f->m_col, v.old);
        v.now = r->cur ? r->cur[size_t(f->m_col)] : v.old;
        values.push_back(std::move(v));
    }
    const qint64 n = writer ? writer->Apply(kind, m_db, tr, values, statement) : statement();
    if (n != 1)
        throw EFbError(Msg("Update Failed"));
    const bool journaled = tr && tr->InUnitOfWork();
    m_changes->Written(r, journaled ? tr->UnitOfWorkDepth() : 0);
    if (journaled)
        tr->JournalDataset(this);
}

bool TFbQuery::RefreshCurrent()
{
    CheckActive();
    if (m_state != dsBrowse || m_cur < 0 || !m_db)
        return true;
    TFbRow *r = m_visible[size_t(m_cur)];
    // A row with a change of its own keeps what was typed; a new row has
    // nothing stored to read.
    if (r->status != usUnmodified || !r->orig || !m_updateObject || m_updateObject->RefreshSQL().isEmpty())
        return true;
    QStringList names;
    const QByteArray sql = TFbUpdateSQL::ConvertParams(m_updateObject->RefreshSQL().join(QLatin1Char('\n')), names);
    TFbTransaction *tr = Transaction();
    tr->StartIfNeeded();
    TFbStatement st(m_db);
    st.Prepare(tr, sql);
    for (int i = 0; i < names.size() && i < int(st.Params().size()); ++i) {
        QString name = names[i];
        if (name.startsWith(QLatin1String("OLD_"), Qt::CaseInsensitive))
            name = name.mid(4);
        TFbCell v;
        const TFbField *f = FindField(name);
        if (f && f->m_col >= 0)
            m_store->DecodeCell(r->orig, f->m_col, v);
        else
            v.null = true;
        st.SetParam(i, v, f ? f->m_storage : TFbStorage::Text, f ? f->m_scale : 0);
    }
    st.Execute(tr);
    if (!st.Fetch()) {
        st.CloseCursor();
        return false;
    }
    std::unique_ptr<TFbCell[]> cells = m_store->NewCells();
    m_store->DecodeRow(r->orig, cells.get());
    const std::vector<TFbColumn> &mine = m_store->Columns();
    for (size_t j = 0; j < st.Columns().size(); ++j) {
        const TFbColumn &c = st.Columns()[j];
        const TFbField *f = FindField(c.name);
        // Only a column read the same way as the dataset's own.
        if (!f || f->m_col < 0 || mine[size_t(f->m_col)].storage != c.storage
            || mine[size_t(f->m_col)].scale != c.scale)
            continue;
        TFbStatement::ReadCell(st.Out()->sqlvar[j], c, cells[size_t(f->m_col)]);
    }
    st.CloseCursor();
    r->orig = m_store->EncodeRow(cells.get());
    emit rowChanged(m_cur);
    return true;
}

void TFbQuery::PurgeGone()
{
    m_changes->PurgeGone();
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
    // Rows about to be written must not come back from the cursor (a new
    // row, a changed key further on in its order): it is read to the end.
    if (m_changes->Pending())
        ReadAll();
    TFbRow *remembered = m_cur >= 0 ? m_visible[size_t(m_cur)] : nullptr;
    bool wrote = false;
    auto finish = [&]() {
        PurgeGone();
        int at = RowIndexOf(remembered);
        SetCurrent(at >= 0 ? at : 0);
    };
    try {
        // Values do not change by being written: no row signal.
        m_changes->WriteAll([this](TFbRow *r) { ApplyRow(r); }, wrote);
    } catch (...) {
        finish();
        // The entry this save posted was not written (refused, or the
        // connection lost): it goes on being typed, so that the next save
        // or a cancel finds it as the user left it.
        TFbRow *r = remembered;
        if ((entry == dsEdit || entry == dsInsert) && r && m_state == dsBrowse && m_cur >= 0
            && m_visible[size_t(m_cur)] == r && !r->gone && r->status == (entry == dsInsert ? usInserted : usModified)) {
            if (entry == dsInsert) {
                m_newRow = m_store->Take(r);
            } else {
                m_editHadCur = true;
                m_editBackup = m_store->NewCells();
                std::copy(r->cur.get(), r->cur.get() + m_store->ColumnCount(), m_editBackup.get());
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
    Start();
    emit aboutToResetData();
    m_changes->CancelAll();
    // Rows read first, in read order, then the new rows that stay (written
    // ones, kept until the next Open).
    m_visible.clear();
    for (const auto &r : m_store->Rows())
        if (!r->gone && !r->local)
            m_visible.push_back(r.get());
    for (const auto &r : m_store->Rows())
        if (!r->gone && r->local)
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
    m_changes->Undo(fromDepth);
    if (active)
        emit dataReset();
}

void TFbQuery::MergeJournal(int depth)
{
    m_changes->Merge(depth);
}

void TFbQuery::CommitJournal()
{
    m_changes->Commit();
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
