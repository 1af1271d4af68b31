// The grid over a dataset: it follows every change of the dataset and moves
// it, paints rows by the screen's rule, and swallows Ctrl+Delete. Qt's model
// tester watches the grid's model in every test: each change is announced
// before the rows change and reported after, with consistent counts and data.
#include "tests/widgets/twidgettestdata.h"
#include "widgets/tdbgrid.h"
#include "widgets/tfbquerymodel.h"
#include "widgets/trowcolors.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QLocale>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

using namespace TWidgetTestData;

class TstTDBGrid : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init();
    void cleanup();
    void followsRowsCurrentRowAndState();
    void movingInTheGridMovesTheDataSet();
    void columnsTitlesAndWidths();
    void paintsByTheRowRule();
    void ctrlDeleteIsSwallowed();
    void readsTheRowsItShows();

private:
    std::unique_ptr<TFbTestDb> m_db;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TDBGrid> m_grid;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

void TstTDBGrid::init()
{
    m_db = std::make_unique<TFbTestDb>();
    OS_REQUIRE_TEST_DB(*m_db);
    m_dm = m_db->MakeDM();
    AddClients(5);
    m_grid = std::make_unique<TDBGrid>();
    m_grid->SetDataSet(DM->ClientesQuery);
    m_grid->SetColumns({{QStringLiteral("IDCLIENTE"), QStringLiteral("Código"), 0},
                        {QStringLiteral("NOME"), QString(), 200},
                        {QStringLiteral("TIPOANOT"), QStringLiteral("Tipo"), 0}});
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TstTDBGrid::cleanup()
{
    m_tester.reset();
    m_grid.reset();
    m_dm.reset();
    m_db.reset();
}

void TstTDBGrid::followsRowsCurrentRowAndState()
{
    TFbQuery *q = DM->ClientesQuery;
    QAbstractItemModel *model = m_grid->model();
    QCOMPARE(model->rowCount(), 5);
    QCOMPARE(m_grid->currentIndex().row(), 0);
    QCOMPARE(model->index(2, 1).data().toString(), QStringLiteral("CLIENTE 003"));

    q->SetRecNo(3);
    QCOMPARE(m_grid->currentIndex().row(), 3);
    QVERIFY(m_grid->selectionModel()->isRowSelected(3, QModelIndex()));

    // A new row appears at once, selected; cancelling takes it away.
    q->Append();
    QCOMPARE(model->rowCount(), 6);
    QCOMPARE(m_grid->currentIndex().row(), 5);
    QCOMPARE(model->index(5, 0).data().toString(), QStringLiteral("6"));
    q->FieldByName(QStringLiteral("NOME"))->SetAsString(QStringLiteral("NOVO"));
    QCOMPARE(model->index(5, 1).data().toString(), QStringLiteral("NOVO"));
    q->Cancel();
    QCOMPARE(model->rowCount(), 5);
    QCOMPARE(m_grid->currentIndex().row(), q->RecNo());

    // Deleting hides the row; closing empties the grid; opening fills it.
    q->SetRecNo(1);
    q->Delete();
    QCOMPARE(model->rowCount(), 4);
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("CLIENTE 003"));
    q->CancelUpdates();
    QCOMPARE(model->rowCount(), 5);
    q->Close();
    QCOMPARE(model->rowCount(), 0);
    QVERIFY(!m_grid->currentIndex().isValid());
    Reopen(q, QStringLiteral("select * from clientes where idcliente > 3 order by nome"));
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("CLIENTE 004"));
    QCOMPARE(m_grid->currentIndex().row(), 0);
}

void TstTDBGrid::movingInTheGridMovesTheDataSet()
{
    TFbQuery *q = DM->ClientesQuery;
    m_grid->resize(400, 300);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
    m_grid->setFocus();
    QTest::keyClick(m_grid.get(), Qt::Key_Down);
    QTest::keyClick(m_grid.get(), Qt::Key_Down);
    QCOMPARE(q->RecNo(), 2);
    const QRect cell = m_grid->visualRect(m_grid->model()->index(4, 1));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(q->RecNo(), 4);
    QCOMPARE(q->FieldByName(QStringLiteral("NOME"))->AsString(), QStringLiteral("CLIENTE 005"));
}

void TstTDBGrid::columnsTitlesAndWidths()
{
    QAbstractItemModel *model = m_grid->model();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("NOME"));
    QCOMPARE(m_grid->columnWidth(1), 200);
    QVERIFY(m_grid->columnWidth(0) > 20);
    QCOMPARE(m_grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QVERIFY(m_grid->verticalHeader()->isHidden());
    QVERIFY(m_grid->showGrid());
    QCOMPARE(m_grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
    // A column naming no field of the dataset shows empty cells.
    m_grid->SetColumns({{QStringLiteral("NOPE"), QStringLiteral("?"), 0}});
    QCOMPARE(model->index(0, 0).data().toString(), QString());
}

void TstTDBGrid::paintsByTheRowRule()
{
    // Red for annotation type 4 (CLIENTE 004), nothing of its own otherwise.
    m_grid->SetRowColorRule([](const TFbQuery *q, int row) -> std::optional<QColor> {
        if (TDBGrid::IntAt(q, row, QStringLiteral("TIPOANOT")) == 4)
            return QColor(255, 0, 0);
        return std::nullopt;
    });
    QFont big = m_grid->font();
    big.setPixelSize(26);
    big.setBold(true);
    m_grid->setFont(big);
    m_grid->verticalHeader()->setDefaultSectionSize(40);
    m_grid->setColumnWidth(1, 260);
    m_grid->resize(600, 300);
    DM->ClientesQuery->SetRecNo(3);   // CLIENTE 004: selected and red
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));

    const QImage image = m_grid->viewport()->grab().toImage();
    const QColor base = m_grid->palette().color(QPalette::Active, QPalette::Base);
    const QColor text = m_grid->palette().color(QPalette::Active, QPalette::Text);
    auto inspect = [&](int row, QColor ground, QColor ink) {
        const QRect cell = m_grid->visualRect(m_grid->model()->index(row, 1));
        QCOMPARE(QColor(image.pixel(cell.right() - 2, cell.bottom() - 1)), ground);
        int inkPixels = 0, firstInkX = cell.right(), firstInkY = cell.bottom();
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                if (QColor(image.pixel(x, y)) == ink) {
                    ++inkPixels;
                    firstInkX = qMin(firstInkX, x);
                    firstInkY = qMin(firstInkY, y);
                }
            }
        }
        QVERIFY2(inkPixels > 20, qPrintable(QStringLiteral("row %1: %2 ink pixels").arg(row).arg(inkPixels)));
        // Written from 2 pixels right of the left edge, near the top.
        QVERIFY(firstInkX >= cell.left() + 2);
        QVERIFY(firstInkX <= cell.left() + 6);
        QVERIFY(firstInkY <= cell.top() + 12);
    };
    inspect(3, TRowColors::SkyBlue(), QColor(255, 0, 0));
    inspect(0, base, text);
    QCOMPARE(m_grid->RowTextColor(3), QColor(255, 0, 0));
    QCOMPARE(m_grid->RowTextColor(1), text);
}

void TstTDBGrid::ctrlDeleteIsSwallowed()
{
    QWidget parent;
    m_grid->setParent(&parent);
    auto giveBack = qScopeGuard([&] { m_grid->setParent(nullptr); });
    struct Counter : QObject {
        int presses = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Delete)
                ++presses;
            return false;
        }
    } counter;
    parent.installEventFilter(&counter);
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    m_grid->setFocus();
    // Delete with other modifiers is not the grid's to keep: it goes on
    // to the window; Ctrl alone with Delete stops in the grid.
    QTest::keyClick(m_grid.get(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(counter.presses, 1);
    QTest::keyClick(m_grid.get(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(counter.presses, 1);
    QCOMPARE(DM->ClientesQuery->RecordCount(), 5);
}

QTEST_MAIN(TstTDBGrid)
#include "tst_tdbgrid.moc"

// A window laid out at its size before its grid meets an open dataset of
// 300 rows: the grid reads the rows it shows and one more, not a packet;
// showing it and idling read nothing more; growing it reads the rows that
// came into view; scrolling to the bottom reads a packet. A grid that has
// never had a size reads a packet.
void TstTDBGrid::readsTheRowsItShows()
{
    AddClients(295, 6);
    TFbQuery loose;
    loose.SetDatabase(DM->Database);
    loose.SetSQL(QStringLiteral("select * from clientes"));
    loose.Open();
    TDBGrid sizeless;
    sizeless.SetDataSet(&loose);
    QCOMPARE(loose.FetchedCount(), TFbQuery::kFetchPacket);
    QCOMPARE(sizeless.model()->rowCount(), TFbQuery::kFetchPacket);

    TFbQuery q;
    q.SetDatabase(DM->Database);
    q.SetSQL(QStringLiteral("select * from clientes order by idcliente"));
    q.Open();
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *grid = new TDBGrid;
    layout->addWidget(grid);
    window.resize(400, 240);
    layout->activate();
    grid->SetColumns({{QStringLiteral("IDCLIENTE"), QStringLiteral("Código"), 0},
                      {QStringLiteral("NOME"), QString(), 200}});
    grid->SetDataSet(&q);
    const int estimated = grid->RowsShown();
    QVERIFY2(estimated > 3 && estimated < 30, qPrintable(QString::number(estimated)));
    QCOMPARE(q.FetchedCount(), estimated + 1);
    QCOMPARE(grid->model()->rowCount(), estimated + 1);

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(50);
    // Shown, the viewport's own size counts; the last row read lies below it.
    QVERIFY(grid->RowsShown() <= estimated);
    QCOMPARE(q.FetchedCount(), estimated + 1);
    const QModelIndex last = grid->model()->index(q.FetchedCount() - 1, 0);
    QVERIFY(!grid->viewport()->rect().intersects(grid->visualRect(last)));
    QCOMPARE(grid->model()->index(estimated - 1, 1).data().toString(),
             QStringLiteral("CLIENTE %1").arg(estimated, 3, 10, QLatin1Char('0')));

    window.resize(400, 600);
    QTRY_VERIFY(grid->RowsShown() > estimated);
    QTRY_COMPARE(q.FetchedCount(), grid->RowsShown() + 1);
    QVERIFY(q.FetchedCount() < TFbQuery::kFetchPacket);

    const int before = q.FetchedCount();
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    QTRY_COMPARE(q.FetchedCount(), before + TFbQuery::kFetchPacket);
    QCOMPARE(grid->model()->rowCount(), q.FetchedCount());
    QCOMPARE(q.RecordCount(), 300);
}
