#include "data/tfbchangecache.h"
#include "data/tfbrowstore.h"

#include <algorithm>

TFbChangeCache::TFbChangeCache(TFbRowStore &store) : m_store(store)
{
}

TFbChangeCache::~TFbChangeCache() = default;

bool TFbChangeCache::Waiting(const TFbRow *r)
{
    return !r->gone
           && (r->status == TFbQuery::usModified || r->status == TFbQuery::usInserted
               || r->status == TFbQuery::usDeleted);
}

bool TFbChangeCache::Pending() const
{
    for (const auto &r : m_store.Rows())
        if (Waiting(r.get()))
            return true;
    return false;
}

void TFbChangeCache::Edited(TFbRow *r)
{
    if (r->status == TFbQuery::usUnmodified)
        r->status = TFbQuery::usModified;
}

TFbQuery::TUpdateStatus TFbChangeCache::Deleted(TFbRow *r)
{
    const TFbQuery::TUpdateStatus was = r->status;
    r->status = was == TFbQuery::usInserted ? TFbQuery::usInsertedDeleted : TFbQuery::usDeleted;
    return was;
}

void TFbChangeCache::WriteAll(const std::function<void(TFbRow *)> &write, bool &wrote)
{
    wrote = false;
    auto &rows = m_store.Rows();
    // Indexed: rows are never added during the walk, but a vector may move.
    for (size_t i = 0; i < rows.size(); ++i) {
        TFbRow *r = rows[i].get();
        if (Waiting(r)) {
            write(r);
            wrote = true;
        }
    }
}

void TFbChangeCache::Written(TFbRow *r, int depth)
{
    if (depth > 0) {
        Entry e{r, r->status, r->orig, nullptr, r->gone, depth};
        if (r->cur) {
            e.cur = m_store.NewCells();
            std::copy(r->cur.get(), r->cur.get() + m_store.ColumnCount(), e.cur.get());
        }
        m_journal.push_back(std::move(e));
    }
    if (r->status == TFbQuery::usDeleted) {
        r->gone = true;
    } else {
        r->orig = m_store.EncodeRow(r->cur.get());
        r->cur.reset();
        r->status = TFbQuery::usUnmodified;
    }
}

void TFbChangeCache::CancelAll()
{
    for (auto &r : m_store.Rows()) {
        if (r->gone)
            continue;
        if (r->status == TFbQuery::usInserted || r->status == TFbQuery::usInsertedDeleted) {
            r->gone = true;
        } else {
            r->cur.reset();
            r->status = TFbQuery::usUnmodified;
        }
    }
    PurgeGone();
}

void TFbChangeCache::Undo(int fromDepth)
{
    while (!m_journal.empty() && m_journal.back().depth >= fromDepth) {
        Entry &e = m_journal.back();
        TFbRow *r = e.row;
        r->status = e.status;
        r->orig = e.orig;
        r->cur = std::move(e.cur);
        r->gone = e.gone;
        m_journal.pop_back();
    }
}

void TFbChangeCache::Merge(int depth)
{
    for (Entry &e : m_journal)
        if (e.depth >= depth)
            e.depth = depth - 1;
}

void TFbChangeCache::Commit()
{
    m_journal.clear();
    PurgeGone();
}

void TFbChangeCache::PurgeGone()
{
    if (!m_journal.empty())
        return;   // a unit of work may still need them
    m_store.PurgeGone();
}
