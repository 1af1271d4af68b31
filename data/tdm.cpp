#include "data/tdm.h"
#include "data/efberror.h"
#include "data/tdmschema.h"
#include "data/tfbconvert.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tdmsharedaccess.h"
#include "data/tfbrowwriter.h"
#include "data/tfbtransaction.h"
#include "data/tfbupdatesql.h"

#include <QDate>
#include <cstring>

TDM *DM = nullptr;

namespace {
struct FieldMember
{
    const char *name;
    TFbField *TDM::*member;
};

const FieldMember kFieldMembers[] = {
        {"ClientesQueryIDCLIENTE", &TDM::ClientesQueryIDCLIENTE},
        {"ClientesQueryNOME", &TDM::ClientesQueryNOME},
        {"ClientesQueryFONERES", &TDM::ClientesQueryFONERES},
        {"ClientesQueryFONECOM", &TDM::ClientesQueryFONECOM},
        {"ClientesQueryFONECEL", &TDM::ClientesQueryFONECEL},
        {"ClientesQueryEND1", &TDM::ClientesQueryEND1},
        {"ClientesQueryEND2", &TDM::ClientesQueryEND2},
        {"ClientesQueryCIDADE", &TDM::ClientesQueryCIDADE},
        {"ClientesQueryUF", &TDM::ClientesQueryUF},
        {"ClientesQueryCEP", &TDM::ClientesQueryCEP},
        {"ClientesQueryCPF", &TDM::ClientesQueryCPF},
        {"ClientesQueryRG", &TDM::ClientesQueryRG},
        {"ClientesQueryEMAIL", &TDM::ClientesQueryEMAIL},
        {"ClientesQueryCNPJ", &TDM::ClientesQueryCNPJ},
        {"ClientesQueryIE", &TDM::ClientesQueryIE},
        {"ClientesQueryPESSOACONT", &TDM::ClientesQueryPESSOACONT},
        {"ClientesQueryDATACADASTRO", &TDM::ClientesQueryDATACADASTRO},
        {"ClientesQueryTIPOANOT", &TDM::ClientesQueryTIPOANOT},
        {"ClientesQueryANOTA", &TDM::ClientesQueryANOTA},
        {"ClientesQueryTIPOPESSOA", &TDM::ClientesQueryTIPOPESSOA},
        {"OrdensQueryIDORDEM", &TDM::OrdensQueryIDORDEM},
        {"OrdensQueryDESCRICAO", &TDM::OrdensQueryDESCRICAO},
        {"OrdensQuerySOLICITANTE", &TDM::OrdensQuerySOLICITANTE},
        {"OrdensQueryDATACAD", &TDM::OrdensQueryDATACAD},
        {"OrdensQueryPRAZOENTREGA", &TDM::OrdensQueryPRAZOENTREGA},
        {"OrdensQueryANOTA", &TDM::OrdensQueryANOTA},
        {"OrdensQueryREPARO", &TDM::OrdensQueryREPARO},
        {"OrdensQueryTECNICO", &TDM::OrdensQueryTECNICO},
        {"OrdensQueryDATASAIDA", &TDM::OrdensQueryDATASAIDA},
        {"OrdensQuerySITUACAO", &TDM::OrdensQuerySITUACAO},
        {"OrdensQueryVALOR", &TDM::OrdensQueryVALOR},
        {"OrdensQueryJUROS", &TDM::OrdensQueryJUROS},
        {"OrdensQueryVALORTOT", &TDM::OrdensQueryVALORTOT},
        {"OrdensQueryDESCONTO", &TDM::OrdensQueryDESCONTO},
        {"OrdensQueryIDCLIENTE", &TDM::OrdensQueryIDCLIENTE},
        {"OrdensQueryNORDEM", &TDM::OrdensQueryNORDEM},
        {"ConfigQueryIDCONFIG", &TDM::ConfigQueryIDCONFIG},
        {"ConfigQueryCAB1", &TDM::ConfigQueryCAB1},
        {"ConfigQueryCAB2", &TDM::ConfigQueryCAB2},
        {"ConfigQueryCAB3", &TDM::ConfigQueryCAB3},
        {"ConfigQueryCAB4", &TDM::ConfigQueryCAB4},
        {"ConfigQueryVERDE", &TDM::ConfigQueryVERDE},
        {"ConfigQueryAZUL", &TDM::ConfigQueryAZUL},
        {"ConfigQueryVERMELHO", &TDM::ConfigQueryVERMELHO},
        {"ForneQueryIDFORNECE", &TDM::ForneQueryIDFORNECE},
        {"ForneQueryRAZAOSOCIAL", &TDM::ForneQueryRAZAOSOCIAL},
        {"ForneQueryNOMEFANTASIA", &TDM::ForneQueryNOMEFANTASIA},
        {"ForneQueryCNPJ", &TDM::ForneQueryCNPJ},
        {"ForneQueryIE", &TDM::ForneQueryIE},
        {"ForneQueryEND1", &TDM::ForneQueryEND1},
        {"ForneQueryEND2", &TDM::ForneQueryEND2},
        {"ForneQueryCIDADE", &TDM::ForneQueryCIDADE},
        {"ForneQueryUF", &TDM::ForneQueryUF},
        {"ForneQueryCEP", &TDM::ForneQueryCEP},
        {"ForneQueryFONE", &TDM::ForneQueryFONE},
        {"ForneQueryFAX", &TDM::ForneQueryFAX},
        {"ForneQueryANOTA", &TDM::ForneQueryANOTA},
        {"ForneQueryPESSOACONT", &TDM::ForneQueryPESSOACONT},
        {"ForneQuerySITE", &TDM::ForneQuerySITE},
        {"ForneQueryDATA", &TDM::ForneQueryDATA},
        {"ForneQueryEMAIL", &TDM::ForneQueryEMAIL},
        {"ProdForneQueryIDPROD", &TDM::ProdForneQueryIDPROD},
        {"ProdForneQueryDESCRICAO", &TDM::ProdForneQueryDESCRICAO},
        {"ProdForneQueryIDFORNECE", &TDM::ProdForneQueryIDFORNECE},
        {"ProdForneQueryGRUPO", &TDM::ProdForneQueryGRUPO},
        {"ProdForneQueryMARCA", &TDM::ProdForneQueryMARCA},
        {"ProdForneQueryCUSTOCOMPRA", &TDM::ProdForneQueryCUSTOCOMPRA},
        {"ProdForneQueryCUSTOVENDA", &TDM::ProdForneQueryCUSTOVENDA},
        {"ProdForneQueryANOTA", &TDM::ProdForneQueryANOTA},
        {"ProdForneQueryQTDEDISP", &TDM::ProdForneQueryQTDEDISP},
        {"ProdForneQueryQTDEMIN", &TDM::ProdForneQueryQTDEMIN},
        {"ProdForneQueryDATACAD", &TDM::ProdForneQueryDATACAD},
        {"ProdForneQueryNOMEFORNE", &TDM::ProdForneQueryNOMEFORNE},
        {"ProdEntQueryIDPRODENT", &TDM::ProdEntQueryIDPRODENT},
        {"ProdEntQueryIDPROD", &TDM::ProdEntQueryIDPROD},
        {"ProdEntQueryDATACAD", &TDM::ProdEntQueryDATACAD},
        {"ProdEntQueryQTDEENT", &TDM::ProdEntQueryQTDEENT},
        {"ProdEntQueryOBS", &TDM::ProdEntQueryOBS},
        {"ProdEntQueryTIPO", &TDM::ProdEntQueryTIPO},
        {"ProdEntQueryNOMEFORNE", &TDM::ProdEntQueryNOMEFORNE},
        {"ProdEntQueryDESCRICAO", &TDM::ProdEntQueryDESCRICAO},
};
} // namespace

TFbQuery **TDM::QueryMember(const char *name)
{
    static const struct { const char *n; TFbQuery *TDM::*m; } q[] = {
        {"ClientesQuery", &TDM::ClientesQuery}, {"OrdensQuery", &TDM::OrdensQuery},
        {"ConfigQuery", &TDM::ConfigQuery}, {"ForneQuery", &TDM::ForneQuery},
        {"ProdForneQuery", &TDM::ProdForneQuery}, {"ProdEntQuery", &TDM::ProdEntQuery},
        {"AuxQuery", &TDM::AuxQuery}, {"AuxQuery2", &TDM::AuxQuery2}, {"AuxQuery3", &TDM::AuxQuery3},
        {"AuxQuery4", &TDM::AuxQuery4}, {"AuxQuery5", &TDM::AuxQuery5},
    };
    for (const auto &e : q)
        if (std::strcmp(e.n, name) == 0)
            return &(this->*e.m);
    return nullptr;
}

TFbUpdateSQL **TDM::UpdateMember(const char *name)
{
    static const struct { const char *n; TFbUpdateSQL *TDM::*m; } u[] = {
        {"ClientesUpdate", &TDM::ClientesUpdate}, {"OrdensUpdate", &TDM::OrdensUpdate},
        {"ConfigUpdate", &TDM::ConfigUpdate}, {"ForneUpdate", &TDM::ForneUpdate},
        {"ProdForneUpdate", &TDM::ProdForneUpdate}, {"ProdEntUpdate", &TDM::ProdEntUpdate},
    };
    for (const auto &e : u)
        if (std::strcmp(e.n, name) == 0)
            return &(this->*e.m);
    return nullptr;
}

TFbQuery *TDM::NewQuery(TDM *dm, QObject *parent, const QString &name)
{
    auto *q = new TFbQuery(parent);
    q->setObjectName(name);
    if (dm) {
        q->SetDatabase(dm->Database);
        q->SetTransaction(dm->Transaction);
    }
    return q;
}

QString TDM::DesignSQL(const TDmTable &t)
{
    return QStringLiteral("select * from %1").arg(QLatin1String(t.table));
}

TDM::TDM(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DM"));
    Database = new TFbDatabase(this);   // loads the client library or throws
    Database->setObjectName(QStringLiteral("Database"));
    Transaction = new TFbTransaction(this);
    Transaction->setObjectName(QStringLiteral("Transaction"));
    Database->SetDatabaseName(TDmSchema::DefaultDatabasePath());
    Database->SetParams({QStringLiteral("user_name=%1").arg(QLatin1String(TDmSchema::UserName)),
                         QStringLiteral("password=%1").arg(QLatin1String(TDmSchema::Password))});
    Database->SetLoginPrompt(false);
    Database->SetSQLDialect(1);
    Database->SetDefaultTransaction(Transaction);
    Transaction->SetDefaultDatabase(Database);
    // Every user-level save is durable as soon as it succeeds.
    Transaction->SetCommitAfterWrite(true);
    // Several computers may share one database through a server: each must
    // see what the others saved, or the new-record rule hands out keys
    // that are already taken and the save fails for the rest of the run.
    // Alone on the database this reads exactly what a snapshot would.
    // A row held by another computer's unfinished work is waited for a few
    // seconds, not for ever: a save then fails with the "being changed on
    // another computer" message and the entry stays on the screen.
    Transaction->SetParams({QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                            QStringLiteral("wait"), QStringLiteral("lock_timeout=%1").arg(LockWaitSeconds),
                            QStringLiteral("write")});

    for (const char *aux : {"AuxQuery", "AuxQuery2", "AuxQuery3", "AuxQuery4", "AuxQuery5"})
        *QueryMember(aux) = NewQuery(this, this, QLatin1String(aux));

    for (const TDmTable &t : TDmSchema::Tables()) {
        auto *u = new TFbUpdateSQL(this);
        u->setObjectName(QLatin1String(t.update));
        u->SetRefreshSQL(TDmSchema::RefreshSQL(t));
        u->SetModifySQL(TDmSchema::ModifySQL(t));
        u->SetInsertSQL(TDmSchema::InsertSQL(t));
        u->SetDeleteSQL(TDmSchema::DeleteSQL(t));
        u->SetRowWriter(TDmSharedAccess::RowWriter(t));
        *UpdateMember(t.update) = u;

        TFbQuery *q = NewQuery(this, this, QLatin1String(t.dataset));
        q->SetSQL(DesignSQL(t));
        q->SetCachedUpdates(true);
        q->SetUpdateObject(u);
        *QueryMember(t.dataset) = q;

        for (const TDmColumn &c : t.columns) {
            const bool key = std::strcmp(c.name, t.key) == 0;
            TFbField *f = q->AddField(QLatin1String(c.name), c.kind, c.size, key);
            const QByteArray member = QByteArray(t.dataset) + c.name;
            for (const FieldMember &m : kFieldMembers)
                if (member == m.name)
                    this->*m.member = f;
        }
        if (*t.generator)
            q->OnNewRecord = [this](TFbQuery *ds) { NextId(ds); };
    }
    // An order is typed for the current client; a movement for the current
    // product: moving those under the entry would redirect it.
    OrdensQuery->SetMaster(ClientesQuery);
    ProdEntQuery->SetMaster(ProdForneQuery);
    if (!::DM)
        ::DM = this;
}

TDM::~TDM()
{
    try {
        // Nothing half-typed is saved on the way out; what is dropped is logged.
        Database->DropPendingEntries();
        CloseAll();
    } catch (const std::exception &e) {
        // The closing commit failed: it cannot be thrown from here.
        TFbTransaction::ReportFailure(QString::fromUtf8(e.what()));
    } catch (...) {
    }
    // Datasets before the transaction and the connection they use.
    for (TFbQuery *q : {ClientesQuery, OrdensQuery, ConfigQuery, ForneQuery, ProdForneQuery, ProdEntQuery,
                        AuxQuery, AuxQuery2, AuxQuery3, AuxQuery4, AuxQuery5})
        delete q;
    for (TFbUpdateSQL *u : {ClientesUpdate, OrdensUpdate, ConfigUpdate, ForneUpdate, ProdForneUpdate, ProdEntUpdate})
        delete u;
    delete Transaction;
    delete Database;
    if (::DM == this)
        ::DM = nullptr;
}

void TDM::OpenAll()
{
    Database->Open();
    // Nothing is created in a file that is not this system's, and it is
    // closed at once: no screen reads it afterwards.
    try {
        TDmSharedAccess::CheckTables(*Database);
    } catch (const EFbError &e) {
        Database->Refuse(e.Message());
        throw;
    }
    TDmSchema::BringUpToDate(*Database);
    m_openWarnings.clear();
    for (const TDmSchema::TDmIndex &index : TDmSchema::Indexes())
        AddIndex(index);
    // Nothing is read here: the main window shows no rows, and a screen
    // reads what it shows when it is opened.
    for (TFbQuery *q : {ClientesQuery, ForneQuery, ConfigQuery, OrdensQuery, ProdForneQuery, ProdEntQuery})
        q->OpenUnread();
}

bool TDM::AddIndex(const TDmSchema::TDmIndex &index)
{
    TFbQuery *aux = AuxQuery;
    try {
        aux->Close();
        // Any index whose first column is the one wanted will do, whatever
        // its name.
        aux->SetSQL(QStringLiteral(
            "select count(*) as n from rdb$indices i join rdb$index_segments s"
            " on s.rdb$index_name = i.rdb$index_name"
            " where i.rdb$relation_name = '%1' and s.rdb$field_name = '%2'"
            " and s.rdb$field_position = 0").arg(QLatin1String(index.table), QLatin1String(index.column)));
        aux->Open();
        const bool present = aux->FieldByName(QStringLiteral("n"))->AsInteger() > 0;
        aux->Close();
        if (present)
            return true;
        aux->SetSQL(TDmSchema::CreateIndexStatement(index));
        aux->Execute();
        // The index is built when its creation commits; nothing else is
        // pending at open.
        Transaction->Commit();
        qInfo("Banco de dados atualizado: índice %s criado em %s (%s)", index.name, index.table, index.column);
        return true;
    } catch (const std::exception &e) {
        aux->Close();
        try {
            if (Transaction->InTransaction())
                Transaction->Rollback();
        } catch (...) {
        }
        const QString message = QStringLiteral(
            "Não foi possível criar o índice %1 (%2). O sistema continua, mas %3 pode ficar lento.")
            .arg(QLatin1String(index.name), QString::fromUtf8(e.what()), QString::fromUtf8(index.slowWithout));
        qWarning("%s", qPrintable(message));
        m_openWarnings << message;
        return false;
    }
}

void TDM::CloseAll()
{
    Database->CloseAllDatasets();
    Database->Close();
}

void TDM::RunUnitOfWork(const std::function<void()> &work)
{
    Transaction->RunUnitOfWork(work);
}

TFbQuery *TDM::DatasetOf(const QString &table) const
{
    const TDmTable *t = TDmSchema::Table(table);
    return t ? *const_cast<TDM *>(this)->QueryMember(t->dataset) : nullptr;
}

void TDM::NextId(TFbQuery *dataset)
{
    const TDmTable *table = nullptr;
    for (const TDmTable &t : TDmSchema::Tables())
        if (dataset == DatasetOf(QLatin1String(t.table)))
            table = &t;
    if (!table || !*table->generator)
        return;
    TFbQuery *aux = *QueryMember(table->scratch);
    aux->Close();
    aux->SetSQL(TDmSchema::NextKeySQL(*table));
    aux->Open();
    dataset->FieldByName(QLatin1String(table->key))->SetAsLargeInt(aux->FieldByName(QStringLiteral("cod"))->AsLargeInt());
    // Today, as the regional short date text read back by the date field.
    const QString today = TFbConvert::DateTimeText(QDateTime(QDate::currentDate(), QTime(0, 0)));
    dataset->FieldByName(QLatin1String(table->dateColumn))->SetAsString(today);
}
