#pragma once
// The services interface of a database server: the server makes a backup of
// one of its databases in its own backup format and sends it here, or takes
// such a backup from here and restores it into a new database file of its
// own. Nothing of the file needs to be reachable from this computer.
//
// The server is named as in a database name: "host" or "host/port"; an empty
// server means the embedded engine of this process.
#include <ibase.h>
#include <QString>

#include <functional>

class QIODevice;
class TFbClient;

class TFbServices
{
public:
    // Attaches to the server's service manager. Throws EFbError with the
    // clerk's message (server unreachable, user or password refused).
    TFbServices(const QString &server, const QString &user, const QString &password);
    ~TFbServices();
    TFbServices(const TFbServices &) = delete;
    TFbServices &operator=(const TFbServices &) = delete;

    // Writes the backup of `databaseFile` (the path on the server) to `out`
    // as the server streams it. Throws EFbError when the server fails or
    // `out` refuses a write; what was written so far is then useless.
    void Backup(const QString &databaseFile, QIODevice &out);
    // Restores the backup read from `in` into the new file `databaseFile`
    // on the server. Never replaces a file: an existing one is an error. A
    // restore that fails half-way may leave its new file on the server.
    void Restore(QIODevice &in, const QString &databaseFile);

    // Removes a database file through the server (a scratch database made
    // to check a backup).
    static void DropDatabase(const QString &name, const QString &user, const QString &password);

    // The server part of a database name ("host/port:/path" -> "host/port",
    // "" for a local file) and its file part.
    static QString ServerOf(const QString &databaseName);
    static QString FileOf(const QString &databaseName);

private:
    void Start(const QByteArray &request);

    const TFbClient &m_api;
    QString m_server;
    isc_svc_handle m_handle = 0;
};
