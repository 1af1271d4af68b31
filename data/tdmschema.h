#pragma once
// The database schema: the six tables with their columns in table order,
// their keys, and the rules built on them (table creation, the four update
// statements of each table, the new-record statement) and bringing a
// database made by an older version up to date.
#include "data/tfbtypes.h"
#include <QString>
#include <QStringList>
#include <vector>

class TFbDatabase;

struct TDmColumn
{
    const char *name;
    TFbFieldKind kind;   // Integer, String (text n), DateTime (date), Currency (money)
    int size;            // characters of a text column
};

struct TDmTable
{
    const char *table;
    const char *key;
    const char *dataset;      // the data module's dataset
    const char *update;       // its update statement set
    const char *scratch;      // scratch query of the new-record rule ("" for none)
    const char *generator;    // generator of the new-record rule's keys ("" for none)
    const char *dateColumn;   // column set to today for a new record ("" for none)
    std::vector<TDmColumn> columns;
};

class TDmSchema
{
public:
    static const std::vector<TDmTable> &Tables();
    // By table name, case-insensitive; nullptr when unknown.
    static const TDmTable *Table(const QString &name);

    // The update statement set of a table, line by line.
    static QStringList RefreshSQL(const TDmTable &t);
    static QStringList ModifySQL(const TDmTable &t);
    static QStringList InsertSQL(const TDmTable &t);
    static QStringList DeleteSQL(const TDmTable &t);
    // CREATE TABLE statements (dialect 1, one byte per character).
    static QStringList CreateTableStatements();
    // The new-record rule's statement: one row, column "cod", the table's
    // next key taken from its generator. A generator is outside every
    // transaction, so two computers never get the same key and a key is
    // never handed out twice, even when its row was deleted.
    static QString NextKeySQL(const TDmTable &t);

    // Brings an open database made by an older os-createdb up to what this
    // program needs. Every step looks first and adds only what is missing
    // (several computers may run it at once), so it runs at every open; add
    // new steps to its list. Runs in a transaction of its own, committed.
    static void BringUpToDate(TFbDatabase &db);

    // The indexes a new database is made with and an older one gets at
    // open: a client's orders read without scanning every order
    // (ORDEMSERV.IDCLIENTE), the stock report's period without scanning
    // every movement (PRODENT.DATACAD).
    struct TDmIndex
    {
        const char *name;
        const char *table;
        const char *column;
        const char *slowWithout;   // what the user finds slow without it
    };
    static constexpr const char *OrderClientIndex = "ORDEMSERV_IDCLIENTE";
    static constexpr const char *MovementDateIndex = "PRODENT_DATACAD";
    // The lists in their name order: the server walks the index and hands
    // over the first rows at once instead of sorting the whole table first.
    static constexpr const char *ClientNameIndex = "CLIENTES_NOME";
    static constexpr const char *SupplierNameIndex = "FORNECEDORES_NOMEFANTASIA";
    static constexpr const char *ProductNameIndex = "PRODFORNE_DESCRICAO";
    static const QList<TDmIndex> &Indexes();
    static QString CreateIndexStatement(const TDmIndex &index);

    // "$HOME/OS - Tarvo Vodevuru/DADOS.GDB".
    static QString DefaultDatabasePath();
    // Creates the database file with the six tables and CONFIG row 1, the
    // folder included. Refuses (EFbError) when the file already exists.
    // A creation that fails half-way (a full disk) removes its file (drops
    // the database on a server) and throws CreationFailedMessage.
    static void CreateDatabaseFile(const QString &path);
    // The same as `user` with `password` (a server's user; the owner of the
    // new database).
    static void CreateDatabaseFile(const QString &path, const QString &user, const QString &password);
    // What a failed creation says: a full disk as such, in Portuguese, the
    // engine's text under it.
    static QString CreationFailedMessage(const QString &path, const QString &engineText);

    static constexpr const char *UserName = "SYSDBA";
    static constexpr const char *Password = "quillmoss";
};
