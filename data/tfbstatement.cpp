#include "data/tfbstatement.h"
#include "data/efberror.h"
#include "data/tfbclient.h"
#include "data/tfbconvert.h"
#include "data/tfbdatabase.h"
#include "data/tfbtransaction.h"

#include <cstdlib>
#include <cstring>
#include <cstdio>

namespace {
constexpr short kSqlBoolean = 32764;
constexpr short kSqlNull = 32766;

short DataLen(const XSQLVAR &v)
{
    short t = v.sqltype & ~1;
    if (t == SQL_VARYING)
        return short(v.sqllen + 2);
    return v.sqllen;
}

TFbStorage StorageOf(short t, short scale)
{
    switch (t) {
    case SQL_SHORT: case SQL_LONG: case SQL_INT64: case kSqlBoolean:
        return TFbStorage::Int;
    case SQL_FLOAT: case SQL_DOUBLE: case SQL_D_FLOAT:
        return TFbStorage::Double;
    case SQL_TIMESTAMP: case SQL_TYPE_DATE: case SQL_TYPE_TIME:
        return TFbStorage::Timestamp;
    case SQL_BLOB: case SQL_ARRAY: case SQL_QUAD:
        return TFbStorage::Blob;
    default:
        (void)scale;
        return TFbStorage::Text;
    }
}
} // namespace

TFbStatement::TFbStatement(TFbDatabase *db) : m_db(db), m_api(&TFbClient::Instance())
{
    m_db->RegisterStatement(this);
}

TFbStatement::~TFbStatement()
{
    try {
        Unprepare();
    } catch (...) {
    }
    if (m_db)
        m_db->UnregisterStatement(this);
    std::free(m_out);
    std::free(m_in);
}

XSQLDA *TFbStatement::AllocDa(int n)
{
    if (n < 1)
        n = 1;
    auto *da = static_cast<XSQLDA *>(std::calloc(1, XSQLDA_LENGTH(n)));
    da->version = SQLDA_VERSION1;
    da->sqln = short(n);
    return da;
}

void TFbStatement::Unprepare()
{
    m_cursorOpen = false;
    if (m_handle) {
        ISC_STATUS_ARRAY st;
        // The client keeps the address of the handle given at allocation
        // (it clears it at detach): always pass the member itself.
        if (m_db && m_db->Connected())
            m_api->isc_dsql_free_statement(st, &m_handle, DSQL_drop);
        m_handle = 0;
    }
    m_cols.clear();
    m_params.clear();
}

void TFbStatement::Prepare(TFbTransaction *tr, const QByteArray &sql)
{
    Unprepare();
    if (!m_db)
        throw EFbError(QStringLiteral("Database not assigned"));
    ISC_STATUS_ARRAY st;
    m_handle = 0;
    if (m_api->isc_dsql_alloc_statement2(st, m_db->Handle(), &m_handle))
        m_api->Raise(st);
    if (!m_out)
        m_out = AllocDa(20);
    m_out->sqld = 0;
    if (m_api->isc_dsql_prepare(st, tr->Handle(), &m_handle, 0, sql.constData(),
                                static_cast<unsigned short>(m_db->SQLDialect()), m_out)) {
        ISC_STATUS_ARRAY st2;
        m_api->isc_dsql_free_statement(st2, &m_handle, DSQL_drop);
        m_handle = 0;
        m_api->Raise(st);
    }
    // Statement type.
    char item = isc_info_sql_stmt_type;
    char res[16] = {};
    if (m_api->isc_dsql_sql_info(st, &m_handle, 1, &item, sizeof res, res))
        m_api->Raise(st);
    m_type = 0;
    if (res[0] == isc_info_sql_stmt_type) {
        short l = short(m_api->isc_vax_integer(res + 1, 2));
        m_type = int(m_api->isc_vax_integer(res + 3, l));
    }
    DescribeOut();
    DescribeIn();
}

void TFbStatement::DescribeVars(XSQLDA *da, std::vector<TFbColumn> &cols, std::vector<char> &buf,
                                std::vector<short> &nulls, bool input)
{
    const int n = da->sqld;
    cols.assign(size_t(n), TFbColumn());
    nulls.assign(size_t(n), 0);
    size_t total = 0;
    for (int i = 0; i < n; ++i) {
        XSQLVAR &v = da->sqlvar[i];
        TFbColumn &c = cols[size_t(i)];
        c.name = QString::fromUtf8(v.aliasname, v.aliasname_length);
        c.relation = QString::fromUtf8(v.relname, v.relname_length);
        c.sqlName = QString::fromUtf8(v.sqlname, v.sqlname_length);
        c.sqlType = short(v.sqltype & ~1);
        c.nullable = (v.sqltype & 1) != 0;
        c.subType = v.sqlsubtype;
        c.scale = v.sqlscale;
        c.length = v.sqllen;
        c.storage = StorageOf(c.sqlType, c.scale);
        if (!input)
            total += (size_t(DataLen(v)) + 7) & ~size_t(7);
    }
    if (input)
        return;
    buf.assign(total + 8, 0);
    size_t off = 0;
    for (int i = 0; i < n; ++i) {
        XSQLVAR &v = da->sqlvar[i];
        if ((v.sqltype & ~1) == kSqlNull)
            v.sqltype = SQL_TEXT | 1, v.sqllen = 1;
        v.sqldata = buf.data() + off;
        v.sqlind = &nulls[size_t(i)];
        v.sqltype |= 1;   // always give a null indicator
        off += (size_t(DataLen(v)) + 7) & ~size_t(7);
    }
}

void TFbStatement::DescribeOut()
{
    ISC_STATUS_ARRAY st;
    if (m_out->sqld > m_out->sqln) {
        int n = m_out->sqld;
        std::free(m_out);
        m_out = AllocDa(n);
        if (m_api->isc_dsql_describe(st, &m_handle, 1, m_out))
            m_api->Raise(st);
    }
    DescribeVars(m_out, m_cols, m_outBuf, m_outNull, false);
}

void TFbStatement::DescribeIn()
{
    ISC_STATUS_ARRAY st;
    if (!m_in)
        m_in = AllocDa(20);
    if (m_api->isc_dsql_describe_bind(st, &m_handle, 1, m_in))
        m_api->Raise(st);
    if (m_in->sqld > m_in->sqln) {
        int n = m_in->sqld;
        std::free(m_in);
        m_in = AllocDa(n);
        if (m_api->isc_dsql_describe_bind(st, &m_handle, 1, m_in))
            m_api->Raise(st);
    }
    std::vector<char> dummy;
    DescribeVars(m_in, m_params, dummy, m_inNull, true);
    m_inText.assign(size_t(m_in->sqld), QByteArray());
    m_inVal.assign(size_t(m_in->sqld), 0);
    for (int i = 0; i < m_in->sqld; ++i) {
        XSQLVAR &v = m_in->sqlvar[i];
        v.sqlind = &m_inNull[size_t(i)];
        m_inNull[size_t(i)] = -1;
        v.sqltype = SQL_TEXT | 1;
        v.sqllen = 0;
        v.sqldata = reinterpret_cast<char *>(&m_inVal[size_t(i)]);
    }
}

void TFbStatement::SetParam(int index, const TFbCell &value, TFbStorage storage, short scale)
{
    XSQLVAR &v = m_in->sqlvar[index];
    auto &slot = m_inVal[size_t(index)];
    v.sqldata = reinterpret_cast<char *>(&slot);
    v.sqlscale = 0;
    if (value.null) {
        m_inNull[size_t(index)] = -1;
        v.sqltype = SQL_TEXT | 1;
        v.sqllen = 0;
        return;
    }
    m_inNull[size_t(index)] = 0;
    switch (storage) {
    case TFbStorage::Int:
        if (scale == 0 && value.i >= INT32_MIN && value.i <= INT32_MAX) {
            ISC_LONG l = ISC_LONG(value.i);
            std::memcpy(&slot, &l, sizeof l);
            v.sqltype = SQL_LONG | 1;
            v.sqllen = sizeof(ISC_LONG);
        } else {
            std::memcpy(&slot, &value.i, 8);
            v.sqltype = SQL_INT64 | 1;
            v.sqllen = 8;
            v.sqlscale = scale;
        }
        break;
    case TFbStorage::Double:
        std::memcpy(&slot, &value.d, 8);
        v.sqltype = SQL_DOUBLE | 1;
        v.sqllen = 8;
        break;
    case TFbStorage::Timestamp: {
        ISC_TIMESTAMP ts;
        int d;
        unsigned t;
        TFbConvert::UnpackTimestamp(value.i, d, t);
        ts.timestamp_date = d;
        ts.timestamp_time = t;
        std::memcpy(&slot, &ts, 8);
        v.sqltype = SQL_TIMESTAMP | 1;
        v.sqllen = 8;
        break;
    }
    case TFbStorage::Blob:
        std::memcpy(&slot, &value.i, 8);
        v.sqltype = SQL_BLOB | 1;
        v.sqllen = 8;
        break;
    case TFbStorage::Text:
        m_inText[size_t(index)] = value.s;
        v.sqldata = const_cast<char *>(m_inText[size_t(index)].constData());
        v.sqltype = SQL_TEXT | 1;
        v.sqllen = short(value.s.size());
        break;
    }
}

void TFbStatement::Execute(TFbTransaction *tr)
{
    ISC_STATUS_ARRAY st;
    if (m_cursorOpen)
        CloseCursor();
    XSQLDA *in = (m_in && m_in->sqld > 0) ? m_in : nullptr;
    if (m_type == isc_info_sql_stmt_exec_procedure && m_out->sqld > 0) {
        if (m_api->isc_dsql_execute2(st, tr->Handle(), &m_handle, 1, in, m_out))
            m_api->Raise(st);
        return;
    }
    if (m_api->isc_dsql_execute(st, tr->Handle(), &m_handle, 1, in))
        m_api->Raise(st);
    m_cursorOpen = (m_type == isc_info_sql_stmt_select || m_type == isc_info_sql_stmt_select_for_upd)
                   && m_out->sqld > 0;
}

bool TFbStatement::Fetch()
{
    if (!m_cursorOpen)
        return false;
    ISC_STATUS_ARRAY st;
    ISC_STATUS r = m_api->isc_dsql_fetch(st, &m_handle, 1, m_out);
    if (r == 100) {
        CloseCursor();
        return false;
    }
    if (r)
        m_api->Raise(st);
    return true;
}

void TFbStatement::CloseCursor()
{
    if (!m_cursorOpen)
        return;
    m_cursorOpen = false;
    ISC_STATUS_ARRAY st;
    if (m_db && m_db->Connected() && m_api->isc_dsql_free_statement(st, &m_handle, DSQL_close))
        m_api->Raise(st);
}

qint64 TFbStatement::RowsAffected()
{
    ISC_STATUS_ARRAY st;
    char item = isc_info_sql_records;
    char res[64] = {};
    if (m_api->isc_dsql_sql_info(st, &m_handle, 1, &item, sizeof res, res))
        m_api->Raise(st);
    if (res[0] != isc_info_sql_records)
        return -1;
    int want = 0;
    switch (m_type) {
    case isc_info_sql_stmt_update: want = isc_info_req_update_count; break;
    case isc_info_sql_stmt_insert: want = isc_info_req_insert_count; break;
    case isc_info_sql_stmt_delete: want = isc_info_req_delete_count; break;
    case isc_info_sql_stmt_select: want = isc_info_req_select_count; break;
    default: want = isc_info_req_update_count; break;
    }
    const char *p = res + 3;
    const char *end = res + sizeof res;
    while (p < end && *p != isc_info_end) {
        int code = static_cast<unsigned char>(*p++);
        short l = short(m_api->isc_vax_integer(p, 2));
        p += 2;
        qint64 val = m_api->isc_vax_integer(p, l);
        p += l;
        if (code == want)
            return val;
    }
    return 0;
}

void TFbStatement::ReadCell(const XSQLVAR &v, const TFbColumn &c, TFbCell &out)
{
    out.null = v.sqlind && *v.sqlind < 0;
    out.i = 0;
    out.d = 0;
    out.s.clear();
    if (out.null)
        return;
    const char *p = v.sqldata;
    switch (c.sqlType) {
    case SQL_SHORT: { short x; std::memcpy(&x, p, 2); out.i = x; break; }
    case SQL_LONG: { ISC_LONG x; std::memcpy(&x, p, 4); out.i = x; break; }
    case SQL_INT64: { qint64 x; std::memcpy(&x, p, 8); out.i = x; break; }
    case kSqlBoolean: out.i = *p ? 1 : 0; break;
    case SQL_FLOAT: { float x; std::memcpy(&x, p, 4); out.d = x; break; }
    case SQL_DOUBLE: case SQL_D_FLOAT: std::memcpy(&out.d, p, 8); break;
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, p, 8);
        out.i = qint64(ts.timestamp_date) * 864000000LL + ts.timestamp_time;
        break;
    }
    case SQL_TYPE_DATE: { ISC_DATE d; std::memcpy(&d, p, 4); out.i = qint64(d) * 864000000LL; break; }
    case SQL_TYPE_TIME: { ISC_TIME t; std::memcpy(&t, p, 4); out.i = t; break; }
    case SQL_BLOB: case SQL_ARRAY: case SQL_QUAD: std::memcpy(&out.i, p, 8); break;
    case SQL_VARYING: {
        unsigned short l;
        std::memcpy(&l, p, 2);
        out.s = QByteArray(p + 2, l);
        break;
    }
    default:
        out.s = QByteArray(p, v.sqllen);
        break;
    }
}
