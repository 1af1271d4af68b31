#include "data/tfbreconnect.h"
#include "data/efberror.h"
#include "data/tfbclient.h"
#include "data/tfbdatabase.h"
#include "data/tfbtransaction.h"

#include <QDebug>

QPointer<TFbDatabase> TFbReconnect::s_lost;

bool TFbReconnect::IsConnectionLost(long gdsCode)
{
    switch (gdsCode) {
    case 335544721:   // unable to complete network request
    case 335544726:   // error reading data from the connection
    case 335544727:   // error writing data to the connection
    case 335544741:   // connection lost to database
    case 335544528:   // database shutdown
    case 335544856:   // connection shutdown
    case 335544648:   // connection lost to pipe server
        return true;
    default:
        return false;
    }
}

bool TFbReconnect::IsConnectionLost(std::exception_ptr error)
{
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const EFbError &e) {
        return IsConnectionLost(e.GdsCode());
    } catch (...) {
    }
    return false;
}

QString TFbReconnect::LostMessage(const QString &engineText)
{
    return QStringLiteral("A conexão com o banco de dados foi perdida (o servidor foi desligado ou a rede "
                          "caiu). Nada se perdeu do que você digitou: continua na tela. Quando o servidor "
                          "voltar, repita a operação - o sistema se reconecta sozinho.\n\nDetalhe técnico: ")
           + engineText;
}

QString TFbReconnect::StillLostMessage(const QString &engineText)
{
    return QStringLiteral("O servidor do banco de dados ainda não responde. O que você digitou continua na "
                          "tela: verifique o servidor e a rede e tente de novo.\n\nDetalhe técnico: ")
           + engineText;
}

void TFbReconnect::Forget(TFbDatabase &db)
{
    const TFbClient &api = db.Api();
    ISC_STATUS_ARRAY st;
    if (TFbTransaction *tr = db.DefaultTransaction(); tr && tr->InTransaction()) {
        api.isc_rollback_transaction(st, tr->Handle());
        *tr->Handle() = 0;
    }
    if (db.Connected()) {
        // The client releases the attachment's statements with it, also
        // when the server is no longer there to answer.
        api.isc_detach_database(st, db.Handle());
        *db.Handle() = 0;
    }
}

void TFbReconnect::NoteLost(TFbDatabase &db)
{
    Forget(db);
    db.ConnectionLost();
    s_lost = &db;
}

bool TFbReconnect::ReconnectIfLost(QString *failure)
{
    if (s_lost.isNull())
        return true;
    try {
        s_lost->Open();
        // The session's transaction runs again at once: a save may come
        // before any dataset is read again, and the statements of a save
        // do not start one themselves.
        if (TFbTransaction *tr = s_lost->DefaultTransaction(); tr && !tr->InTransaction())
            tr->StartTransaction();
    } catch (const std::exception &e) {
        if (failure)
            *failure = QString::fromUtf8(e.what());
        return false;
    }
    qInfo("Conexão com o banco de dados restabelecida (%s)", qPrintable(s_lost->DatabaseName()));
    TFbDatabase *db = s_lost.data();
    s_lost.clear();
    try {
        db->ReadAgainAfterReconnect();
    } catch (const std::exception &e) {
        // The connection is back; a list not read again shows what it had.
        qWarning("Uma lista não pôde ser lida de novo após a reconexão: %s", e.what());
    }
    return true;
}
