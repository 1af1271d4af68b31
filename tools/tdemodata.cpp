#include "tools/tdemodata.h"
#include "data/efberror.h"
#include "data/tfbclient.h"
#include "data/tdmschema.h"
#include "data/tfbconvert.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "data/tfbupdatesql.h"
#include "data/tmoney.h"

#include <QDate>
#include <QHash>
#include <QRandomGenerator>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const char *const kFirst[] = {
    "Ana", "Maria", "José", "João", "Antônio", "Francisco", "Carlos", "Paulo", "Pedro", "Lucas",
    "Luiz", "Marcos", "Luís", "Gabriel", "Rafael", "Daniel", "Marcelo", "Bruno", "Eduardo", "Felipe",
    "Raimundo", "Rodrigo", "Manoel", "Mateus", "André", "Fernando", "Fábio", "Leonardo", "Gustavo",
    "Juliana", "Adriana", "Márcia", "Fernanda", "Patrícia", "Aline", "Sandra", "Camila", "Amanda",
    "Bruna", "Jéssica", "Letícia", "Júlia", "Luciana", "Vanessa", "Mariana", "Gabriela", "Vera",
    "Vitória", "Larissa", "Cláudia", "Beatriz", "Conceição", "Simone", "Tereza", "Sebastião", "Joaquim"};
const char *const kLast[] = {
    "Silva", "Santos", "Oliveira", "Souza", "Rodrigues", "Ferreira", "Alves", "Pereira", "Lima",
    "Gomes", "Costa", "Ribeiro", "Martins", "Carvalho", "Almeida", "Lopes", "Soares", "Fernandes",
    "Vieira", "Barbosa", "Rocha", "Dias", "Nascimento", "Andrade", "Moreira", "Nunes", "Marques",
    "Machado", "Mendes", "Freitas", "Cardoso", "Ramos", "Gonçalves", "Santana", "Teixeira", "Araújo",
    "Cavalcanti", "Albuquerque", "Magalhães", "Conceição", "Brandão", "Assunção", "Pinheiro"};
struct City { const char *name; const char *uf; const char *ddd; const char *cep; };
const City kCities[] = {
    {"São Paulo", "SP", "11", "01"}, {"Rio de Janeiro", "RJ", "21", "20"}, {"Belo Horizonte", "MG", "31", "30"},
    {"Salvador", "BA", "71", "40"}, {"Fortaleza", "CE", "85", "60"}, {"Recife", "PE", "81", "50"},
    {"Porto Alegre", "RS", "51", "90"}, {"Curitiba", "PR", "41", "80"}, {"Manaus", "AM", "92", "69"},
    {"Belém", "PA", "91", "66"}, {"Goiânia", "GO", "62", "74"}, {"São Luís", "MA", "98", "65"},
    {"Maceió", "AL", "82", "57"}, {"Natal", "RN", "84", "59"}, {"João Pessoa", "PB", "83", "58"},
    {"Teresina", "PI", "86", "64"}, {"Campinas", "SP", "19", "13"}, {"Florianópolis", "SC", "48", "88"},
    {"Vitória", "ES", "27", "29"}, {"Cuiabá", "MT", "65", "78"}, {"Aracaju", "SE", "79", "49"},
    {"Caruaru", "PE", "81", "55"}, {"Juazeiro do Norte", "CE", "88", "63"}, {"Uberlândia", "MG", "34", "38"}};
const char *const kStreets[] = {
    "Rua das Flores", "Avenida Brasil", "Rua São João", "Rua Sete de Setembro", "Avenida Getúlio Vargas",
    "Rua Quinze de Novembro", "Rua da Conceição", "Avenida Boa Viagem", "Rua Marechal Deodoro",
    "Travessa do Comércio", "Rua Tiradentes", "Avenida Presidente Vargas", "Rua do Sol", "Rua da Aurora",
    "Rua Dom Pedro II", "Avenida Santos Dumont", "Rua Barão do Rio Branco", "Rua Padre Cícero"};
const char *const kDistricts[] = {"Centro", "Boa Vista", "Jardim América", "Vila Nova", "Santo Amaro",
                                  "Casa Amarela", "Aldeota", "Pituba", "Savassi", "Copacabana", "Tijuca"};
const char *const kItems[] = {
    "Televisor LG 42 polegadas", "Geladeira Consul 2 portas", "Notebook Dell Inspiron", "Celular Samsung Galaxy",
    "Micro-ondas Electrolux", "Máquina de lavar Brastemp", "Ventilador Arno", "Liquidificador Walita",
    "Impressora HP DeskJet", "Ar-condicionado Springer", "Rádio Philco", "Aparelho de som Sony",
    "Computador desktop", "Monitor AOC 19", "Fogão Dako 4 bocas", "Furadeira Bosch", "Videogame PlayStation",
    "Tablet Multilaser", "Cafeteira Mondial", "Secador de cabelo Taiff"};
const char *const kRepairs[] = {
    "Troca do capacitor da fonte", "Limpeza geral e troca de pasta térmica", "Substituição da tela",
    "Troca do compressor", "Reparo na placa principal", "Troca do motor", "Regulagem e lubrificação",
    "Troca do conector de carga", "Reinstalação do sistema", "Troca das escovas do motor"};
const char *const kStatus[] = {"Não Atendido", "Em Andamento", "Concluído"};
const char *const kTechs[] = {"Severino", "Josué", "Cícero", "Damião", "Edvaldo", "Genivaldo"};
const char *const kBrands[] = {"Tramontina", "Bosch", "Philips", "Samsung", "Electrolux", "Mundial",
                               "Intelbras", "Positivo", "Multilaser", "Vonder", "Makita", "Arno"};
const char *const kProducts[] = {
    "Capacitor eletrolítico 1000uF", "Fusível de vidro 10A", "Pasta térmica 10g", "Cabo de força 1,5m",
    "Placa de fonte universal", "Controle remoto universal", "Resistor 10k 1/4W", "Transistor BC548",
    "Correia de máquina de lavar", "Escova de motor", "Rolamento 6203", "Termostato de geladeira",
    "Tela LCD 15,6 polegadas", "Bateria de lítio 3,7V", "Conector USB tipo C", "Fonte de notebook 19V",
    "Gás refrigerante R410A", "Relé 12V", "Chave liga-desliga", "Alto-falante 6 polegadas"};
const char *const kSupplierKinds[] = {"Distribuidora", "Comércio de Peças", "Eletrônica", "Importadora",
                                      "Atacado", "Componentes"};

template <typename T, size_t N>
const T &Pick(QRandomGenerator &r, const T (&a)[N])
{
    return a[r.bounded(int(N))];
}

QString Digits(QRandomGenerator &r, int n)
{
    QString s;
    for (int i = 0; i < n; ++i)
        s += QChar('0' + r.bounded(10));
    return s;
}

// Inserts rows of one table through its schema insert statement.
class Inserter
{
public:
    Inserter(TFbDatabase *db, TFbTransaction *tr, const TDmTable &t) : m_db(db), m_tr(tr), m_table(t)
    {
        m_update.SetInsertSQL(TDmSchema::InsertSQL(t));
        for (size_t i = 0; i < t.columns.size(); ++i)
            m_index.insert(QString::fromLatin1(t.columns[i].name), int(i));
        m_row.resize(t.columns.size());
    }
    // The column's position, by its name as the schema spells it. Millions
    // of rows go through here: a look along the few columns costs less than
    // making a text and hashing it.
    int Column(const char *col) const
    {
        for (size_t i = 0; i < m_table.columns.size(); ++i)
            if (qstrcmp(m_table.columns[i].name, col) == 0)
                return int(i);
        throw EFbError(QStringLiteral("unknown column %1").arg(QLatin1String(col)));
    }
    void Set(const char *col, const QVariant &v)
    {
        const int i = Column(col);
        TFbCell c;
        if (v.isValid()) {
            c.null = false;
            switch (m_table.columns[size_t(i)].kind) {
            case TFbFieldKind::String:
                c.s = TFbConvert::ToAnsi(v.toString()).left(m_table.columns[size_t(i)].size);
                break;
            case TFbFieldKind::DateTime:
                c.i = TFbConvert::FromDateTime(v.toDateTime());
                break;
            case TFbFieldKind::Currency: case TFbFieldKind::Float:
                c.d = v.toDouble();
                break;
            default:
                c.i = v.toLongLong();
                break;
            }
        }
        m_row[size_t(i)] = c;
    }
    void Insert()
    {
        // The statement's parameters are matched to columns at the first row.
        auto src = [this](int param, const QString &name, TFbCell &value, TFbStorage &storage, short &scale) {
            if (param >= int(m_paramColumn.size()))
                m_paramColumn.resize(size_t(param) + 1, -2);
            int &i = m_paramColumn[size_t(param)];
            if (i == -2)
                i = m_index.value(name, -1);
            if (i < 0)
                return false;
            value = m_row[size_t(i)];
            scale = 0;
            switch (m_table.columns[size_t(i)].kind) {
            case TFbFieldKind::String: storage = TFbStorage::Text; break;
            case TFbFieldKind::DateTime: storage = TFbStorage::Timestamp; break;
            case TFbFieldKind::Currency: case TFbFieldKind::Float: storage = TFbStorage::Double; break;
            default: storage = TFbStorage::Int; break;
            }
            return true;
        };
        if (m_update.Apply(TFbUpdateSQL::ukInsert, m_db, m_tr, src) != 1)
            throw EFbError(QStringLiteral("Update Failed"));
        std::fill(m_row.begin(), m_row.end(), TFbCell());
        if (++m_pending >= kBatch) {
            m_tr->CommitRetaining();
            m_pending = 0;
        }
    }

private:
    TFbDatabase *m_db;
    TFbTransaction *m_tr;
    const TDmTable &m_table;
    TFbUpdateSQL m_update;
    QHash<QString, int> m_index;
    std::vector<int> m_paramColumn;   // column of each parameter; -2 not yet looked up
    std::vector<TFbCell> m_row;
    int m_pending = 0;
    // Rows between commits: each commit writes the changed pages to disk,
    // so large batches fill millions of rows in minutes.
    static constexpr int kBatch = 50000;
};

int MaxKey(TFbDatabase *db, const TDmTable &t)
{
    TFbQuery q;
    q.SetDatabase(db);
    q.SetSQL(QStringLiteral("select max(%1) as cod from %2").arg(QLatin1String(t.key), QLatin1String(t.table)));
    q.Open();
    return q.FieldByName(QStringLiteral("cod"))->AsInteger();
}
// One filling of the database: the connection, the random sequence and what
// the later tables take from the earlier ones. The tables are filled in a
// fixed order, each drawing from the same sequence, so that a seed always
// gives the same rows.
struct Filling
{
    explicit Filling(quint32 seed) : r(seed) {}
    TFbDatabase db;
    TFbTransaction tr;
    QRandomGenerator r;
    QDate today;
    TDemoData::Counts n;
    int firstSupplier = 0;
    int ordersGiven = -1;   // the total of orders, or -1 for one to five a client
    QStringList supplierNames;

    QDateTime SomeDay(int days)
    {
        return QDateTime(today.addDays(-qint64(r.bounded(days))), QTime(0, 0));
    }
};

const TDmTable &Table(const char *name)
{
    return *TDmSchema::Table(QString::fromLatin1(name));
}

void FillSuppliers(Filling &f)
{
    QRandomGenerator &r = f.r;
    const TDmTable &tf = Table("FORNECEDORES");
    f.firstSupplier = MaxKey(&f.db, tf) + 1;
    const int firstSupplier = f.firstSupplier;
    Inserter ins(&f.db, &f.tr, tf);
    for (int i = 0; i < f.n.suppliers; ++i) {
        const City &c = Pick(r, kCities);
        const QString fantasy = QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(Pick(r, kSupplierKinds)),
                                                               QString::fromUtf8(Pick(r, kLast)),
                                                               QString::fromUtf8(c.name));
        f.supplierNames << fantasy;
        ins.Set("IDFORNECE", firstSupplier + i);
        ins.Set("RAZAOSOCIAL", fantasy + QStringLiteral(" Ltda"));
        ins.Set("NOMEFANTASIA", fantasy);
        ins.Set("CNPJ", QStringLiteral("%1.%2.%3/0001-%4").arg(Digits(r, 2), Digits(r, 3), Digits(r, 3), Digits(r, 2)));
        ins.Set("IE", Digits(r, 9));
        ins.Set("END1", QStringLiteral("%1, %2").arg(QString::fromUtf8(Pick(r, kStreets))).arg(r.bounded(1, 3000)));
        ins.Set("END2", QString::fromUtf8(Pick(r, kDistricts)));
        ins.Set("CIDADE", QString::fromUtf8(c.name));
        ins.Set("UF", QLatin1String(c.uf));
        ins.Set("CEP", QLatin1String(c.cep) + Digits(r, 3) + QLatin1Char('-') + Digits(r, 3));
        ins.Set("FONE", QStringLiteral("(%1)3%2-%3").arg(QLatin1String(c.ddd), Digits(r, 3), Digits(r, 4)));
        ins.Set("FAX", QStringLiteral("(%1)3%2-%3").arg(QLatin1String(c.ddd), Digits(r, 3), Digits(r, 4)));
        ins.Set("PESSOACONT", QString::fromUtf8(Pick(r, kFirst)));
        ins.Set("SITE", QStringLiteral("www.fornecedor%1.com.br").arg(firstSupplier + i));
        ins.Set("DATA", f.SomeDay(1500));
        ins.Set("EMAIL", QStringLiteral("vendas@fornecedor%1.com.br").arg(firstSupplier + i));
        ins.Insert();
    }
}

// The service orders of one client (the `index`-th of this filling),
// numbered from `nextOrder` on; returns the number after the last one
// written.
int AddOrders(Filling &f, Inserter &io, int index, int clientId, const QString &clientName, int nextOrder)
{
    QRandomGenerator &r = f.r;
    // Given outright, the orders are spread evenly, the first clients taking
    // one more each until the remainder is used up; else 1..5, three on
    // average.
    const int orders = f.ordersGiven >= 0
        ? f.ordersGiven / f.n.clients + (index < f.ordersGiven % f.n.clients ? 1 : 0)
        : r.bounded(1, 6);
    for (int k = 0; k < orders; ++k) {
        const int oid = nextOrder++;
        const int status = r.bounded(3);
        const double valor = r.bounded(2000, 80000) / 100.0;
        const double juros = r.bounded(4) == 0 ? r.bounded(100, 2000) / 100.0 : 0.0;
        const double desconto = r.bounded(4) == 0 ? r.bounded(100, 2000) / 100.0 : 0.0;
        io.Set("IDORDEM", oid);
        io.Set("DESCRICAO", QString::fromUtf8(Pick(r, kItems)));
        io.Set("SOLICITANTE", clientName.section(QLatin1Char(' '), 0, 0));
        io.Set("DATACAD", f.SomeDay(700));
        io.Set("PRAZOENTREGA", QStringLiteral("%1 dias").arg(r.bounded(1, 15)));
        io.Set("TECNICO", QString::fromUtf8(Pick(r, kTechs)));
        io.Set("SITUACAO", QString::fromUtf8(kStatus[status]));
        if (status > 0)
            io.Set("REPARO", QString::fromUtf8(Pick(r, kRepairs)));
        if (status == 2)
            io.Set("DATASAIDA", f.SomeDay(30));
        io.Set("VALOR", valor);
        io.Set("JUROS", juros);
        io.Set("DESCONTO", desconto);
        // The total as the order screen computes it: exact, not a
        // float sum that drifts in its last digits.
        const auto total = TMoney::Total(*TMoney::FromDouble(valor), *TMoney::FromDouble(juros),
                                         *TMoney::FromDouble(desconto));
        io.Set("VALORTOT", total->ToDouble());
        io.Set("IDCLIENTE", clientId);
        io.Set("NORDEM", QStringLiteral("%1").arg(oid, 6, 10, QLatin1Char('0')));
        io.Insert();
    }
    return nextOrder;
}

// Clients, each followed by its orders (one random sequence for both).
void FillClientsAndOrders(Filling &f)
{
    QRandomGenerator &r = f.r;
    const TDmTable &tc = Table("CLIENTES");
    const TDmTable &to = Table("ORDEMSERV");
    const int firstClient = MaxKey(&f.db, tc) + 1;
    const int firstOrder = MaxKey(&f.db, to) + 1;
    int nextOrder = firstOrder;
    Inserter ic(&f.db, &f.tr, tc);
    Inserter io(&f.db, &f.tr, to);
    for (int i = 0; i < f.n.clients; ++i) {
        const City &c = Pick(r, kCities);
        const bool company = r.bounded(10) == 0;
        const QString name = company
            ? QStringLiteral("%1 %2 Ltda").arg(QString::fromUtf8(Pick(r, kLast)), QString::fromUtf8(Pick(r, kSupplierKinds)))
            : QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(Pick(r, kFirst)), QString::fromUtf8(Pick(r, kLast)),
                                             QString::fromUtf8(Pick(r, kLast)));
        const int id = firstClient + i;
        ic.Set("IDCLIENTE", id);
        ic.Set("NOME", name);
        ic.Set("FONERES", QStringLiteral("(%1)3%2-%3").arg(QLatin1String(c.ddd), Digits(r, 3), Digits(r, 4)));
        if (r.bounded(3) == 0)
            ic.Set("FONECOM", QStringLiteral("(%1)3%2-%3").arg(QLatin1String(c.ddd), Digits(r, 3), Digits(r, 4)));
        ic.Set("FONECEL", QStringLiteral("(%1)9%2%3").arg(QLatin1String(c.ddd), Digits(r, 4), Digits(r, 4)));
        ic.Set("END1", QStringLiteral("%1, %2").arg(QString::fromUtf8(Pick(r, kStreets))).arg(r.bounded(1, 3000)));
        ic.Set("END2", QString::fromUtf8(Pick(r, kDistricts)));
        ic.Set("CIDADE", QString::fromUtf8(c.name));
        ic.Set("UF", QLatin1String(c.uf));
        ic.Set("CEP", QLatin1String(c.cep) + Digits(r, 3) + QLatin1Char('-') + Digits(r, 3));
        if (company) {
            ic.Set("CNPJ", QStringLiteral("%1.%2.%3/0001-%4").arg(Digits(r, 2), Digits(r, 3), Digits(r, 3), Digits(r, 2)));
            ic.Set("IE", Digits(r, 9));
            ic.Set("PESSOACONT", QString::fromUtf8(Pick(r, kFirst)));
        } else {
            ic.Set("CPF", QStringLiteral("%1.%2.%3-%4").arg(Digits(r, 3), Digits(r, 3), Digits(r, 3), Digits(r, 2)));
            ic.Set("RG", Digits(r, 7));
        }
        ic.Set("EMAIL", QStringLiteral("cliente%1@exemplo.com.br").arg(id));
        ic.Set("DATACADASTRO", f.SomeDay(2000));
        ic.Set("TIPOANOT", r.bounded(5) == 0 ? r.bounded(2, 5) : 1);
        if (r.bounded(4) == 0)
            ic.Set("ANOTA", QStringLiteral("Cliente desde %1.").arg(f.today.year() - r.bounded(1, 10)));
        ic.Set("TIPOPESSOA", company ? 2 : 1);
        ic.Insert();
        nextOrder = AddOrders(f, io, i, id, name, nextOrder);
    }
    f.n.orders = nextOrder - firstOrder;
}

// The stock movements of one product, numbered from `nextMove` on; `qty`
// follows them. Returns the number after the last one written.
int AddMovements(Filling &f, Inserter &im, int product, int moves, const QString &desc, const QString &supplier,
                 int &qty, int nextMove)
{
    QRandomGenerator &r = f.r;
    for (int k = 0; k < moves; ++k) {
        const bool entry = k == 0 || r.bounded(2) == 0;
        const int moved = r.bounded(1, 20);
        qty += entry ? moved : -std::min(moved, qty);
        im.Set("IDPRODENT", nextMove++);
        im.Set("IDPROD", product);
        im.Set("DATACAD", f.SomeDay(365));
        im.Set("QTDEENT", moved);
        im.Set("OBS", entry ? QStringLiteral("Compra") : QStringLiteral("Uso em OS"));
        im.Set("TIPO", entry ? QStringLiteral("entrada") : QStringLiteral("saida"));
        im.Set("NOMEFORNE", supplier);
        im.Set("DESCRICAO", desc);
        im.Insert();
    }
    return nextMove;
}

// Products, each with its movements; its stock is what they leave.
void FillProductsAndMovements(Filling &f)
{
    QRandomGenerator &r = f.r;
    const TDemoData::Counts &n = f.n;
    const TDmTable &tp = Table("PRODFORNE");
    const TDmTable &tm = Table("PRODENT");
    const int firstProduct = MaxKey(&f.db, tp) + 1;
    int nextMove = MaxKey(&f.db, tm) + 1;
    Inserter ip(&f.db, &f.tr, tp);
    Inserter im(&f.db, &f.tr, tm);
    for (int i = 0; i < n.products; ++i) {
        const int pid = firstProduct + i;
        const int s = r.bounded(std::max(1, n.suppliers));
        const QString desc = QStringLiteral("%1 %2").arg(QString::fromUtf8(Pick(r, kProducts)), QString::fromUtf8(Pick(r, kBrands)));
        // In centavos, as a shop prices: the sale price rounded to them too.
        const int costCents = r.bounded(50, 50000);
        const double cost = costCents / 100.0;
        const double sale = double(std::llround(costCents * 1.6)) / 100.0;
        int qty = r.bounded(0, 60);
        ip.Set("IDPROD", pid);
        ip.Set("DESCRICAO", desc);
        if (n.suppliers > 0)   // none when asked for none
            ip.Set("IDFORNECE", f.firstSupplier + s);
        ip.Set("GRUPO", QStringLiteral("Peças"));
        ip.Set("MARCA", QString::fromUtf8(Pick(r, kBrands)));
        ip.Set("CUSTOCOMPRA", cost);
        ip.Set("CUSTOVENDA", sale);
        ip.Set("QTDEMIN", r.bounded(1, 10));
        ip.Set("DATACAD", f.SomeDay(1000));
        ip.Set("NOMEFORNE", f.supplierNames.value(s));
        // This product's share of the movements, the first ones taking
        // one more each until the remainder is used up.
        const int moves = n.movements / n.products + (i < n.movements % n.products ? 1 : 0);
        nextMove = AddMovements(f, im, pid, moves, desc, f.supplierNames.value(s), qty, nextMove);
        ip.Set("QTDEDISP", qty);
        ip.Insert();
    }
}
// Sets the database's forced writes (every page written through to the
// disk at once) by attaching with that setting: it stays in the file.
void SetForcedWrites(const QString &path, bool on)
{
    const TFbClient &api = TFbClient::Instance();
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    for (const auto &[tag, value] : {std::pair{isc_dpb_user_name, QByteArray(TDmSchema::UserName)},
                                     std::pair{isc_dpb_password, QByteArray(TDmSchema::Password)}}) {
        dpb.append(char(tag));
        dpb.append(char(value.size()));
        dpb.append(value);
    }
    dpb.append(char(isc_dpb_force_write));
    dpb.append(char(1));
    dpb.append(char(on ? 1 : 0));
    const QByteArray file = path.toUtf8();   // as the layer names files to the engine
    ISC_STATUS_ARRAY st;
    isc_db_handle db = 0;
    if (api.isc_attach_database(st, short(file.size()), file.constData(), &db, short(dpb.size()), dpb.constData()))
        api.Raise(st);
    api.isc_detach_database(st, &db);
}

// Forced writes off while a local file is filled, and on again afterwards
// whatever happens: with them, each commit and each page the cache lets go
// waits for the disk, and millions of rows take an hour instead of minutes.
// The file is never left without them; a fill cut short by a crash of the
// machine loses at most the rows of that fill. A database on a server is
// left as its server keeps it.
class FastWrites
{
public:
    explicit FastWrites(const QString &path) : m_path(path)
    {
        if (TFbDatabase::IsRemoteName(path))
            return;
        try {
            SetForcedWrites(path, false);
            m_set = true;
        } catch (const EFbError &) {
            // Only a quicker fill is lost: the open that follows tells why
            // the file cannot be used, in the layer's own words.
        }
    }
    ~FastWrites()
    {
        try {
            Restore();
        } catch (const std::exception &) {
            // The fill's own failure is the one to tell.
        }
    }
    void Restore()
    {
        if (m_set) {
            m_set = false;
            SetForcedWrites(m_path, true);
        }
    }

private:
    QString m_path;
    bool m_set = false;
};
} // namespace

TDemoData::Counts TDemoData::Fill(const QString &path, int clients, quint32 seed,
                                  const std::function<void(const QString &)> &progress)
{
    return Fill(path, clients, seed, progress, Stock());
}

TDemoData::Counts TDemoData::Fill(const QString &path, int clients, quint32 seed,
                                  const std::function<void(const QString &)> &progress, Stock stock)
{
    return Fill(path, clients, seed, progress, stock, Login());
}

TDemoData::Counts TDemoData::Fill(const QString &path, int clients, quint32 seed,
                                  const std::function<void(const QString &)> &progress, Stock stock,
                                  const Login &login)
{
    Filling f(seed);
    Counts &n = f.n;
    n.clients = std::max(0, clients);
    n.orders = n.clients * 3;
    n.suppliers = std::clamp(n.clients / 50, 5, 500);
    n.products = std::clamp(n.clients / 10, 20, 5000);
    n.movements = n.products * 3;
    if (stock.products >= 0)
        n.products = stock.products;
    if (stock.movements >= 0)
        n.movements = stock.movements;
    if (n.products == 0)
        n.movements = 0;
    if (stock.suppliers >= 0)
        n.suppliers = stock.suppliers;
    if (stock.orders >= 0)
        f.ordersGiven = n.clients > 0 ? stock.orders : 0;

    FastWrites fast(path);
    f.db.SetDatabaseName(path);
    f.db.SetParams({QStringLiteral("user_name=%1").arg(login.user.isEmpty() ? QLatin1String(TDmSchema::UserName)
                                                                             : login.user),
                    QStringLiteral("password=%1").arg(login.password.isEmpty() ? QLatin1String(TDmSchema::Password)
                                                                                : login.password)});
    f.db.SetDefaultTransaction(&f.tr);
    f.db.Open();
    f.tr.StartTransaction();
    f.today = QDate::currentDate();
    auto tell = [&](const char *what) {
        if (progress)
            progress(QLatin1String(what));
    };

    tell("FORNECEDORES");
    FillSuppliers(f);
    tell("CLIENTES");
    FillClientsAndOrders(f);
    tell("PRODFORNE");
    FillProductsAndMovements(f);
    f.tr.Commit();
    // The program takes new keys from the generators: they start where the
    // rows written here end.
    TDmSchema::BringUpToDate(f.db);
    f.db.Close();
    fast.Restore();
    return n;
}
