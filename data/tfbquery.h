#pragma once
// TFbQuery: a dataset over one SQL text, with a change cache.
//
// Life: Open() runs the SQL and leaves its cursor open; rows are read from
// it into compact memory (TFbRowStore; text is decoded only when read) as
// they are needed - the current row, a move past the rows read, a grid
// asking for the rows it shows (FetchMore) - and kept. Append/Edit/Delete/
// Post/Cancel change the rows in memory (TFbChangeCache); ApplyChanges()
// writes the cached changes through the UpdateObject (a TFbUpdateSQL) and,
// when the transaction has CommitAfterWrite (the data module sets it),
// commits them at once with commit retaining.
//
// What reads the rest of the cursor: Last(), RecordCount(), a Locate()
// that finds no row (one that does reads packets up to it), writing rows (so that the cursor cannot
// hand back a row this dataset has just written), and the transaction
// ending hard (Commit, Rollback), which would kill the cursor; commit
// retaining keeps it. Nothing else reads more than it needs: Open() reads
// the first row, OpenUnread() none until someone needs one.
//
// Rows not read yet are read under the transaction's own rules: in a
// snapshot transaction a row another computer saves after Open is never
// among them; in a read-committed one (the data module's) it may be, once,
// where the cursor's order puts it (a server may have sent the rows ahead
// already). Rows already read never change by that.
//
// Rows are indexed 0..RecordCount()-1 over the visible rows (rows marked
// deleted are hidden); new rows typed here come after the rows read, and
// rows read later go in before them. RecNo() is the current row's index
// (-1: none).
//
// Signals for grids and bound editors (all row numbers are visible-row
// indexes at the time of the signal):
//   opened(), closed()       - after Open / Close (also SQL replaced, connection closed)
//   dataReset()              - the whole row set changed: re-read everything
//                              (after open, close, and a failed unit of work)
//   rowInserted(row)         - Append added a row at `row`
//   rowRemoved(row)          - Delete hid a row, or Cancel dropped a new row
//   rowsFetched(first, last) - rows read from the cursor went in at first..last
//   rowChanged(row)          - values of that row changed (field write, Cancel of an edit, Post)
//   currentRowChanged(row)   - the current row moved (-1: none)
//   stateChanged(state)      - dsInactive / dsBrowse / dsEdit / dsInsert
//   fieldChanged(field)      - a field of the current row was written
#include "data/tfbtypes.h"
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class TFbDatabase;
class TFbTransaction;
class TFbField;
class TFbUpdateSQL;
class TFbStatement;
struct TFbRow;
class TFbRowStore;
class TFbChangeCache;

class TFbQuery : public QObject
{
    Q_OBJECT
public:
    enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };
    Q_ENUM(TDataSetState)
    enum TUpdateStatus { usUnmodified, usModified, usInserted, usDeleted, usInsertedDeleted };
    Q_ENUM(TUpdateStatus)

    explicit TFbQuery(QObject *parent = nullptr);
    ~TFbQuery() override;

    TFbDatabase *Database() const;
    void SetDatabase(TFbDatabase *db);
    // The transaction; the database's DefaultTransaction when none is set.
    TFbTransaction *Transaction() const;
    void SetTransaction(TFbTransaction *tr);

    QStringList SQL() const { return m_sql; }
    QString SQLText() const { return m_sql.join(QLatin1Char('\n')); }
    // Replacing the text closes the dataset (cached changes are dropped)
    // and forgets the prepared statement.
    void SetSQL(const QStringList &lines);
    void SetSQL(const QString &text) { SetSQL(QStringList{text}); }

    bool CachedUpdates() const { return m_cachedUpdates; }
    void SetCachedUpdates(bool on) { m_cachedUpdates = on; }
    TFbUpdateSQL *UpdateObject() const { return m_updateObject; }
    void SetUpdateObject(TFbUpdateSQL *u) { m_updateObject = u; }
    // Runs when a new row is started (Append, Edit of an empty dataset), with
    // the new row current and the state dsInsert. If it throws, the new row
    // is dropped and the error propagates.
    std::function<void(TFbQuery *)> OnNewRecord;

    // --- operations ---
    // Runs the select and reads its first row.
    void Open();
    // Runs the select and reads nothing until a row is needed: for selects
    // whose rows have no side effects (the data module's tables at start).
    void OpenUnread();
    void Close();
    // Closes, takes `sql` as the statement and opens again.
    void Reopen(const QString &sql);
    bool Active() const { return m_state != dsInactive; }
    TDataSetState State() const { return m_state; }
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void ApplyChanges();
    // ApplyChanges, and when it fails, CancelUpdates before the error goes
    // on: a delete or change that could not be written must not stay
    // cached for the next save to write, alone.
    void ApplyChangesOrCancel();
    void Execute();
    // Drops every cached change and pending edit, back to the rows as read.
    void CancelUpdates();
    bool UpdatesPending() const;
    // Reads the current row again as the database holds it now (through
    // the update object's refresh statement), so that an entry starts from
    // what another computer may have saved since the rows were read. A row
    // with a change of its own, or a dataset without a refresh statement,
    // stays as it is. Returns false when the row is no longer stored.
    bool RefreshCurrent();
    TUpdateStatus UpdateStatus() const;     // of the current row

    // --- fields ---
    // Declared fields live as long as the dataset and are bound by name at
    // every Open ("Field '%s' not found" when the result lacks one). Without
    // declared fields, fields are made from the result columns at Open and
    // destroyed at Close.
    TFbField *AddField(const QString &name, TFbFieldKind kind, int size = 0, bool required = false);
    int FieldCount() const { return int(m_fields.size()); }
    TFbField *Field(int i) const { return m_fields.at(size_t(i)); }
    const std::vector<TFbField *> &Fields() const { return m_fields; }
    TFbField *FindField(const QString &name) const;        // nullptr when absent
    TFbField *FieldByName(const QString &name) const;      // throws "Field '%s' not found"

    // --- rows ---
    // Every row: reads the rest of the cursor first. Where the rows read so
    // far will do (a grid), FetchedCount().
    int RecordCount() const;
    bool IsEmpty() const;          // reads one row at most
    int RecNo() const;
    // Rows read so far (visible ones, new rows included): reads nothing.
    int FetchedCount() const { return int(m_visible.size()); }
    bool AllRowsRead() const;
    bool CanFetchMore() const { return Active() && !AllRowsRead(); }
    // Reads up to `count` more rows from the cursor; returns how many.
    int FetchMore(int count = kFetchPacket);
    // A grid's packet: twice a tall window's rows, so that the first paint
    // and the first page down come from one read.
    static constexpr int kFetchPacket = 128;
    void SetRecNo(int row);      // posts a pending edit first, as every move does
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    // Moves to the first row whose field equals value (texts compared
    // case-insensitively); returns false and stays put when none does.
    // RowsRead looks among the rows read so far only: for a key that one
    // statement of its own finds at once, where reading up to it could mean
    // reading a large table.
    enum TLocateReach { ReadAsNeeded, RowsRead };
    bool Locate(const QString &fieldName, const QVariant &value, TLocateReach reach = ReadAsNeeded);
    // Reads without moving: text of field `fieldIndex` in visible row `row`.
    QString TextAt(int row, int fieldIndex) const;
    QVariant ValueAt(int row, int fieldIndex) const;
    TUpdateStatus UpdateStatusAt(int row) const;
    // Bytes the rows take in memory (packed rows plus row records).
    size_t MemoryUsage() const;

    // --- pending entries ---
    // A screen that starts an entry here (Append/Edit) says so with
    // HoldPending(message), the message naming it ("Termine ou cancele a OS
    // em edição na tela Ordem de Serviço."). Until that entry is posted or
    // cancelled, whatever would close, reopen, move, delete or start another
    // entry on this dataset - or on a dataset it depends on, see SetMaster -
    // throws EFbError with that message and changes nothing, so that one
    // screen never redirects or loses what another is typing. An entry no
    // screen has claimed (an editor that started one by itself) keeps the
    // old behaviour: a move posts it. Starting a new entry forgets the claim.
    void HoldPending(const QString &message);
    // The claim standing now (empty when none): in edit or insert and claimed.
    QString HeldBy() const;
    // This dataset's entry belongs to a row of `master` (an order to its
    // client): while it is held, the master refuses to move (a list screen
    // would otherwise show another client above the order being typed),
    // start a new row, close, reload, filter, delete or drop its changes.
    // Set once at start-up.
    void SetMaster(TFbQuery *master);
    // Gives up the entry being typed (Cancel) and returns a one-line account
    // of it for the log ("ORDEMSERV: IDORDEM=12, DESCRICAO=..."); empty when
    // there was none. For closing the program with no one left to ask.
    QString DropPending();
    // What editors hold typed but not yet written into this dataset's
    // fields (field name and text; a number or date is written only when
    // its box is left): the account of a dropped entry names it too. The
    // bound editors' layer fills it in.
    static inline std::function<QList<QPair<QString, QString>>(const TFbQuery *)> TypedNotWritten;
    // Throws the claim of this dataset (when `self`) or of a dependent one
    // (when `dependents`): for a screen that would ask a question before
    // acting.
    void CheckNotHeld(bool self = true, bool dependents = true) const;

    // --- for the layer ---
    void DatabaseDestroyed();
    // The connection under this dataset was lost: its cursor went with it.
    // The rows read stay and nothing more is read from that cursor; once
    // the connection is back, ReadAgainAfterReconnect() opens the query
    // again when the dataset has nothing of its own to keep (no entry, no
    // cached change).
    void ConnectionLost();
    void ReadAgainAfterReconnect();
    void UndoJournal(int fromDepth = 1);   // rows applied in units of work at depth >= fromDepth
    void MergeJournal(int depth);          // a unit at `depth` succeeded: its rows go to its parent
    void CommitJournal();
    TFbCell CellAt(int row, int col) const;
    TFbCell CurrentCell(int col) const;
    TFbCell OldCell(int col) const;
    void WriteCurrentCell(TFbField *f, const TFbCell &c);
    int RowIndexOf(const TFbRow *r) const;

signals:
    void opened();
    void closed();
    // Every change of the visible rows is announced before it is made
    // (aboutToResetData, rowAboutToBeInserted, rowAboutToBeRemoved) and
    // reported once it is done (dataReset, rowInserted, rowRemoved), in
    // pairs, so that a view keeps reading the old rows until the new ones
    // are in place.
    void aboutToResetData();
    void dataReset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowsAboutToBeFetched(int first, int last);
    void rowsFetched(int first, int last);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentRowChanged(int row);
    void stateChanged(TFbQuery::TDataSetState state);
    void fieldChanged(TFbField *field);

private:
    void CheckActive() const;
    void CheckBrowseMode();
    void SetState(TDataSetState s);
    void SetCurrent(int row);
    void PrepareStatement();
    void OpenCursor(bool readFirst);
    void BindFields();
    void ClearRows();
    void DropResultFields();
    void StartNewRow();
    void ApplyRow(TFbRow *row);
    void PurgeGone();
    // Reading from the cursor: the first row (once after Open), up to `max`
    // more rows, enough to reach visible row `row`, or all of them.
    void Start();
    int ReadMore(int max);
    void ReadUpTo(int row);
    void ReadAll();
    // The same for readers that cannot throw (const accessors, signals):
    // a failing cursor is reported and its rows so far are all there is.
    void Need(int row = 0) const;
    void NeedAll() const;
    void WatchTransaction();
    void CursorDone();
    int LocalStart() const;

    QPointer<TFbDatabase> m_db;
    QPointer<TFbTransaction> m_tr;
    QStringList m_sql;
    std::unique_ptr<TFbStatement> m_stmt;
    bool m_cachedUpdates = false;
    TFbUpdateSQL *m_updateObject = nullptr;

    std::vector<TFbField *> m_fields;
    std::unique_ptr<TFbRowStore> m_store;
    std::unique_ptr<TFbChangeCache> m_changes;
    std::vector<TFbRow *> m_visible;               // rows read and new rows, not marked deleted
    bool m_started = false;                        // the first row was asked for
    bool m_cursorLost = false;                     // the connection went with the cursor
    QMetaObject::Connection m_trWatch;             // the transaction ending reads the rest
    int m_cur = -1;
    bool m_eof = true, m_bof = true;
    TDataSetState m_state = dsInactive;

    // Edit/insert in progress.
    std::unique_ptr<TFbCell[]> m_editBackup;
    bool m_editHadCur = false;
    int m_insertPrevRow = -1;
    // The new row while it is being typed: owned here (m_visible only
    // points to it) until Post hands it to m_rows.
    std::unique_ptr<TFbRow> m_newRow;

    struct ParamMap
    {
        QStringList names;                               // as prepared
        std::vector<std::pair<TFbField *, bool>> fields; // field and "OLD_" for each
    };
    ParamMap m_paramMap[3];
    const TFbUpdateSQL *m_paramMapOwner = nullptr;

    QString m_holdMessage;
    std::vector<QPointer<TFbQuery>> m_dependents;
};
