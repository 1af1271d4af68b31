// The product list on a real database file: captions and columns, the
// search statements, the stock colours, the keypad's "+" and "-", the delete
// question, the record form's captions and supplier boxes, entries and exits
// that cannot start, the window bar.
#include "data/efberror.h"
#include "data/tfbupdatesql.h"
#include "stock/tcadprodform.h"
#include "stock/tprodentform.h"
#include "stock/tprodform.h"
#include "tests/stock/tstocktestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/tradiogroup.h"
#include "widgets/trowcolors.h"
#include "widgets/tsearchedit.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

using namespace TStockTestData;

class TstTProdForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionsAndColumns();
    void searchStatements_data();
    void searchStatements();
    void rowColour_data();
    void rowColour();
    void gridColoursOnScreen();
    void legend();
    void keysFromSearchBox_data();
    void keysFromSearchBox();
    void deleteQuestionKeepsMovements();
    void recordFormCaptionAndSupplierBoxes_data();
    void recordFormCaptionAndSupplierBoxes();
    void failureBeforeRecordFormShowsLeavesNothingPending();
    void failureBeforeMovementFormShowsLeavesNothingPending();
    void nothingToActOn();
    void movementWithClosedMovementDataset_data();
    void movementWithClosedMovementDataset();

private:
    QStringList Descriptions() const { return Column(DM->ProdForneQuery, QStringLiteral("DESCRICAO")); }

    TScreenTestData::TScreenDb m_screen;
    QPointer<TProdForm> m_list;
};

void TstTProdForm::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTProdForm::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddProduct({1, QStringLiteral("Parafuso sextavado"), 10, 5, 1, QStringLiteral("Ferragens Silva")});
    AddProduct({2, QStringLiteral("ARRUELA LISA"), 4, 5, 2, QStringLiteral("casa do prego")});
    AddProduct({3, QStringLiteral("Bucha 100% nylon"), QVariant(), QVariant(), QVariant(), QString()});
    AddProduct({4, QStringLiteral("Cabo \"PP\" 2x1"), 5, 5, 1, QStringLiteral("Ferragens Silva")});
    AddProduct({7, QStringLiteral("Zarcão"), 0, 0, 2, QStringLiteral("Casa do Prego")});
    ListAllProducts();
    m_list = new TProdForm;
}

void TstTProdForm::cleanup()
{
    delete m_list;
    m_screen.Close();
}

void TstTProdForm::captionsAndColumns()
{
    QCOMPARE(m_list->objectName(), QStringLiteral("ProdForm"));
    QCOMPARE(m_list->windowTitle(), QStringLiteral("Controle de Estoque / Produtos"));
    QCOMPARE(m_list->size(), QSize(676, 422));
    QCOMPARE(m_list->Panel1->height(), 89);
    QCOMPARE(m_list->Panel2->height(), 98);
    QCOMPARE(m_list->Label1->text(), QStringLiteral("Procurar Produto"));
    QCOMPARE(m_list->RadioGroup1->Items(), QStringList({QStringLiteral("Descrição"), QStringLiteral("Fornecedor")}));
    QCOMPARE(m_list->RadioGroup1->ItemIndex(), 0);
    QCOMPARE(m_list->StatusPanel->text(),
             QStringLiteral("F1 - Cadastrar Produto | F2 - Editar Produto | F3 - Excluir Produto | "
                            "ESC - Fechar Janela | [+  Entrada] [- Saida]"));
    const QList<QPair<TBitBtn *, QString>> buttons{
        {m_list->BitBtn1, QStringLiteral("Procurar")},
        {m_list->BitBtn2, QStringLiteral("Cadastrar Produto")},
        {m_list->BitBtn3, QStringLiteral("Editar Produto")},
        {m_list->BitBtn4, QStringLiteral("Excluir Produto")},
        {m_list->BitBtn5, QStringLiteral("Fechar Janela")},
        {m_list->BitBtn6, QStringLiteral("Legenda Cores")},
        {m_list->BitBtn7, QString()},
        {m_list->BitBtn8, QString()}};
    for (const auto &[button, caption] : buttons) {
        QCOMPARE(button->text(), caption);
        QVERIFY(!button->icon().isNull());
    }
    QCOMPARE(m_list->BitBtn7->toolTip(), QStringLiteral("Entrada de Produto"));
    QCOMPARE(m_list->BitBtn8->toolTip(), QStringLiteral("Saida de Produto"));
    QCOMPARE(m_list->BitBtn7->iconSize(), QSize(32, 32));

    TDBGrid *grid = m_list->DBGrid1;
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles.join(QLatin1Char('|')),
             QStringLiteral("Cód. Produto|Descrição|Qtde. Disponível|Fornecedor|Grupo"));
    for (auto [column, width] : {std::pair{1, 300}, {3, 300}, {4, 150}})
        QCOMPARE(grid->columnWidth(column), width);
    QCOMPARE(grid->model()->rowCount(), 5);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!grid->verticalHeader()->isVisible());
}

void TstTProdForm::searchStatements_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("statement");   // empty: not compared
    QTest::addColumn<QStringList>("found");

    const QString all = QStringLiteral("select * from prodforne order by descricao");
    const QStringList everything{"ARRUELA LISA", "Bucha 100% nylon", "Cabo \"PP\" 2x1", "Parafuso sextavado",
                                 "Zarcão"};
    QTest::newRow("empty") << "" << 0 << all << everything;
    QTest::newRow("blanks, Fornecedor") << " \t " << 1 << all << everything;
    QTest::newRow("Descrição, lower typed finds upper stored")
        << "arruela" << 0
        << "select * from prodforne where upper(descricao) like \"%ARRUELA%\" order by descricao"
        << QStringList{"ARRUELA LISA"};
    QTest::newRow("Fornecedor, stored name, ordered by description")
        << "prego" << 1
        << "select * from prodforne where upper(nomeforne) like \"%PREGO%\" order by descricao"
        << QStringList{"ARRUELA LISA", "Zarcão"};
    QTest::newRow("accents stay as typed") << "zarcão" << 0
        << "select * from prodforne where upper(descricao) like \"%ZARCãO%\" order by descricao"
        << QStringList{"Zarcão"};
    QTest::newRow("% is a wildcard") << "100%nylon" << 0 << "" << QStringList{"Bucha 100% nylon"};
    QTest::newRow("_ is a wildcard") << "cab_" << 0 << "" << QStringList{"Cabo \"PP\" 2x1"};
    QTest::newRow("double quotes searched literally")
        << "\"pp\"" << 0
        << "select * from prodforne where upper(descricao) like \"%\"\"PP\"\"%\" order by descricao"
        << QStringList{"Cabo \"PP\" 2x1"};
    QTest::newRow("injection: always true") << "\" or \"\"=\"" << 0 << "" << QStringList();
    QTest::newRow("injection: second statement") << "x\"; delete from prodforne; --" << 1 << ""
                                                  << QStringList();
}

void TstTProdForm::searchStatements()
{
    QFETCH(QString, typed);
    QFETCH(int, choice);
    QFETCH(QString, statement);
    QFETCH(QStringList, found);

    m_list->Edit1->setText(typed);
    m_list->RadioGroup1->SetItemIndex(choice);
    QTest::keyClick(m_list->Edit1, Qt::Key_Return);
    QCOMPARE(m_screen.messages->Texts(), QStringList());
    if (!statement.isEmpty())
        QCOMPARE(DM->ProdForneQuery->SQLText(), statement);
    QCOMPARE(Descriptions(), found);
    QCOMPARE(m_list->Edit1->text(), typed);   // Enter typed nothing
    QCOMPARE(Count(QStringLiteral("select count(*) from prodforne")), 5);
}

void TstTProdForm::rowColour_data()
{
    QTest::addColumn<QVariant>("qtdeDisp");
    QTest::addColumn<QVariant>("qtdeMin");
    QTest::addColumn<bool>("red");
    QTest::newRow("at the minimum") << QVariant(5) << QVariant(5) << false;
    QTest::newRow("one below") << QVariant(4) << QVariant(5) << true;
    QTest::newRow("above") << QVariant(6) << QVariant(5) << false;
    QTest::newRow("both empty") << QVariant() << QVariant() << false;
    QTest::newRow("empty stock, minimum 1") << QVariant() << QVariant(1) << true;
    QTest::newRow("stock 1, empty minimum") << QVariant(1) << QVariant() << false;
    QTest::newRow("negative stock, empty minimum") << QVariant(-1) << QVariant() << true;
}

void TstTProdForm::rowColour()
{
    QFETCH(QVariant, qtdeDisp);
    QFETCH(QVariant, qtdeMin);
    QFETCH(bool, red);
    AddProduct({20, QStringLiteral("AAA teste"), qtdeDisp, qtdeMin});
    ListAllProducts();
    QCOMPARE(Descriptions().first(), QStringLiteral("AAA teste"));
    const std::optional<QColor> colour = TProdForm::RowColor(DM->ProdForneQuery, 0);
    QCOMPARE(colour, std::optional<QColor>(red ? QColor(255, 0, 0) : QColor(0, 0, 128)));
}

void TstTProdForm::gridColoursOnScreen()
{
    // Rows by description: ARRUELA (4 < 5, red), Bucha (empty, navy),
    // Cabo (5 = 5, navy), Parafuso (navy), Zarcão (navy). The selected red
    // row keeps its red text on sky blue.
    TDBGrid *grid = m_list->DBGrid1;
    grid->setCurrentIndex(grid->model()->index(0, 1));
    m_list->resize(900, 400);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    const QImage image = grid->viewport()->grab().toImage();
    const QColor base = grid->palette().color(QPalette::Active, QPalette::Base);
    for (int row = 0; row < 5; ++row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 1));
        QCOMPARE(QColor(image.pixel(cell.right() - 3, cell.bottom() - 1)),
                 row == 0 ? TRowColors::SkyBlue() : base);
        const QColor text = row == 0 ? QColor(255, 0, 0) : TRowColors::Navy();
        const QColor other = row == 0 ? TRowColors::Navy() : QColor(255, 0, 0);
        QVERIFY2(HasPixel(image, cell, text), qPrintable(QString::number(row)));
        QVERIFY2(!HasPixel(image, cell, other), qPrintable(QString::number(row)));
    }
}

void TstTProdForm::legend()
{
    m_list->BitBtn6->click();
    QCOMPARE(m_screen.messages->Count(), 1);
    const TMessageBoxRequest box = m_screen.messages->Last();
    QCOMPARE(box.caption, QStringLiteral("Legenda Estoque"));
    QCOMPARE(box.icon, TMessages::Warning);
    QCOMPARE(box.buttons, int(TMessages::Ok));
    QCOMPARE(box.text, QStringLiteral("Azul - Quantidade em estoque maior que quantidade mínima.\r"
                                      "Vermelho - Quantidade em estoque menor que quantidade mínima."));
}

void TstTProdForm::keysFromSearchBox_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("caption");   // of the form that opens; empty: none

    QTest::newRow("keypad +") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << "Entrada de Produto";
    QTest::newRow("Shift+keypad +") << int(Qt::Key_Plus) << int(Qt::KeypadModifier | Qt::ShiftModifier)
                                    << "Entrada de Produto";
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << "Saída de Produto";
    QTest::newRow("main keyboard +") << int(Qt::Key_Plus) << int(Qt::NoModifier) << "";
    QTest::newRow("main keyboard -") << int(Qt::Key_Minus) << int(Qt::NoModifier) << "";
    QTest::newRow("F1") << int(Qt::Key_F1) << int(Qt::NoModifier) << "Cadastro de Produtos";
    QTest::newRow("Ctrl+F2") << int(Qt::Key_F2) << int(Qt::ControlModifier) << "Alteração de Produtos";
}

void TstTProdForm::keysFromSearchBox()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, caption);

    m_list->show();
    QVERIFY(QTest::qWaitForWindowActive(m_list));
    m_list->Edit1->setFocus();
    QString shown;
    OnModal([&](QDialog *d) { shown = d->windowTitle(); d->reject(); }, caption.isEmpty() ? 5 : 500);
    QTest::keyClick(m_list->Edit1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (caption.isEmpty())
        QTest::qWait(100);
    QCOMPARE(shown, caption);
    QCOMPARE(m_screen.messages->Count(), 0);
    // Nothing stays pending, whichever form opened.
    QCOMPARE(DM->ProdForneQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(DM->ProdEntQuery->State(), TFbQuery::dsBrowse);
    QVERIFY(!DM->ProdForneQuery->UpdatesPending());
    QVERIFY(!DM->ProdEntQuery->UpdatesPending());
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent")), 0);
}

void TstTProdForm::deleteQuestionKeepsMovements()
{
    Exec(QStringLiteral("insert into prodent (idprodent, idprod, qtdeent, tipo) values (1, 7, 3, 'entrada')"));
    QVERIFY(DM->ProdForneQuery->Locate(QStringLiteral("IDPROD"), 7));
    m_screen.messages->QueueAnswer(TMessages::No);
    QTest::keyClick(m_list->DBGrid1, Qt::Key_F3);
    QCOMPARE(m_screen.messages->Count(), 1);
    const TMessageBoxRequest box = m_screen.messages->Last();
    QCOMPARE(box.text, QStringLiteral("Deseja excluir o Produto de código [ 7 ] ?"));
    QCOMPARE(box.caption, QStringLiteral("Excluir Produto"));
    QCOMPARE(box.icon, TMessages::Warning);
    QCOMPARE(box.buttons, int(TMessages::YesNo));
    QCOMPARE(Count(QStringLiteral("select count(*) from prodforne where idprod=7")), 1);

    m_screen.messages->QueueAnswer(TMessages::Yes);
    m_list->BitBtn4->click();
    QCOMPARE(Count(QStringLiteral("select count(*) from prodforne where idprod=7")), 0);
    QCOMPARE(DM->ProdForneQuery->RecordCount(), 4);
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent where idprod=7")), 1);
}

void TstTProdForm::recordFormCaptionAndSupplierBoxes_data()
{
    QTest::addColumn<int>("id");   // 0: new product
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("new") << 0 << "Cadastro de Produtos" << "" << "";
    QTest::newRow("edit") << 2 << "Alteração de Produtos" << "2" << "casa do prego";
    QTest::newRow("edit, no supplier") << 3 << "Alteração de Produtos" << "" << "";
}

void TstTProdForm::recordFormCaptionAndSupplierBoxes()
{
    QFETCH(int, id);
    QFETCH(QString, caption);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QString shownCaption, shownCode, shownName;
    TFbQuery::TDataSetState state = TFbQuery::dsInactive;
    OnModal([&](QDialog *d) {
        auto *f = qobject_cast<TCadProdForm *>(d);
        QVERIFY(f);
        shownCaption = f->windowTitle();
        shownCode = f->Edit1->text();
        shownName = f->Edit2->text();
        state = DM->ProdForneQuery->State();
    });
    if (id == 0) {
        m_list->BitBtn2->click();
    } else {
        QVERIFY(DM->ProdForneQuery->Locate(QStringLiteral("IDPROD"), id));
        m_list->BitBtn3->click();
    }
    QCOMPARE(shownCaption, caption);
    QCOMPARE(shownCode, code);
    QCOMPARE(shownName, name);
    QCOMPARE(state, id == 0 ? TFbQuery::dsInsert : TFbQuery::dsEdit);
    QCOMPARE(DM->ProdForneQuery->RecordCount(), 5);
}

namespace {
// A product list whose record form cannot be made ready.
class TFailingProdForm : public TProdForm
{
protected:
    void LoadRecordForm(QDialog *, bool) override { throw EFbError(QStringLiteral("falhou")); }
};
} // namespace

void TstTProdForm::failureBeforeRecordFormShowsLeavesNothingPending()
{
    TFailingProdForm list;
    bool opened = false;
    OnModal([&](QDialog *) { opened = true; }, 5);
    list.BitBtn2->click();
    QVERIFY(DM->ProdForneQuery->Locate(QStringLiteral("IDPROD"), 2));
    list.BitBtn3->click();
    QTest::qWait(100);
    QVERIFY(!opened);
    QCOMPARE(m_screen.messages->Count(), 2);
    QCOMPARE(DM->ProdForneQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(DM->ProdForneQuery->RecordCount(), 5);
    QVERIFY(!DM->ProdForneQuery->UpdatesPending());
}

void TstTProdForm::failureBeforeMovementFormShowsLeavesNothingPending()
{
    // The product cannot be put into editing once the movement is appended.
    TFbQuery *products = DM->ProdForneQuery;
    TFbUpdateSQL *update = products->UpdateObject();
    products->SetCachedUpdates(false);
    products->SetUpdateObject(nullptr);
    bool opened = false;
    OnModal([&](QDialog *) { opened = true; }, 5);
    m_list->BitBtn7->click();
    QTest::qWait(100);
    products->SetUpdateObject(update);
    products->SetCachedUpdates(true);
    QVERIFY(!opened);
    QCOMPARE(m_screen.messages->Count(), 1);
    QCOMPARE(m_screen.messages->Last().icon, TMessages::Error);
    QCOMPARE(DM->ProdEntQuery->State(), TFbQuery::dsBrowse);
    QVERIFY(DM->ProdEntQuery->IsEmpty());
    QVERIFY(!DM->ProdEntQuery->UpdatesPending());
    QCOMPARE(products->State(), TFbQuery::dsBrowse);
}

void TstTProdForm::nothingToActOn()
{
    ListAllProducts();
    m_list->Edit1->setText(QStringLiteral("nada disso existe"));
    m_list->BitBtn1->click();
    bool opened = false;
    OnModal([&](QDialog *) { opened = true; }, 3);
    m_list->BitBtn7->click();
    m_list->BitBtn8->click();
    QTest::qWait(100);
    QVERIFY(!opened);
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(DM->ProdEntQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from prodforne")), 5);
}

void TstTProdForm::movementWithClosedMovementDataset_data()
{
    QTest::addColumn<bool>("entry");
    QTest::newRow("entry") << true;
    QTest::newRow("exit") << false;
}

void TstTProdForm::movementWithClosedMovementDataset()
{
    QFETCH(bool, entry);
    DM->ProdEntQuery->Close();
    QVERIFY(DM->ProdForneQuery->Locate(QStringLiteral("IDPROD"), 1));
    bool opened = false;
    OnModal([&](QDialog *) { opened = true; }, 5);
    (entry ? m_list->BitBtn7 : m_list->BitBtn8)->click();
    QTest::qWait(100);
    QVERIFY(!opened);
    QCOMPARE(m_screen.messages->Count(), 1);
    QVERIFY2(m_screen.messages->Last().text.contains(
                 QStringLiteral("Cannot perform this operation on a closed dataset")),
             qPrintable(m_screen.messages->Last().text));
    QCOMPARE(DM->ProdForneQuery->State(), TFbQuery::dsBrowse);
    QVERIFY(!DM->ProdForneQuery->UpdatesPending());
    QCOMPARE(StoredQuantity(1), QStringLiteral("10"));

    // Once the dataset is open again, the movement starts as usual.
    DM->ProdEntQuery->Open();
    QString caption;
    OnModal([&](QDialog *d) { caption = d->windowTitle(); });
    (entry ? m_list->BitBtn7 : m_list->BitBtn8)->click();
    QCOMPARE(caption, entry ? QStringLiteral("Entrada de Produto") : QStringLiteral("Saída de Produto"));
}

QTEST_MAIN(TstTProdForm)
#include "tst_tprodform.moc"
