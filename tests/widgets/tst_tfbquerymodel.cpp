// The grid's model over a dataset whose rows are read as they are needed:
// its rows are those read, a view asks for more a packet at a time, and
// rows the dataset reads for other reasons come in the same way. (Qt's
// model tester reads every row through fetchMore: the grid's own test
// runs it.)
#include "tests/widgets/twidgettestdata.h"
#include "widgets/tdbgrid.h"
#include "widgets/tfbquerymodel.h"

#include <QLocale>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace TWidgetTestData;

namespace {
constexpr int kRows = 300;
}

class TstTFbQueryModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFbTestDb> m_db;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TFbQueryModel> m_model;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init()
    {
        m_db = std::make_unique<TFbTestDb>();
        OS_REQUIRE_TEST_DB(*m_db);
        m_dm = m_db->MakeDM();
        Exec(QStringLiteral("execute block as declare i integer = 1; begin "
                            "while (i <= %1) do begin "
                            "insert into clientes (idcliente, nome) values (:i, 'C' || lpad(:i, 3, '0')); "
                            "i = i + 1; end end").arg(kRows));
        TDmSchema::BringUpToDate(*DM->Database);
        Reopen(DM->ClientesQuery, QStringLiteral("select * from clientes order by idcliente"));
        m_model = std::make_unique<TFbQueryModel>();
        m_model->SetDataSet(DM->ClientesQuery);
        m_model->SetColumns({{QStringLiteral("IDCLIENTE"), QString(), 0}, {QStringLiteral("NOME"), QString(), 0}});
    }
    void cleanup()
    {
        m_model.reset();
        m_dm.reset();
        m_db.reset();
    }

    // A new row set comes with its first packet; each fetchMore adds one
    // more at the end, announced as one insert, until the cursor has no
    // more.
    void fetchMoreAddsAPacket()
    {
        QCOMPARE(m_model->rowCount(), TFbQuery::kFetchPacket);
        QCOMPARE(DM->ClientesQuery->FetchedCount(), TFbQuery::kFetchPacket);
        QSignalSpy inserted(m_model.get(), &QAbstractItemModel::rowsInserted);
        int packets = 0;
        while (m_model->canFetchMore(QModelIndex())) {
            const int before = m_model->rowCount();
            m_model->fetchMore(QModelIndex());
            ++packets;
            QCOMPARE(inserted.count(), packets);
            QCOMPARE(inserted.last().at(1).toInt(), before);
            QCOMPARE(inserted.last().at(2).toInt(), m_model->rowCount() - 1);
            QVERIFY(m_model->rowCount() - before <= TFbQuery::kFetchPacket);
        }
        QCOMPARE(m_model->rowCount(), kRows);
        QCOMPARE(packets, (kRows - 1) / TFbQuery::kFetchPacket);
        QCOMPARE(m_model->data(m_model->index(kRows - 1, 1)).toString(), QStringLiteral("C300"));
        QVERIFY(!m_model->canFetchMore(QModelIndex()));
        QVERIFY(!m_model->canFetchMore(m_model->index(0, 0)));   // a table has no children
    }

    // Rows read by the dataset itself (a move past the rows read, Last)
    // reach the model as inserts, and a row typed there stays after the
    // rows read after it.
    void rowsReadByTheDataSetComeIn_data()
    {
        QTest::addColumn<int>("recNo");     // -1: Last
        QTest::addColumn<bool>("append");
        QTest::newRow("move past the rows read") << 200 << false;
        QTest::newRow("last") << -1 << false;
        QTest::newRow("a new row stays last") << -1 << true;
    }
    void rowsReadByTheDataSetComeIn()
    {
        QFETCH(int, recNo);
        QFETCH(bool, append);
        TFbQuery *q = DM->ClientesQuery;
        if (append) {
            q->Append();
            DM->ClientesQueryNOME->SetAsString("Novo");
            q->Post();
            QCOMPARE(m_model->rowCount(), TFbQuery::kFetchPacket + 1);
        }
        if (recNo >= 0)
            q->SetRecNo(recNo);
        else
            q->Last();
        QCOMPARE(m_model->rowCount(), q->FetchedCount());
        QVERIFY(m_model->rowCount() > (recNo >= 0 ? recNo : kRows - 1));
        const int last = m_model->rowCount() - 1;
        QCOMPARE(m_model->data(m_model->index(last, 1)).toString(),
                 append ? QStringLiteral("Novo") : QStringLiteral("C%1").arg(last + 1, 3, 10, QLatin1Char('0')));
        for (int r = 0; r < kRows && r <= last; r += 37)
            QCOMPARE(m_model->data(m_model->index(r, 0)).toInt(), r + 1);
    }

    // A grid on screen reads the rows it shows, not the whole result, and
    // scrolling to the end reads the rest.
    void gridReadsWhatItShows()
    {
        TDBGrid grid;
        grid.resize(400, 300);
        grid.SetDataSet(DM->ClientesQuery);
        grid.SetColumns({{QStringLiteral("IDCLIENTE"), QString(), 0}, {QStringLiteral("NOME"), QString(), 100}});
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QCoreApplication::processEvents();
        TFbQuery *q = DM->ClientesQuery;
        QVERIFY(q->FetchedCount() > 1);
        QVERIFY2(q->FetchedCount() <= 1 + TFbQuery::kFetchPacket, qPrintable(QString::number(q->FetchedCount())));
        QVERIFY(!q->AllRowsRead());
        for (int i = 0; i < kRows && !q->AllRowsRead(); ++i) {
            grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
            QCoreApplication::processEvents();
        }
        QVERIFY(q->AllRowsRead());
        QCOMPARE(grid.model()->rowCount(), kRows);
        QCOMPARE(q->RecNo(), 0);   // scrolling does not move the dataset
    }
};

QTEST_MAIN(TstTFbQueryModel)
#include "tst_tfbquerymodel.moc"
