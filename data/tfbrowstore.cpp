#include "data/tfbrowstore.h"
#include "data/tfbconvert.h"
#include "data/tfbstatement.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr short kSqlBoolean = 32764;
} // namespace

TFbRowStore::TFbRowStore() = default;
TFbRowStore::~TFbRowStore() = default;

void TFbRowStore::Start(const std::vector<TFbColumn> &cols, TFbStatement *cursor)
{
    Clear();
    m_cols = cols;
    m_cursor = cursor;
}

void TFbRowStore::Clear()
{
    m_rows.clear();
    m_arena.Clear();
    m_cols.clear();
    m_cursor = nullptr;
    m_fetched = 0;
}

int TFbRowStore::Fetch(int max)
{
    int n = 0;
    try {
        while (m_cursor && n < max) {
            if (!m_cursor->Fetch()) {
                m_cursor = nullptr;
                break;
            }
            auto row = std::make_unique<TFbRow>();
            row->orig = PackFetched();
            m_rows.push_back(std::move(row));
            ++m_fetched;
            ++n;
        }
    } catch (...) {
        // A cursor that failed once is not read again: the rows read stay.
        m_cursor = nullptr;
        throw;
    }
    return n;
}

const unsigned char *TFbRowStore::PackFetched()
{
    XSQLDA *out = m_cursor->Out();
    const int n = int(m_cols.size());
    const size_t nullBytes = size_t((n + 7) / 8);
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
    unsigned char *p = m_arena.Alloc(size);
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
    return p;
}

TFbRow *TFbRowStore::Add(std::unique_ptr<TFbRow> row)
{
    m_rows.push_back(std::move(row));
    return m_rows.back().get();
}

std::unique_ptr<TFbRow> TFbRowStore::TakeLast()
{
    std::unique_ptr<TFbRow> r = std::move(m_rows.back());
    m_rows.pop_back();
    return r;
}

std::unique_ptr<TFbRow> TFbRowStore::Take(const TFbRow *row)
{
    auto it = std::find_if(m_rows.begin(), m_rows.end(), [row](const auto &p) { return p.get() == row; });
    if (it == m_rows.end())
        return nullptr;
    std::unique_ptr<TFbRow> r = std::move(*it);
    m_rows.erase(it);
    return r;
}

void TFbRowStore::PurgeGone()
{
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(),
                                [](const std::unique_ptr<TFbRow> &r) {
                                    return r->gone || r->status == TFbQuery::usInsertedDeleted;
                                }),
                 m_rows.end());
}

void TFbRowStore::DecodeCell(const unsigned char *p, int col, TFbCell &out) const
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

void TFbRowStore::DecodeRow(const unsigned char *p, TFbCell *out) const
{
    for (int i = 0; i < int(m_cols.size()); ++i)
        DecodeCell(p, i, out[i]);
}

const unsigned char *TFbRowStore::EncodeRow(const TFbCell *cells)
{
    const int n = int(m_cols.size());
    const size_t nullBytes = size_t((n + 7) / 8);
    size_t size = nullBytes;
    for (int i = 0; i < n; ++i)
        if (!cells[i].null)
            size += m_cols[size_t(i)].storage == TFbStorage::Text ? 2 + size_t(cells[i].s.size()) : 8;
    unsigned char *p = m_arena.Alloc(size);
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

void TFbRowStore::EnsureCur(TFbRow *row) const
{
    if (row->cur)
        return;
    row->cur = NewCells();
    if (row->orig)
        DecodeRow(row->orig, row->cur.get());
}

TFbCell TFbRowStore::Cell(const TFbRow *row, int col) const
{
    if (!row || col < 0 || col >= int(m_cols.size()))
        return TFbCell();
    if (row->cur)
        return row->cur[size_t(col)];
    TFbCell c;
    DecodeCell(row->orig, col, c);
    return c;
}

size_t TFbRowStore::MemoryUsage() const
{
    size_t n = m_arena.Bytes() + m_rows.capacity() * sizeof(void *) + m_rows.size() * sizeof(TFbRow);
    for (const auto &r : m_rows)
        if (r->cur)
            n += m_cols.size() * sizeof(TFbCell);
    return n;
}
