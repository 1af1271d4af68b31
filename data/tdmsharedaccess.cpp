#include "data/tdmsharedaccess.h"
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbconflictmessage.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbrowwriter.h"
#include "data/tfbtransaction.h"

#include <QStringList>

std::unique_ptr<TFbRowWriter> TDmSharedAccess::RowWriter(const TDmTable &t)
{
    const QString table = QLatin1String(t.table);
    if (table != QLatin1String("CLIENTES") && table != QLatin1String("ORDEMSERV")
        && table != QLatin1String("FORNECEDORES") && table != QLatin1String("PRODFORNE"))
        return nullptr;
    auto writer = std::make_unique<TFbRowWriter>(table, QLatin1String(t.key));
    // The quantity is checked under a lock by the product screen and by
    // every stock movement, against the movements made elsewhere.
    if (table == QLatin1String("PRODFORNE"))
        writer->SetUnchecked({QStringLiteral("QTDEDISP")});
    return writer;
}

void TDmSharedAccess::ApplyOrder(TDM &dm)
{
    TFbQuery *orders = dm.OrdensQuery;
    const bool isNew = orders->State() == TFbQuery::dsInsert
                       || (orders->State() == TFbQuery::dsBrowse && orders->UpdateStatus() == TFbQuery::usInserted);
    if (!isNew || dm.OrdensQueryIDCLIENTE->IsNull()) {
        orders->ApplyChanges();
        return;
    }
    const qint32 client = dm.OrdensQueryIDCLIENTE->AsInteger();
    // The client's row is locked until the order is committed: a delete of
    // the client on another computer waits for it and then fails, and a
    // client deleted before is not found. A refused order leaves no lock.
    dm.RunUnitOfWork([&] {
        bool found = false;
        TFbQuery lock;
        lock.SetDatabase(dm.Database);
        lock.SetTransaction(dm.Transaction);
        lock.SetSQL(QStringLiteral("select IDCLIENTE from CLIENTES where IDCLIENTE = %1 with lock").arg(client));
        try {
            lock.Open();
            found = !lock.IsEmpty();
            lock.Close();
        } catch (const EFbError &e) {
            // Being deleted on another computer at this very moment. A wait
            // that ran out says only that the client is held (being edited
            // there, say): that error goes on as it is.
            if (!TFbConflictMessage::IsConflict(e.GdsCode()) || TFbConflictMessage::IsLockTimeout(e.GdsCode()))
                throw;
        }
        if (!found)
            throw EFbError(OrderClientGoneMessage());
        orders->ApplyChanges();
    });
}

void TDmSharedAccess::DeleteClientOrders(TDM &dm, qint32 client)
{
    // The client's row is locked first: an order being saved for it on
    // another computer (which locks the same row) either ends before and
    // makes this delete fail, or waits and is refused - never an order left
    // behind for a client that is gone.
    TFbQuery lock;
    lock.SetDatabase(dm.Database);
    lock.SetTransaction(dm.Transaction);
    lock.SetSQL(QStringLiteral("select idcliente from clientes where idcliente=%1 with lock").arg(client));
    lock.Open();
    lock.Close();
    // Every service order of the client goes with it, straight in the
    // database; the order dataset is left closed on the delete statement.
    TFbQuery *orders = dm.OrdensQuery;
    orders->Close();
    orders->SetSQL(QStringLiteral("delete from ordemserv where idcliente=") + QString::number(client));
    orders->Execute();
}

QString TDmSharedAccess::OrderClientGoneMessage()
{
    return QStringLiteral("O cliente desta OS foi excluído em outro computador. A OS não foi gravada: "
                          "o que você digitou continua na tela; cancele e registre a OS para outro cliente.");
}

void TDmSharedAccess::CheckTables(TFbDatabase &db)
{
    QStringList wanted;
    for (const TDmTable &t : TDmSchema::Tables())
        wanted << QLatin1String(t.table);
    QStringList found;
    TFbTransaction::RunAlone(&db, [&](TFbQuery &q) {
        q.SetSQL(QStringLiteral("select rdb$relation_name as nome from rdb$relations where rdb$relation_name in ('%1')")
                     .arg(wanted.join(QStringLiteral("', '"))));
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            found << q.Fields().front()->AsString().trimmed().toUpper();
    });
    QStringList missing;
    for (const QString &t : wanted)
        if (!found.contains(t))
            missing << t;
    if (missing.isEmpty())
        return;
    throw EFbError(QStringLiteral("O arquivo \"%1\" não é um banco de dados deste sistema: faltam as tabelas %2. "
                                  "Nada foi criado nem alterado nele. Verifique o caminho do banco de dados "
                                  "(opção --database ou a configuração).")
                       .arg(db.DatabaseName(), missing.join(QStringLiteral(", "))));
}

