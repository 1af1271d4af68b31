#include "data/tfbupdatesql.h"
#include "data/efberror.h"
#include "data/tfbconvert.h"
#include "data/tfbdatabase.h"
#include "data/tfbrowwriter.h"
#include "data/tfbstatement.h"
#include "data/tfbtransaction.h"

TFbUpdateSQL::TFbUpdateSQL(QObject *parent) : QObject(parent)
{
}

TFbUpdateSQL::~TFbUpdateSQL() = default;

void TFbUpdateSQL::SetRowWriter(std::unique_ptr<TFbRowWriter> writer)
{
    m_writer = std::move(writer);
}

void TFbUpdateSQL::SetSQL(TUpdateKind k, const QStringList &s)
{
    m_sql[k] = s;
    m_stmt[k].reset();
    m_names[k].clear();
}

QByteArray TFbUpdateSQL::ConvertParams(const QString &sql, QStringList &names)
{
    names.clear();
    QString out;
    out.reserve(sql.size());
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
            continue;
        }
        if (c == QLatin1Char(':') && i + 1 < sql.size()
            && (sql.at(i + 1).isLetterOrNumber() || sql.at(i + 1) == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < sql.size() && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_')
                                      || sql.at(j) == QLatin1Char('$')))
                ++j;
            names << sql.mid(i + 1, j - i - 1);
            out += QLatin1Char('?');
            i = j - 1;
            continue;
        }
        out += c;
    }
    return TFbConvert::ToAnsi(out);
}

qint64 TFbUpdateSQL::Apply(TUpdateKind k, TFbDatabase *db, TFbTransaction *tr, const ParamSource &params)
{
    if (m_sql[k].isEmpty())
        throw EFbError(QStringLiteral("Empty SQL Statement"));
    if (!db)
        throw EFbError(QStringLiteral("Database not assigned"));
    if (!m_stmt[k] || m_stmt[k]->Database() != db)
        m_stmt[k] = std::make_unique<TFbStatement>(db);
    TFbStatement &st = *m_stmt[k];
    if (!st.Prepared()) {
        const QByteArray sql = ConvertParams(m_sql[k].join(QLatin1Char('\n')), m_names[k]);
        st.Prepare(tr, sql);
    }
    const QStringList &names = m_names[k];
    for (int i = 0; i < names.size() && i < int(st.Params().size()); ++i) {
        TFbCell v;
        TFbStorage storage = TFbStorage::Text;
        short scale = 0;
        if (!params(i, names.at(i), v, storage, scale))
            v = TFbCell();
        st.SetParam(i, v, storage, scale);
    }
    st.Execute(tr);
    return st.RowsAffected();
}
