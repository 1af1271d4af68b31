#pragma once
// The change cache of a dataset: which rows are changed, new or deleted
// and not yet written, writing them in order, and - inside units of work -
// the journal that puts back the rows a failed unit had written.
//
// It works on the rows of a TFbRowStore; writing one row is the dataset's
// business (its update statements), passed in as a function.
#include "data/tfbquery.h"
#include <functional>
#include <memory>
#include <vector>

class TFbRowStore;
struct TFbRow;
struct TFbCell;

class TFbChangeCache
{
public:
    explicit TFbChangeCache(TFbRowStore &store);
    ~TFbChangeCache();
    TFbChangeCache(const TFbChangeCache &) = delete;
    TFbChangeCache &operator=(const TFbChangeCache &) = delete;

    // A row that still has to be written.
    static bool Waiting(const TFbRow *r);
    bool Pending() const;

    // An edit was posted on the row.
    void Edited(TFbRow *r);
    // The row is deleted; returns the status it had (for an undo).
    TFbQuery::TUpdateStatus Deleted(TFbRow *r);

    // Writes every waiting row in order with `write` (which throws when it
    // cannot); `wrote` tells whether any row was written, also when a
    // later one failed.
    void WriteAll(const std::function<void(TFbRow *)> &write, bool &wrote);
    // The row was written: it is now as written (a deleted one is gone).
    // In a unit of work (depth > 0) the state before is kept in the
    // journal until the unit ends.
    void Written(TFbRow *r, int depth);

    // Back to the rows as read: new rows are gone, the others lose their
    // changes.
    void CancelAll();

    // Units of work: undo the rows written at depth >= fromDepth; a unit at
    // `depth` succeeded (its rows go to its parent); the outermost unit
    // succeeded (the journal is dropped).
    void Undo(int fromDepth);
    void Merge(int depth);
    void Commit();
    bool Journaled() const { return !m_journal.empty(); }

    // Rows that are no longer rows leave the store, unless a unit of work
    // may still need them.
    void PurgeGone();
    void Clear() { m_journal.clear(); }

private:
    struct Entry
    {
        TFbRow *row;
        TFbQuery::TUpdateStatus status;
        const unsigned char *orig;
        std::unique_ptr<TFbCell[]> cur;
        bool gone;
        int depth;   // of the unit of work that wrote the row
    };
    TFbRowStore &m_store;
    std::vector<Entry> m_journal;
};
