// Demonstration data: consistent rows that the screens can work on.
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbclient.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tmoney.h"
#include "tests/support/tfbtestdb.h"
#include "tools/tdemodata.h"

#include <QLocale>
#include <QtTest>
#include <cmath>
#include <stdexcept>

class TstTDemoData : public QObject
{
    Q_OBJECT

    static int Scalar(TDM &dm, const QString &sql)
    {
        dm.AuxQuery->Close();
        dm.AuxQuery->SetSQL(sql);
        dm.AuxQuery->Open();
        return dm.AuxQuery->Field(0)->AsInteger();
    }

    // The file's forced writes setting (1 on, 0 off, -1 unreadable).
    static int ForcedWrites(const QString &path)
    {
        TFbDatabase fb;
        fb.SetDatabaseName(path);
        fb.SetParams({QStringLiteral("user_name=%1").arg(QLatin1String(TDmSchema::UserName)),
                      QStringLiteral("password=%1").arg(QLatin1String(TDmSchema::Password))});
        fb.Open();
        const TFbClient &api = TFbClient::Instance();
        ISC_STATUS_ARRAY st;
        const char item[] = {char(isc_info_forced_writes), char(isc_info_end)};
        char res[32] = {};
        int value = -1;
        if (!api.isc_database_info(st, fb.Handle(), short(sizeof item), item, short(sizeof res), res)
            && res[0] == char(isc_info_forced_writes)) {
            const short len = short(api.isc_vax_integer(res + 1, 2));
            value = int(api.isc_vax_integer(res + 3, len));
        }
        fb.Close();
        return value;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void fillsConsistentRowsAndContinuesKeys()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        const TDemoData::Counts c = TDemoData::Fill(db.Path(), 200);
        QVERIFY(c.orders >= 200 && c.orders <= 1000);
        TDemoData::Fill(db.Path(), 50, 7);   // a second run adds after the first

        auto dm = db.MakeDM();
        QCOMPARE(Scalar(*dm, "select count(*) from clientes"), 250);
        QCOMPARE(Scalar(*dm, "select max(idcliente) from clientes"), 250);
        QCOMPARE(Scalar(*dm, "select count(*) from ordemserv o where not exists "
                             "(select 1 from clientes c where c.idcliente = o.idcliente)"), 0);
        QCOMPARE(Scalar(*dm, "select count(*) from prodent e where not exists "
                             "(select 1 from prodforne p where p.idprod = e.idprod)"), 0);
        QCOMPARE(Scalar(*dm, "select count(*) from prodforne where qtdedisp < 0"), 0);
        QCOMPARE(Scalar(*dm, "select count(*) from clientes where nome is null"), 0);
        // Prices in reais and centavos: the sale price was the cost times
        // 1.6 with a third decimal ("R$ 548,704").
        TFbQuery *p = dm->ProdForneQuery;
        QVERIFY(!p->IsEmpty());
        for (p->First(); !p->Eof(); p->Next()) {
            for (const char *column : {"CUSTOCOMPRA", "CUSTOVENDA"}) {
                const TFbField *f = p->FieldByName(QString::fromLatin1(column));
                const std::optional<TMoney> m = TMoney::FromDouble(f->AsFloat());
                QVERIFY(m);
                QVERIFY2(m->IsWholeCents(), qPrintable(QStringLiteral("%1 %2").arg(column, m->Text())));
            }
        }

        TFbQuery *o = dm->OrdensQuery;
        for (o->First(); !o->Eof(); o->Next()) {
            // Exactly the total the order screen would save.
            const auto total = TMoney::Total(*TMoney::FromDouble(dm->OrdensQueryVALOR->AsFloat()),
                                             *TMoney::FromDouble(dm->OrdensQueryJUROS->AsFloat()),
                                             *TMoney::FromDouble(dm->OrdensQueryDESCONTO->AsFloat()));
            QCOMPARE(dm->OrdensQueryVALORTOT->AsFloat(), total->ToDouble());
            QCOMPARE(dm->OrdensQueryNORDEM->AsString(),
                     QString("%1").arg(dm->OrdensQueryIDORDEM->AsInteger(), 6, 10, QChar('0')));
            const QString s = dm->OrdensQuerySITUACAO->AsString();
            QVERIFY2(s == "Não Atendido" || s == "Em Andamento" || s == "Concluído", qPrintable(s));
        }
    }

    // Products and movements given outright: the movements spread over the
    // products whatever the remainder, none without products.
    void stockGivenOutright_data()
    {
        QTest::addColumn<int>("products");
        QTest::addColumn<int>("movements");
        QTest::addColumn<int>("expectedMovements");
        QTest::newRow("ten each") << 30 << 300 << 300;
        QTest::newRow("a remainder") << 7 << 23 << 23;
        QTest::newRow("fewer movements than products") << 9 << 4 << 4;
        QTest::newRow("no products, no movements") << 0 << 50 << 0;
    }
    void stockGivenOutright()
    {
        QFETCH(int, products);
        QFETCH(int, movements);
        QFETCH(int, expectedMovements);
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        const TDemoData::Counts c = TDemoData::Fill(db.Path(), 10, 1, {}, {products, movements});
        QCOMPARE(c.products, products);
        QCOMPARE(c.movements, expectedMovements);
        auto dm = db.MakeDM();
        QCOMPARE(Scalar(*dm, "select count(*) from prodforne"), products);
        QCOMPARE(Scalar(*dm, "select count(*) from prodent"), expectedMovements);
        QCOMPARE(Scalar(*dm, "select count(distinct idprod) from prodent"), qMin(products, movements));
        QCOMPARE(Scalar(*dm, "select count(*) from prodforne where qtdedisp < 0"), 0);
    }

    // The program takes new keys from the generators: a generator left
    // behind the rows written would make its first new client collide with
    // a demo client. Read without the data module's open, which would raise
    // them itself.
    void keyGeneratorsLeftBehindTheRows()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        TDemoData::Fill(db.Path(), 40, 1, {}, {12, 30});
        auto dm = db.MakeDM(false);
        dm->Database->Open();
        int tables = 0;
        for (const TDmTable &t : TDmSchema::Tables()) {
            if (!*t.generator)
                continue;
            ++tables;
            const int top = Scalar(*dm, QStringLiteral("select max(%1) from %2").arg(QLatin1String(t.key), QLatin1String(t.table)));
            QVERIFY2(top > 0, t.table);
            QCOMPARE(Scalar(*dm, QStringLiteral("select gen_id(%1, 0) from rdb$database").arg(QLatin1String(t.generator))), top);
        }
        QCOMPARE(tables, 5);
    }

    // The fill runs without forced writes; the file must not stay so (a
    // power cut would then lose what the shop saves afterwards), also when
    // the fill stops half way.
    void forcedWritesLeftOffAfterTheFill()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        TDemoData::Fill(db.Path(), 20);
        QCOMPARE(ForcedWrites(db.Path()), 1);
        auto stopAtClients = [](const QString &table) {
            if (table == QLatin1String("CLIENTES"))
                throw std::runtime_error("stopped");
        };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, TDemoData::Fill(db.Path(), 20, 2, stopAtClients));
        QCOMPARE(ForcedWrites(db.Path()), 1);
    }

    // Orders and suppliers given outright: exactly that many, the orders
    // spread evenly over the clients, products without a supplier when
    // there are none.
    void ordersAndSuppliersGivenOutright_data()
    {
        QTest::addColumn<int>("clients");
        QTest::addColumn<int>("orders");
        QTest::addColumn<int>("suppliers");
        QTest::addColumn<int>("fewestOrders");
        QTest::addColumn<int>("mostOrders");
        QTest::newRow("three each") << 10 << 30 << 7 << 3 << 3;
        QTest::newRow("a remainder") << 10 << 25 << 3 << 2 << 3;
        QTest::newRow("fewer orders than clients") << 10 << 4 << 1 << 0 << 1;
        QTest::newRow("no clients, no orders") << 0 << 50 << 2 << 0 << 0;
        QTest::newRow("no suppliers") << 5 << 5 << 0 << 1 << 1;
    }
    void ordersAndSuppliersGivenOutright()
    {
        QFETCH(int, clients);
        QFETCH(int, orders);
        QFETCH(int, suppliers);
        QFETCH(int, fewestOrders);
        QFETCH(int, mostOrders);
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        TDemoData::Stock given{6, 12};
        given.orders = orders;
        given.suppliers = suppliers;
        const TDemoData::Counts c = TDemoData::Fill(db.Path(), clients, 1, {}, given);
        const int expectedOrders = clients > 0 ? orders : 0;
        QCOMPARE(c.orders, expectedOrders);
        QCOMPARE(c.suppliers, suppliers);
        auto dm = db.MakeDM();
        QCOMPARE(Scalar(*dm, "select count(*) from ordemserv"), expectedOrders);
        QCOMPARE(Scalar(*dm, "select count(*) from fornecedores"), suppliers);
        if (clients > 0) {
            const QString perClient = QStringLiteral(
                "select %1(n) from (select c.idcliente, (select count(*) from ordemserv o"
                " where o.idcliente = c.idcliente) as n from clientes c)");
            QCOMPARE(Scalar(*dm, perClient.arg(QLatin1String("min"))), fewestOrders);
            QCOMPARE(Scalar(*dm, perClient.arg(QLatin1String("max"))), mostOrders);
        }
        // Every product's supplier is one of the suppliers, or none at all.
        QCOMPARE(Scalar(*dm, "select count(*) from prodforne p where p.idfornece is not null and not exists "
                             "(select 1 from fornecedores f where f.idfornece = p.idfornece)"), 0);
        QCOMPARE(Scalar(*dm, "select count(*) from prodforne where idfornece is null"), suppliers ? 0 : 6);
    }

    // One seed, one set of rows: benchmarks compare runs on databases made
    // apart.
    void sameSeedSameRows()
    {
        QStringList names[2];
        for (QStringList &list : names) {
            TFbTestDb db;
            OS_REQUIRE_TEST_DB(db);
            TDemoData::Fill(db.Path(), 30, 5);
            auto dm = db.MakeDM();
            TFbQuery *q = dm->AuxQuery;
            q->Close();
            q->SetSQL("select c.nome || c.cidade || o.descricao || o.valortot from clientes c"
                      " join ordemserv o on o.idcliente = c.idcliente order by o.idordem");
            q->Open();
            for (q->First(); !q->Eof(); q->Next())
                list << q->Field(0)->AsString();
        }
        QVERIFY(names[0].size() >= 30);
        QCOMPARE(names[0], names[1]);
    }
};

QTEST_MAIN(TstTDemoData)
#include "tst_tdemodata.moc"
