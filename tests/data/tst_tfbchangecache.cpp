// The change cache on rows of its own: what is waiting, writing in order
// and what a failed write leaves, the journal of units of work, and
// dropping every change.
#include "data/efberror.h"
#include "data/tfbchangecache.h"
#include "data/tfbrowstore.h"

#include <QtTest>

class TstTFbChangeCache : public QObject
{
    Q_OBJECT

    // A store of `n` rows with one text column, "r0", "r1"...
    static void Fill(TFbRowStore &store, int n)
    {
        TFbColumn text;
        text.storage = TFbStorage::Text;
        store.Start({text}, nullptr);
        for (int i = 0; i < n; ++i) {
            TFbCell c;
            c.null = false;
            c.s = "r" + QByteArray::number(i);
            auto row = std::make_unique<TFbRow>();
            row->orig = store.EncodeRow(&c);
            store.Add(std::move(row));
        }
    }
    static TFbRow *Row(TFbRowStore &store, int i) { return store.Rows()[size_t(i)].get(); }
    static void Change(TFbRowStore &store, TFbChangeCache &cache, int i, const QByteArray &text)
    {
        TFbRow *r = Row(store, i);
        store.EnsureCur(r);
        r->cur[0].s = text;
        cache.Edited(r);
    }
    static QByteArray Text(TFbRowStore &store, int i) { return store.Cell(Row(store, i), 0).s; }

private slots:
    void waitingFollowsTheStatus_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("gone");
        QTest::addColumn<bool>("waiting");
        QTest::newRow("unmodified") << int(TFbQuery::usUnmodified) << false << false;
        QTest::newRow("modified") << int(TFbQuery::usModified) << false << true;
        QTest::newRow("inserted") << int(TFbQuery::usInserted) << false << true;
        QTest::newRow("deleted") << int(TFbQuery::usDeleted) << false << true;
        QTest::newRow("deleted and written") << int(TFbQuery::usDeleted) << true << false;
        QTest::newRow("inserted then deleted") << int(TFbQuery::usInsertedDeleted) << false << false;
    }
    void waitingFollowsTheStatus()
    {
        QFETCH(int, status);
        QFETCH(bool, gone);
        QFETCH(bool, waiting);
        TFbRowStore store;
        Fill(store, 2);
        TFbChangeCache cache(store);
        Row(store, 1)->status = TFbQuery::TUpdateStatus(status);
        Row(store, 1)->gone = gone;
        QCOMPARE(TFbChangeCache::Waiting(Row(store, 1)), waiting);
        QCOMPARE(cache.Pending(), waiting);
    }

    // Rows are written in store order; a failure stops the walk, the rows
    // written before stay written and the rest stay waiting.
    void writesInOrderAndStopsAtAFailure()
    {
        TFbRowStore store;
        Fill(store, 4);
        TFbChangeCache cache(store);
        Change(store, cache, 3, "três");
        QCOMPARE(cache.Deleted(Row(store, 0)), TFbQuery::usUnmodified);
        Change(store, cache, 2, "dois");
        QList<QByteArray> order;
        bool wrote = false;
        try {
            cache.WriteAll(
                [&](TFbRow *r) {
                    if (r == Row(store, 3))
                        throw EFbError(QStringLiteral("recusado"));
                    order << (r->cur ? r->cur[0].s : store.Cell(r, 0).s);
                    cache.Written(r, 0);
                },
                wrote);
            QFAIL("no error");
        } catch (const EFbError &) {
        }
        QVERIFY(wrote);
        QCOMPARE(order, (QList<QByteArray>{"r0", "dois"}));
        QVERIFY(Row(store, 0)->gone);
        QCOMPARE(Row(store, 2)->status, TFbQuery::usUnmodified);
        QCOMPARE(Text(store, 2), QByteArray("dois"));
        QCOMPARE(Row(store, 3)->status, TFbQuery::usModified);
        QVERIFY(cache.Pending());
        cache.PurgeGone();
        QCOMPARE(int(store.Rows().size()), 3);
    }

    // Rows written in units of work come back as they were when their unit
    // fails; a nested unit that succeeded hands its rows to its parent.
    void journalUndoesFailedUnits_data()
    {
        QTest::addColumn<bool>("innerMerged");
        QTest::addColumn<int>("undoFrom");
        QTest::addColumn<bool>("outerUndone");
        QTest::addColumn<bool>("innerUndone");
        QTest::newRow("inner unit fails alone") << false << 2 << false << true;
        QTest::newRow("outer unit fails") << false << 1 << true << true;
        QTest::newRow("inner merged, outer fails") << true << 1 << true << true;
        QTest::newRow("inner merged, nothing at its depth") << true << 2 << false << false;
    }
    void journalUndoesFailedUnits()
    {
        QFETCH(bool, innerMerged);
        QFETCH(int, undoFrom);
        QFETCH(bool, outerUndone);
        QFETCH(bool, innerUndone);
        TFbRowStore store;
        Fill(store, 3);
        TFbChangeCache cache(store);
        Change(store, cache, 0, "fora");
        cache.Written(Row(store, 0), 1);
        cache.Deleted(Row(store, 1));
        cache.Written(Row(store, 1), 2);
        if (innerMerged)
            cache.Merge(2);
        QVERIFY(cache.Journaled());
        cache.PurgeGone();
        QCOMPARE(int(store.Rows().size()), 3);   // kept while a unit may need them
        cache.Undo(undoFrom);
        QCOMPARE(Row(store, 0)->status, outerUndone ? TFbQuery::usModified : TFbQuery::usUnmodified);
        QCOMPARE(Text(store, 0), QByteArray("fora"));
        QCOMPARE(Row(store, 1)->gone, !innerUndone);
        QCOMPARE(Row(store, 1)->status, TFbQuery::usDeleted);
        cache.Commit();
        QVERIFY(!cache.Journaled());
        QCOMPARE(int(store.Rows().size()), innerUndone ? 3 : 2);
    }

    // Dropping every change: new rows go, changed and deleted rows are
    // back as read.
    void cancelAllGoesBackToTheRowsAsRead()
    {
        TFbRowStore store;
        Fill(store, 3);
        TFbChangeCache cache(store);
        Change(store, cache, 0, "mudado");
        cache.Deleted(Row(store, 1));
        auto added = std::make_unique<TFbRow>();
        added->status = TFbQuery::usInserted;
        added->local = true;
        added->cur = store.NewCells();
        store.Add(std::move(added));
        cache.CancelAll();
        QVERIFY(!cache.Pending());
        QCOMPARE(int(store.Rows().size()), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(Row(store, i)->status, TFbQuery::usUnmodified);
            QCOMPARE(Text(store, i), "r" + QByteArray::number(i));
        }
    }
};

QTEST_MAIN(TstTFbChangeCache)
#include "tst_tfbchangecache.moc"
