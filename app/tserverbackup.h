#pragma once
// Backup and restore of a database on a server, through the server's
// services interface: the server writes the backup in its own format and
// streams it to this computer; a restore streams such a file back and the
// server makes a new database file of it. The file the shop works on is
// never replaced.
#include "app/tdatabaserestore.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class TFbDatabase;

class TServerBackup
{
public:
    // Streams the backup of the database of `db` into `destination`
    // (through destination + ".part"), then checks it by restoring it into
    // a scratch database beside the original on the server, reading its six
    // tables and removing the scratch database. Only a checked backup takes
    // the place of an earlier file of the same name. Throws
    // std::runtime_error with the reason in Portuguese.
    static void Backup(TFbDatabase *db, const QString &destination);

    // The name of a new database beside the one of `db`:
    // "host/port:/path/DADOS_RESTAURADO_20251208_214005.GDB".
    static QString RestoredName(const TFbDatabase *db, const QDateTime &now);
    // Restores `backupFile` into the new database `newName` on the server
    // and returns its contents. When the file is refused or its contents
    // are not this system's, nothing is left on the server and the reason
    // is thrown.
    static TDatabaseRestore::Contents Restore(TFbDatabase *db, const QString &backupFile, const QString &newName);
    // Removes a database restored by Restore that the user gave up.
    static void Drop(TFbDatabase *db, const QString &name);

    // The check's scratch databases are noted in this file (under the
    // backup folder) while they exist, so that one left on the server by a
    // backup that never ended (the program killed during its check) is
    // found again.
    static QString PendingChecksFile();
    static QStringList PendingChecks();
    // At start: drops the scratch databases noted by this computer's
    // backups that never ended, on the server of `db` (whose user and
    // password it uses). One still in use (a backup running in another
    // window) stays noted. Returns the names dropped.
    static QStringList RemoveLeftovers(TFbDatabase *db);

    // For tests: runs while the check's scratch database exists.
    static void SetDuringCheckHook(std::function<void(const QString &scratch)> hook);
};
