// The product record form on a real database file, opened by the product
// list as the user does: editors and their look, the save rule with costs
// and quantities, the supplier picker, cancelling by every way out, the
// quantity key filter, and a quantity changed elsewhere while the form was
// open.
#include "stock/tcadprodform.h"
#include "stock/tforneform2.h"
#include "stock/tprodform.h"
#include "tests/stock/tstocktestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbmoneyedit.h"
#include "widgets/teditorlook.h"

#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QtTest>

using namespace TStockTestData;

class TstTCadProdForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editorCaptionsAndLook_data();
    void editorCaptionsAndLook();
    void windowAndSupplierBoxes();
    void saveRule();
    void supplierPicker_data();
    void supplierPicker();
    void everyWayOutCancels_data();
    void everyWayOutCancels();
    void quantityKeyFilter_data();
    void quantityKeyFilter();
    void quantityChangedElsewhere_data();
    void quantityChangedElsewhere();

private:
    // Opens the form through the list on a new product (id 0) or on the
    // product `id`, runs `act` on it while it is shown.
    void OpenForm(int id, const std::function<void(TCadProdForm *)> &act);

    TScreenTestData::TScreenDb m_screen;
    QPointer<TProdForm> m_list;
};

void TstTCadProdForm::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTCadProdForm::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddSupplier({1, QStringLiteral("Ferragens Silva")});
    AddSupplier({2, QStringLiteral("Casa do Prego")});
    // Product 1's supplier 9 has since been deleted.
    AddProduct({1, QStringLiteral("Parafuso"), 10, 2, 9, QStringLiteral("Antigo Fornecedor")});
    ListAllSuppliers();
    ListAllProducts();
    m_list = new TProdForm;
}

void TstTCadProdForm::cleanup()
{
    delete m_list;
    m_screen.Close();
}

void TstTCadProdForm::OpenForm(int id, const std::function<void(TCadProdForm *)> &act)
{
    if (id != 0)
        QVERIFY(DM->ProdForneQuery->Locate(QStringLiteral("IDPROD"), id));
    OnModalForm<TCadProdForm>([&] { (id == 0 ? m_list->BitBtn2 : m_list->BitBtn3)->click(); }, act);
}

void TstTCadProdForm::editorCaptionsAndLook_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("open");
    QTest::newRow("IDPROD") << "IDPROD" << "Cod. Produto" << false;
    QTest::newRow("DESCRICAO") << "DESCRICAO" << "Descrição (Nome do Produto)" << true;
    QTest::newRow("MARCA") << "MARCA" << "Marca / Fabricante" << true;
    QTest::newRow("QTDEDISP") << "QTDEDISP" << "Qtde Disponível" << true;
    QTest::newRow("QTDEMIN") << "QTDEMIN" << "Qtde Mínima" << true;
    QTest::newRow("DATACAD") << "DATACAD" << "Data de Cadastro" << true;
}

void TstTCadProdForm::editorCaptionsAndLook()
{
    QFETCH(QString, column);
    QFETCH(QString, caption);
    QFETCH(bool, open);
    TCadProdForm f;
    TScreenTestData::CompareEditorLook(f, column, caption, open);
}

void TstTCadProdForm::windowAndSupplierBoxes()
{
    TCadProdForm f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Cadastro de Produto"));
    QCOMPARE(f.size(), QSize(474, 361));
    QCOMPARE(f.BitBtn1->text(), QStringLiteral("Gravar"));
    QCOMPARE(f.BitBtn2->text(), QStringLiteral("Cancelar [ESC]"));
    for (QLineEdit *box : {f.Edit1, f.Edit2}) {
        QVERIFY(!box->isEnabled());
        QCOMPARE(box->palette().color(QPalette::Disabled, QPalette::Base), TEditorLook::Grey());
    }
    QCOMPARE(f.SpeedButton1->text(), QStringLiteral("..."));
    QCOMPARE(f.SpeedButton1->focusPolicy(), Qt::NoFocus);
    QCOMPARE(f.DBEdit4->Link()->FieldName(), QStringLiteral("CUSTOCOMPRA"));
    QCOMPARE(f.DBEdit5->Link()->FieldName(), QStringLiteral("CUSTOVENDA"));
    QVERIFY(f.DBEdit4->isEnabled() && f.DBEdit5->isEnabled());
}

void TstTCadProdForm::saveRule()
{
    OpenForm(0, [&](TCadProdForm *f) {
        f->BitBtn1->click();
        QCOMPARE(m_screen.messages->Texts(),
                 QStringList{QStringLiteral("Descrição (Nome do Produto) não pode estar em branco!")});
        QVERIFY(f->isVisible());
        QCOMPARE(DM->ProdForneQuery->State(), TFbQuery::dsInsert);

        QTest::keyClicks(f->DBEdit2, QStringLiteral("Porca M6"));
        QTest::keyClicks(f->DBEdit4, QStringLiteral("12,5x"));
        QTest::keyClicks(f->DBEdit5, QStringLiteral("1.234,75"));
        QTest::keyClicks(f->DBEdit6, QStringLiteral("7"));
        QTest::keyClicks(f->DBEdit7, QStringLiteral("3"));
        f->BitBtn1->click();
        QVERIFY(!f->isVisible());
    });
    QCOMPARE(m_screen.messages->Count(), 1);
    // No supplier chosen: both supplier columns empty.
    QCOMPARE(Text(QStringLiteral("select descricao || '|' || cast(custocompra * 100 as integer) || '|' || "
                                 "cast(custovenda * 100 as integer) || '|' || qtdedisp || '|' || qtdemin || '|' || "
                                 "coalesce(idfornece, -1) || '|' || coalesce(nomeforne, 'nulo') "
                                 "from prodforne where descricao='Porca M6'")),
             QStringLiteral("Porca M6|1250|123475|7|3|-1|nulo"));
    QCOMPARE(DM->ProdForneQuery->RecordCount(), 2);
    QVERIFY(!DM->ProdForneQuery->UpdatesPending());
}

void TstTCadProdForm::supplierPicker_data()
{
    QTest::addColumn<bool>("suppliersListed");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("stored");   // IDFORNECE|NOMEFORNE afterwards
    QTest::newRow("pick, save") << true << true << "2|Casa do Prego";
    QTest::newRow("pick, cancel") << true << false << "9|Antigo Fornecedor";
    QTest::newRow("no supplier listed, save keeps the old one") << false << true << "9|Antigo Fornecedor";
}

void TstTCadProdForm::supplierPicker()
{
    QFETCH(bool, suppliersListed);
    QFETCH(bool, save);
    QFETCH(QString, stored);
    if (!suppliersListed) {
        // The supplier list's last search found nothing.
        DM->ForneQuery->Close();
        DM->ForneQuery->SetSQL(QStringLiteral("select * from fornecedores where idfornece=0"));
        DM->ForneQuery->Open();
    }
    QStringList boxes;
    OpenForm(1, [&](TCadProdForm *f) {
        boxes << f->Edit1->text() + QLatin1Char('|') + f->Edit2->text();
        if (suppliersListed) {
            OnModal([](QDialog *d) {
                auto *picker = qobject_cast<TForneForm2 *>(d);
                QVERIFY(picker);
                // "Casa do Prego" comes first in trade-name order.
                QCOMPARE(DM->ForneQuery->FieldByName(QStringLiteral("IDFORNECE"))->AsInteger(), 2);
                picker->BitBtn1->click();
            });
        }
        f->SpeedButton1->click();
        boxes << f->Edit1->text() + QLatin1Char('|') + f->Edit2->text();
        (save ? f->BitBtn1 : f->BitBtn2)->click();
    });
    const QString picked = suppliersListed ? QStringLiteral("2|Casa do Prego") : QStringLiteral("9|Antigo Fornecedor");
    QCOMPARE(boxes, QStringList({QStringLiteral("9|Antigo Fornecedor"), picked}));
    QCOMPARE(m_screen.messages->Texts(), suppliersListed ? QStringList()
                                                         : QStringList{QStringLiteral("Não existe fornecedor cadastrado!")});
    QCOMPARE(Text(QStringLiteral("select idfornece || '|' || nomeforne from prodforne where idprod=1")), stored);
}

void TstTCadProdForm::everyWayOutCancels_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("way");
    for (int id : {0, 1}) {
        for (const char *way : {"button", "Esc", "close box"})
            QTest::addRow("%s, %s", id ? "edit" : "new", way) << id << QString::fromLatin1(way);
    }
}

void TstTCadProdForm::everyWayOutCancels()
{
    QFETCH(int, id);
    QFETCH(QString, way);
    OpenForm(id, [&](TCadProdForm *f) {
        QTest::keyClicks(f->DBEdit2, QStringLiteral("Mudado"));
        QTest::keyClicks(f->DBEdit6, QStringLiteral("5"));
        f->Edit1->setText(QStringLiteral("2"));
        if (way == QLatin1String("button"))
            f->BitBtn2->click();
        else if (way == QLatin1String("Esc")) {
            f->DBEdit6->setFocus();
            QTest::keyClick(f->DBEdit6, Qt::Key_Escape);
        }
        else
            f->close();
        QVERIFY(!f->isVisible());
    });
    TFbQuery *q = DM->ProdForneQuery;
    QCOMPARE(q->State(), TFbQuery::dsBrowse);
    QVERIFY(!q->UpdatesPending());
    QCOMPARE(q->RecordCount(), 1);
    QCOMPARE(Column(q, QStringLiteral("DESCRICAO")), QStringList{QStringLiteral("Parafuso")});
    QCOMPARE(Column(q, QStringLiteral("QTDEDISP")), QStringList{QStringLiteral("10")});
    QCOMPARE(Text(QStringLiteral("select descricao || qtdedisp || idfornece from prodforne")),
             QStringLiteral("Parafuso109"));
    QCOMPARE(Count(QStringLiteral("select count(*) from prodforne")), 1);
}

void TstTCadProdForm::quantityKeyFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("minus sign") << "-5" << "5";
    QTest::newRow("comma") << "1,5" << "15";
    QTest::newRow("point") << "1.5" << "15";
    QTest::newRow("letters and blanks") << "a 7b" << "7";
    QTest::newRow("plus sign") << "+3" << "3";
}

void TstTCadProdForm::quantityKeyFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    OpenForm(0, [&](TCadProdForm *f) {
        for (TDBEdit *box : {f->DBEdit6, f->DBEdit7}) {
            box->setFocus();
            QTest::keyClicks(box, typed);
            QCOMPARE(box->text(), shown);
            QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(box->text(), shown.chopped(1));
        }
        f->BitBtn2->click();
    });
    QCOMPARE(m_screen.messages->Count(), 0);
}

void TstTCadProdForm::quantityChangedElsewhere_data()
{
    QTest::addColumn<QString>("typed");        // into "Qtde Disponível"; empty: left alone
    QTest::addColumn<QString>("elsewhere");    // the quantity another computer stores; "-": none;
                                               // "deleted": the product is deleted
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("stored");       // DESCRICAO|QTDEDISP afterwards

    QTest::newRow("left alone, changed elsewhere: the other change stays")
        << "" << "3" << true << "Parafuso novo|3";
    QTest::newRow("left alone, emptied elsewhere") << "" << "null" << true << "Parafuso novo|";
    QTest::newRow("typed, changed elsewhere: refused") << "20" << "3" << false << "Parafuso|3";
    QTest::newRow("typed, nothing elsewhere") << "20" << "-" << true << "Parafuso novo|20";
    QTest::newRow("typed the same, nothing elsewhere") << "10" << "-" << true << "Parafuso novo|10";
    QTest::newRow("deleted elsewhere: refused") << "" << "deleted" << false << "";
}

void TstTCadProdForm::quantityChangedElsewhere()
{
    QFETCH(QString, typed);
    QFETCH(QString, elsewhere);
    QFETCH(bool, saved);
    QFETCH(QString, stored);
    bool open = true;
    OpenForm(1, [&](TCadProdForm *f) {
        QTest::keyClicks(f->DBEdit2, QStringLiteral(" novo"));
        if (!typed.isEmpty()) {
            f->DBEdit6->setFocus();
            f->DBEdit6->selectAll();
            QTest::keyClicks(f->DBEdit6, typed);
        }
        if (elsewhere == QLatin1String("deleted"))
            Exec(QStringLiteral("delete from prodforne where idprod=1"));
        else if (elsewhere != QLatin1String("-"))
            Exec(QStringLiteral("update prodforne set qtdedisp=%1 where idprod=1").arg(elsewhere));
        f->BitBtn1->click();
        open = f->isVisible();
    });
    QCOMPARE(open, !saved);
    if (saved) {
        QCOMPARE(m_screen.messages->Count(), 0);
    } else {
        QCOMPARE(m_screen.messages->Count(), 1);
        QVERIFY2(m_screen.messages->Last().text.contains(elsewhere == QLatin1String("deleted")
                                                              ? QStringLiteral("não existe mais")
                                                              : QStringLiteral("alterada em outro computador")),
                 qPrintable(m_screen.messages->Last().text));
    }
    QCOMPARE(Text(QStringLiteral("select descricao || '|' || coalesce(cast(qtdedisp as varchar(12)), '') from prodforne where idprod=1")),
             stored);
    QVERIFY(!DM->ProdForneQuery->UpdatesPending());
}

QTEST_MAIN(TstTCadProdForm)
#include "tst_tcadprodform.moc"
