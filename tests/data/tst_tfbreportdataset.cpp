// The application's queries as data sources of the report engine: the
// adapter's cursor, field kinds and values on a real database, a detail
// loop over a query, and the service order printout filled from the data
// module's queries.

#include "data/reportdata/tfbreportdataset.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "orders/treloslayout.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbtext.h"
#include "report/model/trepreport.h"
#include "tests/support/recordingfilter.h"
#include "tests/support/tfbtestdb.h"

#include <QLocale>
#include <QtTest>

#include <memory>

namespace {

// Two orders (the second without a total) of one client, and the header lines.
void FillOrders(TDM &dm)
{
    dm.ClientesQuery->Append();
    dm.ClientesQueryNOME->SetAsString(QStringLiteral("Ana Souza"));
    dm.ClientesQueryCIDADE->SetAsString(QStringLiteral("Curitiba"));
    dm.ClientesQuery->ApplyChanges();
    dm.OrdensQuery->Append();
    dm.OrdensQueryNORDEM->SetAsString(QStringLiteral("000123"));
    dm.OrdensQueryDESCRICAO->SetAsString(QStringLiteral("Troca de tela"));
    dm.OrdensQueryVALORTOT->SetAsFloat(1234.5);
    dm.OrdensQueryDATACAD->SetAsDateTime(QDateTime(QDate(2026, 3, 5), QTime(0, 0)));
    dm.OrdensQueryIDCLIENTE->SetAsInteger(1);
    dm.OrdensQuery->ApplyChanges();
    dm.OrdensQuery->Append();
    dm.OrdensQueryNORDEM->SetAsString(QStringLiteral("000124"));
    dm.OrdensQueryDESCRICAO->SetAsString(QStringLiteral("Orçamento"));
    dm.OrdensQueryIDCLIENTE->SetAsInteger(1);
    dm.OrdensQuery->ApplyChanges();
    dm.OrdensQuery->First();
    dm.ConfigQuery->First();
    dm.ConfigQuery->Edit();
    dm.ConfigQueryCAB1->SetAsString(QStringLiteral("Oficina do Zé"));
    dm.ConfigQuery->ApplyChanges();
}

} // namespace

class TstTFbReportDataSet : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void fieldsOfTheCurrentRow_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("display");
        QTest::newRow("text") << "descricao" << int(TRepFieldKind::String) << QVariant("Troca de tela")
                              << "Troca de tela";
        QTest::newRow("integer") << "IDCLIENTE" << int(TRepFieldKind::Integer) << QVariant(1) << "1";
        QTest::newRow("money") << "VALORTOT" << int(TRepFieldKind::Currency) << QVariant(1234.5) << "";
        QTest::newRow("date") << "DATACAD" << int(TRepFieldKind::DateTime)
                              << QVariant(QDateTime(QDate(2026, 3, 5), QTime(0, 0))) << "05/03/2026";
        QTest::newRow("null is no value") << "TECNICO" << int(TRepFieldKind::String) << QVariant() << "";
    }
    void fieldsOfTheCurrentRow()
    {
        QFETCH(QString, field);
        QFETCH(int, kind);
        QFETCH(QVariant, value);
        QFETCH(QString, display);
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        FillOrders(*dm);
        TFbReportDataSet ds(dm->OrdensQuery, QStringLiteral("FbQuery2"));
        QCOMPARE(ds.DataSetName(), QStringLiteral("FbQuery2"));
        const int i = ds.FieldIndex(field);
        QVERIFY(i >= 0);
        QCOMPARE(int(ds.FieldKind(i)), kind);
        QCOMPARE(ds.FieldValue(i).isValid(), value.isValid());
        if (value.isValid())
            QCOMPARE(ds.FieldValue(i), value);
        // Money shows as the data layer's currency text; the rest as given.
        if (!display.isEmpty() || !value.isValid())
            QCOMPARE(ds.FieldDisplayText(i), display);
        else
            QCOMPARE(ds.FieldDisplayText(i), dm->OrdensQuery->FieldByName(field)->DisplayText());
    }

    void cursorAndClosedQuery()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        FillOrders(*dm);
        auto query = std::make_unique<TFbQuery>();
        query->setObjectName(QStringLiteral("Orders"));
        query->SetDatabase(dm->Database);
        query->SetSQL(QStringLiteral("select NORDEM from ORDEMSERV order by NORDEM"));
        TFbReportDataSet ds(query.get());
        QCOMPARE(ds.DataSetName(), QStringLiteral("Orders"));
        // Closed: no usable source, nothing to read.
        QVERIFY(!ds.IsOpen());
        QVERIFY(ds.Eof());
        QCOMPARE(ds.RecordCount(), 0);
        QCOMPARE(ds.FieldIndex(QStringLiteral("NORDEM")), -1);
        QVERIFY(!ds.FieldValue(0).isValid());

        query->Open();
        QVERIFY(ds.IsOpen());
        QCOMPARE(ds.RecordCount(), 2);
        ds.First();
        const int f = ds.FieldIndex(QStringLiteral("nordem"));
        QStringList seen;
        while (!ds.Eof()) {
            seen << ds.FieldDisplayText(f);
            ds.Next();
        }
        QCOMPARE(seen, QStringList({"000123", "000124"}));
        QCOMPARE(ds.FieldIndex(QStringLiteral("OUTRO")), -1);
        QCOMPARE(int(ds.FieldKind(99)), int(TRepFieldKind::Other));
        QVERIFY(!ds.FieldValue(-1).isValid());

        // A freed query reads as a closed one.
        query.reset();
        QVERIFY(!ds.IsOpen());
        QVERIFY(ds.Eof());
        QCOMPARE(ds.FieldIndex(QStringLiteral("NORDEM")), -1);
    }

    // The detail loop runs over the query's rows; the money mask formats
    // the total, an empty total prints its formatted zero.
    void detailLoopOverAQuery()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        FillOrders(*dm);
        TFbReportDataSet ds(dm->OrdensQuery, QStringLiteral("FbQuery2"));
        TRepReport report;
        report.ShowProgress = false;
        TRepBand *detail = report.AddBand(rbDetail, QStringLiteral("Detail"));
        detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 60);
        for (const char *field : {"NORDEM", "VALORTOT"}) {
            auto *t = new TRepDBText;
            detail->InsertElement(t);
            t->Size().SetValues({45, field[0] == 'N' ? 0.0 : 400.0, 5, 300});
            t->DataSetName = QStringLiteral("FbQuery2");
            t->SetDataField(QString::fromLatin1(field));
            if (field[0] == 'V')
                t->Mask = QStringLiteral("R$ #,##0.00");
        }
        report.DataSetName = QStringLiteral("FbQuery2");
        QCOMPARE(report.BindDataSet(QStringLiteral("FbQuery2"), &ds), 3);   // the report and its two texts
        QCOMPARE(report.DataSet, &ds);
        RecordingFilter rec;
        TRepGenerator::Of(&report)->ExportWithFilter(&rec);
        QCOMPARE(rec.BandsNamed(QStringLiteral("Detail")).size(), 2);
        QCOMPARE(rec.TextsOn(1), QStringList({"000123", "R$ 1.234,50", "000124", "R$ 0,00"}));
    }

    // The printout: client, order and header lines from the data module's
    // queries, through the names its data texts use.
    void printoutFilledFromTheQueries()
    {
        TFbTestDb db;
        OS_REQUIRE_TEST_DB(db);
        auto dm = db.MakeDM();
        FillOrders(*dm);
        dm->ClientesQuery->First();
        TFbReportDataSet client(dm->ClientesQuery, QStringLiteral("FbQuery1"));
        TFbReportDataSet order(dm->OrdensQuery, QStringLiteral("FbQuery2"));
        TFbReportDataSet config(dm->ConfigQuery, QStringLiteral("FbQuery3"));
        std::unique_ptr<TRepReport> report(TRelOSLayout::Load());
        report->ShowProgress = false;
        QVERIFY(report->BindDataSet(client.DataSetName(), &client) > 0);
        QVERIFY(report->BindDataSet(order.DataSetName(), &order) > 0);
        QVERIFY(report->BindDataSet(config.DataSetName(), &config) > 0);
        RecordingFilter rec;
        TRepGenerator::Of(report.get())->ExportWithFilter(&rec);
        QCOMPARE(rec.pages, 1);
        const QStringList texts = rec.TextsOn(1);
        for (const QString &t : {QStringLiteral("Oficina do Zé"), QStringLiteral("000123"),
                                 QStringLiteral("Ana Souza"), QStringLiteral("Curitiba"),
                                 QStringLiteral("Troca de tela"), QStringLiteral("R$ 1.234,50"),
                                 QStringLiteral("05/03/2026")})
            QVERIFY2(texts.contains(t), qPrintable(t + QStringLiteral(" not in ") + texts.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(TstTFbReportDataSet)
#include "tst_tfbreportdataset.moc"
