#pragma once
// How a changed row of a shared table reaches the database when several
// computers work on it at once.
//
// A change writes only the columns this computer changed, and only where
// each of them still holds the value it was read with (or already the new
// one): computer A storing a phone and computer B storing a city on the same
// client both get through, while B overwriting the phone A just stored is
// refused with a message that shows what is stored now. A row deleted
// elsewhere in the meantime gets a message of its own. Nothing is written in
// either case, and the dataset keeps the change pending, so nothing typed is
// lost.
//
// New rows, deletes and rows of tables without a writer go through the
// update statement set as they are; a delete of a row that another computer
// deleted first is refused in words of its own.
#include "data/tfbtypes.h"
#include "data/tfbupdatesql.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class TFbDatabase;
class TFbTransaction;
class TFbStatement;

class TFbRowWriter
{
public:
    // One column of the row being written: as read (or last written) and now.
    struct TFbRowValue
    {
        QString name;
        TFbStorage storage = TFbStorage::Text;
        short scale = 0;
        TFbCell old;
        TFbCell now;
    };
    using TFbRowValues = std::vector<TFbRowValue>;

    TFbRowWriter(const QString &table, const QString &key);
    ~TFbRowWriter();
    TFbRowWriter(const TFbRowWriter &) = delete;
    TFbRowWriter &operator=(const TFbRowWriter &) = delete;

    QString Table() const { return m_table; }
    // Columns that a rule of their own guards under a lock before the save
    // (a product's quantity, checked against the movements made elsewhere):
    // written when changed, never compared here.
    void SetUnchecked(const QStringList &columns) { m_unchecked = columns; }

    // Writes one row: `kind` and `row` as the dataset has them; `statement`
    // runs the update statement set's own statement for kind (inserts and
    // deletes). Returns the rows changed (1 when done); throws
    // EFbError with the message for the user when the write is refused.
    qint64 Apply(TFbUpdateSQL::TUpdateKind kind, TFbDatabase *db, TFbTransaction *tr,
                 const TFbRowValues &row, const std::function<qint64()> &statement);

    // The statement that writes the changed columns of `row` (names from
    // its values), with the parameters it takes, in order.
    QString ModifyText(const TFbRowValues &row, std::vector<TFbCell> *params = nullptr,
                       std::vector<const TFbRowValue *> *paramColumns = nullptr) const;

    // What a clerk reads when the row changed elsewhere: each column in
    // conflict with the value stored now.
    static QString ChangedElsewhereMessage(const QStringList &columnsAndValues);
    static QString DeletedElsewhereMessage();
    // ... when an entry was about to start on a row that is gone.
    static QString GoneBeforeEditMessage();
    // ... when a delete found the row deleted already.
    static QString DeletedBeforeMessage();

private:
    qint64 Modify(TFbDatabase *db, TFbTransaction *tr, const TFbRowValues &row);
    [[noreturn]] void ExplainRefusal(TFbDatabase *db, TFbTransaction *tr, const TFbRowValues &row);
    TFbStatement &Prepared(TFbDatabase *db, TFbTransaction *tr, const QString &sql);
    const TFbRowValue *KeyOf(const TFbRowValues &row) const;

    QString m_table;
    QString m_key;
    QStringList m_unchecked;
    // By statement text: the changed columns of a save vary from row to row.
    std::map<QString, std::unique_ptr<TFbStatement>> m_statements;
};
