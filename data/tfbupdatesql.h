#pragma once
// The four statements that turn a dataset's cached changes into SQL. A
// parameter ":NAME" takes the field NAME's current value, ":OLD_NAME" its
// value from before the row's first unapplied change; a parameter without a
// field stays null. Statements are prepared once and kept until their text
// changes or the connection closes.
#include "data/tfbtypes.h"
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class TFbDatabase;
class TFbTransaction;
class TFbStatement;
class TFbRowWriter;

class TFbUpdateSQL : public QObject
{
    Q_OBJECT
public:
    enum TUpdateKind { ukModify = 0, ukInsert = 1, ukDelete = 2 };

    explicit TFbUpdateSQL(QObject *parent = nullptr);
    ~TFbUpdateSQL() override;

    QStringList ModifySQL() const { return m_sql[ukModify]; }
    QStringList InsertSQL() const { return m_sql[ukInsert]; }
    QStringList DeleteSQL() const { return m_sql[ukDelete]; }
    QStringList RefreshSQL() const { return m_refresh; }
    void SetModifySQL(const QStringList &s) { SetSQL(ukModify, s); }
    void SetInsertSQL(const QStringList &s) { SetSQL(ukInsert, s); }
    void SetDeleteSQL(const QStringList &s) { SetSQL(ukDelete, s); }
    void SetRefreshSQL(const QStringList &s) { m_refresh = s; }
    QStringList SQL(TUpdateKind k) const { return m_sql[k]; }
    void SetSQL(TUpdateKind k, const QStringList &s);

    // Asked for each parameter, by its position and name (without the
    // colon, "OLD_" kept); returns false when no field answers to it (the
    // parameter stays null). ParamNames() holds the names of the prepared
    // statement, so that a caller may resolve them once.
    using ParamSource = std::function<bool(int index, const QString &name, TFbCell &value,
                                           TFbStorage &storage, short &scale)>;
    const QStringList &ParamNames(TUpdateKind k) const { return m_names[k]; }
    // Runs one statement and returns the number of rows it changed.
    qint64 Apply(TUpdateKind k, TFbDatabase *db, TFbTransaction *tr, const ParamSource &params);

    // How rows of a table shared by several computers are written (see
    // TFbRowWriter); owned here. Without one the statements run as they are.
    void SetRowWriter(std::unique_ptr<TFbRowWriter> writer);
    TFbRowWriter *RowWriter() const { return m_writer.get(); }

    // ":NAME" -> "?" outside quoted texts; the names in order.
    static QByteArray ConvertParams(const QString &sql, QStringList &names);

private:
    QStringList m_sql[3];
    QStringList m_refresh;
    std::unique_ptr<TFbStatement> m_stmt[3];
    QStringList m_names[3];
    std::unique_ptr<TFbRowWriter> m_writer;
};
