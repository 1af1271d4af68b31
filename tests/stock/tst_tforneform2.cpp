// The supplier picker on a real database file, on its own interface (the
// two supplier boxes of the form that opens it): choosing by "OK" and by
// double click, leaving by the close box, Esc, the empty list, the rows it
// offers.
#include "stock/tforneform.h"
#include "stock/tforneform2.h"
#include "tests/stock/tstocktestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/trowcolors.h"
#include "widgets/tsearchedit.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QtTest>

using namespace TStockTestData;

class TstTForneForm2 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void okWritesCodeAndTradeName();
    void doubleClickWritesWhatOkWrites_data();
    void doubleClickWritesWhatOkWrites();
    void closeBoxAndEscWriteNothing();
    void noSupplierIsRefused_data();
    void noSupplierIsRefused();
    void offersTheRowsOfTheLastStatement_data();
    void offersTheRowsOfTheLastStatement();

private:
    int Row(int idFornece) const;
    QStringList Pick(const std::function<void(TForneForm2 *)> &act);

    TScreenTestData::TScreenDb m_screen;
    std::unique_ptr<QLineEdit> m_code;
    std::unique_ptr<QLineEdit> m_name;
};

void TstTForneForm2::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTForneForm2::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    // Inserted out of trade-name order.
    AddSupplier({1, QStringLiteral("CASA DAS PEÇAS")});
    AddSupplier({2, QStringLiteral("ALFA FERRAGENS")});
    AddSupplier({3, QStringLiteral("BETA ELETRO")});
    // The product record form's boxes, as an existing product shows them.
    m_code = std::make_unique<QLineEdit>(QStringLiteral("9"));
    m_name = std::make_unique<QLineEdit>(QStringLiteral("ANTIGO"));
}

void TstTForneForm2::cleanup()
{
    m_code.reset();
    m_name.reset();
    m_screen.Close();
}

int TstTForneForm2::Row(int idFornece) const
{
    TFbField *f = DM->ForneQuery->FieldByName(QStringLiteral("IDFORNECE"));
    for (int row = 0; row < DM->ForneQuery->RecordCount(); ++row) {
        if (f->ValueAt(row).toInt() == idFornece)
            return row;
    }
    return -1;
}

// Opens the picker on the two boxes, acts on it, and gives the boxes' texts.
QStringList TstTForneForm2::Pick(const std::function<void(TForneForm2 *)> &act)
{
    bool shown = false;
    OnModal([&](QDialog *d) {
        shown = true;
        act(qobject_cast<TForneForm2 *>(d));
    });
    const bool picked = TForneForm2::Pick(m_code.get(), m_name.get());
    return {picked && shown ? QStringLiteral("shown") : QStringLiteral("not shown"), m_code->text(),
            m_name->text()};
}

void TstTForneForm2::okWritesCodeAndTradeName()
{
    ListAllSuppliers();
    const QStringList result = Pick([&](TForneForm2 *picker) {
        QVERIFY(picker);
        QCOMPARE(picker->windowTitle(), QStringLiteral("Fornecedores"));
        QCOMPARE(picker->size(), QSize(425, 273));
        QCOMPARE(picker->Panel1->height(), 40);
        QVERIFY(!picker->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QCOMPARE(picker->BitBtn1->text(), QStringLiteral("OK"));
        TDBGrid *grid = picker->DBGrid1;
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Cod. Fornecedor"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nome Fantasia"));
        QCOMPARE(grid->columnWidth(1), 354);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(grid->RowTextColor(row), TRowColors::MenuHighlight());
        grid->setCurrentIndex(grid->model()->index(Row(1), 0));
        QCOMPARE(grid->RowBackground(Row(1)), TRowColors::SkyBlue());
        picker->BitBtn1->click();
        QVERIFY(!picker->isVisible());
    });
    QCOMPARE(result, QStringList({"shown", "1", "CASA DAS PEÇAS"}));
    QCOMPARE(m_screen.messages->Count(), 0);
    // It stores nothing itself.
    QCOMPARE(DM->ForneQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores")), 3);
}

void TstTForneForm2::doubleClickWritesWhatOkWrites_data()
{
    QTest::addColumn<int>("current");   // the supplier current before
    QTest::addColumn<int>("clicked");   // the supplier double-clicked; 0: the column titles
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("on a row") << 2 << 3 << "3" << "BETA ELETRO";
    QTest::newRow("on the current row") << 1 << 1 << "1" << "CASA DAS PEÇAS";
    QTest::newRow("on the titles: the current row") << 2 << 0 << "2" << "ALFA FERRAGENS";
}

void TstTForneForm2::doubleClickWritesWhatOkWrites()
{
    QFETCH(int, current);
    QFETCH(int, clicked);
    QFETCH(QString, code);
    QFETCH(QString, name);
    ListAllSuppliers();
    QVERIFY(DM->ForneQuery->Locate(QStringLiteral("IDFORNECE"), current));
    const QStringList result = Pick([&](TForneForm2 *picker) {
        TDBGrid *grid = picker->DBGrid1;
        if (clicked == 0) {
            QWidget *titles = grid->horizontalHeader()->viewport();
            const QPoint at(grid->columnViewportPosition(1) + 20, titles->height() / 2);
            QTest::mouseDClick(titles, Qt::LeftButton, {}, at);
        } else {
            const QRect cell = grid->visualRect(grid->model()->index(Row(clicked), 1));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        }
        QVERIFY(!picker->isVisible());
    });
    QCOMPARE(result, QStringList({"shown", code, name}));

    // "OK" on the same row writes the same.
    m_code->clear();
    m_name->clear();
    const QStringList byOk = Pick([&](TForneForm2 *picker) { picker->BitBtn1->click(); });
    QCOMPARE(byOk, result);
}

void TstTForneForm2::closeBoxAndEscWriteNothing()
{
    ListAllSuppliers();
    QVERIFY(DM->ForneQuery->Locate(QStringLiteral("IDFORNECE"), 2));
    bool openAfterEsc = false;
    const QStringList result = Pick([&](TForneForm2 *picker) {
        TDBGrid *grid = picker->DBGrid1;
        grid->setCurrentIndex(grid->model()->index(Row(3), 0));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Escape);
        QTest::keyClick(picker->BitBtn1, Qt::Key_Escape);
        openAfterEsc = picker->isVisible();
        picker->close();
        QVERIFY(!picker->isVisible());
    });
    QVERIFY(openAfterEsc);
    QCOMPARE(result, QStringList({"shown", "9", "ANTIGO"}));
    // Moving in the list moved the shared dataset all the same.
    QCOMPARE(DM->ForneQuery->FieldByName(QStringLiteral("IDFORNECE"))->AsInteger(), 3);
}

void TstTForneForm2::noSupplierIsRefused_data()
{
    QTest::addColumn<bool>("closed");
    QTest::newRow("a search that found nothing") << false;
    QTest::newRow("a closed list") << true;
}

void TstTForneForm2::noSupplierIsRefused()
{
    QFETCH(bool, closed);
    DM->ForneQuery->Close();
    if (!closed) {
        DM->ForneQuery->SetSQL(QStringLiteral("select * from fornecedores where idfornece < 0"));
        DM->ForneQuery->Open();
    }
    bool opened = false;
    OnModal([&](QDialog *) { opened = true; }, 3);
    QVERIFY(!TForneForm2::Pick(m_code.get(), m_name.get()));
    QTest::qWait(100);
    QVERIFY(!opened);
    QCOMPARE(m_screen.messages->Texts(), QStringList{QStringLiteral("Não existe fornecedor cadastrado!")});
    QCOMPARE(m_code->text(), QStringLiteral("9"));
    QCOMPARE(m_name->text(), QStringLiteral("ANTIGO"));
}

void TstTForneForm2::offersTheRowsOfTheLastStatement_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("as the data module opens it: table order")
        << "" << QStringList{"CASA DAS PEÇAS", "ALFA FERRAGENS", "BETA ELETRO"};
    QTest::newRow("after the supplier list opened: trade-name order")
        << "list" << QStringList{"ALFA FERRAGENS", "BETA ELETRO", "CASA DAS PEÇAS"};
    QTest::newRow("after a supplier search: what it found")
        << "search" << QStringList{"ALFA FERRAGENS", "BETA ELETRO"};
}

void TstTForneForm2::offersTheRowsOfTheLastStatement()
{
    QFETCH(QString, before);
    QFETCH(QStringList, names);
    // The data module opens its datasets anew, on their own statements.
    DM->ForneQuery->Close();
    DM->ForneQuery->SetSQL(QStringLiteral("select * from FORNECEDORES"));
    DM->ForneQuery->Open();
    if (before == QLatin1String("list")) {
        ListAllSuppliers();
    } else if (before == QLatin1String("search")) {
        ListAllSuppliers();
        TForneForm list;
        list.Edit1->setText(QStringLiteral("r"));
        list.BitBtn1Click();
    }
    QStringList offered;
    Pick([&](TForneForm2 *picker) {
        for (int row = 0; row < picker->DBGrid1->model()->rowCount(); ++row)
            offered << picker->DBGrid1->model()->index(row, 1).data().toString();
        picker->close();
    });
    QCOMPARE(offered, names);
}

QTEST_MAIN(TstTForneForm2)
#include "tst_tforneform2.moc"
