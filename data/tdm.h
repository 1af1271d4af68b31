#pragma once
// TDM: the data module, the one shared home of data access. Start-up creates
// it (which loads the client library: EFbError when it is missing) and it is
// reachable everywhere as the global pointer DM.
//
//   DM->Database            connection; DatabaseName defaults to
//                           $HOME/OS - Tarvo Vodevuru/DADOS.GDB (change it
//                           before opening: DM->Database->SetDatabaseName(...))
//   DM->Transaction         the one transaction; CommitAfterWrite is on, so
//                           every successful ApplyChanges / Execute is made
//                           durable at once with commit retaining; read
//                           committed, so that what another computer saved
//                           (server mode) is seen at the next Open
//   DM->ClientesQuery ...   the six datasets (cached updates, update statement
//                           sets, NextId as OnNewRecord), their field objects
//                           DM->ClientesQueryNOME ... and the scratch queries
//                           AuxQuery .. AuxQuery5
//   DM->OpenAll()           connection plus the six datasets, as the main
//                           window does when first shown
//   DM->CloseAll()          every dataset, then the connection (commits)
//   DM->RunUnitOfWork(fn)   a user-level operation that writes more than once
//                           (a client with its orders, a product's quantity
//                           with its movement): all of it reaches the
//                           database, or none of it (the datasets' caches are
//                           put back too), and the error propagates
#include "data/tdmschema.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class TFbDatabase;
class TFbTransaction;
class TFbQuery;
class TFbUpdateSQL;
class TFbField;
struct TDmTable;

class TDM : public QObject
{
    Q_OBJECT
public:
    explicit TDM(QObject *parent = nullptr);
    ~TDM() override;

    // How long a save waits for a row another computer holds.
    static constexpr int LockWaitSeconds = 5;

    TFbDatabase *Database = nullptr;
    TFbTransaction *Transaction = nullptr;

    TFbQuery *ClientesQuery = nullptr;
    TFbQuery *OrdensQuery = nullptr;
    TFbQuery *ConfigQuery = nullptr;
    TFbQuery *ForneQuery = nullptr;
    TFbQuery *ProdForneQuery = nullptr;
    TFbQuery *ProdEntQuery = nullptr;

    TFbUpdateSQL *ClientesUpdate = nullptr;
    TFbUpdateSQL *OrdensUpdate = nullptr;
    TFbUpdateSQL *ConfigUpdate = nullptr;
    TFbUpdateSQL *ForneUpdate = nullptr;
    TFbUpdateSQL *ProdForneUpdate = nullptr;
    TFbUpdateSQL *ProdEntUpdate = nullptr;

    TFbQuery *AuxQuery = nullptr;
    TFbQuery *AuxQuery2 = nullptr;
    TFbQuery *AuxQuery3 = nullptr;
    TFbQuery *AuxQuery4 = nullptr;
    TFbQuery *AuxQuery5 = nullptr;

    // Field objects: dataset name followed by column name.
    // CLIENTES
    TFbField *ClientesQueryIDCLIENTE = nullptr, *ClientesQueryNOME = nullptr, *ClientesQueryFONERES = nullptr, *ClientesQueryFONECOM = nullptr;
    TFbField *ClientesQueryFONECEL = nullptr, *ClientesQueryEND1 = nullptr, *ClientesQueryEND2 = nullptr, *ClientesQueryCIDADE = nullptr;
    TFbField *ClientesQueryUF = nullptr, *ClientesQueryCEP = nullptr, *ClientesQueryCPF = nullptr, *ClientesQueryRG = nullptr;
    TFbField *ClientesQueryEMAIL = nullptr, *ClientesQueryCNPJ = nullptr, *ClientesQueryIE = nullptr, *ClientesQueryPESSOACONT = nullptr;
    TFbField *ClientesQueryDATACADASTRO = nullptr, *ClientesQueryTIPOANOT = nullptr, *ClientesQueryANOTA = nullptr, *ClientesQueryTIPOPESSOA = nullptr;
    // ORDEMSERV
    TFbField *OrdensQueryIDORDEM = nullptr, *OrdensQueryDESCRICAO = nullptr, *OrdensQuerySOLICITANTE = nullptr, *OrdensQueryDATACAD = nullptr;
    TFbField *OrdensQueryPRAZOENTREGA = nullptr, *OrdensQueryANOTA = nullptr, *OrdensQueryREPARO = nullptr, *OrdensQueryTECNICO = nullptr;
    TFbField *OrdensQueryDATASAIDA = nullptr, *OrdensQuerySITUACAO = nullptr, *OrdensQueryVALOR = nullptr, *OrdensQueryJUROS = nullptr;
    TFbField *OrdensQueryVALORTOT = nullptr, *OrdensQueryDESCONTO = nullptr, *OrdensQueryIDCLIENTE = nullptr, *OrdensQueryNORDEM = nullptr;
    // CONFIG
    TFbField *ConfigQueryIDCONFIG = nullptr, *ConfigQueryCAB1 = nullptr, *ConfigQueryCAB2 = nullptr, *ConfigQueryCAB3 = nullptr;
    TFbField *ConfigQueryCAB4 = nullptr, *ConfigQueryVERDE = nullptr, *ConfigQueryAZUL = nullptr, *ConfigQueryVERMELHO = nullptr;
    // FORNECEDORES
    TFbField *ForneQueryIDFORNECE = nullptr, *ForneQueryRAZAOSOCIAL = nullptr, *ForneQueryNOMEFANTASIA = nullptr, *ForneQueryCNPJ = nullptr;
    TFbField *ForneQueryIE = nullptr, *ForneQueryEND1 = nullptr, *ForneQueryEND2 = nullptr, *ForneQueryCIDADE = nullptr;
    TFbField *ForneQueryUF = nullptr, *ForneQueryCEP = nullptr, *ForneQueryFONE = nullptr, *ForneQueryFAX = nullptr;
    TFbField *ForneQueryANOTA = nullptr, *ForneQueryPESSOACONT = nullptr, *ForneQuerySITE = nullptr, *ForneQueryDATA = nullptr;
    TFbField *ForneQueryEMAIL = nullptr;
    // PRODFORNE
    TFbField *ProdForneQueryIDPROD = nullptr, *ProdForneQueryDESCRICAO = nullptr, *ProdForneQueryIDFORNECE = nullptr, *ProdForneQueryGRUPO = nullptr;
    TFbField *ProdForneQueryMARCA = nullptr, *ProdForneQueryCUSTOCOMPRA = nullptr, *ProdForneQueryCUSTOVENDA = nullptr, *ProdForneQueryANOTA = nullptr;
    TFbField *ProdForneQueryQTDEDISP = nullptr, *ProdForneQueryQTDEMIN = nullptr, *ProdForneQueryDATACAD = nullptr, *ProdForneQueryNOMEFORNE = nullptr;
    // PRODENT
    TFbField *ProdEntQueryIDPRODENT = nullptr, *ProdEntQueryIDPROD = nullptr, *ProdEntQueryDATACAD = nullptr, *ProdEntQueryQTDEENT = nullptr;
    TFbField *ProdEntQueryOBS = nullptr, *ProdEntQueryTIPO = nullptr, *ProdEntQueryNOMEFORNE = nullptr, *ProdEntQueryDESCRICAO = nullptr;

    // Opens the connection, brings an older database up to date (key
    // generators: TDmSchema::BringUpToDate; the indexes: AddIndex),
    // then opens ClientesQuery, ForneQuery, ConfigQuery,
    // OrdensQuery, ProdForneQuery, ProdEntQuery with their design SQL texts;
    // the first failure to open stops it (the rest stay closed) and propagates.
    void OpenAll();
    // A database made before one of TDmSchema::Indexes() reads by scanning
    // the whole table: when no index of its table starts with its column,
    // adds it (one statement, committed, logged). Never throws: a failure is
    // logged, kept in OpenWarnings() and the run goes on without the index.
    // Returns whether the index is there afterwards.
    bool AddIndex(const TDmSchema::TDmIndex &index);
    // What went wrong while bringing the database up to date at the last
    // OpenAll (messages for the user; empty when all went well).
    QStringList OpenWarnings() const { return m_openWarnings; }
    // CloseAllDatasets, then close the connection (which commits).
    void CloseAll();
    void RunUnitOfWork(const std::function<void()> &work);

    // The new-record rule (OnNewRecord of five datasets): key = the next
    // value of the table's generator read through the dataset's scratch
    // query (never reused, never the same on two computers; a new record
    // given up leaves its key unused), date column = today.
    void NextId(TFbQuery *dataset);

    // The dataset of a table ("CLIENTES" -> ClientesQuery), nullptr if none.
    TFbQuery *DatasetOf(const QString &table) const;
    // The design SQL text of a dataset ("select * from CLIENTES").
    static QString DesignSQL(const TDmTable &t);
    // A query of `parent` named `name` on the data module's database and
    // transaction (on none without a data module).
    static TFbQuery *NewQuery(TDM *dm, QObject *parent, const QString &name);

private:
    QStringList m_openWarnings;
    TFbQuery **QueryMember(const char *name);
    TFbUpdateSQL **UpdateMember(const char *name);
};

// The data module of the running program (set by the first TDM created,
// cleared when it is destroyed).
extern TDM *DM;
