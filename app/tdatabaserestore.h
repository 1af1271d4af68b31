#pragma once
// Bringing a backup back: the backups found under the backup folder, the
// check of a chosen copy (it opens and holds this system's six tables; their
// rows are counted), and the swap of the database file of this computer.
//
// The swap never loses the current data: the current file is kept beside it
// under a dated name, and a failure at any step puts it back as it was.
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

class TDM;
class TFbDatabase;

struct TBackupEntry
{
    QString file;
    QDateTime when;
    qint64 size = 0;
};

class TDatabaseRestore
{
public:
    // Rows of each of the six tables, in the schema's order.
    using Contents = QList<QPair<QString, qint64>>;

    // The backups under `root` (each dated folder's DADOS.GDB or DADOS.FBK),
    // newest first.
    static QList<TBackupEntry> ListBackups(const QString &root);
    // When a backup was made: from the name of its dated folder, else the
    // file's own time.
    static QDateTime BackupDate(const QString &file);
    // A backup in the engine's own backup format (made from a server), not
    // a copy of a database file.
    static bool IsServerFormat(const QString &file);

    // Opens the database `name` with the credentials of `like` and counts
    // the rows of the six tables. Throws std::runtime_error with the reason
    // in Portuguese: it does not open, it is damaged, or it is not this
    // system's database (the missing tables are named).
    static Contents ReadContents(const QString &name, const TFbDatabase *like);
    // "Clientes: 12" one per line.
    static QString ContentsText(const Contents &contents);
    // Attachments to the database of `db` other than its own (another
    // computer or program).
    static int OtherAttachments(TFbDatabase *db);

    struct TPrepared
    {
        QString backup;    // the chosen file, never changed
        QString scratch;   // its checked copy beside the database file
        QString current;   // the database file
        QString kept;      // where the current file goes
        QDateTime when;    // when the backup was made
        Contents contents;
    };
    // The checked copy of `backup`, made beside the database of `db` (local
    // file only) without touching the database. Refused while another
    // attachment holds the database. Throws std::runtime_error (Portuguese).
    static TPrepared Prepare(const QString &backup, TFbDatabase *db, const QDateTime &now);
    // Removes the checked copy of a restore given up.
    static void Discard(const TPrepared &prepared);
    // Closes every dataset and the connection, moves the current file to
    // `kept`, puts the checked copy in its place and reopens. On any failure
    // the current file is put back and reopened, and the reason is thrown.
    static void Replace(TDM *dm, const TPrepared &prepared);

    // The dated name the current file is kept under.
    static QString KeptName(const QString &current, const QDateTime &now);

    // For tests: runs after each step of Replace ("closed", "kept",
    // "swapped", "reopened"); what it throws is a failure of that step.
    static void SetStepHook(std::function<void(const QString &step)> hook);
};
