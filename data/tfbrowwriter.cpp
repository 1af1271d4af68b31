#include "data/tfbrowwriter.h"
#include "data/efberror.h"
#include "data/tfbconflictmessage.h"
#include "data/tfbconvert.h"
#include "data/tfbdatabase.h"
#include "data/tfbstatement.h"
#include "data/tfbtransaction.h"

#include <cmath>

namespace {

// Few shapes of a save exist (the columns one screen changes); more than
// this means something writes column sets at random: start over.
constexpr size_t MaxStatements = 64;

QString CellText(const TFbRowWriter::TFbRowValue &column, const TFbCell &c)
{
    if (c.null)
        return QStringLiteral("(vazio)");
    switch (column.storage) {
    case TFbStorage::Int:
        if (column.scale == 0)
            return QString::number(c.i);
        return TFbConvert::FloatText(double(c.i) * std::pow(10.0, column.scale));
    case TFbStorage::Double:
        return TFbConvert::FloatText(c.d);
    case TFbStorage::Timestamp:
        return TFbConvert::DateTimeText(TFbConvert::ToDateTime(c.i));
    case TFbStorage::Text: {
        const QString t = TFbConvert::FromAnsi(c.s);
        return t.isEmpty() ? QStringLiteral("(vazio)") : QStringLiteral("\"%1\"").arg(t);
    }
    case TFbStorage::Blob:
        break;
    }
    return QString();
}

// A text column compares with trailing blanks ignored, as the engine does.
bool SameCell(const TFbCell &a, const TFbCell &b, TFbStorage storage)
{
    if (a.null || b.null)
        return a.null == b.null;
    switch (storage) {
    case TFbStorage::Double:
        return a.d == b.d;
    case TFbStorage::Text: {
        QByteArray x = a.s, y = b.s;
        while (x.endsWith(' '))
            x.chop(1);
        while (y.endsWith(' '))
            y.chop(1);
        return x == y;
    }
    default:
        return a.i == b.i;
    }
}

} // namespace

TFbRowWriter::TFbRowWriter(const QString &table, const QString &key) : m_table(table), m_key(key)
{
}

TFbRowWriter::~TFbRowWriter() = default;

const TFbRowWriter::TFbRowValue *TFbRowWriter::KeyOf(const TFbRowValues &row) const
{
    for (const TFbRowValue &v : row)
        if (v.name.compare(m_key, Qt::CaseInsensitive) == 0)
            return &v;
    return nullptr;
}

TFbStatement &TFbRowWriter::Prepared(TFbDatabase *db, TFbTransaction *tr, const QString &sql)
{
    auto it = m_statements.find(sql);
    if (it != m_statements.end() && it->second->Database() != db) {
        m_statements.erase(it);
        it = m_statements.end();
    }
    if (it == m_statements.end()) {
        if (m_statements.size() >= MaxStatements)
            m_statements.clear();
        it = m_statements.emplace(sql, std::make_unique<TFbStatement>(db)).first;
    }
    TFbStatement &st = *it->second;
    // The connection unprepares its statements when it closes.
    if (!st.Prepared())
        st.Prepare(tr, TFbConvert::ToAnsi(sql));
    return st;
}

qint64 TFbRowWriter::Apply(TFbUpdateSQL::TUpdateKind kind, TFbDatabase *db, TFbTransaction *tr,
                           const TFbRowValues &row, const std::function<qint64()> &statement)
{
    if (!db)
        throw EFbError(QStringLiteral("Database not assigned"));
    if (kind == TFbUpdateSQL::ukModify)
        return Modify(db, tr, row);
    const qint64 n = statement();
    // Another computer deleted the row first: said in the clerk's words
    // (it used to be "Update Failed").
    if (kind == TFbUpdateSQL::ukDelete && n == 0)
        throw EFbError(DeletedBeforeMessage());
    return n;
}

QString TFbRowWriter::ModifyText(const TFbRowValues &row, std::vector<TFbCell> *params,
                                 std::vector<const TFbRowValue *> *paramColumns) const
{
    const TFbRowValue *key = KeyOf(row);
    if (!key)
        throw EFbError(QStringLiteral("Field '%1' not found").arg(m_key));
    QStringList sets, checks;
    std::vector<TFbCell> setParams, checkParams;
    std::vector<const TFbRowValue *> setColumns, checkColumns;
    for (const TFbRowValue &v : row) {
        if (v.storage == TFbStorage::Blob || v.old == v.now)
            continue;
        sets << QStringLiteral("%1 = ?").arg(v.name);
        setParams.push_back(v.now);
        setColumns.push_back(&v);
        if (m_unchecked.contains(v.name, Qt::CaseInsensitive))
            continue;
        // Still as read, or already what this computer writes (both
        // computers made the same change): either way nothing is undone.
        checks << QStringLiteral("(%1 is not distinct from ? or %1 is not distinct from ?)").arg(v.name);
        checkParams.push_back(v.old);
        checkParams.push_back(v.now);
        checkColumns.push_back(&v);
        checkColumns.push_back(&v);
    }
    if (sets.isEmpty())
        return QString();
    QString sql = QStringLiteral("update %1 set %2 where %3 = ?").arg(m_table, sets.join(QStringLiteral(", ")), m_key);
    if (!checks.isEmpty())
        sql += QStringLiteral(" and ") + checks.join(QStringLiteral(" and "));
    if (params) {
        *params = setParams;
        params->push_back(key->old.null ? key->now : key->old);
        params->insert(params->end(), checkParams.begin(), checkParams.end());
    }
    if (paramColumns) {
        *paramColumns = setColumns;
        paramColumns->push_back(key);
        paramColumns->insert(paramColumns->end(), checkColumns.begin(), checkColumns.end());
    }
    return sql;
}

qint64 TFbRowWriter::Modify(TFbDatabase *db, TFbTransaction *tr, const TFbRowValues &row)
{
    std::vector<TFbCell> params;
    std::vector<const TFbRowValue *> columns;
    const QString sql = ModifyText(row, &params, &columns);
    if (sql.isEmpty())
        return 1;   // nothing of the row was changed: nothing to write
    tr->StartIfNeeded();
    TFbStatement &st = Prepared(db, tr, sql);
    for (size_t i = 0; i < params.size() && i < st.Params().size(); ++i)
        st.SetParam(int(i), params[i], columns[i]->storage, columns[i]->scale);
    try {
        st.Execute(tr);
    } catch (const EFbError &e) {
        if (TFbConflictMessage::IsConflict(e.GdsCode()))
            throw EFbError(QStringLiteral("Este registro está sendo alterado em outro computador neste "
                                          "momento. Nada foi gravado: o que você digitou continua na tela; "
                                          "grave de novo em instantes."),
                           e.SqlCode(), e.GdsCode());
        throw;
    }
    const qint64 n = st.RowsAffected();
    if (n == 0)
        ExplainRefusal(db, tr, row);
    return n;
}

void TFbRowWriter::ExplainRefusal(TFbDatabase *db, TFbTransaction *tr, const TFbRowValues &row)
{
    const TFbRowValue *key = KeyOf(row);
    std::vector<const TFbRowValue *> changed;
    QStringList names;
    for (const TFbRowValue &v : row) {
        if (v.storage != TFbStorage::Blob && !(v.old == v.now)) {
            changed.push_back(&v);
            names << v.name;
        }
    }
    const QString sql = QStringLiteral("select %1 from %2 where %3 = ?")
                            .arg(names.join(QStringLiteral(", ")), m_table, m_key);
    TFbStatement &st = Prepared(db, tr, sql);
    st.SetParam(0, key->old.null ? key->now : key->old, key->storage, key->scale);
    st.Execute(tr);
    if (!st.Fetch())
        throw EFbError(DeletedElsewhereMessage());
    QStringList conflicts;
    for (size_t i = 0; i < changed.size() && i < st.Columns().size(); ++i) {
        TFbCell stored;
        TFbStatement::ReadCell(st.Out()->sqlvar[i], st.Columns()[i], stored);
        const TFbRowValue &v = *changed[i];
        if (!SameCell(stored, v.old, v.storage) && !SameCell(stored, v.now, v.storage))
            conflicts << QStringLiteral("%1: %2").arg(v.name, CellText(v, stored));
    }
    st.CloseCursor();
    throw EFbError(ChangedElsewhereMessage(conflicts));
}

QString TFbRowWriter::ChangedElsewhereMessage(const QStringList &columnsAndValues)
{
    QString text = QStringLiteral("Este registro foi alterado em outro computador depois que você o abriu. "
                                  "Nada foi gravado, para não desfazer o que foi gravado lá.");
    if (!columnsAndValues.isEmpty())
        text += QStringLiteral("\n\nGravado agora:\n  ") + columnsAndValues.join(QStringLiteral("\n  "));
    text += QStringLiteral("\n\nO que você digitou continua na tela: anote o que quiser manter, "
                           "cancele e abra o registro de novo.");
    return text;
}

QString TFbRowWriter::DeletedBeforeMessage()
{
    return QStringLiteral("Este registro já tinha sido excluído em outro computador. "
                          "Pesquise de novo para ver a lista como está agora.");
}

QString TFbRowWriter::GoneBeforeEditMessage()
{
    return QStringLiteral("Este registro foi excluído em outro computador e não pode mais ser alterado. "
                          "Pesquise de novo para ver a lista como está agora.");
}

QString TFbRowWriter::DeletedElsewhereMessage()
{
    return QStringLiteral("Este registro foi excluído em outro computador depois que você o abriu. "
                          "Nada foi gravado. O que você digitou continua na tela: anote o que quiser "
                          "manter e cancele.");
}
