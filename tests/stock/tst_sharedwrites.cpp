// Several computers writing to one database through the program's own write
// paths: the client, supplier and order saves (an order with its client's
// lock), the product's edit and its stock movements, and the deletes (a
// client with its orders). Each computer is an attachment with a data module
// of its own, as a copy of the program has; through the private server when
// the run started one (OS_FB_SERVER), on a local file through the embedded
// engine otherwise.
//
// Besides the faults found one by one, a seeded random sequence of those
// paths, each read at one moment and saved at a later one with the other
// computers' work in between, is checked against a model of its own: every
// save that the rules let through is stored, every other one is refused
// with a message and keeps what was typed, no row is lost or comes back,
// and each product holds what its movements say. OS_SHARED_STEPS and
// OS_SHARED_SEED run more steps, or replay one seed, by hand.
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tdmsharedaccess.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbrowwriter.h"
#include "data/tfbtransaction.h"
#include "stock/tstockmovement.h"
#include "tests/support/tfbtestdb.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <map>
#include <random>
#include <set>

namespace {

enum Tab { Client, Order, Supplier, Product, TabCount };

struct TabInfo
{
    const char *table;
    const char *text;   // the text column the sequence edits
};

constexpr TabInfo kTabs[TabCount] = {
    {"CLIENTES", "CIDADE"},
    {"ORDEMSERV", "SITUACAO"},
    {"FORNECEDORES", "CIDADE"},
    {"PRODFORNE", "DESCRICAO"},
};

// What the model holds of a row: the edited text, and for a product its
// minimum and quantity; an order's client.
struct Row
{
    QString text;
    qint64 minimum = 0;
    qint64 quantity = 0;
    int client = 0;
};

struct Model
{
    std::map<int, Row> rows[TabCount];
    // Per product: entries less exits of the movements recorded.
    std::map<int, qint64> moved;
};

// One computer's work between reading and saving.
struct Pending
{
    enum Kind { None, Edit, Movement, NewOrder, Delete } kind = None;
    Tab tab = Client;
    int key = 0;
    Row read;             // the row as this computer read it
    QString column;       // Edit: the column typed
    QString typedText;
    qint64 typedNumber = 0;
    TStockMovement::Kind move = TStockMovement::Kind::Entry;
    qint64 amount = 0;
};

QString Message(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EFbError &e) {
        return e.Message().isEmpty() ? QStringLiteral("(sem texto)") : e.Message();
    }
    return QString();
}

TFbQuery *Dataset(TDM &dm, Tab tab)
{
    return dm.DatasetOf(QLatin1String(kTabs[tab].table));
}

// `dm`'s dataset of `tab` read again, as a list screen reads it, and placed
// on row `key`; nullptr when the row is not there.
TFbQuery *ReadRow(TDM &dm, Tab tab, int key)
{
    const TDmTable *t = TDmSchema::Table(QLatin1String(kTabs[tab].table));
    TFbQuery *q = Dataset(dm, tab);
    q->Close();
    q->SetSQL(TDM::DesignSQL(*t));
    q->Open();
    return q->Locate(QLatin1String(t->key), key) ? q : nullptr;
}

} // namespace

class TstSharedWrites : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_serverDir;
    std::unique_ptr<TFbTestDb> m_local;
    std::array<std::unique_ptr<TDM>, 3> m_dm;
    int m_files = 0;

    // The random sequence's state.
    Model m_model;
    std::array<Pending, 3> m_pending;
    std::mt19937 m_rng;
    QString m_trace;   // the steps so far, shown with a failure

    bool Open()
    {
        QString name;
        if (m_serverDir) {
            name = qEnvironmentVariable("OS_FB_SERVER") + ":" + m_serverDir->path() + "/"
                   + QTest::currentTestFunction() + "-" + QString::number(m_files++) + ".GDB";
            TDmSchema::CreateDatabaseFile(name);
        } else {
            m_local = std::make_unique<TFbTestDb>();
            if (!m_local->IsValid())
                return false;
            name = m_local->Path();
        }
        for (auto &dm : m_dm) {
            dm = std::make_unique<TDM>();
            dm->Database->SetDatabaseName(name);
            dm->OpenAll();
        }
        return true;
    }

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    template <typename T> T PickOf(std::initializer_list<T> list) { return *(list.begin() + Pick(int(list.size()))); }

    // A key of `tab` the model holds, or one just deleted (0 when none).
    int PickKey(Tab tab)
    {
        const auto &rows = m_model.rows[tab];
        if (rows.empty())
            return 0;
        auto it = rows.begin();
        std::advance(it, Pick(int(rows.size())));
        return it->first;
    }

    // The seed and the last steps, for a failure's message (a test
    // message is cut past a few hundred characters).
    QString Tail() const
    {
        const QStringList lines = m_trace.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList tail = lines.mid(std::max<qsizetype>(1, lines.size() - 12));
        tail.prepend(lines.value(0));
        return tail.join(QLatin1Char('\n')) + QLatin1Char('\n');
    }

    void Trace(int computer, const QString &what) { m_trace += QStringLiteral("%1: %2\n").arg(computer).arg(what); }

    // --- rows made at once (not orders: they are typed, see Begin) ---
    void AddRow(int c, Tab tab)
    {
        TDM &dm = *m_dm[size_t(c)];
        TFbQuery *q = Dataset(dm, tab);
        ReadRow(dm, tab, 0);
        q->Append();
        Row row;
        row.text = PickOf({QStringLiteral("Recife"), QStringLiteral("Olinda")});
        q->FieldByName(QLatin1String(kTabs[tab].text))->SetAsString(row.text);
        if (tab == Client)
            q->FieldByName(QStringLiteral("NOME"))->SetAsString(QStringLiteral("Cliente"));
        if (tab == Supplier)
            q->FieldByName(QStringLiteral("RAZAOSOCIAL"))->SetAsString(QStringLiteral("Fornecedor"));
        if (tab == Product) {
            row.quantity = Pick(4);
            q->FieldByName(QStringLiteral("QTDEDISP"))->SetAsLargeInt(row.quantity);
            q->FieldByName(QStringLiteral("QTDEMIN"))->SetAsLargeInt(0);
        }
        q->ApplyChanges();
        const int key = q->Fields().front()->AsInteger();
        Trace(c, QStringLiteral("novo %1 %2").arg(QLatin1String(kTabs[tab].table)).arg(key));
        m_model.rows[tab][key] = row;
        if (tab == Product) {
            m_model.moved[key] = 0;
            m_startQuantity[key] = row.quantity;
        }
    }

    // --- reading: the entry starts ---
    void Begin(int c)
    {
        TDM &dm = *m_dm[size_t(c)];
        Pending &p = m_pending[size_t(c)];
        const int what = Pick(10);
        if (what == 0) {
            AddRow(c, Tab(PickOf({0, 2, 3})));
            return;
        }
        if (what == 1) {   // a new order for a client
            const int client = PickKey(Client);
            if (!client)
                return;
            ReadRow(dm, Order, 0);
            TFbQuery *q = dm.OrdensQuery;
            q->Append();
            dm.OrdensQueryIDCLIENTE->SetAsInteger(client);
            p = Pending{};
            p.kind = Pending::NewOrder;
            p.tab = Order;
            p.read.client = client;
            p.typedText = PickOf({QStringLiteral("Aberta"), QStringLiteral("Pronta")});
            dm.OrdensQuerySITUACAO->SetAsString(p.typedText);
            Trace(c, QStringLiteral("digita OS para cliente %1").arg(client));
            return;
        }
        const Tab tab = what <= 4 ? Tab(Pick(TabCount)) : Product;
        const int key = PickKey(tab);
        if (!key)
            return;
        TFbQuery *q = ReadRow(dm, tab, key);
        QVERIFY2(q, qPrintable(Tail() + QStringLiteral("linha %1 do modelo não está no banco").arg(key)));
        p = Pending{};
        p.tab = tab;
        p.key = key;
        p.read = m_model.rows[tab][key];
        if (what == 9) {
            p.kind = Pending::Delete;
            Trace(c, QStringLiteral("lê para excluir %1 %2").arg(QLatin1String(kTabs[tab].table)).arg(key));
            return;
        }
        if (what >= 6 && tab == Product) {
            // As the stock screen: the movement as a new record, the product
            // being edited, the quantity typed.
            p.kind = Pending::Movement;
            p.move = what == 6 ? TStockMovement::Kind::Entry : TStockMovement::Kind::Exit;
            p.amount = 1 + Pick(3);
            dm.ProdEntQuery->Append();
            q->Edit();
            dm.ProdEntQueryQTDEENT->SetAsLargeInt(p.amount);
            Trace(c, QStringLiteral("lê produto %1 (%2) para %3 de %4")
                         .arg(key).arg(p.read.quantity)
                         .arg(TStockMovement::KindText(p.move)).arg(p.amount));
            return;
        }
        p.kind = Pending::Edit;
        q->Edit();
        p.column = QLatin1String(kTabs[tab].text);
        if (tab == Product)
            p.column = PickOf({QStringLiteral("DESCRICAO"), QStringLiteral("QTDEMIN"), QStringLiteral("QTDEDISP")});
        if (p.column == QLatin1String("QTDEMIN") || p.column == QLatin1String("QTDEDISP")) {
            p.typedNumber = Pick(5);
            q->FieldByName(p.column)->SetAsLargeInt(p.typedNumber);
        } else {
            p.typedText = PickOf({QStringLiteral("Recife"), QStringLiteral("Olinda"), QStringLiteral("Natal")});
            q->FieldByName(p.column)->SetAsString(p.typedText);
        }
        Trace(c, QStringLiteral("edita %1 %2 %3 = %4")
                     .arg(QLatin1String(kTabs[tab].table)).arg(key).arg(p.column)
                     .arg(p.typedText.isEmpty() ? QString::number(p.typedNumber) : p.typedText));
    }

    // A refused save: said, nothing lost of what was typed; then given up.
    void CheckRefused(int c, const QString &message, TFbQuery *q, TFbQuery::TDataSetState state)
    {
        const Pending &p = m_pending[size_t(c)];
        QVERIFY2(!message.isEmpty(), qPrintable(Tail() + QStringLiteral("gravação recusada sem mensagem")));
        QVERIFY2(!message.contains(QLatin1String("Failed")), qPrintable(Tail() + message));
        QVERIFY2(q->State() == state, qPrintable(Tail() + QStringLiteral("a entrada não continuou: ") + message));
        if (p.kind == Pending::Edit || p.kind == Pending::NewOrder) {
            const TFbField *f = q->FieldByName(p.kind == Pending::NewOrder ? QStringLiteral("SITUACAO") : p.column);
            const QString shown = f->AsString();
            const QString typed = p.typedText.isEmpty() ? QString::number(p.typedNumber) : p.typedText;
            QVERIFY2(shown == typed, qPrintable(Tail() + QStringLiteral("digitado %1, na tela %2").arg(typed, shown)));
        }
        q->Cancel();
        q->CancelUpdates();
    }

    // --- saving: what the rules let through, against what happened ---
    void Finish(int c)
    {
        TDM &dm = *m_dm[size_t(c)];
        Pending p = m_pending[size_t(c)];
        m_pending[size_t(c)] = Pending{};
        auto &rows = m_model.rows[p.tab];
        const bool exists = rows.count(p.key) > 0;
        const Row stored = exists ? rows[p.key] : Row{};
        switch (p.kind) {
        case Pending::None:
            return;
        case Pending::NewOrder: {
            TFbQuery *q = dm.OrdensQuery;
            const QString error = Message([&] { TDmSharedAccess::ApplyOrder(dm); });
            const bool clientThere = m_model.rows[Client].count(p.read.client) > 0;
            Trace(c, QStringLiteral("grava OS: %1").arg(error.isEmpty() ? QStringLiteral("ok") : error.left(60)));
            if (clientThere) {
                QVERIFY2(error.isEmpty(), qPrintable(Tail() + error));
                Row row;
                row.text = p.typedText;
                row.client = p.read.client;
                m_model.rows[Order][dm.OrdensQueryIDORDEM->AsInteger()] = row;
            } else {
                QCOMPARE(error, TDmSharedAccess::OrderClientGoneMessage());
                CheckRefused(c, error, q, TFbQuery::dsInsert);
            }
            return;
        }
        case Pending::Movement: {
            TStockMovement::Result r;
            const QString error = Message([&] { r = TStockMovement::Record(dm, p.move); });
            QVERIFY2(error.isEmpty(), qPrintable(Tail() + error));
            Trace(c, QStringLiteral("grava movimento: %1 (%2)").arg(int(r.outcome)).arg(r.stored));
            TStockMovement::Outcome expected = TStockMovement::Outcome::Recorded;
            if (!exists)
                expected = TStockMovement::Outcome::ProductGone;
            else if (p.move == TStockMovement::Kind::Exit && p.amount > stored.quantity)
                expected = TStockMovement::Outcome::NotEnoughStock;
            QVERIFY2(r.outcome == expected, qPrintable(Tail() + QStringLiteral("esperado %1").arg(int(expected))));
            if (expected != TStockMovement::Outcome::Recorded) {
                // The stock screen says so; both records stay pending until
                // the clerk cancels.
                QCOMPARE(dm.ProdEntQuery->State(), TFbQuery::dsInsert);
                dm.ProdEntQuery->Cancel();
                dm.ProdEntQuery->CancelUpdates();
                dm.ProdForneQuery->Cancel();
                dm.ProdForneQuery->CancelUpdates();
                return;
            }
            const qint64 delta = p.move == TStockMovement::Kind::Entry ? p.amount : -p.amount;
            rows[p.key].quantity += delta;
            m_model.moved[p.key] += delta;
            QCOMPARE(r.stored, rows[p.key].quantity);
            QCOMPARE(dm.ProdForneQueryQTDEDISP->AsLargeInt(), rows[p.key].quantity);
            return;
        }
        case Pending::Delete: {
            TFbQuery *q = Dataset(dm, p.tab);
            const QString error = Message([&] {
                dm.RunUnitOfWork([&] {
                    if (p.tab == Client)
                        TDmSharedAccess::DeleteClientOrders(dm, p.key);
                    q->Delete();
                    q->ApplyChanges();
                });
            });
            Trace(c, QStringLiteral("exclui %1 %2: %3").arg(QLatin1String(kTabs[p.tab].table)).arg(p.key)
                         .arg(error.isEmpty() ? QStringLiteral("ok") : error.left(60)));
            if (!exists) {
                // Deleted first by another computer: said, and given up as
                // the list screen does.
                QCOMPARE(error, TFbRowWriter::DeletedBeforeMessage());
                q->CancelUpdates();
                return;
            }
            QVERIFY2(error.isEmpty(), qPrintable(Tail() + error));
            rows.erase(p.key);
            if (p.tab == Client)
                for (auto it = m_model.rows[Order].begin(); it != m_model.rows[Order].end();)
                    it = it->second.client == p.key ? m_model.rows[Order].erase(it) : std::next(it);
            if (p.tab == Product)
                m_model.moved.erase(p.key);
            return;
        }
        case Pending::Edit:
            break;
        }

        TFbQuery *q = Dataset(dm, p.tab);
        QString error;
        QString refusal;
        if (p.tab == Product)
            error = Message([&] { refusal = TStockMovement::ApplyProductEdit(dm); });
        else
            error = Message([&] { q->ApplyChanges(); });
        if (!refusal.isEmpty())
            error = refusal;
        Trace(c, QStringLiteral("grava edição: %1").arg(error.isEmpty() ? QStringLiteral("ok") : error.left(60)));

        // The rules: a row gone refuses; a quantity the user typed goes
        // through only when nobody moved the stock since it was read; every
        // other column only when it still holds what was read, or already
        // the value typed.
        bool accept = exists;
        Row after = stored;
        if (exists && p.column == QLatin1String("QTDEDISP")) {
            if (stored.quantity == p.read.quantity)
                after.quantity = p.typedNumber;
            else if (p.typedNumber != p.read.quantity)
                accept = false;
        } else if (exists && p.column == QLatin1String("QTDEMIN")) {
            // Typing what was read changes nothing, so nothing is written.
            if (p.typedNumber != p.read.minimum) {
                accept = stored.minimum == p.read.minimum || stored.minimum == p.typedNumber;
                after.minimum = p.typedNumber;
            }
        } else if (exists && p.typedText != p.read.text) {
            accept = stored.text == p.read.text || stored.text == p.typedText;
            after.text = p.typedText;
        }
        if (accept) {
            QVERIFY2(error.isEmpty(), qPrintable(Tail() + error));
            rows[p.key] = after;
            if (p.column == QLatin1String("QTDEDISP") && after.quantity != stored.quantity)
                m_typed.insert(p.key);
        } else {
            CheckRefused(c, error, q, TFbQuery::dsEdit);
        }
    }

    // The database against the model.
    void Check()
    {
        TDM &dm = *m_dm[0];
        for (int t = 0; t < TabCount; ++t) {
            const TDmTable *table = TDmSchema::Table(QLatin1String(kTabs[t].table));
            std::map<int, Row> stored;
            TFbTransaction::RunAlone(dm.Database, [&](TFbQuery &q) {
                q.SetSQL(QStringLiteral("select %1, %2%3 from %4")
                             .arg(QLatin1String(table->key), QLatin1String(kTabs[t].text),
                                  t == Product ? QStringLiteral(", QTDEMIN, QTDEDISP")
                                               : t == Order ? QStringLiteral(", IDCLIENTE") : QString(),
                                  QLatin1String(table->table)));
                q.Open();
                for (q.First(); !q.Eof(); q.Next()) {
                    Row r;
                    r.text = q.Field(1)->AsString();
                    if (t == Product) {
                        r.minimum = q.Field(2)->AsLargeInt();
                        r.quantity = q.Field(3)->AsLargeInt();
                    }
                    if (t == Order)
                        r.client = q.Field(2)->AsInteger();
                    stored[q.Field(0)->AsInteger()] = r;
                }
            });
            const auto &model = m_model.rows[t];
            std::set<int> storedKeys, modelKeys;
            for (const auto &[k, r] : stored)
                storedKeys.insert(k);
            for (const auto &[k, r] : model)
                modelKeys.insert(k);
            QVERIFY2(storedKeys == modelKeys,
                     qPrintable(Tail() + QStringLiteral("%1: %2 linhas no banco, %3 no modelo")
                                              .arg(QLatin1String(kTabs[t].table)).arg(stored.size()).arg(model.size())));
            for (const auto &[k, r] : model) {
                const Row &s = stored[k];
                QVERIFY2(s.text == r.text && s.minimum == r.minimum && s.quantity == r.quantity && s.client == r.client,
                         qPrintable(Tail() + QStringLiteral("%1 %2: banco \"%3\" %4 %5, modelo \"%6\" %7 %8")
                                                  .arg(QLatin1String(kTabs[t].table)).arg(k)
                                                  .arg(s.text).arg(s.minimum).arg(s.quantity)
                                                  .arg(r.text).arg(r.minimum).arg(r.quantity)));
            }
        }
        // Every product holds what it started from (or was typed) plus its
        // entries less its exits, counted from the movement rows.
        std::map<int, qint64> moved;
        TFbTransaction::RunAlone(dm.Database, [&](TFbQuery &q) {
            q.SetSQL(QStringLiteral("select idprod, sum(case when tipo = 'entrada' then qtdeent else -qtdeent end) "
                                    "from prodent group by idprod"));
            q.Open();
            for (q.First(); !q.Eof(); q.Next())
                moved[q.Field(0)->AsInteger()] = q.Field(1)->AsLargeInt();
        });
        for (const auto &[k, r] : m_model.rows[Product]) {
            QVERIFY2(moved[k] == m_model.moved[k],
                     qPrintable(Tail() + QStringLiteral("produto %1: movimentos somam %2 no banco, %3 gravados")
                                              .arg(k).arg(moved[k]).arg(m_model.moved[k])));
            if (m_typed.count(k))
                continue;
            QVERIFY2(r.quantity == m_startQuantity[k] + moved[k],
                     qPrintable(Tail() + QStringLiteral("produto %1: %2 em estoque, começou com %3, movimentos %4")
                                              .arg(k).arg(r.quantity).arg(m_startQuantity[k]).arg(moved[k])));
        }
    }
    // What each product was made with, and those whose quantity was typed
    // on its form since (their stock no longer follows from the movements).
    std::map<int, qint64> m_startQuantity;
    std::set<int> m_typed;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        if (!qEnvironmentVariableIsEmpty("OS_FB_SERVER")) {
            m_serverDir = std::make_unique<QTemporaryDir>(
                qEnvironmentVariable("OS_FB_SERVER_DIR", QStringLiteral("/tmp")) + "/os-test-XXXXXX");
            QVERIFY(m_serverDir->isValid());
            // The server process writes here.
            QFile::setPermissions(m_serverDir->path(), QFileDevice::Permissions(0x7777));
        }
    }

    void cleanup()
    {
        for (auto &dm : m_dm)
            dm.reset();
        m_local.reset();
    }

    // Computer A reads a product; B records a movement of it; A records the
    // opposite one. A's new quantity equals what A had read, and it used to
    // be left unwritten (the product kept B's figure, one movement lost).
    void movementBackToTheQuantityReadIsWritten_data()
    {
        QTest::addColumn<bool>("entryByA");
        QTest::newRow("B takes one out, A puts one in") << true;
        QTest::newRow("B puts one in, A takes one out") << false;
    }
    void movementBackToTheQuantityReadIsWritten()
    {
        QFETCH(bool, entryByA);
        if (!Open())
            QSKIP(qPrintable(m_local->Error()));
        TDM &a = *m_dm[0], &b = *m_dm[1];
        TFbQuery *q = a.ProdForneQuery;
        q->Append();
        a.ProdForneQueryDESCRICAO->SetAsString(QStringLiteral("Capacitor"));
        a.ProdForneQueryQTDEDISP->SetAsInteger(53);
        q->ApplyChanges();
        const int key = a.ProdForneQueryIDPROD->AsInteger();
        // As the stock screen starts a movement: the product read with the
        // list and being edited, the movement new with its quantity.
        auto start = [&](TDM &dm) {
            TFbQuery *p = ReadRow(dm, Product, key);
            QVERIFY(p);
            dm.ProdEntQuery->Append();
            p->Edit();
            dm.ProdEntQueryQTDEENT->SetAsInteger(1);
        };
        const auto kindA = entryByA ? TStockMovement::Kind::Entry : TStockMovement::Kind::Exit;
        const auto kindB = entryByA ? TStockMovement::Kind::Exit : TStockMovement::Kind::Entry;
        start(a);
        start(b);
        QCOMPARE(int(TStockMovement::Record(b, kindB).outcome), int(TStockMovement::Outcome::Recorded));
        const TStockMovement::Result r = TStockMovement::Record(a, kindA);
        QCOMPARE(int(r.outcome), int(TStockMovement::Outcome::Recorded));
        QCOMPARE(r.stored, qint64(53));
        QCOMPARE(a.ProdForneQueryQTDEDISP->AsInteger(), 53);
        QCOMPARE(ReadRow(b, Product, key)->FieldByName(QStringLiteral("QTDEDISP"))->AsInteger(), 53);
    }

    // The random sequences (see the top of the file).
    void randomWritePathsMatchTheModel_data()
    {
        QTest::addColumn<quint32>("seed");
        const QByteArray fixed = qgetenv("OS_SHARED_SEED");
        if (!fixed.isEmpty()) {
            QTest::newRow(fixed.constData()) << quint32(fixed.toUInt());
            return;
        }
        for (quint32 seed : {11u, 2026u, 90210u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void randomWritePathsMatchTheModel()
    {
        QFETCH(quint32, seed);
        if (!Open())
            QSKIP(qPrintable(m_local->Error()));
        m_model = Model{};
        m_pending = {};
        m_startQuantity.clear();
        m_typed.clear();
        m_trace = QStringLiteral("semente %1 (OS_SHARED_SEED=%1 repete)\n").arg(seed);
        m_rng.seed(seed);
        const int steps = qEnvironmentVariableIntValue("OS_SHARED_STEPS") > 0
                              ? qEnvironmentVariableIntValue("OS_SHARED_STEPS") : 300;
        for (int i = 0; i < 3; ++i) {
            AddRow(i, Client);
            AddRow(i, Supplier);
            AddRow(i, Product);
        }
        for (int step = 0; step < steps; ++step) {
            const int c = Pick(3);
            if (m_pending[size_t(c)].kind != Pending::None && Pick(2) == 0)
                Finish(c);
            else if (m_pending[size_t(c)].kind == Pending::None)
                Begin(c);
            if (QTest::currentTestFailed())
                return;
            if (step % 25 == 24) {
                Check();
                if (QTest::currentTestFailed())
                    return;
            }
        }
        for (int c = 0; c < 3; ++c) {
            Finish(c);
            if (QTest::currentTestFailed())
                return;
        }
        Check();
    }
};

QTEST_GUILESS_MAIN(TstSharedWrites)
#include "tst_sharedwrites.moc"
