#pragma once
// The rows of a dataset as far as they have been read from its open
// cursor, and reading more of them. Rows are packed one after another in
// the arena (see TFbRow); the cursor is read a packet at a time, when
// someone needs a row not read yet, so that what a screen costs depends on
// what it shows and not on how many rows the result has.
//
// The store does not own the cursor (the dataset's prepared statement): it
// reads from it until it ends, fails, or StopReading() is called (the
// dataset closed it, or its transaction is ending).
#include "data/tfbquery_p.h"
#include "data/tfbtypes.h"
#include <memory>
#include <vector>

class TFbStatement;

class TFbRowStore
{
public:
    TFbRowStore();
    ~TFbRowStore();
    TFbRowStore(const TFbRowStore &) = delete;
    TFbRowStore &operator=(const TFbRowStore &) = delete;

    // Forgets every row and starts over on the columns of a result whose
    // cursor is open (nullptr: no cursor, nothing to read).
    void Start(const std::vector<TFbColumn> &cols, TFbStatement *cursor);
    void Clear();
    const std::vector<TFbColumn> &Columns() const { return m_cols; }
    size_t ColumnCount() const { return m_cols.size(); }

    // Every row of the cursor has been read (or there is no cursor).
    bool AllRead() const { return m_cursor == nullptr; }
    // Reads up to `max` rows and appends them to Rows(); returns how many
    // were read. When the cursor fails the error propagates and the store
    // reads no more (the rows read stay).
    int Fetch(int max);
    void StopReading() { m_cursor = nullptr; }
    // Rows read from the cursor since Start (local rows not counted).
    int FetchedCount() const { return m_fetched; }

    // Every row: read from the cursor, in read order, and local rows (new
    // rows posted here) after the rows read when they were added.
    std::vector<std::unique_ptr<TFbRow>> &Rows() { return m_rows; }
    const std::vector<std::unique_ptr<TFbRow>> &Rows() const { return m_rows; }
    TFbRow *Add(std::unique_ptr<TFbRow> row);
    std::unique_ptr<TFbRow> TakeLast();
    // Takes a row out of the store (a new row going back to being typed);
    // nullptr when the store does not hold it.
    std::unique_ptr<TFbRow> Take(const TFbRow *row);
    // Drops rows that are no longer rows (deleted and written, or inserted
    // and deleted before being written).
    void PurgeGone();

    // Packed row <-> cells.
    void DecodeCell(const unsigned char *p, int col, TFbCell &out) const;
    void DecodeRow(const unsigned char *p, TFbCell *out) const;
    const unsigned char *EncodeRow(const TFbCell *cells);
    // Gives the row its unpacked current values (from the packed ones).
    void EnsureCur(TFbRow *row) const;
    std::unique_ptr<TFbCell[]> NewCells() const { return std::unique_ptr<TFbCell[]>(new TFbCell[m_cols.size()]); }
    // The value of a column of the row as it is now (changed or as read).
    TFbCell Cell(const TFbRow *row, int col) const;

    size_t MemoryUsage() const;

private:
    const unsigned char *PackFetched();

    std::vector<TFbColumn> m_cols;
    TFbStatement *m_cursor = nullptr;
    TFbArena m_arena;
    std::vector<std::unique_ptr<TFbRow>> m_rows;
    int m_fetched = 0;
};
