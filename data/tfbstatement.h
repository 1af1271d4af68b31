#pragma once
// One prepared DSQL statement on an attachment: the layer's only contact
// with XSQLDA buffers. Used by queries, update statement sets, savepoints
// and the schema builder.
#include "data/tfbtypes.h"
#include <ibase.h>
#include <QByteArray>
#include <QList>
#include <vector>

class TFbDatabase;
class TFbTransaction;
class TFbClient;

class TFbStatement
{
public:
    explicit TFbStatement(TFbDatabase *db);
    ~TFbStatement();
    TFbStatement(const TFbStatement &) = delete;
    TFbStatement &operator=(const TFbStatement &) = delete;

    TFbDatabase *Database() const { return m_db; }
    // The connection is being destroyed: forget it and the handle.
    void DatabaseDestroyed() { m_handle = 0; m_cursorOpen = false; m_db = nullptr; }
    // Prepares in the connection's dialect. The text goes to the server
    // unchanged (Windows-1252 bytes).
    void Prepare(TFbTransaction *tr, const QByteArray &sql);
    bool Prepared() const { return m_handle != 0; }
    // Frees the statement handle (also called by the connection before it
    // detaches).
    void Unprepare();
    int StatementType() const { return m_type; }

    const std::vector<TFbColumn> &Columns() const { return m_cols; }
    const std::vector<TFbColumn> &Params() const { return m_params; }
    void SetParam(int index, const TFbCell &value, TFbStorage storage, short scale = 0);

    // Executes; a select opens its cursor, read it with Fetch().
    void Execute(TFbTransaction *tr);
    bool Fetch();
    void CloseCursor();
    bool CursorOpen() const { return m_cursorOpen; }
    // The statement's own kind of row count (update, insert or delete).
    qint64 RowsAffected();

    // Values of the fetched row.
    XSQLDA *Out() const { return m_out; }
    static void ReadCell(const XSQLVAR &v, const TFbColumn &c, TFbCell &out);

private:
    static XSQLDA *AllocDa(int n);
    void DescribeOut();
    void DescribeIn();
    static void DescribeVars(XSQLDA *da, std::vector<TFbColumn> &cols, std::vector<char> &buf,
                             std::vector<short> &nulls, bool input);

    TFbDatabase *m_db;
    const TFbClient *m_api;
    isc_stmt_handle m_handle = 0;
    int m_type = 0;
    bool m_cursorOpen = false;
    XSQLDA *m_out = nullptr;
    XSQLDA *m_in = nullptr;
    std::vector<TFbColumn> m_cols, m_params;
    std::vector<char> m_outBuf;
    std::vector<short> m_outNull, m_inNull;
    std::vector<QByteArray> m_inText;     // keeps parameter text alive
    std::vector<qint64> m_inVal;          // numeric parameter values
};
