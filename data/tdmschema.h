#pragma once
// The database schema: the six tables with their columns in table order,
// their keys, and the rules built on them (table creation, the four update
// statements of each table, the new-record statement).
#include "tfbtypes.h"
#include <QString>
#include <QStringList>
#include <vector>

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
    const char *maxSql;       // max statement of the new-record rule ("" for none)
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
    // The index through which a client's orders are read without scanning
    // every order (ORDEMSERV.IDCLIENTE), and its CREATE INDEX statement.
    static constexpr const char *OrderClientIndex = "ORDEMSERV_IDCLIENTE";
    static QString CreateOrderClientIndexStatement();

    // "$HOME/OS - Tarvo Vodevuru/DADOS.GDB".
    static QString DefaultDatabasePath();
    // Creates the database file with the six tables and CONFIG row 1, the
    // folder included. Refuses (EFbError) when the file already exists.
    static void CreateDatabaseFile(const QString &path);

    static constexpr const char *UserName = "SYSDBA";
    static constexpr const char *Password = "quillmoss";
};
