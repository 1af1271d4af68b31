#pragma once
// The rules that let several computers of a shop share one database, and
// keep the program off a database file that is not its own.
#include <QString>
#include <memory>

class TFbDatabase;
class TFbRowWriter;
class TDM;
struct TDmTable;

class TDmSharedAccess
{
public:
    // How the changed rows of a table are written (see TFbRowWriter):
    // clients, orders, suppliers and products; nullptr for a table whose
    // update statements run as they are.
    static std::unique_ptr<TFbRowWriter> RowWriter(const TDmTable &t);
    // Saves the order being entered (DM->OrdensQuery). A new order is
    // saved only while its client is there: the client's row is locked in
    // the same unit of work as the insert, and a client another computer
    // deleted meanwhile gets OrderClientGoneMessage, nothing written and
    // the entry still being typed.
    static void ApplyOrder(TDM &dm);
    static QString OrderClientGoneMessage();
    // The first step of deleting client `client`, inside the delete's unit
    // of work: its row locked, then its orders deleted in the database (the
    // order dataset is left closed).
    static void DeleteClientOrders(TDM &dm, qint32 client);

    // Refuses (EFbError, in Portuguese) a database that lacks one of the
    // six tables - a file of another program named by mistake - before
    // anything is created or changed in it. Only reads.
    static void CheckTables(TFbDatabase &db);
};
