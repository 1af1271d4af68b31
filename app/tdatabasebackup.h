#pragma once
// A consistent copy of the open database file.
//
// Copying the file while the engine writes to it could give a torn copy, so
// the file is frozen first with the engine's backup lock ("alter database
// begin backup": changes go to a side file meanwhile), copied, and released
// ("end backup", which merges the side file back). The copy still carries the
// lock mark in its header; it is cleared so that the copy opens on its own,
// and the copy is opened once to prove it is a good database before it takes
// the place of an earlier copy of the same name.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class TFbDatabase;

class TDatabaseBackup
{
public:
    // Name of the dated folder: "dd.mm.yy - HHhMMmSSs" (08.12.25 - 21h40m05s).
    static QString FolderName(const QDateTime &when);
    // The folder that holds the dated folders: $HOME/Backup_OS.
    static QString BackupRoot();
    // Makes the dated folder `name` under `root` and returns its path. The
    // backups hold the shop's clients (names, documents, addresses): the
    // root and the folder are their owner's only (0700), as are the copies
    // (0600). Throws std::runtime_error (Portuguese) when it cannot.
    static QString MakeFolder(const QString &root, const QString &name);
    // Makes an existing `root` its owner's only (made by an older version
    // readable by every user of the computer).
    static void ProtectRoot(const QString &root);
    // What a failed write of a backup says: a full disk as such.
    static QString WriteFailedMessage(const QString &file, const QString &systemText);
    // The database file of a connection: its name, less a "host:" prefix.
    static QString DatabaseFile(const TFbDatabase *db);
    // The server of a connection to "host:/path" ("" for a local file): the
    // file is the server's, and only the server can copy it.
    static QString ServerOf(const TFbDatabase *db);

    // Copies the database of `db` (opening the connection if needed) to
    // `destination` (owner-only). Throws std::runtime_error on any failure;
    // then `destination` is left as it was and the lock is released.
    static void CopyDatabase(TFbDatabase *db, const QString &destination);

    // Releases a lock left behind by a backup of this program that never
    // ended (the program stopped in the middle of one), recognised by its
    // marker file. A lock without the marker was set on purpose (an
    // administrator copying the file under "nbackup -L") and is left alone.
    // Only for a local file. Returns true when it released one.
    static bool ReleaseStaleLock(TFbDatabase *db);

    // The marker of this program's backup lock: a small file beside the
    // database, written before the lock is taken and removed once it is
    // released, so that nothing is stored in the database itself.
    static QString LockMarkerFile(const TFbDatabase *db);
    // Takes the backup lock, marker first (throws when the marker cannot
    // be written: then no lock is taken).
    static void BeginLock(TFbDatabase *db);
    // Releases the lock, then removes the marker.
    static void EndLock(TFbDatabase *db);

    // Clears the backup-lock mark in the header of a copied file. Throws when
    // the file is not a database file or was not copied under the lock.
    static void FixUpCopy(const QString &file);

    // Checks that a file opens as a database with the given credentials.
    static void Verify(const QString &file, const TFbDatabase *like);

    // Removes what backups of this program left unfinished under `root`
    // (the program was stopped in the middle of one): "DADOS.GDB.part" and
    // "DADOS.FBK.part" in its dated folders, unless a running backup holds
    // the file; a dated folder left empty goes too. Nothing else is touched.
    // Returns the files removed.
    static QStringList RemoveLeftovers(const QString &root);

    // For tests: runs between the copy and the release of the lock.
    static void SetAfterCopyHook(std::function<void(const QString &copy)> hook);
};
