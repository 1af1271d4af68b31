// The client list on a real database file: searches, legend, deleting a
// client with its orders, keys, the grid's colours, the window bar.
#include "app/tprincipalform.h"
#include "clients/tclientesform.h"
#include "clients/tlistaclientesform.h"
#include "data/tfbrowwriter.h"
#include "tests/clients/tclienttestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/tfbquerymodel.h"
#include "widgets/tradiogroup.h"
#include "widgets/trowcolors.h"
#include "widgets/tsearchedit.h"

#include <QLocale>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusBar>
#include <QLabel>
#include <QToolBar>
#include <QtTest>

using namespace TClientTestData;

class TstTListaClientesForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layoutTextsAndColumns();
    void searchStatements_data();
    void searchStatements();
    void searchFindsAnyLetterCaseOrderedByName();
    void searchFindsNameWithDoubleQuote();
    void searchInjectionChangesNothing();
    void searchByEnterIsConsumed();
    void legendShowsSettingsTexts();
    void legendBoxShowsWholeCaption();
    void deleteAsksThenRemovesClientAndOrders();
    void deleteIsOneUnitOfWork();
    void functionKeysActFromSearchBox();
    void gridColoursByAnnotationType();
    void opensReadingTheRowsItShows();

private:
    TScreenTestData::TScreenDb m_screen;
    QPointer<TListaClientesForm> m_list;
};

void TstTListaClientesForm::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTListaClientesForm::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddClient({1, QStringLiteral("ANA SILVA"), QStringLiteral("2"), QStringLiteral("1"),
               QStringLiteral("Campinas"), QStringLiteral("Rua das Flores, 10")});
    AddClient({2, QStringLiteral("João da Silva"), QStringLiteral("3"), QStringLiteral("1"),
               QStringLiteral("São Paulo"), QStringLiteral("Avenida Brasil, 200")});
    AddClient({3, QStringLiteral("SILVANA"), QStringLiteral("4"), QStringLiteral("2"),
               QStringLiteral("Campinas"), QStringLiteral("Rua Campinas, 5")});
    AddClient({4, QStringLiteral("Carlos Silveira"), QStringLiteral("1"), QStringLiteral("1"),
               QStringLiteral("Santos"), QStringLiteral("Praça XV")});
    AddClient({5, QStringLiteral("JOAO \"ZE\" PEREIRA"), QStringLiteral("null"), QStringLiteral("1"),
               QStringLiteral("Campinas"), QStringLiteral("Rua Nova")});
    AddClient({6, QStringLiteral("ZULMIRA"), QStringLiteral("9"), QStringLiteral("1"),
               QStringLiteral("Jundiaí"), QStringLiteral("Rua Velha")});
    ListAllClients();
    m_list = new TListaClientesForm;
}

void TstTListaClientesForm::cleanup()
{
    delete m_list;
    m_screen.Close();
}

void TstTListaClientesForm::layoutTextsAndColumns()
{
    QCOMPARE(m_list->windowTitle(), QStringLiteral("Lista de Clientes"));
    QCOMPARE(m_list->StatusPanel->text(),
             QStringLiteral("F1 - Cadastrar Cliente | F2 - Editar Cliente | F3 - Excluir Cliente | "
                            "ESC - Fechar Janela"));
    QCOMPARE(m_list->RadioGroup1->title(), QStringLiteral("Procurar por:"));
    QCOMPARE(m_list->RadioGroup1->Items(),
             QStringList({QStringLiteral("Nome"), QStringLiteral("Cidade"), QStringLiteral("Endereço")}));
    QCOMPARE(m_list->RadioGroup1->ItemIndex(), 0);
    QCOMPARE(m_list->Label1->text(), QStringLiteral("Procurar Cliente"));
    const QList<QPair<TBitBtn *, QString>> buttons{
        {m_list->BitBtn1, QStringLiteral("Procurar")},
        {m_list->BitBtn6, QStringLiteral("Legenda Cores")},
        {m_list->BitBtn2, QStringLiteral("Cadastrar Cliente")},
        {m_list->BitBtn3, QStringLiteral("Editar Cliente")},
        {m_list->BitBtn4, QStringLiteral("Excluir Cliente")},
        {m_list->BitBtn5, QStringLiteral("Fechar Janela")}};
    for (const auto &[button, caption] : buttons) {
        QCOMPARE(button->text(), caption);
        QVERIFY2(!button->icon().isNull(), qPrintable(caption));
    }

    const QAbstractItemModel *model = m_list->DBGrid1->model();
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles.join(QLatin1Char('|')),
             QStringLiteral("Cod. Cliente|Nome|Telefone Residencial|Telefone Comercial|Celular|"
                            "Endereço|Endereço|Cidade|UF|CEP|CPF|RG|E-mail|CNPJ|IE|Pessoa Contato|Anotações"));
    // The widths given for NOME, END1, END2, UF, EMAIL, CNPJ, IE, PESSOACONT.
    for (auto [column, width] : {std::pair{1, 250}, {5, 400}, {6, 400}, {8, 30}, {12, 350},
                                 {13, 200}, {14, 200}, {15, 250}})
        QCOMPARE(m_list->DBGrid1->columnWidth(column), width);
    QCOMPARE(model->rowCount(), 6);
    QCOMPARE(m_list->DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(m_list->DBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
}

void TstTListaClientesForm::searchStatements_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("empty, Nome") << "" << 0 << "select * from clientes order by nome"
                                 << QStringList{"ANA SILVA", "Carlos Silveira", "JOAO \"ZE\" PEREIRA",
                                                "João da Silva", "SILVANA", "ZULMIRA"};
    QTest::newRow("blanks, Cidade") << "   " << 1 << "select * from clientes order by nome"
                                    << QStringList{"ANA SILVA", "Carlos Silveira", "JOAO \"ZE\" PEREIRA",
                                                   "João da Silva", "SILVANA", "ZULMIRA"};
    QTest::newRow("Nome") << "silva" << 0
                          << "select * from clientes where upper(nome) like \"%SILVA%\" order by nome"
                          << QStringList{"ANA SILVA", "João da Silva", "SILVANA"};
    QTest::newRow("Cidade, ordered by name") << "campinas" << 1
                                             << "select * from clientes where upper(cidade) like \"%CAMPINAS%\" order by nome"
                                             << QStringList{"ANA SILVA", "JOAO \"ZE\" PEREIRA", "SILVANA"};
    QTest::newRow("Endereço, first line only") << "rua" << 2
                                               << "select * from clientes where upper(end1) like \"%RUA%\" order by nome"
                                               << QStringList{"ANA SILVA", "JOAO \"ZE\" PEREIRA", "SILVANA", "ZULMIRA"};
    QTest::newRow("wildcard _") << "s_lv" << 0
                                << "select * from clientes where upper(nome) like \"%S_LV%\" order by nome"
                                << QStringList{"ANA SILVA", "Carlos Silveira", "João da Silva", "SILVANA"};
}

void TstTListaClientesForm::searchStatements()
{
    QFETCH(QString, typed);
    QFETCH(int, choice);
    QFETCH(QString, statement);
    QFETCH(QStringList, names);

    m_list->Edit1->setText(typed);
    m_list->RadioGroup1->SetItemIndex(choice);
    m_list->BitBtn1->click();
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(DM->ClientesQuery->SQLText(), statement);
    QCOMPARE(Names(), names);
    QCOMPARE(m_list->DBGrid1->model()->rowCount(), names.size());
    QCOMPARE(DM->ClientesQuery->RecNo(), 0);
}

void TstTListaClientesForm::searchFindsAnyLetterCaseOrderedByName()
{
    // Lower case typed, upper and mixed case stored.
    m_list->Edit1->setText(QStringLiteral("  sIlVa "));
    m_list->BitBtn1Click();
    QCOMPARE(Names(), QStringList({"ANA SILVA", "João da Silva", "SILVANA"}));
}

void TstTListaClientesForm::searchFindsNameWithDoubleQuote()
{
    m_list->Edit1->setText(QStringLiteral("\"ze\""));
    m_list->BitBtn1->click();
    QCOMPARE(m_screen.messages->Count(), 0);
    QVERIFY(DM->ClientesQuery->Active());
    QCOMPARE(Names(), QStringList({"JOAO \"ZE\" PEREIRA"}));
}

void TstTListaClientesForm::searchInjectionChangesNothing()
{
    // Pasted as typed, this text would close the literal and make the
    // condition match every client.
    m_list->Edit1->setText(QStringLiteral("\" or \"\"=\""));
    m_list->BitBtn1->click();
    QCOMPARE(m_screen.messages->Count(), 0);
    QVERIFY(DM->ClientesQuery->Active());
    QCOMPARE(Names(), QStringList());

    m_list->Edit1->setText(QStringLiteral("x\"; delete from clientes; --"));
    m_list->BitBtn1->click();
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(Names(), QStringList());
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes")), 6);
}

void TstTListaClientesForm::searchByEnterIsConsumed()
{
    QSignalSpy returnPressed(m_list->Edit1, &QLineEdit::returnPressed);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    m_list->Edit1->setFocus();
    QTest::keyClicks(m_list->Edit1, QStringLiteral("silvana"));
    QTest::keyClick(m_list->Edit1, Qt::Key_Return);
    QCOMPARE(Names(), QStringList({"SILVANA"}));
    QTest::keyClick(m_list->Edit1, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(returnPressed.count(), 0);
    QCOMPARE(m_list->Edit1->text(), QStringLiteral("silvana"));
}

void TstTListaClientesForm::legendShowsSettingsTexts()
{
    Exec(QStringLiteral("update config set verde='Cliente devendo', azul='Cheque devolvido', "
                        "vermelho='Não atender' where idconfig=1"));
    DM->ConfigQuery->Close();
    DM->ConfigQuery->Open();
    m_list->BitBtn6->click();
    QCOMPARE(m_screen.messages->Count(), 1);
    const TMessageBoxRequest box = m_screen.messages->Last();
    QCOMPARE(box.caption, QStringLiteral("Legenda Tipos de Anotações"));
    QCOMPARE(box.text, QStringLiteral("Preto - Sem Anotação\rVerde - Cliente devendo\r"
                                      "Azul - Cheque devolvido\rVermelho - Não atender"));
    QCOMPARE(box.icon, TMessages::Warning);
    QCOMPARE(box.buttons, int(TMessages::Ok));
}

void TstTListaClientesForm::legendBoxShowsWholeCaption()
{
    // The real box this time: its width is what the title bar has for the
    // caption. With no settings texts its lines are short.
    m_screen.messages.reset();
    QString caption;
    int width = 0;
    int captionWidth = 0;
    OnModal([&](QDialog *d) {
        caption = d->windowTitle();
        width = d->width();
        captionWidth = d->fontMetrics().horizontalAdvance(caption);
        d->accept();
    });
    m_list->BitBtn6->click();
    QCOMPARE(caption, QStringLiteral("Legenda Tipos de Anotações"));
    // Beside the caption the title bar holds the window icon and the close box.
    QVERIFY2(width >= captionWidth + 100, qPrintable(QStringLiteral("box %1, caption %2").arg(width).arg(captionWidth)));
}

void TstTListaClientesForm::deleteAsksThenRemovesClientAndOrders()
{
    for (int i = 1; i <= 3; ++i)
        AddOrder(i, 3);
    AddOrder(4, 1);
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 3));

    m_screen.messages->QueueAnswer(TMessages::No);
    m_list->BitBtn4->click();
    QCOMPARE(m_screen.messages->Count(), 1);
    QCOMPARE(m_screen.messages->Last().caption, QStringLiteral("Excluir Cliente"));
    QCOMPARE(m_screen.messages->Last().text, QStringLiteral("Deseja excluir o Cliente [ SILVANA ] ?"));
    QCOMPARE(m_screen.messages->Last().icon, TMessages::Warning);
    QCOMPARE(m_screen.messages->Last().buttons, int(TMessages::YesNo));
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), 4);
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes")), 6);
    QCOMPARE(DM->ClientesQuery->RecordCount(), 6);

    m_screen.messages->QueueAnswer(TMessages::Yes);
    m_list->BitBtn4->click();
    QCOMPARE(m_screen.messages->Count(), 2);
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where idcliente=3")), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idcliente=3")), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idcliente=1")), 1);
    QCOMPARE(DM->ClientesQuery->RecordCount(), 5);
    QCOMPARE(m_list->DBGrid1->model()->rowCount(), 5);
    QVERIFY(!Names().contains(QStringLiteral("SILVANA")));
    // The order dataset is left closed with the delete statement.
    QVERIFY(!DM->OrdensQuery->Active());
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("delete from ordemserv where idcliente=3"));
}

void TstTListaClientesForm::deleteIsOneUnitOfWork()
{
    // The client's row goes away behind the list's back, so deleting it
    // through the list fails after its orders were deleted: the orders
    // must come back.
    for (int i = 1; i <= 3; ++i)
        AddOrder(i, 3);
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 3));
    Exec(QStringLiteral("delete from clientes where idcliente=3"));

    m_screen.messages->QueueAnswer(TMessages::Yes);
    m_list->BitBtn4->click();
    QCOMPARE(m_screen.messages->Count(), 2);
    QCOMPARE(m_screen.messages->Last().icon, TMessages::Error);
    QCOMPARE(m_screen.messages->Last().text, TFbRowWriter::DeletedBeforeMessage());
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idcliente=3")), 3);
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes")), 5);

    // Nothing of the failed delete stays cached for a later save to write
    // on its own: the next client saved is written, and only it.
    QVERIFY(!DM->ClientesQuery->UpdatesPending());
    DM->ClientesQuery->Append();
    DM->ClientesQueryNOME->SetAsString(QStringLiteral("NOVO CLIENTE"));
    DM->ClientesQuery->ApplyChanges();
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes")), 6);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idcliente=3")), 3);
}

void TstTListaClientesForm::functionKeysActFromSearchBox()
{
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    m_list->Edit1->setFocus();
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 1));

    // F3 with Shift held: the delete question, answered No.
    QTest::keyClick(m_list->Edit1, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(m_screen.messages->Count(), 1);
    QCOMPARE(m_screen.messages->Last().text, QStringLiteral("Deseja excluir o Cliente [ ANA SILVA ] ?"));

    // F2: the record form on the selected client.
    QString caption;
    OnModal([&](QDialog *d) { caption = d->windowTitle(); d->reject(); });
    QTest::keyClick(m_list->Edit1, Qt::Key_F2);
    QCOMPARE(caption, QStringLiteral("Alteração de Cliente"));
    QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsBrowse);

    // F1: a new client.
    OnModal([&](QDialog *d) { caption = d->windowTitle(); d->reject(); });
    QTest::keyClick(m_list->Edit1, Qt::Key_F1);
    QCOMPARE(caption, QStringLiteral("Cadastro de Cliente"));
    QCOMPARE(DM->ClientesQuery->RecordCount(), 6);

    // Esc closes and destroys the screen.
    QTest::keyClick(m_list->Edit1, Qt::Key_Escape);
    QTRY_VERIFY(m_list.isNull());
}

void TstTListaClientesForm::gridColoursByAnnotationType()
{
    // Rows by name: ANA SILVA 2, Carlos Silveira 1, JOAO "ZE" null,
    // João da Silva 3, SILVANA 4, ZULMIRA 9.
    TDBGrid *grid = m_list->DBGrid1;
    const QColor own = grid->palette().color(QPalette::Active, QPalette::Text);
    const QList<QColor> expected{QColor(0, 128, 0), QColor(0, 0, 0), own,
                                 QColor(0, 0, 255), QColor(255, 0, 0), own};
    for (int row = 0; row < expected.size(); ++row)
        QCOMPARE(grid->RowTextColor(row), expected.at(row));

    QCOMPARE(DM->ClientesQuery->RecNo(), 0);
    QCOMPARE(grid->RowBackground(0), TRowColors::SkyBlue());
    QCOMPARE(grid->RowBackground(1), grid->palette().color(QPalette::Active, QPalette::Base));

    // Selecting a red client in the grid moves the dataset; the row keeps
    // its red text on the sky-blue ground.
    grid->setCurrentIndex(grid->model()->index(4, 1));
    QCOMPARE(DM->ClientesQuery->RecNo(), 4);
    QCOMPARE(DM->ClientesQuery->FieldByName(QStringLiteral("NOME"))->AsString(), QStringLiteral("SILVANA"));
    QCOMPARE(grid->RowBackground(4), TRowColors::SkyBlue());
    QCOMPARE(grid->RowTextColor(4), QColor(255, 0, 0));
    QCOMPARE(grid->RowBackground(0), grid->palette().color(QPalette::Active, QPalette::Base));

    // What reaches the screen: the cell's ground right of its text.
    m_list->resize(900, 400);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    const QImage image = grid->viewport()->grab().toImage();
    const QRect selected = grid->visualRect(grid->model()->index(4, 1));
    const QRect other = grid->visualRect(grid->model()->index(0, 1));
    QCOMPARE(QColor(image.pixel(selected.right() - 3, selected.bottom() - 1)), TRowColors::SkyBlue());
    QCOMPARE(QColor(image.pixel(other.right() - 3, other.bottom() - 1)),
             grid->palette().color(QPalette::Active, QPalette::Base));
}

QTEST_MAIN(TstTListaClientesForm)
#include "tst_tlistaclientesform.moc"

// At a shop's size the list shows a screenful of a table that may hold a
// million clients: laid out before its grid meets the open dataset, it reads
// the rows it shows and one more, not a packet; shown, it reads nothing more
// until the user scrolls.
void TstTListaClientesForm::opensReadingTheRowsItShows()
{
    Exec(QStringLiteral("execute block as declare i integer = 7; begin "
                        "while (i <= 300) do begin "
                        "insert into clientes (idcliente, nome, tipopessoa) values (:i, 'Z CLIENTE ' || :i, 1); "
                        "i = i + 1; end end"));
    TDmSchema::BringUpToDate(*DM->Database);
    delete m_list;
    ListAllClients();
    m_list = new TListaClientesForm;
    TFbQuery *q = DM->ClientesQuery;
    TDBGrid *grid = m_list->DBGrid1;
    // The screen's own buttons may take a few pixels from the grid after it
    // read: a row or two more than it shows, never a packet.
    const int read = q->FetchedCount();
    QVERIFY2(grid->RowsShown() >= 8 && read > grid->RowsShown() && read <= grid->RowsShown() + 3,
             qPrintable(QStringLiteral("%1 rows read, %2 shown").arg(read).arg(grid->RowsShown())));

    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    QTest::qWait(50);
    QCOMPARE(q->FetchedCount(), read);
    QVERIFY(read > grid->RowsShown());
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("ANA SILVA"));
    QCOMPARE(q->RecordCount(), 300);
}
