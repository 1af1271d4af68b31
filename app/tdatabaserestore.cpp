#include "app/tdatabaserestore.h"

#include "app/tdatabasebackup.h"
#include "data/efberror.h"
#include "data/tfbconnectmessage.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbservices.h"
#include "data/tfbtransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <stdexcept>

namespace {

std::function<void(const QString &)> &StepHook()
{
    static std::function<void(const QString &)> hook;
    return hook;
}

void Step(const QString &name)
{
    if (const auto &hook = StepHook())
        hook(name);
}

[[noreturn]] void Fail(const QString &why)
{
    throw std::runtime_error(why.toStdString());
}

// How each table is called on the screens.
QString TableCaption(const QString &table)
{
    static const QList<QPair<QString, QString>> captions = {
        {QStringLiteral("CLIENTES"), QStringLiteral("Clientes")},
        {QStringLiteral("ORDEMSERV"), QStringLiteral("Ordens de serviço")},
        {QStringLiteral("CONFIG"), QStringLiteral("Configuração")},
        {QStringLiteral("FORNECEDORES"), QStringLiteral("Fornecedores")},
        {QStringLiteral("PRODFORNE"), QStringLiteral("Produtos")},
        {QStringLiteral("PRODENT"), QStringLiteral("Movimentos de estoque")},
    };
    for (const auto &c : captions)
        if (c.first == table)
            return c.second;
    return table;
}

const QStringList &BackupFileNames()
{
    static const QStringList names{QStringLiteral("DADOS.GDB"), QStringLiteral("DADOS.FBK")};
    return names;
}

} // namespace

QDateTime TDatabaseRestore::BackupDate(const QString &file)
{
    const QFileInfo info(file);
    const QString folder = info.dir().dirName();
    QDateTime when = QDateTime::fromString(folder, QStringLiteral("dd.MM.yy - HH'h'mm'm'ss's'"));
    if (when.isValid()) {
        // Two-digit years are read in the 1900s.
        if (when.date().year() < 2000)
            when = when.addYears(100);
        return when;
    }
    return info.lastModified();
}

bool TDatabaseRestore::IsServerFormat(const QString &file)
{
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == QLatin1String("fbk") || suffix == QLatin1String("gbk");
}

QList<TBackupEntry> TDatabaseRestore::ListBackups(const QString &root)
{
    QList<TBackupEntry> found;
    const QDir dir(root);
    for (const QFileInfo &folder : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString &name : BackupFileNames()) {
            const QFileInfo file(folder.absoluteFilePath() + QLatin1Char('/') + name);
            if (file.isFile())
                found.append({file.absoluteFilePath(), BackupDate(file.absoluteFilePath()), file.size()});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const TBackupEntry &a, const TBackupEntry &b) { return a.when > b.when; });
    return found;
}

TDatabaseRestore::Contents TDatabaseRestore::ReadContents(const QString &name, const TFbDatabase *like)
{
    Contents contents;
    try {
        TFbDatabase db;
        db.SetDatabaseName(name);
        db.SetParams(like->Params());
        db.SetSQLDialect(like->SQLDialect());
        TFbTransaction tr;
        tr.SetDefaultDatabase(&db);
        db.SetDefaultTransaction(&tr);
        try {
            db.Open();
        } catch (const EFbError &e) {
            Fail(TFbConnectMessage::WithDetail(QStringLiteral("O arquivo não pôde ser aberto como banco de dados: "
                                                              "não é um backup deste sistema ou está danificado."),
                                               e.Message()));
        }
        TFbQuery q;
        q.SetDatabase(&db);
        q.SetTransaction(&tr);
        QStringList missing;
        for (const TDmTable &t : TDmSchema::Tables()) {
            q.Close();
            q.SetSQL(QStringLiteral("select count(*) as n from rdb$relations where rdb$relation_name = '%1'")
                         .arg(QLatin1String(t.table)));
            q.Open();
            if (q.FieldByName(QStringLiteral("N"))->AsInteger() == 0)
                missing << QLatin1String(t.table);
        }
        if (!missing.isEmpty())
            Fail(QStringLiteral("O arquivo é um banco de dados, mas não deste sistema: faltam as tabelas %1.")
                     .arg(missing.join(QStringLiteral(", "))));
        // Counting reads every page of every table: a damaged copy fails here.
        for (const TDmTable &t : TDmSchema::Tables()) {
            q.Close();
            q.SetSQL(QStringLiteral("select count(*) as n from %1").arg(QLatin1String(t.table)));
            q.Open();
            contents.append({QLatin1String(t.table), q.FieldByName(QStringLiteral("N"))->AsLargeInt()});
        }
        q.Close();
        tr.Commit();
        db.Close();
    } catch (const EFbError &e) {
        Fail(TFbConnectMessage::WithDetail(
            QStringLiteral("O backup está danificado: não foi possível ler os seus dados."), e.Message()));
    }
    return contents;
}

QString TDatabaseRestore::ContentsText(const Contents &contents)
{
    QStringList lines;
    for (const auto &c : contents)
        lines << QStringLiteral("%1: %2").arg(TableCaption(c.first)).arg(c.second);
    return lines.join(QLatin1Char('\n'));
}

int TDatabaseRestore::OtherAttachments(TFbDatabase *db)
{
    int others = 0;
    // The engine's own attachments (its garbage collector, cache writer)
    // are not computers of the shop.
    TFbTransaction::RunAlone(db, [&](TFbQuery &q) {
        q.SetSQL(QStringLiteral("select count(*) as n from mon$attachments "
                                "where mon$attachment_id <> current_connection and mon$system_flag = 0"));
        q.Open();
        others = q.FieldByName(QStringLiteral("N"))->AsInteger();
    });
    return others;
}

QString TDatabaseRestore::KeptName(const QString &current, const QDateTime &now)
{
    const QFileInfo info(current);
    const QString base = info.absolutePath() + QLatin1Char('/') + info.completeBaseName()
                         + QStringLiteral(" - substituído em ") + TDatabaseBackup::FolderName(now);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString name = base + suffix;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = base + QStringLiteral(" (%1)").arg(n) + suffix;
    return name;
}

TDatabaseRestore::TPrepared TDatabaseRestore::Prepare(const QString &backup, TFbDatabase *db, const QDateTime &now)
{
    if (TFbDatabase::IsRemoteName(db->DatabaseName()))
        Fail(QStringLiteral("O banco de dados está num servidor: a restauração é feita no servidor."));
    TPrepared p;
    p.backup = QFileInfo(backup).absoluteFilePath();
    p.current = QFileInfo(TDatabaseBackup::DatabaseFile(db)).absoluteFilePath();
    if (!QFileInfo(p.backup).isFile())
        Fail(QStringLiteral("O arquivo %1 não foi encontrado.").arg(QDir::toNativeSeparators(p.backup)));
    if (p.backup == p.current)
        Fail(QStringLiteral("Este é o próprio banco de dados em uso, não um backup."));
    if (!db->Connected())
        db->Open();
    if (const int others = OtherAttachments(db); others > 0)
        Fail(QStringLiteral("O banco de dados está aberto em outro computador ou programa (%1 conexão(ões)). "
                            "Feche o sistema nos outros computadores e tente de novo.").arg(others));
    p.when = BackupDate(p.backup);
    p.kept = KeptName(p.current, now);
    // The copy is made beside the database file, so that putting it in
    // place is a rename on the same disk, and it is the copy that is
    // checked: opening the chosen file itself could write to it.
    p.scratch = p.current + QStringLiteral(".restaurar");
    QFile::remove(p.scratch);
    try {
        if (IsServerFormat(p.backup)) {
            QFile in(p.backup);
            if (!in.open(QIODevice::ReadOnly))
                Fail(QStringLiteral("Não foi possível ler %1: %2").arg(QDir::toNativeSeparators(p.backup),
                                                                      in.errorString()));
            try {
                TFbServices local(QString(), db->Param(QStringLiteral("user_name")),
                                  db->Param(QStringLiteral("password")));
                local.Restore(in, p.scratch);
            } catch (const EFbError &e) {
                Fail(TFbConnectMessage::WithDetail(QStringLiteral("O backup não pôde ser restaurado: não é um "
                                                                  "backup deste sistema ou está danificado."),
                                                   e.Message()));
            }
        } else {
            QFile in(p.backup);
            if (!in.copy(p.scratch))
                Fail(QStringLiteral("Não foi possível copiar %1 para %2: %3")
                         .arg(QDir::toNativeSeparators(p.backup), QDir::toNativeSeparators(p.scratch),
                              in.errorString()));
        }
        p.contents = ReadContents(p.scratch, db);
    } catch (...) {
        QFile::remove(p.scratch);
        throw;
    }
    return p;
}

void TDatabaseRestore::Discard(const TPrepared &prepared)
{
    QFile::remove(prepared.scratch);
}

void TDatabaseRestore::Replace(TDM *dm, const TPrepared &p)
{
    TFbDatabase *db = dm->Database;
    if (!QFileInfo(p.scratch).isFile())
        Fail(QStringLiteral("A cópia verificada do backup não está mais em %1.").arg(QDir::toNativeSeparators(p.scratch)));
    if (db->Connected()) {
        if (const int others = OtherAttachments(db); others > 0)
            Fail(QStringLiteral("O banco de dados está aberto em outro computador ou programa (%1 conexão(ões)). "
                                "Feche o sistema nos outros computadores e tente de novo.").arg(others));
    }
    // Refused (nothing closed) while a screen holds an entry.
    dm->CloseAll();

    enum { Closed, Kept, Swapped } reached = Closed;
    try {
        Step(QStringLiteral("closed"));
        if (!QFile::rename(p.current, p.kept))
            Fail(QStringLiteral("Não foi possível guardar o banco de dados atual em %1.")
                     .arg(QDir::toNativeSeparators(p.kept)));
        reached = Kept;
        Step(QStringLiteral("kept"));
        if (!QFile::rename(p.scratch, p.current))
            Fail(QStringLiteral("Não foi possível pôr o backup no lugar do banco de dados."));
        reached = Swapped;
        Step(QStringLiteral("swapped"));
        dm->OpenAll();
        Step(QStringLiteral("reopened"));
    } catch (const std::exception &e) {
        // Back to the database as it was.
        QString undo;
        try {
            dm->CloseAll();
        } catch (...) {
        }
        if (reached == Swapped && !QFile::rename(p.current, p.scratch))
            QFile::remove(p.current);
        if (reached >= Kept && !QFile::rename(p.kept, p.current))
            undo = QStringLiteral("\nATENÇÃO: o banco de dados anterior ficou em %1.").arg(QDir::toNativeSeparators(p.kept));
        QFile::remove(p.scratch);
        try {
            dm->OpenAll();
        } catch (const std::exception &again) {
            undo += QStringLiteral("\nO banco de dados não pôde ser reaberto: %1").arg(QString::fromUtf8(again.what()));
        }
        Fail(QStringLiteral("A restauração falhou e o banco de dados atual foi mantido como estava.\nMotivo: %1%2")
                 .arg(QString::fromUtf8(e.what()), undo));
    }
}

void TDatabaseRestore::SetStepHook(std::function<void(const QString &)> hook)
{
    StepHook() = std::move(hook);
}
