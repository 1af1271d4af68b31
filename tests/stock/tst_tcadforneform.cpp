// The supplier record form on a real database file, opened by the supplier
// list as the user does: captions and look, the save rule, cancelling by
// every way out, capitals in "Estado", the product grid.
#include "stock/tcadforneform.h"
#include "stock/tforneform.h"
#include "tests/stock/tstocktestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbgrid.h"
#include "widgets/tdbmemo.h"
#include "widgets/teditorlook.h"
#include "widgets/trowcolors.h"

#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QtTest>

using namespace TStockTestData;

class TstTCadForneForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editorCaptionsAndLook_data();
    void editorCaptionsAndLook();
    void windowButtonsAndProductGrid();
    void phoneBoxCutTheNumber();
    void saveRule_data();
    void saveRule();
    void everyWayOutCancels_data();
    void everyWayOutCancels();
    void estadoTakesTwoCapitals_data();
    void estadoTakesTwoCapitals();
    void ctrlDeleteInProductGridRemovesNothing();

private:
    // Opens the form through the list on a new supplier or on supplier 1,
    // runs `act` on it while it is shown.
    void OpenForm(bool isNew, const std::function<void(TCadForneForm *)> &act);

    TScreenTestData::TScreenDb m_screen;
    QPointer<TForneForm> m_list;
};

void TstTCadForneForm::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTCadForneForm::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddSupplier({1, QStringLiteral("ELETRO SILVA"), QStringLiteral("Campinas"), QStringLiteral("Rua A")});
    AddSupplier({2, QStringLiteral("OUTRO")});
    AddProduct(10, 1, QStringLiteral("Resistor"), QStringLiteral("ELETRO SILVA"));
    AddProduct(11, 1, QStringLiteral("Capacitor"), QStringLiteral("ELETRO SILVA"));
    AddProduct(12, 2, QStringLiteral("Parafuso"), QStringLiteral("OUTRO"));
    ListAllSuppliers();
    m_list = new TForneForm;
}

void TstTCadForneForm::cleanup()
{
    delete m_list;
    m_screen.Close();
}

void TstTCadForneForm::OpenForm(bool isNew, const std::function<void(TCadForneForm *)> &act)
{
    if (!isNew)
        QVERIFY(DM->ForneQuery->Locate(QStringLiteral("IDFORNECE"), 1));
    OnModalForm<TCadForneForm>([&] { (isNew ? m_list->BitBtn2 : m_list->BitBtn3)->click(); }, act);
}

void TstTCadForneForm::editorCaptionsAndLook_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("caption");   // of the label that names the editor
    QTest::addColumn<bool>("open");         // enabled on white, or locked on grey
    QTest::newRow("IDFORNECE") << "IDFORNECE" << "Código" << false;
    QTest::newRow("RAZAOSOCIAL") << "RAZAOSOCIAL" << "Razão Social" << true;
    QTest::newRow("NOMEFANTASIA") << "NOMEFANTASIA" << "Nome Fantasia" << true;
    QTest::newRow("FONE") << "FONE" << "Telefone" << true;
    QTest::newRow("FAX") << "FAX" << "Fax" << true;
    QTest::newRow("END1") << "END1" << "Endereço" << true;
    QTest::newRow("END2, no label") << "END2" << "" << true;
    QTest::newRow("CIDADE") << "CIDADE" << "Cidade" << true;
    QTest::newRow("UF") << "UF" << "Estado" << true;
    QTest::newRow("CEP") << "CEP" << "CEP" << true;
    QTest::newRow("EMAIL") << "EMAIL" << "E-mail" << true;
    QTest::newRow("SITE") << "SITE" << "Site" << true;
    QTest::newRow("CNPJ") << "CNPJ" << "CNPJ" << true;
    QTest::newRow("IE") << "IE" << "Inscrição Estadual" << true;
    QTest::newRow("PESSOACONT") << "PESSOACONT" << "Pessoa para Contato" << true;
    QTest::newRow("DATA") << "DATA" << "Data de Cadastro" << true;
}

void TstTCadForneForm::editorCaptionsAndLook()
{
    QFETCH(QString, column);
    QFETCH(QString, caption);
    QFETCH(bool, open);
    TCadForneForm f;
    TScreenTestData::CompareEditorLook(f, column, caption, open);
}

void TstTCadForneForm::windowButtonsAndProductGrid()
{
    OpenForm(false, [&](TCadForneForm *f) {
        QCOMPARE(f->windowTitle(), QStringLiteral("Alteração de Fornecedor"));
        QCOMPARE(f->minimumSize(), QSize(760, 438));
        QCOMPARE(f->maximumSize(), QSize(760, 438));
        QVERIFY(!f->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QCOMPARE(f->BitBtn1->text(), QStringLiteral("Gravar"));
        QCOMPARE(f->BitBtn2->text(), QStringLiteral("Cancelar [ESC]"));
        QVERIFY(!f->BitBtn1->icon().isNull() && !f->BitBtn2->icon().isNull());
        QCOMPARE(f->focusWidget(), f->DBEdit2);
        QCOMPARE(f->DBEdit1->text(), QStringLiteral("1"));
        QCOMPARE(f->DBEdit3->text(), QStringLiteral("ELETRO SILVA"));

        // The products of this supplier only, in the menu-highlight colour.
        TDBGrid *grid = f->DBGrid1;
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
        QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descrição"));
        QStringList products;
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            products << grid->model()->index(row, 1).data().toString();
            QCOMPARE(grid->RowTextColor(row), TRowColors::MenuHighlight());
        }
        products.sort();
        QCOMPARE(products, QStringList({"Capacitor", "Resistor"}));
        QCOMPARE(grid->RowBackground(DM->ProdForneQuery->RecNo()), TRowColors::SkyBlue());
        QCOMPARE(f->Label18->text(), QStringLiteral("Obs.: Adicione os produtos fornecidos por este "
                                                    "fornecedor no módulo Estoque."));
        QCOMPARE(f->Label18->font().pixelSize(), 9);
    });
}

// The phone box showed "35)3978-1983" of "(35)3978-1983": the phone and fax
// boxes hold a whole number of their 13 characters.
void TstTCadForneForm::phoneBoxCutTheNumber()
{
    OpenForm(false, [&](TCadForneForm *f) {
        for (TDBEdit *box : {f->DBEdit4, f->DBEdit5}) {
            QStyleOptionFrame option;
            option.initFrom(box);
            option.rect = box->rect();
            option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
            const QRect contents = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
            const QMargins margins = box->textMargins();
            // QLineEdit keeps 2 pixels clear on either side of the text.
            const int room = contents.width() - margins.left() - margins.right() - 4;
            const QString number = QStringLiteral("(35)3978-1983");
            QVERIFY2(box->fontMetrics().horizontalAdvance(number) <= room,
                     qPrintable(QStringLiteral("%1: %2 pixels").arg(box->objectName()).arg(room)));
        }
    });
}

void TstTCadForneForm::saveRule_data()
{
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<QString>("typed");    // the trade name typed (edit: over the old one)
    QTest::addColumn<bool>("saved");
    QTest::newRow("new, no trade name") << true << "" << false;
    QTest::newRow("new, blanks count as filled") << true << "   " << true;
    QTest::newRow("new, trade name and nothing else") << true << "So o Nome" << true;
    QTest::newRow("edit, trade name cleared") << false << "" << false;
    QTest::newRow("edit, trade name changed") << false << "ELETRO NOVA" << true;
}

void TstTCadForneForm::saveRule()
{
    QFETCH(bool, isNew);
    QFETCH(QString, typed);
    QFETCH(bool, saved);

    QString code;
    QString codeAfterRefusal;
    bool openAfterSave = false;
    OpenForm(isNew, [&](TCadForneForm *f) {
        code = f->DBEdit1->text();
        f->DBEdit3->setFocus();
        f->DBEdit3->selectAll();
        QTest::keyClick(f->DBEdit3, Qt::Key_Backspace);
        QTest::keyClicks(f->DBEdit3, typed);
        f->BitBtn1->click();
        openAfterSave = f->isVisible();
        if (openAfterSave) {
            // Refused: the record is still being edited and keeps its code.
            QVERIFY(DM->ForneQuery->State() != TFbQuery::dsBrowse);
            codeAfterRefusal = DM->ForneQuery->FieldByName(QStringLiteral("IDFORNECE"))->AsString();
            f->BitBtn2->click();
        }
    });
    QVERIFY(!code.isEmpty());
    QCOMPARE(openAfterSave, !saved);
    QCOMPARE(DM->ForneQuery->State(), TFbQuery::dsBrowse);
    const QString stored = QStringLiteral("select count(*) from fornecedores where idfornece=%1").arg(code);
    if (saved) {
        QCOMPARE(m_screen.messages->Count(), 0);
        QCOMPARE(Text(QStringLiteral("select nomefantasia from fornecedores where idfornece=") + code), typed);
        QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores")), isNew ? 3 : 2);
        if (isNew)
            QCOMPARE(Count(stored + QStringLiteral(" and razaosocial is null and cidade is null")), 1);
    } else {
        QCOMPARE(m_screen.messages->Texts(), QStringList{QStringLiteral("Nome Fantasia não pode estar em branco!")});
        QCOMPARE(m_screen.messages->Last().caption, QStringLiteral("OS - Tarvo Vodevuru"));
        QCOMPARE(codeAfterRefusal, code);
        QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores")), 2);
        QCOMPARE(Text(QStringLiteral("select nomefantasia from fornecedores where idfornece=1")),
                 QStringLiteral("ELETRO SILVA"));
    }
    QVERIFY(!DM->ForneQuery->UpdatesPending());
}

void TstTCadForneForm::everyWayOutCancels_data()
{
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<QString>("way");
    for (bool isNew : {true, false}) {
        const char *record = isNew ? "new" : "edit";
        for (const char *way : {"Esc in Razão Social", "Esc in Cidade", "Esc in notes", "Esc on Gravar",
                                "Esc in product grid", "Cancelar", "close box"})
            QTest::addRow("%s, %s", record, way) << isNew << QString::fromUtf8(way);
    }
}

void TstTCadForneForm::everyWayOutCancels()
{
    QFETCH(bool, isNew);
    QFETCH(QString, way);

    OpenForm(isNew, [&](TCadForneForm *f) {
        QTest::keyClicks(f->DBEdit3, QStringLiteral("Fantasma"));
        QTest::keyClicks(f->DBEdit8, QStringLiteral("Recife"));
        QCOMPARE(DM->ForneQuery->FieldByName(QStringLiteral("CIDADE"))->AsString(),
                 isNew ? QStringLiteral("Recife") : QStringLiteral("CampinasRecife"));
        QWidget *target = nullptr;
        if (way == QLatin1String("Esc in Razão Social"))
            target = f->DBEdit2;
        else if (way == QLatin1String("Esc in Cidade"))
            target = f->DBEdit8;
        else if (way == QLatin1String("Esc in notes"))
            target = f->DBMemo1;
        else if (way == QLatin1String("Esc on Gravar"))
            target = f->BitBtn1;
        else if (way == QLatin1String("Esc in product grid"))
            target = f->DBGrid1;
        if (target) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Escape);
        } else if (way == QLatin1String("Cancelar")) {
            f->BitBtn2->click();
        } else {
            f->close();
        }
        QVERIFY(!f->isVisible());
    });
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(DM->ForneQuery->State(), TFbQuery::dsBrowse);
    QVERIFY(!DM->ForneQuery->UpdatesPending());
    QCOMPARE(DM->ForneQuery->RecordCount(), 2);
    QCOMPARE(m_list->DBGrid1->model()->rowCount(), 2);
    QCOMPARE(TradeNames(), QStringList({"ELETRO SILVA", "OUTRO"}));
    QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores")), 2);
    QCOMPARE(Count(QStringLiteral("select count(*) from fornecedores where cidade like '%Recife%'")), 0);
    QVERIFY(DM->ForneQuery->Locate(QStringLiteral("IDFORNECE"), 1));
    QCOMPARE(DM->ForneQuery->FieldByName(QStringLiteral("CIDADE"))->AsString(), QStringLiteral("Campinas"));
}

void TstTCadForneForm::estadoTakesTwoCapitals_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("lower case") << "rj" << "RJ";
    QTest::newRow("mixed, third character refused") << "sPx" << "SP";
    QTest::newRow("digit stays") << "m1" << "M1";
}

void TstTCadForneForm::estadoTakesTwoCapitals()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QString shown;
    OpenForm(true, [&](TCadForneForm *f) {
        QTest::keyClicks(f->DBEdit3, QStringLiteral("Com Estado"));
        f->DBEdit9->setFocus();
        QTest::keyClicks(f->DBEdit9, typed);
        shown = f->DBEdit9->text();
        f->BitBtn1->click();
    });
    QCOMPARE(shown, stored);
    QCOMPARE(Text(QStringLiteral("select uf from fornecedores where nomefantasia='Com Estado'")), stored);
}

void TstTCadForneForm::ctrlDeleteInProductGridRemovesNothing()
{
    OpenForm(false, [&](TCadForneForm *f) {
        f->DBGrid1->setFocus();
        QTest::keyClick(f->DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(f->isVisible());
        QCOMPARE(DM->ProdForneQuery->RecordCount(), 2);
        QCOMPARE(DM->ProdForneQuery->State(), TFbQuery::dsBrowse);
        QVERIFY(!DM->ProdForneQuery->UpdatesPending());
    });
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from prodforne")), 3);
}

QTEST_MAIN(TstTCadForneForm)
#include "tst_tcadforneform.moc"
