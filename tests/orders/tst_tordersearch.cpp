// Finding an order by its number or by a piece of its text, on a real
// database file: what opens, what is listed (newest first), what is said,
// and that no typed text changes the statement or its meaning.
#include "data/efberror.h"
#include "data/tdmschema.h"
#include "orders/tlocalizaosform.h"
#include "orders/tordersearch.h"
#include "tests/support/tscreentestdata.h"
#include "widgets/tdbgrid.h"

#include <QLineEdit>
#include <QtTest>

using namespace TScreenTestData;

class TstTOrderSearch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void parseNumber_data();
    void parseNumber();
    void searches_data();
    void searches();
    void makeCurrentPositionsClientAndOrder();
    void makeCurrentRefusedWhileAnOrderIsPending();
    void makeCurrentReadsNoOtherClient();
    void makeCurrentKeepsAnOtherClientEntry();
    void enterInThePickerChooses();
    void escClosesThePicker();
    void questionRefusesCharactersTheDatabaseCannotHold();
    void questionStandsOverTheActiveScreen();

private:
    void AddOrder(int id, int client, const QString &date, const QString &descricao,
                  const QString &solicitante, const QString &reparo);
    TScreenDb m_db;
};

void TstTOrderSearch::initTestCase()
{
    InitApplication();
}

void TstTOrderSearch::AddOrder(int id, int client, const QString &date, const QString &descricao,
                               const QString &solicitante, const QString &reparo)
{
    Exec(QStringLiteral("insert into ordemserv (idordem, idcliente, datacad, descricao, solicitante, reparo,"
                        " situacao, nordem) values (%1, %2, '%3', %4, %5, %6, 'Não Atendido', '%7')")
             .arg(id)
             .arg(client)
             .arg(date, Quoted(descricao), Quoted(solicitante), Quoted(reparo))
             .arg(id, 6, 10, QLatin1Char('0')));
}

void TstTOrderSearch::init()
{
    m_db.Open();
    OS_REQUIRE_TEST_DB(*m_db.db);
    Exec(QStringLiteral("insert into clientes (idcliente, nome) values (1, 'Ana Souza')"));
    Exec(QStringLiteral("insert into clientes (idcliente, nome) values (2, 'Bruno Lima')"));
    AddOrder(2, 1, QStringLiteral("2024-01-10"), QStringLiteral("Televisor Philco 32"), QStringLiteral("Ana"),
             QStringLiteral("Troca de capacitor"));
    AddOrder(7, 2, QStringLiteral("2024-03-05"), QStringLiteral("Notebook Dell"), QStringLiteral("Carlos"),
             QStringLiteral("Tela trocada"));
    AddOrder(9, 2, QStringLiteral("2024-02-20"), QStringLiteral("Rádio 50% desmontado"),
             QStringLiteral("Bruno"), QStringLiteral("Sem conserto"));
    AddOrder(12, 1, QStringLiteral("2024-04-01"), QStringLiteral("Micro-ondas"), QStringLiteral("Tv_loja"),
             QStringLiteral("Fonte da TV ao lado queimada"));
    AddOrder(123, 2, QStringLiteral("2024-05-02"), QStringLiteral("TV LG 42"), QStringLiteral("Bruno"),
             QStringLiteral("O cliente disse \"quebrou\" e 'caiu'"));
    TDmSchema::BringUpToDate(*DM->Database);
}

void TstTOrderSearch::cleanup()
{
    TLocalizaOSForm::ExecPicker = {};
    m_db.Close();
}

void TstTOrderSearch::parseNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("number");   // 0: not a number, a text search
    QTest::newRow("sem zeros") << "123" << 123;
    QTest::newRow("com zeros") << "000123" << 123;
    QTest::newRow("brancos em volta") << "  42 \t" << 42;
    QTest::newRow("zero") << "000000" << 0;
    QTest::newRow("acima da chave") << "99999999999" << 0;
    QTest::newRow("muitos zeros à esquerda") << QString(30, QLatin1Char('0')) + "5" << 0;
    QTest::newRow("sinal") << "-5" << 0;
    QTest::newRow("letras") << "12a" << 0;
    QTest::newRow("vazio") << "   " << 0;
}

void TstTOrderSearch::parseNumber()
{
    QFETCH(QString, typed);
    QFETCH(int, number);
    QCOMPARE(TOrderSearch::ParseNumber(typed).value_or(0), number);
}

void TstTOrderSearch::searches_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("listed");   // the picker's rows, newest first
    QTest::addColumn<int>("opened");          // 0: none
    QTest::addColumn<QString>("message");     // empty: none

    const QString none = QString();
    QTest::newRow("número sem zeros") << "123" << QList<int>{} << 123 << none;
    QTest::newRow("número com zeros") << "000002" << QList<int>{} << 2 << none;
    QTest::newRow("número inexistente") << "0456" << QList<int>{} << 0
                                        << "Não existe OS com o número 0456.";
    QTest::newRow("texto sem resultado") << "geladeira" << QList<int>{} << 0 << "Nenhuma OS contém \"geladeira\".";
    QTest::newRow("texto com um resultado") << "dell" << QList<int>{7} << 7 << none;
    // Description, requester and repair notes all count; newest first.
    QTest::newRow("texto com vários resultados") << "tv" << QList<int>{123, 12} << 123 << none;
    QTest::newRow("solicitante") << "bruno" << QList<int>{123, 9} << 123 << none;
    QTest::newRow("reparo") << "trocad" << QList<int>{7} << 7 << none;
    // The wildcards mean themselves.
    QTest::newRow("por cento literal") << "50%" << QList<int>{9} << 9 << none;
    QTest::newRow("sublinhado literal") << "tv_" << QList<int>{12} << 12 << none;
    QTest::newRow("só por cento") << "%" << QList<int>{9} << 9 << none;
    QTest::newRow("aspas duplas") << "\"quebrou\"" << QList<int>{123} << 123 << none;
    QTest::newRow("aspas simples") << "'caiu'" << QList<int>{123} << 123 << none;
    QTest::newRow("injeção com aspas duplas") << "\" or 1=1 or \"\"=\"" << QList<int>{} << 0
                                              << "Nenhuma OS contém \"\" or 1=1 or \"\"=\"\".";
    QTest::newRow("injeção com aspas simples") << "x' or '1'='1" << QList<int>{} << 0
                                               << "Nenhuma OS contém \"x' or '1'='1\".";
    QTest::newRow("injeção com comando") << "\"; delete from ordemserv; --" << QList<int>{} << 0
                                         << "Nenhuma OS contém \"\"; delete from ordemserv; --\".";
    QTest::newRow("barra invertida") << "\\" << QList<int>{} << 0 << "Nenhuma OS contém \"\\\".";
    // Long enough that the statement would pass the database's limit.
    const QString longText(70000, QLatin1Char('a'));
    QTest::newRow("mais longo que as colunas") << longText << QList<int>{} << 0
                                               << "Nenhuma OS contém \"" + longText + "\".";
    QTest::newRow("em branco") << "  " << QList<int>{} << 0 << "Digite o número da OS ou parte do seu texto.";
}

void TstTOrderSearch::searches()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, listed);
    QFETCH(int, opened);
    QFETCH(QString, message);

    QList<int> rows;
    TLocalizaOSForm::ExecPicker = [&rows](TLocalizaOSForm &picker) {
        TFbQuery *q = picker.DBGrid1->DataSet();
        for (q->First(); !q->Eof(); q->Next())
            rows << q->FieldByName(QStringLiteral("IDORDEM"))->AsInteger();
        q->First();
        picker.BitBtn1Click();
    };
    QList<int> openedKeys;
    const std::optional<qint32> result
        = TLocalizaOSForm::Find(nullptr, typed, [&openedKeys](qint32 id) { openedKeys << id; });

    QCOMPARE(rows, listed);
    QCOMPARE(result.value_or(0), opened);
    QCOMPARE(openedKeys, opened ? QList<int>{opened} : QList<int>{});
    QCOMPARE(m_db.messages->Texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), 5);
}

void TstTOrderSearch::makeCurrentPositionsClientAndOrder()
{
    // The client list narrowed to another client: the order's client is
    // read alone, by its key.
    TFbQuery *clients = DM->ClientesQuery;
    clients->Close();
    clients->SetSQL(QStringLiteral("select * from clientes where idcliente = 1"));
    clients->Open();

    TOrderSearch::MakeCurrent(DM, 9);
    QCOMPARE(DM->ClientesQueryIDCLIENTE->AsInteger(), 2);
    QCOMPARE(DM->ClientesQuery->RecordCount(), 1);
    QCOMPARE(DM->OrdensQueryIDORDEM->AsInteger(), 9);
    QCOMPARE(DM->OrdensQuery->RecordCount(), 3);

    try {
        TOrderSearch::MakeCurrent(DM, 55);
        QFAIL("a missing order was made current");
    } catch (const EFbError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Não existe OS com o número 55."));
    }
    QCOMPARE(DM->OrdensQueryIDORDEM->AsInteger(), 9);
}

// The whole client list open in name order (as the client screen leaves
// it), the order's client far down it: the find used to read the list up to
// the client (all of it, at a million clients, and twice when the client was
// not among the rows read). It reads the client alone now; a client among
// the rows read stays where it is in the list.
void TstTOrderSearch::makeCurrentReadsNoOtherClient()
{
    for (int i = 3; i <= 400; ++i)
        Exec(QStringLiteral("insert into clientes (idcliente, nome) values (%1, 'Cliente %2')")
                 .arg(i).arg(i, 3, 10, QLatin1Char('0')));
    Exec(QStringLiteral("insert into clientes (idcliente, nome) values (401, 'Zuleica')"));
    AddOrder(500, 401, QStringLiteral("2024-06-01"), QStringLiteral("Som"), QString(), QString());
    TFbQuery *clients = DM->ClientesQuery;
    clients->Close();
    clients->SetSQL(QStringLiteral("select * from clientes order by nome"));
    clients->Open();
    QCOMPARE(clients->FetchedCount(), 1);

    TOrderSearch::MakeCurrent(DM, 500);
    QCOMPARE(DM->ClientesQueryIDCLIENTE->AsInteger(), 401);
    QCOMPARE(clients->FetchedCount(), 1);
    QCOMPARE(DM->OrdensQueryIDORDEM->AsInteger(), 500);

    // Ana is the first row of the list read in name order: the list stays.
    clients->Close();
    clients->SetSQL(QStringLiteral("select * from clientes order by nome"));
    clients->Open();
    clients->FetchMore(10);
    TOrderSearch::MakeCurrent(DM, 2);
    QCOMPARE(DM->ClientesQueryIDCLIENTE->AsInteger(), 1);
    QCOMPARE(clients->SQLText(), QStringLiteral("select * from clientes order by nome"));
    QCOMPARE(clients->FetchedCount(), 11);
}

void TstTOrderSearch::makeCurrentRefusedWhileAnOrderIsPending()
{
    TOrderSearch::MakeCurrent(DM, 2);
    TFbQuery *orders = DM->OrdensQuery;
    orders->Edit();
    DM->OrdensQueryDESCRICAO->SetAsString(QStringLiteral("Televisor em edição"));
    const QString hold = QStringLiteral("Termine ou cancele a OS em edição na tela Ordem de Serviço.");
    orders->HoldPending(hold);

    bool opened = false;
    for (const QString &typed : {QStringLiteral("7"), QStringLiteral("dell")}) {
        TLocalizaOSForm::ExecPicker = [](TLocalizaOSForm &picker) { picker.BitBtn1Click(); };
        try {
            TLocalizaOSForm::Find(nullptr, typed, [&opened](qint32) { opened = true; });
            QFAIL("an order was opened over a pending one");
        } catch (const EFbError &e) {
            QCOMPARE(e.Message(), hold);
        }
        try {
            TOrderSearch::MakeCurrent(DM, 7);
            QFAIL("an order was made current over a pending one");
        } catch (const EFbError &e) {
            QCOMPARE(e.Message(), hold);
        }
    }
    QVERIFY(!opened);
    // The pending entry is where it was, as typed.
    QCOMPARE(orders->State(), TFbQuery::dsEdit);
    QCOMPARE(DM->OrdensQueryIDORDEM->AsInteger(), 2);
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Televisor em edição"));
    QCOMPARE(DM->ClientesQueryIDCLIENTE->AsInteger(), 1);
}

void TstTOrderSearch::makeCurrentKeepsAnOtherClientEntry()
{
    // A client being typed on the client screen holds the client dataset.
    TFbQuery *clients = DM->ClientesQuery;
    clients->Close();
    clients->SetSQL(QStringLiteral("select * from clientes order by nome"));
    clients->Open();
    clients->Edit();
    DM->ClientesQueryNOME->SetAsString(QStringLiteral("Ana Souza Editada"));
    const QString hold = QStringLiteral("Termine ou cancele o cadastro em edição na tela Clientes.");
    clients->HoldPending(hold);
    try {
        TOrderSearch::MakeCurrent(DM, 7);
        QFAIL("the client entry was redirected");
    } catch (const EFbError &e) {
        QCOMPARE(e.Message(), hold);
    }
    QCOMPARE(clients->State(), TFbQuery::dsEdit);
    QCOMPARE(DM->ClientesQueryNOME->AsString(), QStringLiteral("Ana Souza Editada"));
}

void TstTOrderSearch::enterInThePickerChooses()
{
    TFbQuery results;
    results.SetDatabase(DM->Database);
    results.SetTransaction(DM->Transaction);
    results.SetSQL(TOrderSearch::TextSql(QStringLiteral("bruno")));
    results.Open();
    TLocalizaOSForm picker(&results);
    picker.show();
    QVERIFY(QTest::qWaitForWindowExposed(&picker));
    results.Next();
    QTest::keyClick(picker.DBGrid1, Qt::Key_Return);
    QCOMPARE(picker.Chosen().value_or(0), 9);
    QCOMPARE(picker.result(), int(QDialog::Accepted));
}

// Esc did nothing in the list of matches.
void TstTOrderSearch::escClosesThePicker()
{
    TFbQuery results;
    results.SetDatabase(DM->Database);
    results.SetTransaction(DM->Transaction);
    results.SetSQL(TOrderSearch::TextSql(QStringLiteral("bruno")));
    results.Open();
    for (bool onButton : {false, true}) {
        TLocalizaOSForm picker(&results);
        picker.show();
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        QWidget *target = onButton ? static_cast<QWidget *>(picker.BitBtn1) : picker.DBGrid1;
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!picker.isVisible());
        QCOMPARE(picker.result(), int(QDialog::Rejected));
        QVERIFY(!picker.Chosen());
    }
}

// "Localizar OS" turned 中 into "?" and found "Radio liga?": the question's
// box refuses it with a message, as every box of the program does.
void TstTOrderSearch::questionRefusesCharactersTheDatabaseCannotHold()
{
    QStringList seen;
    bool asked = false;
    OnModal([&](QDialog *d) {
        asked = true;
        QVERIFY(QTest::qWaitForWindowActive(d));
        // Modal: a fixed size, so that no maximise box is offered.
        QCOMPARE(d->minimumSize(), d->maximumSize());
        auto *box = d->findChild<QLineEdit *>();
        QVERIFY(box);
        QTest::keyClicks(box, QStringLiteral("Radio liga"));
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("中"), Qt::NoModifier);
        seen << box->text();
        // The refusal's box comes once the editor is done with the key.
        QTRY_VERIFY(!m_db.messages->Texts().isEmpty());
        d->reject();
    });
    TLocalizaOSForm::Run(nullptr, [](qint32) { QFAIL("nothing may open"); });
    QVERIFY(asked);
    QCOMPARE(seen, QStringList{QStringLiteral("Radio liga")});
    QCOMPARE(m_db.messages->Count(), 1);
    QVERIFY2(m_db.messages->Last().text.contains(QStringLiteral("中")), qPrintable(m_db.messages->Last().text));
}

// Ctrl+L from a screen: the question was made for the main window, and the
// window manager raised the main window over the screens while it was open.
void TstTOrderSearch::questionStandsOverTheActiveScreen()
{
    QWidget main;
    main.setWindowTitle(QStringLiteral("OS"));
    main.resize(600, 400);
    main.show();
    auto *screen = new QWidget(&main, Qt::Window);
    screen->setWindowTitle(QStringLiteral("Lista de Clientes"));
    screen->resize(300, 200);
    screen->show();
    screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    QWidget *over = nullptr;
    OnModal([&](QDialog *d) {
        over = d->parentWidget();
        d->reject();
    });
    TLocalizaOSForm::Run(&main, [](qint32) { QFAIL("nothing may open"); });
    QCOMPARE(over, screen);
}

QTEST_MAIN(TstTOrderSearch)
#include "tst_tordersearch.moc"
