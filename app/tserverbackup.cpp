#include "app/tserverbackup.h"

#include "app/tdatabasebackup.h"
#include "data/efberror.h"
#include "data/tfbconnectmessage.h"
#include "data/tfbdatabase.h"
#include "data/tfbservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <stdexcept>

namespace {

[[noreturn]] void Fail(const QString &why)
{
    throw std::runtime_error(why.toStdString());
}

QString User(const TFbDatabase *db)
{
    return db->Param(QStringLiteral("user_name"));
}

QString Password(const TFbDatabase *db)
{
    return db->Param(QStringLiteral("password"));
}

// A new file beside the database on the server.
QString Beside(const TFbDatabase *db, const QString &fileName)
{
    const QString name = db->DatabaseName();
    const QString server = TFbServices::ServerOf(name);
    QString file = TFbServices::FileOf(name);
    const int slash = qMax(file.lastIndexOf(QLatin1Char('/')), file.lastIndexOf(QLatin1Char('\\')));
    file = file.left(slash + 1) + fileName;
    return server + QLatin1Char(':') + file;
}

// Whether the database file `name` is there on the server: only a file that
// is not found counts as absent.
bool Exists(TFbDatabase *db, const QString &name)
{
    TFbDatabase probe;
    probe.SetDatabaseName(name);
    probe.SetParams(db->Params());
    try {
        probe.Open();
    } catch (const EFbError &e) {
        constexpr long IoError = 335544344;
        return !(e.GdsCode() == IoError && e.Message().contains(QStringLiteral("não foi encontrado")));
    }
    probe.Close();
    return true;
}

// Restores `file` into `name` on the server and reads it; nothing is left
// on the server when that fails.
TDatabaseRestore::Contents RestoreAndRead(TFbDatabase *db, const QString &file, const QString &name)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Não foi possível ler %1: %2").arg(QDir::toNativeSeparators(file), in.errorString()));
    if (Exists(db, name))
        Fail(QStringLiteral("O servidor não restaurou o backup: o arquivo %1 já existe no servidor e não é "
                            "substituído.").arg(name));
    try {
        TFbServices services(TFbServices::ServerOf(name), User(db), Password(db));
        services.Restore(in, TFbServices::FileOf(name));
    } catch (const EFbError &e) {
        // A restore that stops half-way leaves its file on the server; it
        // did not exist before, so it is this restore's own.
        try {
            TFbServices::DropDatabase(name, User(db), Password(db));
        } catch (...) {
        }
        if (e.Message().contains(QLatin1String("CREATE access to DATABASE")))
            Fail(TFbConnectMessage::WithDetail(QStringLiteral("O usuário \"%1\" não tem permissão para criar bancos "
                                                              "de dados no servidor (veja o README).").arg(User(db)),
                                               e.Message()));
        Fail(TFbConnectMessage::WithDetail(QStringLiteral("O servidor não conseguiu restaurar o backup: não é um "
                                                          "backup deste sistema ou está danificado."),
                                           e.Message()));
    }
    try {
        return TDatabaseRestore::ReadContents(name, db);
    } catch (...) {
        try {
            TFbServices::DropDatabase(name, User(db), Password(db));
        } catch (...) {
        }
        throw;
    }
}

std::function<void(const QString &)> &DuringCheckHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

void WritePending(const QStringList &names)
{
    const QString file = TServerBackup::PendingChecksFile();
    if (names.isEmpty()) {
        QFile::remove(file);
        return;
    }
    QDir().mkpath(QFileInfo(file).absolutePath());
    TDatabaseBackup::ProtectRoot(QFileInfo(file).absolutePath());
    QFile f(file);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(names.join(QLatin1Char('\n')).toUtf8() + '\n');
}

// Only the names this program gives its scratch databases are ever dropped.
bool IsScratchName(const QString &name)
{
    static const QRegularExpression scratch(QStringLiteral("[/\\\\]DADOS_VERIFICACAO_\\d{8}_\\d{9}\\.GDB$"));
    return TFbDatabase::IsRemoteName(name) && scratch.match(name).hasMatch();
}

} // namespace

QString TServerBackup::PendingChecksFile()
{
    return TDatabaseBackup::BackupRoot() + QStringLiteral("/.verificacoes-pendentes");
}

QStringList TServerBackup::PendingChecks()
{
    QFile f(PendingChecksFile());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList TServerBackup::RemoveLeftovers(TFbDatabase *db)
{
    QStringList dropped;
    if (!TFbDatabase::IsRemoteName(db->DatabaseName()))
        return dropped;
    const QString server = TFbServices::ServerOf(db->DatabaseName());
    QStringList keep;
    for (const QString &name : PendingChecks()) {
        // Another server's: left for a start on that server.
        if (!IsScratchName(name) || TFbServices::ServerOf(name) != server) {
            if (IsScratchName(name))
                keep << name;
            continue;
        }
        if (!Exists(db, name))
            continue;
        try {
            TFbServices::DropDatabase(name, User(db), Password(db));
            dropped << name;
        } catch (const EFbError &e) {
            qWarning("could not remove the scratch database %s: %s", qPrintable(name), e.what());
            keep << name;
        }
    }
    WritePending(keep);
    return dropped;
}

void TServerBackup::SetDuringCheckHook(std::function<void(const QString &)> hook)
{
    DuringCheckHook() = std::move(hook);
}

void TServerBackup::Backup(TFbDatabase *db, const QString &destination)
{
    const QString name = db->DatabaseName();
    if (!TFbDatabase::IsRemoteName(name))
        Fail(QStringLiteral("O banco de dados não está num servidor."));
    const QString partial = destination + QStringLiteral(".part");
    // Held while the partial file is written: the start-up of another
    // instance leaves it alone.
    QLockFile writing(partial + QStringLiteral(".lock"));
    if (!writing.tryLock(0))
        Fail(QStringLiteral("Outro backup está sendo gravado em %1.").arg(QDir::toNativeSeparators(partial)));
    QFile::remove(partial);
    try {
        {
            QFile out(partial);
            // Unbuffered: a full disk is met at the write that meets it.
            if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                Fail(TDatabaseBackup::WriteFailedMessage(partial, out.errorString()));
            // The shop's clients are in it: its owner's only.
            out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            try {
                TFbServices services(TFbServices::ServerOf(name), User(db), Password(db));
                services.Backup(TFbServices::FileOf(name), out);
            } catch (const EFbError &e) {
                if (out.error() != QFileDevice::NoError)
                    Fail(TDatabaseBackup::WriteFailedMessage(partial, out.errorString()));
                // The server lets only the database's owner (or its
                // administrator) make a backup.
                const QString owner = e.Message().contains(QLatin1String("owner of the database"))
                                          ? QStringLiteral(" O usuário \"%1\" não é o dono deste banco de dados no "
                                                           "servidor; só o dono pode fazer o backup.").arg(User(db))
                                          : QString();
                Fail(TFbConnectMessage::WithDetail(QStringLiteral("O servidor não conseguiu fazer o backup.") + owner,
                                                   e.Message()));
            }
            if (!out.flush())
                Fail(TDatabaseBackup::WriteFailedMessage(partial, out.errorString()));
            out.close();
        }
        // The check: the server restores it into a scratch database.
        const QString scratch =
            Beside(db, QStringLiteral("DADOS_VERIFICACAO_%1.GDB")
                           .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmsszzz"))));
        // Noted before it exists: a program killed during the check leaves
        // the note, and its next start removes the scratch database.
        WritePending(PendingChecks() << scratch);
        try {
            RestoreAndRead(db, partial, scratch);
            if (const auto &hook = DuringCheckHook())
                hook(scratch);
        } catch (const std::exception &e) {
            // RestoreAndRead leaves nothing on the server when it fails.
            QStringList pending = PendingChecks();
            pending.removeAll(scratch);
            WritePending(pending);
            Fail(QStringLiteral("O backup foi recebido, mas não passou na verificação.\n%1")
                     .arg(QString::fromUtf8(e.what())));
        }
        try {
            TFbServices::DropDatabase(scratch, User(db), Password(db));
            QStringList pending = PendingChecks();
            pending.removeAll(scratch);
            WritePending(pending);
        } catch (const EFbError &e) {
            // Still noted: the next start tries again.
            qWarning("could not remove the scratch database %s: %s", qPrintable(scratch), e.what());
        }
        if (QFileInfo::exists(destination) && !QFile::remove(destination))
            Fail(QStringLiteral("Não foi possível substituir %1.").arg(QDir::toNativeSeparators(destination)));
        if (!QFile::rename(partial, destination))
            Fail(QStringLiteral("Não foi possível renomear %1.").arg(QDir::toNativeSeparators(partial)));
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
}

QString TServerBackup::RestoredName(const TFbDatabase *db, const QDateTime &now)
{
    return Beside(db, QStringLiteral("DADOS_RESTAURADO_%1.GDB").arg(now.toString(QStringLiteral("yyyyMMdd_HHmmss"))));
}

TDatabaseRestore::Contents TServerBackup::Restore(TFbDatabase *db, const QString &backupFile, const QString &newName)
{
    if (!TDatabaseRestore::IsServerFormat(backupFile))
        Fail(QStringLiteral("Este arquivo é a cópia de um banco de dados local. Para o servidor escolha um "
                            "backup feito do servidor (DADOS.FBK)."));
    return RestoreAndRead(db, backupFile, newName);
}

void TServerBackup::Drop(TFbDatabase *db, const QString &name)
{
    TFbServices::DropDatabase(name, User(db), Password(db));
}
