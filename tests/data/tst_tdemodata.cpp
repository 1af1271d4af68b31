// Demonstration data: consistent rows that the screens can work on.
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tmoney.h"
#include "tests/support/tfbtestdb.h"
#include "tools/tdemodata.h"

#include <QLocale>
#include <QtTest>
#include <cmath>

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
};

QTEST_MAIN(TstTDemoData)
#include "tst_tdemodata.moc"
