#include "app/tdatabasebackup.h"

#include "data/efberror.h"
#include "data/tfbconnectmessage.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <stdexcept>

namespace {

// The database header page: page type 1 at offset 0; its flags word at
// offset 42 holds the backup state in bits 10 and 11.
constexpr int HeaderFlagsOffset = 42;
constexpr quint16 BackupStateMask = 0x0C00;
constexpr quint16 BackupStateLocked = 0x0400;
constexpr int HeaderBytes = 64;

std::function<void(const QString &)> &AfterCopyHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

[[noreturn]] void Fail(const QString &why)
{
    throw std::runtime_error(why.toStdString());
}

// Runs one statement in a short transaction of its own, committed at once,
// so that the session's long transaction is not touched.
void RunAlone(TFbDatabase *db, const QString &sql)
{
    TFbTransaction::RunAlone(db, [&](TFbQuery &q) {
        q.SetSQL(sql);
        q.Execute();
    });
}

// 0 normal, 1 locked (stalled), 2 merging.
int BackupState(TFbDatabase *db)
{
    int state = 0;
    TFbTransaction::RunAlone(db, [&](TFbQuery &q) {
        q.SetSQL(QStringLiteral("select mon$backup_state as state from mon$database"));
        q.Open();
        state = q.FieldByName(QStringLiteral("STATE"))->AsInteger();
    });
    return state;
}

// Copies `source` to a new file `copy`, readable by its owner only from the
// start. False with the reason in `readError` or `writeError` (the system's
// text, which names a full disk) on a failure; `copy` is then removed.
bool CopyOwnerOnly(const QString &source, const QString &copy, QString &readError, QString &writeError)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        readError = in.errorString();
        return false;
    }
    QFile out(copy);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        writeError = out.errorString();
        return false;
    }
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(block.data(), block.size());
        if (n < 0) {
            readError = in.errorString();
            break;
        }
        if (n == 0)
            return true;
        // Written by the system call itself: its error number is what says
        // that the disk is full (the file object's text for it is "unknown").
        qint64 done = 0;
        while (done < n) {
            const ssize_t w = ::write(out.handle(), block.constData() + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                writeError = QString::fromLocal8Bit(std::strerror(w < 0 ? errno : ENOSPC));
                break;
            }
            done += w;
        }
        if (done < n)
            break;
    }
    out.close();
    QFile::remove(copy);
    return false;
}

bool IsServerName(const QString &name)
{
    // "host:/path", "host/port:/path" (a server on a port of its own) or
    // "host:C:\\path"; a plain path has no colon before its first slash.
    static const QRegularExpression server(
        QStringLiteral("^([^/\\\\]{2,}|[^/\\\\:]+/[A-Za-z0-9_-]+):"));
    return server.match(name).hasMatch();
}

} // namespace

QString TDatabaseBackup::FolderName(const QDateTime &when)
{
    return when.toString(QStringLiteral("dd.MM.yy - HH'h'mm'm'ss's'"));
}

QString TDatabaseBackup::BackupRoot()
{
    return QDir::homePath() + QStringLiteral("/Backup_OS");
}

void TDatabaseBackup::ProtectRoot(const QString &root)
{
    if (QFileInfo(root).isDir() && !QFileInfo(root).isSymLink())
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString TDatabaseBackup::MakeFolder(const QString &root, const QString &name)
{
    const QString folder = root + QLatin1Char('/') + name;
    constexpr QFileDevice::Permissions ownerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    // Each folder is made owner-only before anything is written into it.
    for (const QString &dir : {root, folder}) {
        if (!QFileInfo(dir).isDir() && !QDir().mkdir(dir) && !QDir().mkpath(dir))
            Fail(QStringLiteral("Não foi possível criar a pasta %1.").arg(QDir::toNativeSeparators(dir)));
        if (!QFileInfo(dir).isSymLink() && !QFile::setPermissions(dir, ownerOnly))
            Fail(QStringLiteral("Não foi possível proteger a pasta %1.").arg(QDir::toNativeSeparators(dir)));
    }
    return folder;
}

QString TDatabaseBackup::WriteFailedMessage(const QString &file, const QString &systemText)
{
    // The server's stream arrives through a file object whose text for a
    // full disk is "unknown": the disk's free space tells then.
    const QStorageInfo disk(QFileInfo(file).absolutePath());
    const bool full = TFbConnectMessage::IsDiskFull(systemText)
                      || (disk.isValid() && disk.bytesAvailable() < 64 * 1024);
    const QString head =
        full
            ? QStringLiteral("O disco está cheio: não há espaço para gravar o backup em %1. Libere espaço no "
                             "disco (ou use outro) e faça o backup de novo.")
            : QStringLiteral("Não foi possível gravar o backup em %1.");
    return TFbConnectMessage::WithDetail(head.arg(QDir::toNativeSeparators(QFileInfo(file).absolutePath())),
                                         systemText);
}

QString TDatabaseBackup::DatabaseFile(const TFbDatabase *db)
{
    const QString name = db->DatabaseName();
    if (IsServerName(name))
        return name.mid(name.indexOf(QLatin1Char(':'), 2) + 1);
    return name;
}

QString TDatabaseBackup::ServerOf(const TFbDatabase *db)
{
    const QString name = db->DatabaseName();
    if (!IsServerName(name))
        return {};
    return name.left(name.indexOf(QLatin1Char(':'), 2));
}

void TDatabaseBackup::FixUpCopy(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite))
        Fail(QStringLiteral("cannot open %1: %2").arg(file, f.errorString()));
    const QByteArray header = f.read(HeaderBytes);
    if (header.size() < HeaderBytes || header.at(0) != 1)
        Fail(QStringLiteral("%1 is not a database file").arg(file));
    const quint16 flags = qFromLittleEndian<quint16>(header.constData() + HeaderFlagsOffset);
    if ((flags & BackupStateMask) != BackupStateLocked)
        Fail(QStringLiteral("%1 was not copied under the backup lock").arg(file));
    uchar fixed[2];
    qToLittleEndian<quint16>(quint16(flags & ~BackupStateMask), fixed);
    if (!f.seek(HeaderFlagsOffset) || f.write(reinterpret_cast<const char *>(fixed), 2) != 2 || !f.flush())
        Fail(QStringLiteral("cannot write %1: %2").arg(file, f.errorString()));
    f.close();
}

void TDatabaseBackup::Verify(const QString &file, const TFbDatabase *like)
{
    TFbDatabase copy;
    copy.SetDatabaseName(file);
    copy.SetParams(like->Params());
    copy.SetSQLDialect(like->SQLDialect());
    TFbTransaction tr;
    tr.SetDefaultDatabase(&copy);
    copy.SetDefaultTransaction(&tr);
    copy.Open();
    TFbQuery q;
    q.SetDatabase(&copy);
    q.SetTransaction(&tr);
    // Reading the catalogue walks real pages of the copy.
    q.SetSQL(QStringLiteral("select count(*) as n from rdb$relations"));
    q.Open();
    const int relations = q.FieldByName(QStringLiteral("N"))->AsInteger();
    q.Close();
    copy.Close();
    if (relations <= 0)
        Fail(QStringLiteral("%1 holds no tables").arg(file));
}

void TDatabaseBackup::CopyDatabase(TFbDatabase *db, const QString &destination)
{
    const QString source = DatabaseFile(db);
    const QString partial = destination + QStringLiteral(".part");
    // Held while the partial file is written: the start-up of another
    // instance leaves it alone.
    QLockFile writing(partial + QStringLiteral(".lock"));
    if (!writing.tryLock(0))
        Fail(QStringLiteral("another backup is being written to %1").arg(partial));
    QFile::remove(partial);
    if (!db->Connected())
        db->Open();

    BeginLock(db);
    QString copyError;
    {
        QString readError;
        if (!CopyOwnerOnly(source, partial, readError, copyError)) {
            if (!readError.isEmpty())
                copyError = TFbConnectMessage::WithDetail(
                    QStringLiteral("Não foi possível ler o banco de dados %1.").arg(QDir::toNativeSeparators(source)),
                    readError);
            else
                copyError = WriteFailedMessage(partial, copyError);
        } else if (const auto &hook = AfterCopyHook()) {
            hook(partial);
        }
    }
    try {
        EndLock(db);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    if (!copyError.isEmpty()) {
        QFile::remove(partial);
        Fail(copyError);
    }
    try {
        FixUpCopy(partial);
        Verify(partial, db);
        if (QFileInfo::exists(destination) && !QFile::remove(destination))
            Fail(QStringLiteral("cannot replace %1").arg(destination));
        if (!QFile::rename(partial, destination))
            Fail(QStringLiteral("cannot rename %1").arg(partial));
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
}

bool TDatabaseBackup::ReleaseStaleLock(TFbDatabase *db)
{
    if (IsServerName(db->DatabaseName()) || !db->Connected())
        return false;
    const QString marker = LockMarkerFile(db);
    if (!QFileInfo::exists(marker))
        return false;
    if (BackupState(db) != 1) {
        // The lock was released but the marker stayed: it must not make an
        // administrator's later lock look like ours.
        QFile::remove(marker);
        return false;
    }
    EndLock(db);
    return true;
}

QString TDatabaseBackup::LockMarkerFile(const TFbDatabase *db)
{
    return DatabaseFile(db) + QStringLiteral(".backup-lock");
}

void TDatabaseBackup::BeginLock(TFbDatabase *db)
{
    // A server's file may live on another computer: no marker there, and
    // ReleaseStaleLock never touches a server's lock.
    const bool local = !IsServerName(db->DatabaseName());
    const QString marker = LockMarkerFile(db);
    if (local) {
        QFile f(marker);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || f.write("backup lock of this program; removed when it is released\n") < 0 || !f.flush())
            Fail(QStringLiteral("cannot write %1: %2").arg(marker, f.errorString()));
    }
    try {
        RunAlone(db, QStringLiteral("alter database begin backup"));
    } catch (...) {
        if (local)
            QFile::remove(marker);
        throw;
    }
}

void TDatabaseBackup::EndLock(TFbDatabase *db)
{
    RunAlone(db, QStringLiteral("alter database end backup"));
    if (!IsServerName(db->DatabaseName()))
        QFile::remove(LockMarkerFile(db));
}

QStringList TDatabaseBackup::RemoveLeftovers(const QString &root)
{
    // At every start: a folder an older version left open to every user
    // is closed.
    ProtectRoot(root);
    QStringList removed;
    // Only the dated folders this program names.
    static const QRegularExpression dated(QStringLiteral("^\\d{2}\\.\\d{2}\\.\\d{2} - \\d{2}h\\d{2}m\\d{2}s$"));
    const QDir top(root);
    for (const QFileInfo &folder : top.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!dated.match(folder.fileName()).hasMatch() || folder.isSymLink())
            continue;
        QDir dir(folder.absoluteFilePath());
        for (const QString &name : {QStringLiteral("DADOS.GDB.part"), QStringLiteral("DADOS.FBK.part")}) {
            const QString file = dir.filePath(name);
            if (!QFileInfo(file).isFile())
                continue;
            // A backup still running (another instance) holds this lock.
            QLockFile writing(file + QStringLiteral(".lock"));
            if (!writing.tryLock(0))
                continue;
            if (QFile::remove(file))
                removed << file;
            writing.unlock();
        }
        if (dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            top.rmdir(folder.fileName());
    }
    return removed;
}

void TDatabaseBackup::SetAfterCopyHook(std::function<void(const QString &)> hook)
{
    AfterCopyHook() = std::move(hook);
}
