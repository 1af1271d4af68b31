#pragma once
// Row memory of TFbQuery: rows as read are packed one after another in large
// chunks (null bits, then 8 bytes per number or date, 2-byte length plus
// bytes per text); a row being changed carries its current values unpacked.
#include "data/tfbquery.h"
#include "data/tfbtypes.h"
#include <cstring>
#include <memory>
#include <vector>

class TFbArena
{
public:
    unsigned char *Alloc(size_t n)
    {
        if (m_chunks.empty() || m_used + n > m_size) {
            m_size = std::max<size_t>(kChunk, n);
            m_chunks.emplace_back(new unsigned char[m_size]);
            m_used = 0;
        }
        unsigned char *p = m_chunks.back().get() + m_used;
        m_used += n;
        return p;
    }
    void Clear()
    {
        m_chunks.clear();
        m_used = m_size = 0;
    }
    size_t Bytes() const { return m_chunks.size() * kChunk; }

private:
    static constexpr size_t kChunk = 1 << 20;
    std::vector<std::unique_ptr<unsigned char[]>> m_chunks;
    size_t m_used = 0, m_size = 0;
};

struct TFbRow
{
    const unsigned char *orig = nullptr;     // as read or last applied; nullptr: a new row
    std::unique_ptr<TFbCell[]> cur;          // current values while changed
    TFbQuery::TUpdateStatus status = TFbQuery::usUnmodified;
    bool gone = false;                       // deleted and applied: no longer a row
    bool local = false;                      // started here (Append), not read from the cursor
};
