// The supplier list on a real database file: captions and columns, the
// search statements with quotes, wildcards and injection attempts, the
// delete question, keys, the products loaded for the record form, code
// reuse, the grid's colours on screen, the window bar.
#include "app/tprincipalform.h"
#include "stock/tcadforneform.h"
#include "stock/tforneform.h"
#include "tests/stock/tstocktestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbgrid.h"
#include "widgets/tradiogroup.h"
#include "widgets/trowcolors.h"
#include "widgets/tsearchedit.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

using namespace TStockTestData;

class TstTForneForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionsAndColumns();
    void searchStatements_data();
    void searchStatements();
    void deleteQuestion_data();
    void deleteQuestion();
    void keysFromSearchBox_data();
    void keysFromSearchBox();
    void recordFormShowsTheSupplierProducts();
    void newSupplierAfterDeletingHighestShowsNoOldProducts();
    void gridColoursOnScreen();

private:
    TScreenTestData::TScreenDb m_screen;
    QPointer<TForneForm> m_list;
};

void TstTForneForm::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTForneForm::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddSupplier({1, QStringLiteral("Auto Peças Silva"), QStringLiteral("Campinas"),
                 QStringLiteral("Rua das Flores, 10"), QStringLiteral("Bloco B")});
    AddSupplier({2, QStringLiteral("bicicletaria central"), QStringLiteral("São Paulo"),
                 QStringLiteral("Avenida Brasil, 200")});
    AddSupplier({3, QStringLiteral("ELETRO SILVA"), QStringLiteral("campinas"),
                 QStringLiteral("Praça XV"), QStringLiteral("Rua Lateral")});
    AddSupplier({4, QStringLiteral("Loja 100% Facil"), QStringLiteral("Santos"),
                 QStringLiteral("Rua Nova")});
    AddSupplier({5, QStringLiteral("Casa \"Gaucha\""), QStringLiteral("Jundiaí"),
                 QStringLiteral("Travessa 5")});
    ListAllSuppliers();
    m_list = new TForneForm;
}

void TstTForneForm::cleanup()
{
    delete m_list;
    m_screen.Close();
}

void TstTForneForm::captionsAndColumns()
{
    QCOMPARE(m_list->windowTitle(), QStringLiteral("Lista de Fornecedores"));
    QCOMPARE(m_list->size(), QSize(682, 398));
    QCOMPARE(m_list->Panel1->height(), 89);
    QCOMPARE(m_list->Label1->text(), QStringLiteral("Procurar Fornecedor"));
    QCOMPARE(m_list->RadioGroup1->title(), QStringLiteral("Procurar por:"));
    QCOMPARE(m_list->RadioGroup1->Items(),
             QStringList({QStringLiteral("Nome"), QStringLiteral("Cidade"), QStringLiteral("Endereço")}));
    QCOMPARE(m_list->RadioGroup1->ItemIndex(), 0);
    QCOMPARE(m_list->Edit1->text(), QString());
    QCOMPARE(m_list->StatusPanel->text(),
             QStringLiteral("F1 - Cadastrar Fornecedor | F2 - Editar Fornecedor | "
                            "F3 - Excluir Fornecedor | ESC - Fechar Janela"));
    const QList<QPair<TBitBtn *, QString>> buttons{
        {m_list->BitBtn1, QStringLiteral("Procurar")},
        {m_list->BitBtn2, QStringLiteral("Cadastrar Fornecedor")},
        {m_list->BitBtn3, QStringLiteral("Editar Fornecedor")},
        {m_list->BitBtn4, QStringLiteral("Excluir Fornecedor")},
        {m_list->BitBtn5, QStringLiteral("Fechar Janela")}};
    for (const auto &[button, caption] : buttons) {
        QCOMPARE(button->text(), caption);
        QVERIFY2(!button->icon().isNull(), qPrintable(caption));
    }

    TDBGrid *grid = m_list->DBGrid1;
    QCOMPARE(TScreenTestData::GridTitles(grid),
             QStringLiteral("Código|Razão Sozial|Nome Fantasia|Telefone|Fax|Cidade|UF|CEP|Endereço|"
                            "Endereço|CNPJ|Inscrição Estadual|E-mail|Pessoa para Contato"));
    for (auto [column, width] : {std::pair{1, 300}, {2, 300}, {5, 200}, {6, 30}, {7, 60}, {8, 300},
                                 {9, 300}, {10, 200}, {11, 200}, {12, 250}, {13, 200}})
        QCOMPARE(grid->columnWidth(column), width);
    QCOMPARE(grid->model()->rowCount(), 5);
    TScreenTestData::CompareListGridLook(grid);
}

void TstTForneForm::searchStatements_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("statement");   // empty: not compared
    QTest::addColumn<QStringList>("names");

    const QStringList all{"Auto Peças Silva", "Casa \"Gaucha\"", "ELETRO SILVA", "Loja 100% Facil",
                          "bicicletaria central"};
    const QString byName = QStringLiteral("select * from fornecedores order by nomefantasia");
    QTest::newRow("empty, Nome") << "" << 0 << byName << all;
    QTest::newRow("blanks and tab, Endereço") << "  \t " << 2 << byName << all;
    QTest::newRow("Nome, lower typed finds upper stored")
        << "silva" << 0
        << "select * from fornecedores where upper(nomefantasia) like \"%SILVA%\" order by nomefantasia"
        << QStringList{"Auto Peças Silva", "ELETRO SILVA"};
    QTest::newRow("Nome, upper typed finds lower stored")
        << " CENTRAL " << 0
        << "select * from fornecedores where upper(nomefantasia) like \"%CENTRAL%\" order by nomefantasia"
        << QStringList{"bicicletaria central"};
    QTest::newRow("Cidade, ordered by trade name")
        << "Campinas" << 1
        << "select * from fornecedores where upper(cidade) like \"%CAMPINAS%\" order by nomefantasia"
        << QStringList{"Auto Peças Silva", "ELETRO SILVA"};
    QTest::newRow("Endereço, first line only")
        << "rua" << 2
        << "select * from fornecedores where upper(end1) like \"%RUA%\" order by nomefantasia"
        << QStringList{"Auto Peças Silva", "Loja 100% Facil"};
    QTest::newRow("% is a wildcard")
        << "auto%silva" << 0
        << "select * from fornecedores where upper(nomefantasia) like \"%AUTO%SILVA%\" order by nomefantasia"
        << QStringList{"Auto Peças Silva"};
    QTest::newRow("_ is a wildcard")
        << "el_tro" << 0
        << "select * from fornecedores where upper(nomefantasia) like \"%EL_TRO%\" order by nomefantasia"
        << QStringList{"ELETRO SILVA"};
    QTest::newRow("double quotes searched literally")
        << "\"gaucha\"" << 0
        << "select * from fornecedores where upper(nomefantasia) like \"%\"\"GAUCHA\"\"%\" order by nomefantasia"
        << QStringList{"Casa \"Gaucha\""};
    QTest::newRow("injection: always-true condition") << "\" or \"\"=\"" << 0 << "" << QStringList();
    QTest::newRow("injection: comment out the rest") << "x\" or 1=1 --" << 1 << "" << QStringList();
    QTest::newRow("injection: second statement")
        << "x\"; delete from fornecedores; --" << 2 << "" << QStringList();
}

void TstTForneForm::searchStatements()
{
    QFETCH(QString, typed);
    QFETCH(int, choice);
    QFETCH(QString, statement);
    QFETCH(QStringList, names);

    m_list->Edit1->setText(typed);
    m_list->RadioGroup1->SetItemIndex(choice);
    m_list->BitBtn1->click();
    QCOMPARE(m_screen.messages->Texts(), QStringList());
    if (!statement.isEmpty())
        QCOMPARE(DM->ForneQuery->SQLText(), statement);
    QVERIFY(DM->ForneQuery->Active());
    QCOMPARE(TradeNames(), names);
    QCOMPARE(m_list->DBGrid1->model()->rowCount(), names.size());
    if (!names.isEmpty())
        QCOMPARE(DM->ForneQuery->RecNo(), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores")), 5);
}

void TstTForneForm::deleteQuestion_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("question");
    QTest::newRow("trade name") << 3 << "Deseja excluir o Fornecedor [ ELETRO SILVA ] ?";
    QTest::newRow("empty trade name") << 6 << "Deseja excluir o Fornecedor [  ] ?";
    QTest::newRow("null trade name") << 7 << "Deseja excluir o Fornecedor [  ] ?";
}

void TstTForneForm::deleteQuestion()
{
    QFETCH(int, id);
    QFETCH(QString, question);
    AddSupplier({6, QStringLiteral("")});
    AddSupplier({7, QString()});
    AddProduct(30, id, QStringLiteral("Fusível"), QStringLiteral("NOME GRAVADO"));
    ListAllSuppliers();
    QVERIFY(DM->ForneQuery->Locate(QStringLiteral("IDFORNECE"), id));
    const QString count = QStringLiteral("select count(*) from fornecedores where idfornece=%1").arg(id);

    m_screen.messages->QueueAnswer(TMessages::No);
    m_list->BitBtn4->click();
    QCOMPARE(m_screen.messages->Count(), 1);
    const TMessageBoxRequest box = m_screen.messages->Last();
    QCOMPARE(box.text, question);
    QCOMPARE(box.caption, QStringLiteral("Excluir Fornecedor"));
    QCOMPARE(box.icon, TMessages::Warning);
    QCOMPARE(box.buttons, int(TMessages::YesNo));
    QCOMPARE(Count(count), 1);
    QCOMPARE(DM->ForneQuery->RecordCount(), 7);

    m_screen.messages->QueueAnswer(TMessages::Yes);
    m_list->BitBtn4->click();
    QCOMPARE(m_screen.messages->Count(), 2);
    QCOMPARE(Count(count), 0);
    QCOMPARE(DM->ForneQuery->RecordCount(), 6);
    QCOMPARE(m_list->DBGrid1->model()->rowCount(), 6);
    QVERIFY(!DM->ForneQuery->UpdatesPending());
    // The supplier's products keep its code and name.
    QCOMPARE(Text(QStringLiteral("select idfornece || ' ' || nomeforne from prodforne where idprod=30")),
             QStringLiteral("%1 NOME GRAVADO").arg(id));
}

void TstTForneForm::keysFromSearchBox_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("effect");   // form caption, question, or "closed"

    const QString newForm = QStringLiteral("Cadastro de Fornecedor");
    const QString editForm = QStringLiteral("Alteração de Fornecedor");
    const QString question = QStringLiteral("Deseja excluir o Fornecedor [ Auto Peças Silva ] ?");
    QTest::newRow("F1") << int(Qt::Key_F1) << int(Qt::NoModifier) << newForm;
    QTest::newRow("Shift+F1") << int(Qt::Key_F1) << int(Qt::ShiftModifier) << newForm;
    QTest::newRow("F2") << int(Qt::Key_F2) << int(Qt::NoModifier) << editForm;
    QTest::newRow("Ctrl+F2") << int(Qt::Key_F2) << int(Qt::ControlModifier) << editForm;
    QTest::newRow("F3") << int(Qt::Key_F3) << int(Qt::NoModifier) << question;
    QTest::newRow("Shift+F3") << int(Qt::Key_F3) << int(Qt::ShiftModifier) << question;
    QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << "closed";
    QTest::newRow("Ctrl+Esc") << int(Qt::Key_Escape) << int(Qt::ControlModifier) << "closed";
}

void TstTForneForm::keysFromSearchBox()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, effect);

    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    m_list->Edit1->setFocus();
    QString caption;
    if (key == Qt::Key_F1 || key == Qt::Key_F2)
        OnModal([&](QDialog *d) { caption = d->windowTitle(); d->reject(); });
    QTest::keyClick(m_list->Edit1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (effect == QLatin1String("closed")) {
        QTRY_VERIFY(m_list.isNull());
    } else if (key == Qt::Key_F3) {
        QCOMPARE(m_screen.messages->Texts(), QStringList{effect});
    } else {
        QCOMPARE(caption, effect);
        QCOMPARE(m_screen.messages->Count(), 0);
    }
    // The key goes on to the box (no text for these keys), and nothing
    // was added or removed.
    QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores")), 5);
    QCOMPARE(DM->ForneQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(DM->ForneQuery->RecordCount(), 5);
}

void TstTForneForm::recordFormShowsTheSupplierProducts()
{
    AddProduct(10, 1, QStringLiteral("Pastilha"), QStringLiteral("Auto Peças Silva"));
    AddProduct(11, 1, QStringLiteral("Disco"), QStringLiteral("Auto Peças Silva"));
    AddProduct(12, 3, QStringLiteral("Resistor"), QStringLiteral("ELETRO SILVA"));
    QVERIFY(DM->ForneQuery->Locate(QStringLiteral("IDFORNECE"), 1));

    QStringList shown;
    OnModal([&](QDialog *d) {
        auto *f = qobject_cast<TCadForneForm *>(d);
        QVERIFY(f);
        for (int row = 0; row < f->DBGrid1->model()->rowCount(); ++row)
            shown << f->DBGrid1->model()->index(row, 1).data().toString();
    });
    m_list->BitBtn3->click();
    shown.sort();
    QCOMPARE(shown, QStringList({"Disco", "Pastilha"}));
    // The product dataset keeps this supplier's statement afterwards.
    QCOMPARE(DM->ProdForneQuery->SQLText(), QStringLiteral("select * from prodforne where idfornece=1"));
    QVERIFY(DM->ProdForneQuery->Active());

    // A new supplier: the statement names the code just given to it.
    QString code;
    int rows = -1;
    OnModal([&](QDialog *d) {
        auto *f = qobject_cast<TCadForneForm *>(d);
        code = DM->ForneQuery->FieldByName(QStringLiteral("IDFORNECE"))->AsString();
        rows = f->DBGrid1->model()->rowCount();
    });
    m_list->BitBtn2->click();
    QVERIFY(!code.isEmpty());
    QCOMPARE(DM->ProdForneQuery->SQLText(), QStringLiteral("select * from prodforne where idfornece=") + code);
    QCOMPARE(rows, 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores")), 5);
}

void TstTForneForm::newSupplierAfterDeletingHighestShowsNoOldProducts()
{
    // Supplier 5 has the highest code and still has products.
    AddProduct(20, 5, QStringLiteral("Cuia"), QStringLiteral("Casa \"Gaucha\""));
    AddProduct(21, 5, QStringLiteral("Bomba"), QStringLiteral("Casa \"Gaucha\""));
    QVERIFY(DM->ForneQuery->Locate(QStringLiteral("IDFORNECE"), 5));
    m_screen.messages->QueueAnswer(TMessages::Yes);
    m_list->BitBtn4->click();
    QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores where idfornece=5")), 0);

    int rows = -1;
    OnModal([&](QDialog *d) {
        auto *f = qobject_cast<TCadForneForm *>(d);
        QTest::keyClicks(f->DBEdit3, QStringLiteral("Novo Fornecedor"));
        rows = f->DBGrid1->model()->rowCount();
        f->BitBtn1->click();
    });
    m_list->BitBtn2->click();
    QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores where nomefantasia='Novo Fornecedor'")), 1);
    QCOMPARE(rows, 0);
    // The deleted supplier's code is not given again.
    QVERIFY(Count(QStringLiteral("select max(idfornece) from fornecedores")) > 5);
}

void TstTForneForm::gridColoursOnScreen()
{
    TDBGrid *grid = m_list->DBGrid1;
    grid->setCurrentIndex(grid->model()->index(2, 2));
    QCOMPARE(DM->ForneQuery->FieldByName(QStringLiteral("NOMEFANTASIA"))->AsString(),
             QStringLiteral("ELETRO SILVA"));
    m_list->resize(900, 400);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    const QImage image = grid->viewport()->grab().toImage();
    const QColor base = grid->palette().color(QPalette::Active, QPalette::Base);
    for (int row = 0; row < 5; ++row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 2));
        const QColor ground = row == 2 ? TRowColors::SkyBlue() : base;
        QCOMPARE(QColor(image.pixel(cell.right() - 3, cell.bottom() - 1)), ground);
        // Every row's text is navy, the selected one's too.
        QVERIFY2(TScreenTestData::HasPixel(image, cell, TRowColors::Navy()), qPrintable(QString::number(row)));
        QVERIFY(!TScreenTestData::HasPixel(image, cell, grid->palette().color(QPalette::Active, QPalette::Text)));
    }
}

QTEST_MAIN(TstTForneForm)
#include "tst_tforneform.moc"
