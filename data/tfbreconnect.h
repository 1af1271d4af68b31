#pragma once
// A connection to the database server that is lost (the server stopped, the
// network cut) and comes back. The program is not restarted for it: the
// clerk is told in Portuguese, the datasets keep their rows and the entry
// being typed, the dead attachment is forgotten, and the next action
// attaches again once the server answers; the save then goes through.
#include <QPointer>
#include <QString>
#include <exception>

class TFbDatabase;

class TFbReconnect
{
public:
    // True for the engine's codes that mean the attachment is gone.
    static bool IsConnectionLost(long gdsCode);
    static bool IsConnectionLost(std::exception_ptr error);
    // What the clerk reads, with the engine's own text after it.
    static QString LostMessage(const QString &engineText);
    // What the clerk reads when the server still does not answer.
    static QString StillLostMessage(const QString &engineText);

    // Drops the dead attachment of `db` and its running transaction (the
    // engine has rolled it back on its side) without closing a dataset.
    // Never throws.
    static void Forget(TFbDatabase &db);
    // Forget, and remember `db` for ReconnectIfLost.
    static void NoteLost(TFbDatabase &db);
    static bool IsLost() { return !s_lost.isNull(); }
    // When a lost connection was noted: attaches again. True when the
    // connection is there (or none was lost), false when the server does
    // not answer yet (it stays noted). Never throws.
    static bool ReconnectIfLost(QString *failure = nullptr);

private:
    static QPointer<TFbDatabase> s_lost;
};
