#include "orders/tordersearch.h"

#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "widgets/tsearchsql.h"

#include <limits>

namespace {

void Reopen(TFbQuery *q, const QString &sql)
{
    q->Close();
    q->SetSQL(sql);
    q->Open();
}

} // namespace

std::optional<qint32> TOrderSearch::ParseNumber(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty() || text.size() > 20)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<qint32>::max())
            return std::nullopt;
    }
    if (value <= 0)
        return std::nullopt;
    return qint32(value);
}

QString TOrderSearch::TextSql(const QString &typed)
{
    const QString text = TSearchSql::PrepareText(typed);
    if (text.isEmpty())
        return QString();
    const QString like = TSearchSql::LiteralLikeLiteral(text);
    return QStringLiteral("select first %1 o.IDORDEM, o.NORDEM, c.NOME, o.DESCRICAO, o.DATACAD, o.SITUACAO,"
                          " o.IDCLIENTE from ORDEMSERV o left join CLIENTES c on c.IDCLIENTE = o.IDCLIENTE"
                          " where upper(o.DESCRICAO) like %2 or upper(o.SOLICITANTE) like %2"
                          " or upper(o.REPARO) like %2"
                          " order by o.DATACAD desc, o.IDORDEM desc")
        .arg(MaxListed)
        .arg(like);
}

std::optional<qint32> TOrderSearch::ClientOf(TFbQuery *aux, qint32 idOrdem)
{
    // The primary key's index finds it among any number of orders.
    Reopen(aux, QStringLiteral("select IDCLIENTE from ORDEMSERV where IDORDEM = %1").arg(idOrdem));
    std::optional<qint32> client;
    if (!aux->IsEmpty()) {
        TFbField *f = aux->FieldByName(QStringLiteral("IDCLIENTE"));
        client = f->IsNull() ? 0 : f->AsInteger();
    }
    aux->Close();
    return client;
}

void TOrderSearch::CheckNothingHeld(TDM *dm)
{
    // The client dataset's dependents include the order dataset.
    dm->ClientesQuery->CheckNotHeld(true, true);
    dm->OrdensQuery->CheckNotHeld(true, true);
}

QString TOrderSearch::NotFoundMessage(const QString &typed)
{
    return QStringLiteral("Não existe OS com o número %1.").arg(typed.trimmed());
}

void TOrderSearch::MakeCurrent(TDM *dm, qint32 idOrdem)
{
    CheckNothingHeld(dm);
    TFbQuery aux;
    aux.SetDatabase(dm->Database);
    aux.SetTransaction(dm->Transaction);
    const std::optional<qint32> client = ClientOf(&aux, idOrdem);
    if (!client)
        throw EFbError(NotFoundMessage(QString::number(idOrdem)));
    if (*client == 0)
        throw EFbError(QStringLiteral("A OS %1 não pertence a nenhum cliente cadastrado.").arg(idOrdem));

    TFbQuery *clients = dm->ClientesQuery;
    const QString idField = QStringLiteral("IDCLIENTE");
    // The client list as it is when its rows read so far hold the client (a
    // search on the client screen stays); otherwise the client alone, found
    // by its key. Reading the list up to the client would read every client
    // before it in the list's order, which in a large shop is most of them.
    if (!clients->Active() || !clients->Locate(idField, *client, TFbQuery::RowsRead)) {
        Reopen(clients, QStringLiteral("select * from clientes where idcliente=%1").arg(*client));
        if (clients->IsEmpty())
            throw EFbError(QStringLiteral("O cliente da OS %1 não foi encontrado.").arg(idOrdem));
    }
    TFbQuery *orders = dm->OrdensQuery;
    Reopen(orders, QStringLiteral("select * from ordemserv where idcliente=") + QString::number(*client));
    if (!orders->Locate(QStringLiteral("IDORDEM"), idOrdem))
        throw EFbError(NotFoundMessage(QString::number(idOrdem)));
}
