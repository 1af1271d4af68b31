#include "data/tdmschema.h"
#include "data/efberror.h"
#include "data/tfbconnectmessage.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbservices.h"
#include "data/tfbtransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

const std::vector<TDmTable> &TDmSchema::Tables()
{
    static const std::vector<TDmTable> tables = {
    {"CLIENTES", "IDCLIENTE", "ClientesQuery", "ClientesUpdate", "AuxQuery",
     "GEN_IDCLIENTE", "DATACADASTRO",
     {
      {"IDCLIENTE", TFbFieldKind::Integer, 0},
      {"NOME", TFbFieldKind::String, 70},
      {"FONERES", TFbFieldKind::String, 13},
      {"FONECOM", TFbFieldKind::String, 13},
      {"FONECEL", TFbFieldKind::String, 13},
      {"END1", TFbFieldKind::String, 100},
      {"END2", TFbFieldKind::String, 100},
      {"CIDADE", TFbFieldKind::String, 50},
      {"UF", TFbFieldKind::String, 2},
      {"CEP", TFbFieldKind::String, 9},
      {"CPF", TFbFieldKind::String, 20},
      {"RG", TFbFieldKind::String, 20},
      {"EMAIL", TFbFieldKind::String, 150},
      {"CNPJ", TFbFieldKind::String, 50},
      {"IE", TFbFieldKind::String, 50},
      {"PESSOACONT", TFbFieldKind::String, 70},
      {"DATACADASTRO", TFbFieldKind::DateTime, 0},
      {"TIPOANOT", TFbFieldKind::Integer, 0},
      {"ANOTA", TFbFieldKind::String, 300},
      {"TIPOPESSOA", TFbFieldKind::Integer, 0}
     }},
    {"ORDEMSERV", "IDORDEM", "OrdensQuery", "OrdensUpdate", "AuxQuery2",
     "GEN_IDORDEM", "DATACAD",
     {
      {"IDORDEM", TFbFieldKind::Integer, 0},
      {"DESCRICAO", TFbFieldKind::String, 100},
      {"SOLICITANTE", TFbFieldKind::String, 70},
      {"DATACAD", TFbFieldKind::DateTime, 0},
      {"PRAZOENTREGA", TFbFieldKind::String, 20},
      {"ANOTA", TFbFieldKind::String, 300},
      {"REPARO", TFbFieldKind::String, 300},
      {"TECNICO", TFbFieldKind::String, 70},
      {"DATASAIDA", TFbFieldKind::DateTime, 0},
      {"SITUACAO", TFbFieldKind::String, 20},
      {"VALOR", TFbFieldKind::Currency, 0},
      {"JUROS", TFbFieldKind::Currency, 0},
      {"VALORTOT", TFbFieldKind::Currency, 0},
      {"DESCONTO", TFbFieldKind::Currency, 0},
      {"IDCLIENTE", TFbFieldKind::Integer, 0},
      {"NORDEM", TFbFieldKind::String, 10}
     }},
    {"CONFIG", "IDCONFIG", "ConfigQuery", "ConfigUpdate", "",
     "", "",
     {
      {"IDCONFIG", TFbFieldKind::Integer, 0},
      {"CAB1", TFbFieldKind::String, 100},
      {"CAB2", TFbFieldKind::String, 100},
      {"CAB3", TFbFieldKind::String, 100},
      {"CAB4", TFbFieldKind::String, 100},
      {"VERDE", TFbFieldKind::String, 150},
      {"AZUL", TFbFieldKind::String, 150},
      {"VERMELHO", TFbFieldKind::String, 150}
     }},
    {"FORNECEDORES", "IDFORNECE", "ForneQuery", "ForneUpdate", "AuxQuery3",
     "GEN_IDFORNECE", "DATA",
     {
      {"IDFORNECE", TFbFieldKind::Integer, 0},
      {"RAZAOSOCIAL", TFbFieldKind::String, 100},
      {"NOMEFANTASIA", TFbFieldKind::String, 150},
      {"CNPJ", TFbFieldKind::String, 70},
      {"IE", TFbFieldKind::String, 70},
      {"END1", TFbFieldKind::String, 150},
      {"END2", TFbFieldKind::String, 150},
      {"CIDADE", TFbFieldKind::String, 50},
      {"UF", TFbFieldKind::String, 2},
      {"CEP", TFbFieldKind::String, 9},
      {"FONE", TFbFieldKind::String, 13},
      {"FAX", TFbFieldKind::String, 13},
      {"ANOTA", TFbFieldKind::String, 300},
      {"PESSOACONT", TFbFieldKind::String, 70},
      {"SITE", TFbFieldKind::String, 100},
      {"DATA", TFbFieldKind::DateTime, 0},
      {"EMAIL", TFbFieldKind::String, 150}
     }},
    {"PRODFORNE", "IDPROD", "ProdForneQuery", "ProdForneUpdate", "AuxQuery4",
     "GEN_IDPROD", "DATACAD",
     {
      {"IDPROD", TFbFieldKind::Integer, 0},
      {"DESCRICAO", TFbFieldKind::String, 200},
      {"IDFORNECE", TFbFieldKind::Integer, 0},
      {"GRUPO", TFbFieldKind::String, 50},
      {"MARCA", TFbFieldKind::String, 100},
      {"CUSTOCOMPRA", TFbFieldKind::Currency, 0},
      {"CUSTOVENDA", TFbFieldKind::Currency, 0},
      {"ANOTA", TFbFieldKind::String, 200},
      {"QTDEDISP", TFbFieldKind::Integer, 0},
      {"QTDEMIN", TFbFieldKind::Integer, 0},
      {"DATACAD", TFbFieldKind::DateTime, 0},
      {"NOMEFORNE", TFbFieldKind::String, 150}
     }},
    {"PRODENT", "IDPRODENT", "ProdEntQuery", "ProdEntUpdate", "AuxQuery5",
     "GEN_IDPRODENT", "DATACAD",
     {
      {"IDPRODENT", TFbFieldKind::Integer, 0},
      {"IDPROD", TFbFieldKind::Integer, 0},
      {"DATACAD", TFbFieldKind::DateTime, 0},
      {"QTDEENT", TFbFieldKind::Integer, 0},
      {"OBS", TFbFieldKind::String, 200},
      {"TIPO", TFbFieldKind::String, 7},
      {"NOMEFORNE", TFbFieldKind::String, 100},
      {"DESCRICAO", TFbFieldKind::String, 200}
     }},
    };
    return tables;
}

const TDmTable *TDmSchema::Table(const QString &name)
{
    for (const TDmTable &t : Tables())
        if (name.compare(QLatin1String(t.table), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

static QStringList ColumnsByName(const TDmTable &t)
{
    QStringList names;
    for (const TDmColumn &c : t.columns)
        names << QLatin1String(c.name);
    std::sort(names.begin(), names.end());
    return names;
}

QStringList TDmSchema::RefreshSQL(const TDmTable &t)
{
    QStringList s{QStringLiteral("Select ")};
    for (size_t i = 0; i < t.columns.size(); ++i)
        s << QStringLiteral("  ") + QLatin1String(t.columns[i].name)
                 + (i + 1 < t.columns.size() ? QStringLiteral(",") : QString());
    const QString key = QLatin1String(t.key);
    s << QStringLiteral("from %1 ").arg(QLatin1String(t.table)) << QStringLiteral("where")
      << QStringLiteral("  %1 = :%1").arg(key);
    return s;
}

QStringList TDmSchema::ModifySQL(const TDmTable &t)
{
    QStringList s{QStringLiteral("update %1").arg(QLatin1String(t.table)), QStringLiteral("set")};
    const QStringList names = ColumnsByName(t);
    for (int i = 0; i < names.size(); ++i)
        s << QStringLiteral("  %1 = :%1").arg(names[i]) + (i + 1 < names.size() ? QStringLiteral(",") : QString());
    s << QStringLiteral("where") << QStringLiteral("  %1 = :OLD_%1").arg(QLatin1String(t.key));
    return s;
}

QStringList TDmSchema::InsertSQL(const TDmTable &t)
{
    const QStringList names = ColumnsByName(t);
    QStringList params;
    for (const QString &n : names)
        params << QLatin1Char(':') + n;
    return {QStringLiteral("insert into %1").arg(QLatin1String(t.table)),
            QStringLiteral("  (%1)").arg(names.join(QStringLiteral(", "))), QStringLiteral("values"),
            QStringLiteral("  (%1)").arg(params.join(QStringLiteral(", ")))};
}

QStringList TDmSchema::DeleteSQL(const TDmTable &t)
{
    return {QStringLiteral("delete from %1").arg(QLatin1String(t.table)), QStringLiteral("where"),
            QStringLiteral("  %1 = :OLD_%1").arg(QLatin1String(t.key))};
}

QStringList TDmSchema::CreateTableStatements()
{
    QStringList out;
    for (const TDmTable &t : Tables()) {
        QStringList cols;
        for (const TDmColumn &c : t.columns) {
            QString type;
            switch (c.kind) {
            case TFbFieldKind::String: type = QStringLiteral("VARCHAR(%1)").arg(c.size); break;
            case TFbFieldKind::DateTime: type = QStringLiteral("DATE"); break;
            case TFbFieldKind::Currency: case TFbFieldKind::Float: type = QStringLiteral("DOUBLE PRECISION"); break;
            default: type = QStringLiteral("INTEGER"); break;
            }
            QString line = QStringLiteral("  %1 %2").arg(QLatin1String(c.name), type);
            if (qstrcmp(c.name, t.key) == 0)
                line += QStringLiteral(" NOT NULL");
            cols << line;
        }
        cols << QStringLiteral("  CONSTRAINT PK_%1 PRIMARY KEY (%2)").arg(QLatin1String(t.table), QLatin1String(t.key));
        out << QStringLiteral("CREATE TABLE %1 (\n%2\n)").arg(QLatin1String(t.table), cols.join(QStringLiteral(",\n")));
    }
    return out;
}

QString TDmSchema::NextKeySQL(const TDmTable &t)
{
    return QStringLiteral("select gen_id(%1, 1) as cod from rdb$database").arg(QLatin1String(t.generator));
}

namespace {
// The one value of a one-row, one-column statement (null reads as 0).
qint64 Scalar(TFbQuery &q, const QString &sql)
{
    q.Close();
    q.SetSQL(sql);
    q.Open();
    const qint64 v = q.Fields().front()->AsLargeInt();
    q.Close();
    return v;
}

// Every table with a new-record rule has its key generator, and no
// generator is behind the highest key of its table: a database made before
// keys came from generators, or rows written by an older copy of the program
// on another computer, would otherwise make new records collide with
// existing rows.
void EnsureKeyGenerators(TFbQuery &q, TFbTransaction &tr)
{
    for (const TDmTable &t : TDmSchema::Tables()) {
        if (!*t.generator)
            continue;
        const QString gen = QLatin1String(t.generator);
        const QString exists =
                QStringLiteral("select count(*) from rdb$generators where rdb$generator_name = '%1'").arg(gen);
        if (Scalar(q, exists) == 0) {
            try {
                q.SetSQL(QStringLiteral("create generator %1").arg(gen));
                q.Execute();
                tr.Commit();
            } catch (const EFbError &) {
                // Another computer may have created it at the same moment.
                try {
                    tr.Rollback();
                } catch (const EFbError &) {
                }
                if (Scalar(q, exists) == 0)
                    throw;
            }
        }
        const qint64 now = Scalar(q, QStringLiteral("select gen_id(%1, 0) from rdb$database").arg(gen));
        // Only keys above the generator matter: the key's index finds them
        // at once, where a plain max() reads every row of a large table at
        // every start.
        const qint64 top = Scalar(q, QStringLiteral("select max(%1) from %2 where %1 > %3")
                                         .arg(QLatin1String(t.key), QLatin1String(t.table))
                                         .arg(now));
        // Raised by the difference, not set: keys other computers take
        // meanwhile only move it further up.
        if (top > now)
            Scalar(q, QStringLiteral("select gen_id(%1, %2) from rdb$database").arg(gen).arg(top - now));
    }
}
} // namespace

void TDmSchema::BringUpToDate(TFbDatabase &db)
{
    TFbTransaction::RunAlone(&db, [](TFbQuery &q) { EnsureKeyGenerators(q, *q.Transaction()); });
}

const QList<TDmSchema::TDmIndex> &TDmSchema::Indexes()
{
    static const QList<TDmIndex> indexes{
        {OrderClientIndex, "ORDEMSERV", "IDCLIENTE", "abrir as ordens de um cliente"},
        {MovementDateIndex, "PRODENT", "DATACAD", "o relatório de estoque de um período"},
        {ClientNameIndex, "CLIENTES", "NOME", "a lista de clientes"},
        {SupplierNameIndex, "FORNECEDORES", "NOMEFANTASIA", "a lista de fornecedores"},
        {ProductNameIndex, "PRODFORNE", "DESCRICAO", "a lista de produtos"},
    };
    return indexes;
}

QString TDmSchema::CreateIndexStatement(const TDmIndex &index)
{
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(QLatin1String(index.name), QLatin1String(index.table), QLatin1String(index.column));
}

QString TDmSchema::DefaultDatabasePath()
{
    return QDir::homePath() + QStringLiteral("/OS - Tarvo Vodevuru/DADOS.GDB");
}

void TDmSchema::CreateDatabaseFile(const QString &path)
{
    CreateDatabaseFile(path, QLatin1String(UserName), QLatin1String(Password));
}

QString TDmSchema::CreationFailedMessage(const QString &path, const QString &engineText)
{
    const QString head =
        TFbConnectMessage::IsDiskFull(engineText)
            ? QStringLiteral("O disco está cheio: não há espaço para criar o banco de dados em \"%1\". "
                             "Libere espaço no disco e tente de novo.")
            : QStringLiteral("Não foi possível criar o banco de dados em \"%1\".");
    return TFbConnectMessage::WithDetail(head.arg(QDir::toNativeSeparators(path)), engineText);
}

void TDmSchema::CreateDatabaseFile(const QString &path, const QString &user, const QString &password)
{
    const bool local = !TFbDatabase::IsRemoteName(path);
    if (local) {
        if (QFileInfo::exists(path))
            throw EFbError(QStringLiteral("O arquivo \"%1\" já existe e não foi alterado").arg(path));
        const QString dir = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(dir))
            throw EFbError(QStringLiteral("Não foi possível criar a pasta \"%1\"").arg(dir));
    }
    const QStringList params{QStringLiteral("user_name=%1").arg(user), QStringLiteral("password=%1").arg(password)};
    // Past this point the file is this call's own: a creation that stops
    // half-way (a full disk) takes its file away, or the half-made file
    // would be refused at every later start and by every later creation.
    bool made = false;
    try {
        TFbDatabase::CreateDatabase(path, user, password);
        made = true;
        TFbDatabase db;
        TFbTransaction tr;
        db.SetDatabaseName(path);
        db.SetParams(params);
        db.SetDefaultTransaction(&tr);
        tr.SetDefaultDatabase(&db);
        db.Open();
        TFbQuery q;
        q.SetDatabase(&db);
        QStringList statements = CreateTableStatements();
        for (const TDmIndex &index : Indexes())
            statements << CreateIndexStatement(index);
        for (const QString &ddl : statements) {
            q.SetSQL(ddl);
            q.Execute();
        }
        tr.Commit();
        q.SetSQL(QStringLiteral("insert into CONFIG (IDCONFIG) values (1)"));
        q.Execute();
        tr.Commit();
        BringUpToDate(db);
        db.Close();
    } catch (const std::exception &e) {
        // The attachment is gone with `db` above; what is left is the file.
        if (local) {
            QFile::remove(path);
        } else if (made) {
            try {
                TFbServices::DropDatabase(path, user, password);
            } catch (...) {
            }
        }
        throw EFbError(CreationFailedMessage(path, QString::fromUtf8(e.what())));
    }
}
