// Row storage on a real cursor: reading a packet at a time, what a packed
// row keeps of each kind of value, and rows leaving the store.
#include "data/tfbdatabase.h"
#include "data/tfbrowstore.h"
#include "data/tfbstatement.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbtestdb.h"

#include <QtTest>

class TstTFbRowStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<TFbTestDb> m_file;
    std::unique_ptr<TFbDatabase> m_db;
    std::unique_ptr<TFbTransaction> m_tr;
    std::unique_ptr<TFbStatement> m_stmt;

    void OpenCursor(const QByteArray &sql)
    {
        m_stmt = std::make_unique<TFbStatement>(m_db.get());
        m_stmt->Prepare(m_tr.get(), sql);
        m_stmt->Execute(m_tr.get());
    }

private slots:
    void init()
    {
        m_file = std::make_unique<TFbTestDb>();
        OS_REQUIRE_TEST_DB(*m_file);
        auto dm = m_file->MakeDM(false);
        m_db = std::make_unique<TFbDatabase>();
        m_db->SetDatabaseName(m_file->Path());
        m_db->SetParams(dm->Database->Params());
        dm.reset();
        m_tr = std::make_unique<TFbTransaction>();
        m_tr->SetDefaultDatabase(m_db.get());
        m_db->SetDefaultTransaction(m_tr.get());
        m_db->Open();
        m_tr->StartTransaction();
    }
    void cleanup()
    {
        m_stmt.reset();
        if (m_tr && m_tr->InTransaction())
            m_tr->Rollback();
        m_tr.reset();
        m_db.reset();
        m_file.reset();
    }

    // Packets of any size add up to the cursor's rows, in order, once; the
    // end is known once a read meets it (a full packet has not).
    void readsAPacketAtATime_data()
    {
        QTest::addColumn<int>("packet");
        QTest::addColumn<QList<int>>("reads");
        QTest::newRow("packets of 2 over 5 rows") << 2 << QList<int>{2, 2, 1};
        QTest::newRow("a packet larger than the result") << 100 << QList<int>{5};
        QTest::newRow("a whole number of packets") << 5 << QList<int>{5, 0};
    }
    void readsAPacketAtATime()
    {
        QFETCH(int, packet);
        QFETCH(QList<int>, reads);
        OpenCursor("select r.rdb$relation_id as id from rdb$relations r where r.rdb$relation_id < 5 "
                   "order by r.rdb$relation_id");
        TFbRowStore store;
        store.Start(m_stmt->Columns(), m_stmt.get());
        for (int i = 0; i < reads.size(); ++i) {
            QVERIFY(!store.AllRead());
            QCOMPARE(store.Fetch(packet), reads.at(i));
        }
        QVERIFY(store.AllRead());
        QCOMPARE(store.Fetch(packet), 0);
        QCOMPARE(store.FetchedCount(), 5);
        for (int r = 0; r < 5; ++r)
            QCOMPARE(store.Cell(store.Rows().at(size_t(r)).get(), 0).i, qint64(r));
    }

    // Each kind of value comes back from its packed row as read, nulls
    // included, and a row packed from cells decodes to the same cells.
    void packedRowsKeepEveryKindOfValue()
    {
        OpenCursor("select cast('ab' as char(5)) as c, cast('x y ' as varchar(10)) as v, cast(null as integer) as n,"
                   " cast(-7 as integer) as i, cast(123.45 as numeric(9,2)) as m, cast(2.5 as double precision) as d,"
                   " cast('2026-03-04 05:06:07' as timestamp) as t, cast('' as varchar(3)) as e from rdb$database");
        TFbRowStore store;
        store.Start(m_stmt->Columns(), m_stmt.get());
        QCOMPARE(store.Fetch(10), 1);
        const TFbRow *row = store.Rows().front().get();
        QCOMPARE(store.Cell(row, 0).s, QByteArray("ab"));        // the blanks that pad a CHAR go
        QCOMPARE(store.Cell(row, 1).s, QByteArray("x y "));      // a VARCHAR's stay
        QVERIFY(store.Cell(row, 2).null);
        QCOMPARE(store.Cell(row, 3).i, qint64(-7));
        QCOMPARE(store.Cell(row, 4).i, qint64(12345));
        QCOMPARE(store.Cell(row, 5).d, 2.5);
        QVERIFY(!store.Cell(row, 6).null);
        QVERIFY(!store.Cell(row, 7).null);
        QCOMPARE(store.Cell(row, 7).s, QByteArray());
        QCOMPARE(store.Cell(row, 99).null, true);                // no such column

        std::unique_ptr<TFbCell[]> cells = store.NewCells();
        store.DecodeRow(row->orig, cells.get());
        const unsigned char *packed = store.EncodeRow(cells.get());
        std::unique_ptr<TFbCell[]> back = store.NewCells();
        store.DecodeRow(packed, back.get());
        for (size_t c = 0; c < store.ColumnCount(); ++c)
            QVERIFY2(back[c] == cells[c], qPrintable(QString::number(c)));
    }

    // A failing cursor stops the store: the rows read stay, nothing more
    // is read.
    void failingCursorKeepsTheRowsRead()
    {
        OpenCursor("select 1 / (r.rdb$relation_id - 2) as x from rdb$relations r order by r.rdb$relation_id");
        TFbRowStore store;
        store.Start(m_stmt->Columns(), m_stmt.get());
        bool failed = false;
        try {
            store.Fetch(10);
        } catch (const std::exception &) {
            failed = true;
        }
        QVERIFY(failed);
        QVERIFY(store.AllRead());
        QCOMPARE(store.FetchedCount(), 2);
        QCOMPARE(int(store.Rows().size()), 2);
        QCOMPARE(store.Fetch(10), 0);
    }

    // Rows deleted and written, or new and deleted before being written,
    // leave the store; the others stay in their order.
    void goneRowsLeave()
    {
        TFbColumn key;
        key.storage = TFbStorage::Int;
        TFbRowStore store;
        store.Start({key}, nullptr);
        QVERIFY(store.AllRead());
        for (int i = 0; i < 4; ++i) {
            TFbCell c;
            c.null = false;
            c.i = i;
            auto row = std::make_unique<TFbRow>();
            row->orig = store.EncodeRow(&c);
            store.Add(std::move(row));
        }
        store.Rows()[1]->gone = true;
        store.Rows()[2]->status = TFbQuery::usInsertedDeleted;
        store.PurgeGone();
        QCOMPARE(int(store.Rows().size()), 2);
        QCOMPARE(store.Cell(store.Rows()[0].get(), 0).i, qint64(0));
        QCOMPARE(store.Cell(store.Rows()[1].get(), 0).i, qint64(3));
        QCOMPARE(store.FetchedCount(), 0);
    }
};

QTEST_MAIN(TstTFbRowStore)
#include "tst_tfbrowstore.moc"
