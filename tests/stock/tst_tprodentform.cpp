// The stock movement form on a real database file, opened by the product
// list as the user does: captions by mode, the arithmetic of entries and
// exits with its refusals, the movement's copies of the product, the silent
// close on an empty quantity, cancelling by every way out, a movement whose
// second write fails; and two computers recording on one product.
#include "data/efberror.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "stock/tprodentform.h"
#include "stock/tprodform.h"
#include "stock/tstockmovement.h"
#include "tests/stock/tstocktestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbmemo.h"
#include "widgets/teditorlook.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace TStockTestData;

class TstTProdEntForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionsAndLook_data();
    void captionsAndLook();
    void arithmetic_data();
    void arithmetic();
    void movementCopiesTheProduct();
    void emptyQuantityClosesSilently_data();
    void emptyQuantityClosesSilently();
    void everyWayOutCancels_data();
    void everyWayOutCancels();
    void failingSecondWriteLeavesNeither();
    void productDeletedElsewhere();
    void twoComputersOnOneProduct();
    void exitsAtTheSameMoment();
    void pendingMovementRedirectedByAnotherScreen_data();
    void pendingMovementRedirectedByAnotherScreen();

private:
    // Opens the form through the list for product `id`, runs `act` on it
    // while it is shown.
    void OpenForm(int id, bool entry, const std::function<void(TProdEntForm *)> &act);

    TScreenTestData::TScreenDb m_screen;
    QPointer<TProdForm> m_list;
};

namespace {
const QString LongSupplier = QString(100, QLatin1Char('A')) + QString(50, QLatin1Char('B'));
}

void TstTProdEntForm::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTProdEntForm::init()
{
    const QByteArray test = QTest::currentTestFunction();
    if (test == "twoComputersOnOneProduct" || test == "exitsAtTheSameMoment")
        return;   // makes its own connections
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddProduct({1, QStringLiteral("Parafuso"), 5, 2, 1, QStringLiteral("Ferragens Silva")});
    AddProduct({2, QStringLiteral("Porca"), QVariant(), QVariant(), 1, QStringLiteral("Ferragens Silva")});
    AddProduct({3, QStringLiteral("Prego"), qint64(TStockMovement::MaxQuantity) - 7, 0, 1, QStringLiteral("X")});
    AddProduct({4, QStringLiteral("Rebite"), 1, 0, 2, LongSupplier});
    ListAllProducts();
    m_list = new TProdForm;
}

void TstTProdEntForm::cleanup()
{
    delete m_list;
    m_screen.Close();
}

void TstTProdEntForm::OpenForm(int id, bool entry, const std::function<void(TProdEntForm *)> &act)
{
    QVERIFY(DM->ProdForneQuery->Locate(QStringLiteral("IDPROD"), id));
    OnModalForm<TProdEntForm>([&] { (entry ? m_list->BitBtn7 : m_list->BitBtn8)->click(); }, act);
}

void TstTProdEntForm::captionsAndLook_data()
{
    QTest::addColumn<bool>("entry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("quantityLabel");
    QTest::addColumn<QString>("dateLabel");
    QTest::newRow("entry") << true << "Entrada de Produto" << "Quantidade de Entrada" << "Data de Entrada";
    QTest::newRow("exit") << false << "Saída de Produto" << "Quantidade de Saída" << "Data de Saida";
}

void TstTProdEntForm::captionsAndLook()
{
    QFETCH(bool, entry);
    QFETCH(QString, caption);
    QFETCH(QString, quantityLabel);
    QFETCH(QString, dateLabel);
    OpenForm(1, entry, [&](TProdEntForm *f) {
        QCOMPARE(f->windowTitle(), caption);
        QCOMPARE(f->GetMode(), entry ? TStockMovement::Kind::Entry : TStockMovement::Kind::Exit);
        QCOMPARE(f->Label5->text(), quantityLabel);
        QCOMPARE(f->Label7->text(), dateLabel);
        QCOMPARE(f->size(), QSize(398, 296));
        QCOMPARE(QApplication::focusWidget(), f->BitBtn1);
        const QList<QPair<QWidget *, QString>> shown{{f->DBEdit1, QStringLiteral("1")},
                                                     {f->DBEdit2, QStringLiteral("Parafuso")},
                                                     {f->DBEdit3, QStringLiteral("Ferragens Silva")},
                                                     {f->DBEdit4, QStringLiteral("5")}};
        for (const auto &[box, text] : shown) {
            QVERIFY(!TEditorLook::IsOpen(box));
            QCOMPARE(static_cast<TDBEdit *>(box)->text(), text);
        }
        for (QWidget *box : std::initializer_list<QWidget *>{f->DBEdit5, f->DBEdit6, f->DBMemo1})
            QVERIFY(TEditorLook::IsOpen(box));
        QVERIFY(f->DBEdit5->DigitsOnly());
        // The movement is dated today.
        QCOMPARE(DM->ProdEntQuery->FieldByName(QStringLiteral("DATACAD"))->AsDateTime(),
                 QDateTime(QDate::currentDate(), QTime(0, 0)));
        f->BitBtn2->click();
    });
}

void TstTProdEntForm::arithmetic_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("entry");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stock");      // stored afterwards ("" empty)
    QTest::addColumn<QString>("movement");   // "QTDEENT|TIPO" stored; empty: none
    QTest::addColumn<QString>("message");    // start of the message; empty: none

    const QString notEnough = QStringLiteral("Quantidade de item a retirar é maior que a quantidade de item "
                                             "disponível em estoque!");
    const QString max = QString::number(TStockMovement::MaxQuantity);
    QTest::newRow("entry 5 + 10") << 1 << true << "10" << "15" << "10|entrada" << "";
    QTest::newRow("exit 5 - 5") << 1 << false << "5" << "0" << "5|saida" << "";
    QTest::newRow("exit 5 - 6 refused") << 1 << false << "6" << "5" << "" << notEnough;
    QTest::newRow("entry into empty stock") << 2 << true << "7" << "7" << "7|entrada" << "";
    QTest::newRow("exit from empty stock refused") << 2 << false << "1" << "" << "" << notEnough;
    QTest::newRow("exit 0 from empty stock") << 2 << false << "0" << "0" << "0|saida" << "";
    QTest::newRow("entry of 0") << 1 << true << "0" << "5" << "0|entrada" << "";
    QTest::newRow("minus sign filtered") << 1 << false << "-3" << "2" << "3|saida" << "";
    QTest::newRow("entry up to the largest") << 3 << true << "7" << max << "7|entrada" << "";
    QTest::newRow("entry past the largest refused")
        << 3 << true << "8" << QString::number(TStockMovement::MaxQuantity - 7) << ""
        << "Quantidade de entrada grande demais";
    QTest::newRow("quantity past a whole number refused")
        << 1 << true << "99999999999" << "5" << "" << "'99999999999' não é um número inteiro válido";
    QTest::newRow("quantity past a whole number by one refused")
        << 1 << true << "2147483648" << "5" << "" << "'2147483648' não é um número inteiro válido";
}

void TstTProdEntForm::arithmetic()
{
    QFETCH(int, id);
    QFETCH(bool, entry);
    QFETCH(QString, typed);
    QFETCH(QString, stock);
    QFETCH(QString, movement);
    QFETCH(QString, message);
    bool stayedOpen = false;
    QString focus;   // the control that has the focus afterwards
    OpenForm(id, entry, [&](TProdEntForm *f) {
        f->DBEdit5->setFocus();
        QTest::keyClicks(f->DBEdit5, typed);
        f->BitBtn1->click();
        stayedOpen = f->isVisible();
        focus = f->focusWidget() ? f->focusWidget()->objectName() : QString();
        if (stayedOpen) {
            // Both records are still pending, for another quantity.
            QCOMPARE(DM->ProdForneQuery->State(), TFbQuery::dsEdit);
            QCOMPARE(DM->ProdEntQuery->State(), TFbQuery::dsInsert);
            f->BitBtn2->click();
        }
    });
    QCOMPARE(stayedOpen, !message.isEmpty());
    if (message.isEmpty()) {
        QCOMPARE(m_screen.messages->Count(), 0);
    } else {
        QCOMPARE(m_screen.messages->Count(), 1);
        QVERIFY2(m_screen.messages->Last().text.startsWith(message), qPrintable(m_screen.messages->Last().text));
        QCOMPARE(focus, QStringLiteral("DBEdit5"));
    }
    QCOMPARE(StoredQuantity(id), stock);
    QCOMPARE(Text(QStringLiteral("select max(qtdeent || '|' || tipo) from prodent where idprod=%1").arg(id)),
             movement);
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent")), movement.isEmpty() ? 0 : 1);
    // The list shows what is stored, and nothing is left pending.
    QCOMPARE(DM->ProdForneQuery->FieldByName(QStringLiteral("QTDEDISP"))->AsString(), stock);
    for (TFbQuery *q : {DM->ProdForneQuery, DM->ProdEntQuery}) {
        QCOMPARE(q->State(), TFbQuery::dsBrowse);
        QVERIFY(!q->UpdatesPending());
    }
}

void TstTProdEntForm::movementCopiesTheProduct()
{
    int key = 0;
    OpenForm(4, false, [&](TProdEntForm *f) {
        key = DM->ProdEntQuery->FieldByName(QStringLiteral("IDPRODENT"))->AsInteger();
        QTest::keyClicks(f->DBEdit5, QStringLiteral("1"));
        f->DBEdit6->setFocus();
        f->DBEdit6->selectAll();
        QTest::keyClicks(f->DBEdit6, QStringLiteral("03/02/2024"));
        QTest::keyClicks(f->DBMemo1, QStringLiteral("nota 123"));
        f->BitBtn1->click();
        QVERIFY(!f->isVisible());
    });
    QCOMPARE(m_screen.messages->Texts(), QStringList());
    QVERIFY(key > 0);
    QCOMPARE(Text(QStringLiteral("select idprod || '|' || qtdeent || '|' || tipo || '|' || descricao || '|' || obs "
                                 "|| '|' || extract(day from datacad) || '/' || extract(month from datacad) || '/' "
                                 "|| extract(year from datacad) from prodent where idprodent=%1").arg(key)),
             QStringLiteral("4|1|saida|Rebite|nota 123|3/2/2024"));
    // The supplier's name is cut to the movement's 100 characters.
    QCOMPARE(Text(QStringLiteral("select nomeforne from prodent where idprodent=%1").arg(key)),
             LongSupplier.left(100));
    QCOMPARE(StoredQuantity(4), QStringLiteral("0"));
}

void TstTProdEntForm::emptyQuantityClosesSilently_data()
{
    QTest::addColumn<bool>("typeFirst");
    QTest::newRow("Enter right after opening") << false;
    QTest::newRow("quantity typed, then erased") << true;
}

void TstTProdEntForm::emptyQuantityClosesSilently()
{
    QFETCH(bool, typeFirst);
    bool closed = false;
    OpenForm(1, false, [&](TProdEntForm *f) {
        if (typeFirst) {
            f->DBEdit5->setFocus();
            QTest::keyClicks(f->DBEdit5, QStringLiteral("3"));
            QTest::keyClick(f->DBEdit5, Qt::Key_Backspace);
            f->BitBtn1->setFocus();
        }
        QTest::keyClick(f->BitBtn1, Qt::Key_Return);
        closed = !f->isVisible();
    });
    QVERIFY(closed);
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent")), 0);
    QCOMPARE(StoredQuantity(1), QStringLiteral("5"));
    QVERIFY(!DM->ProdForneQuery->UpdatesPending());
    QCOMPARE(DM->ProdEntQuery->State(), TFbQuery::dsBrowse);
    QVERIFY(DM->ProdEntQuery->IsEmpty());
}

void TstTProdEntForm::everyWayOutCancels_data()
{
    QTest::addColumn<QString>("way");
    for (const char *way : {"button", "Esc", "close box"})
        QTest::newRow(way) << QString::fromLatin1(way);
}

void TstTProdEntForm::everyWayOutCancels()
{
    QFETCH(QString, way);
    OpenForm(1, true, [&](TProdEntForm *f) {
        QTest::keyClicks(f->DBEdit5, QStringLiteral("4"));
        QTest::keyClicks(f->DBMemo1, QStringLiteral("x"));
        if (way == QLatin1String("button"))
            f->BitBtn2->click();
        else if (way == QLatin1String("Esc"))
            QTest::keyClick(f->DBMemo1, Qt::Key_Escape);
        else
            f->close();
        QVERIFY(!f->isVisible());
    });
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent")), 0);
    QCOMPARE(StoredQuantity(1), QStringLiteral("5"));
    QCOMPARE(DM->ProdForneQuery->FieldByName(QStringLiteral("QTDEDISP"))->AsString(), QStringLiteral("5"));
    for (TFbQuery *q : {DM->ProdForneQuery, DM->ProdEntQuery}) {
        QCOMPARE(q->State(), TFbQuery::dsBrowse);
        QVERIFY(!q->UpdatesPending());
    }
    QVERIFY(DM->ProdEntQuery->IsEmpty());
}

void TstTProdEntForm::failingSecondWriteLeavesNeither()
{
    OpenForm(1, true, [&](TProdEntForm *f) {
        // Another row already has the key the new movement was given: its
        // insert fails after the product's quantity was written.
        const int key = DM->ProdEntQuery->FieldByName(QStringLiteral("IDPRODENT"))->AsInteger();
        Exec(QStringLiteral("insert into prodent (idprodent, idprod, qtdeent, tipo) values (%1, 2, 1, 'entrada')")
                 .arg(key));
        QTest::keyClicks(f->DBEdit5, QStringLiteral("4"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            f->BitBtn1->click();
            QVERIFY(f->isVisible());
            QCOMPARE(m_screen.messages->Count(), attempt + 1);
            QCOMPARE(m_screen.messages->Last().icon, TMessages::Error);
            QCOMPARE(StoredQuantity(1), QStringLiteral("5"));
        }
        f->BitBtn2->click();
    });
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent where idprod=1")), 0);
    QCOMPARE(StoredQuantity(1), QStringLiteral("5"));
    for (TFbQuery *q : {DM->ProdForneQuery, DM->ProdEntQuery}) {
        QCOMPARE(q->State(), TFbQuery::dsBrowse);
        QVERIFY(!q->UpdatesPending());
    }
    QCOMPARE(DM->ProdForneQuery->FieldByName(QStringLiteral("QTDEDISP"))->AsString(), QStringLiteral("5"));

    // The next entry, with a key of its own, records both.
    m_screen.messages->Clear();
    OpenForm(1, true, [&](TProdEntForm *f) {
        QTest::keyClicks(f->DBEdit5, QStringLiteral("4"));
        f->BitBtn1->click();
    });
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(StoredQuantity(1), QStringLiteral("9"));
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent where idprod=1")), 1);
}

void TstTProdEntForm::productDeletedElsewhere()
{
    OpenForm(1, false, [&](TProdEntForm *f) {
        Exec(QStringLiteral("delete from prodforne where idprod=1"));
        QTest::keyClicks(f->DBEdit5, QStringLiteral("2"));
        f->BitBtn1->click();
        QVERIFY(f->isVisible());
        f->BitBtn2->click();
    });
    QCOMPARE(m_screen.messages->Count(), 1);
    QVERIFY(m_screen.messages->Last().text.startsWith(QStringLiteral("Este produto não existe mais")));
    QCOMPARE(Count(QStringLiteral("select count(*) from prodent")), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from prodforne where idprod=1")), 0);
    for (TFbQuery *q : {DM->ProdForneQuery, DM->ProdEntQuery})
        QVERIFY(!q->UpdatesPending());
}

namespace {
// One computer's side: the product read when its list was loaded, a
// movement of `amount` started on it and recorded.
// `shown`: the quantity the form shows afterwards.
TStockMovement::Result Move(TDM &dm, TStockMovement::Kind kind, int amount, int *shown = nullptr)
{
    dm.ProdEntQuery->Append();
    dm.ProdForneQuery->Edit();
    dm.ProdEntQueryQTDEENT->SetAsInteger(amount);
    const TStockMovement::Result r = TStockMovement::Record(dm, kind);
    if (shown)
        *shown = dm.ProdForneQueryQTDEDISP->AsInteger();
    dm.ProdForneQuery->Cancel();
    dm.ProdEntQuery->Cancel();
    return r;
}

void OpenProducts(TDM &dm)
{
    dm.ProdForneQuery->Close();
    dm.ProdForneQuery->SetSQL(QStringLiteral("select * from prodforne order by descricao"));
    dm.ProdForneQuery->Open();
}
} // namespace

namespace {
// A fresh database that two computers share: through the shop's server when
// the test set-up started one, else a file that the embedded engine opens
// twice in this process. Kept while the object lives.
struct TSharedDb
{
    std::unique_ptr<TFbTestDb> file;
    std::unique_ptr<QTemporaryDir> serverDir;
    QString name;
    QString error;

    TSharedDb()
    {
        const QString host = qEnvironmentVariable("OS_FB_SERVER");
        if (host.isEmpty()) {
            file = std::make_unique<TFbTestDb>();
            name = file->Path();
            return;
        }
        serverDir = std::make_unique<QTemporaryDir>(
            qEnvironmentVariable("OS_FB_SERVER_DIR", QStringLiteral("/tmp")) + QStringLiteral("/os-test-XXXXXX"));
        if (!serverDir->isValid()) {
            error = QStringLiteral("no folder for the server's database");
            return;
        }
        // The server process writes here.
        QFile::setPermissions(serverDir->path(), QFileDevice::Permissions(0x7777));
        name = host + QLatin1Char(':') + serverDir->path() + QStringLiteral("/DADOS.GDB");
        TDmSchema::CreateDatabaseFile(name);
    }

    // A computer of the shop on it.
    void Attach(TDM &dm) const
    {
        dm.Database->SetDatabaseName(name);
        dm.OpenAll();
    }
};
} // namespace

void TstTProdEntForm::twoComputersOnOneProduct()
{
    TSharedDb shared;
    if (shared.file)
        OS_REQUIRE_TEST_DB(*shared.file);
    QVERIFY2(shared.error.isEmpty(), qPrintable(shared.error));
    TDM a, b;
    shared.Attach(a);
    shared.Attach(b);
    TFbQuery *aux = a.AuxQuery;
    aux->SetSQL(QStringLiteral("insert into prodforne (idprod, descricao, qtdedisp) values (1, 'Parafuso', 5)"));
    aux->Execute();
    OpenProducts(a);
    OpenProducts(b);
    // Both computers show 5 in stock.
    QCOMPARE(a.ProdForneQueryQTDEDISP->AsInteger(), 5);
    QCOMPARE(b.ProdForneQueryQTDEDISP->AsInteger(), 5);

    using K = TStockMovement::Kind;
    using O = TStockMovement::Outcome;
    TStockMovement::Result r = Move(a, K::Exit, 3);
    QCOMPARE(r.outcome, O::Recorded);
    QCOMPARE(r.stored, 2);
    // The second one's exit of 3 would drive the stock below zero.
    int shown = -1;
    r = Move(b, K::Exit, 3, &shown);
    QCOMPARE(r.outcome, O::NotEnoughStock);
    QCOMPARE(r.stored, 2);
    QCOMPARE(shown, 2);
    r = Move(b, K::Exit, 2);
    QCOMPARE(r.outcome, O::Recorded);
    QCOMPARE(r.stored, 0);
    QCOMPARE(b.ProdForneQueryQTDEDISP->AsInteger(), 0);
    // Entries from lists read long ago add to what is stored, and leave
    // what the other computer saved in the product since: the movement
    // copies the product as it is now.
    TFbQuery *auxB = b.AuxQuery;
    auxB->SetSQL(QStringLiteral("update prodforne set descricao='Parafuso Sextavado', qtdemin=3 where idprod=1"));
    auxB->Execute();
    QCOMPARE(Move(a, K::Entry, 4).stored, 4);
    QCOMPARE(Move(b, K::Entry, 1).stored, 5);

    aux->Close();
    aux->SetSQL(QStringLiteral("select p.qtdedisp, (select sum(case when tipo='entrada' then qtdeent else -qtdeent end)"
                               " from prodent), (select count(*) from prodent) from prodforne p where p.idprod=1"));
    aux->Open();
    QCOMPARE(aux->Field(0)->AsInteger(), 5);
    QCOMPARE(aux->Field(1)->AsInteger(), 0);   // 5 - 3 - 2 + 4 + 1, nothing lost
    QCOMPARE(aux->Field(2)->AsInteger(), 4);
    aux->Close();
    aux->SetSQL(QStringLiteral("select p.descricao, p.qtdemin, (select count(*) from prodent m"
                               " where m.descricao = p.descricao) from prodforne p where p.idprod=1"));
    aux->Open();
    QCOMPARE(aux->Field(0)->AsString(), QStringLiteral("Parafuso Sextavado"));
    QCOMPARE(aux->Field(1)->AsInteger(), 3);
    QCOMPARE(aux->Field(2)->AsInteger(), 2);   // both entries made after the change
    aux->Close();
}

void TstTProdEntForm::exitsAtTheSameMoment()
{
    // Two computers take one item at a time out of a stock of 40, each
    // from a list read once at the start, at the same moment: every item
    // goes out exactly once and the stock ends at 0, never below.
    TSharedDb shared;
    if (shared.file)
        OS_REQUIRE_TEST_DB(*shared.file);
    QVERIFY2(shared.error.isEmpty(), qPrintable(shared.error));
    TDM setup;   // the program's own data module stays the main thread's
    shared.Attach(setup);
    setup.AuxQuery->SetSQL(QStringLiteral("insert into prodforne (idprod, descricao, qtdedisp) values (1, 'Parafuso', 40)"));
    setup.AuxQuery->Execute();

    constexpr int Tries = 30;
    struct Tally { int recorded = 0, refused = 0; QStringList errors; };
    Tally tally[2];
    auto computer = [&](Tally &t) {
        try {
            TDM dm;
            shared.Attach(dm);
            OpenProducts(dm);
            for (int i = 0; i < Tries; ++i) {
                try {
                    const auto r = Move(dm, TStockMovement::Kind::Exit, 1);
                    (r.outcome == TStockMovement::Outcome::Recorded ? t.recorded : t.refused)++;
                } catch (const EFbError &e) {
                    t.errors << e.Message();
                }
            }
        } catch (const EFbError &e) {
            t.errors << e.Message();
        }
    };
    std::unique_ptr<QThread> first(QThread::create(computer, std::ref(tally[0])));
    std::unique_ptr<QThread> second(QThread::create(computer, std::ref(tally[1])));
    first->start();
    second->start();
    QVERIFY(first->wait(QDeadlineTimer(120000)));
    QVERIFY(second->wait(QDeadlineTimer(120000)));

    QCOMPARE(tally[0].errors + tally[1].errors, QStringList());
    QCOMPARE(tally[0].recorded + tally[1].recorded, 40);
    QCOMPARE(tally[0].refused + tally[1].refused, 2 * Tries - 40);
    TFbQuery *aux = setup.AuxQuery;
    aux->Close();
    aux->SetSQL(QStringLiteral("select p.qtdedisp, (select count(*) from prodent where tipo='saida') "
                               "from prodforne p where p.idprod=1"));
    aux->Open();
    QCOMPARE(aux->Field(0)->AsInteger(), 0);
    QCOMPARE(aux->Field(1)->AsInteger(), 40);
    aux->Close();
}

// A movement being typed (the product in edit, the movement new) was moved
// to another product or dropped by what another product list did with the
// shared datasets. Each row: an action on another product list while the
// movement form is open. It is refused with the message naming the form,
// the typed quantity stays, and the database is unchanged.
void TstTProdEntForm::pendingMovementRedirectedByAnotherScreen_data()
{
    QTest::addColumn<QString>("action");
    for (const char *a : {"search", "delete the product", "another movement", "edit the product"})
        QTest::newRow(a) << QString::fromUtf8(a);
}

void TstTProdEntForm::pendingMovementRedirectedByAnotherScreen()
{
    QFETCH(QString, action);
    const QString before = Text(QStringLiteral("select (select list(idprod || ':' || coalesce(qtdedisp, -1)) from prodforne)"
                                               " || '|' || (select count(*) from prodent) from rdb$database"));
    TProdForm other;
    QStringList texts;
    int stateAfter = -1;
    QString typedAfter;
    OpenForm(1, true, [&](TProdEntForm *form) {
        DM->ProdEntQuery->FieldByName(QStringLiteral("QTDEENT"))->SetAsString(QStringLiteral("3"));
        m_screen.messages->Clear();
        if (action == QLatin1String("search")) {
            other.Edit1->setText(QStringLiteral("Porca"));
            other.BitBtn1->click();
        } else if (action == QLatin1String("delete the product")) {
            m_screen.messages->QueueAnswer(TMessages::Yes);
            other.BitBtn4->click();
        } else if (action == QLatin1String("another movement")) {
            other.BitBtn7->click();
        } else {
            other.BitBtn3->click();
        }
        texts = m_screen.messages->Texts();
        stateAfter = DM->ProdEntQuery->State();
        typedAfter = DM->ProdEntQuery->FieldByName(QStringLiteral("QTDEENT"))->AsString();
        form->reject();   // gives both entries up
    });
    QVERIFY2(texts.contains(QStringLiteral("Termine ou cancele a movimentação em edição na tela Entrada de Produto.")),
             qPrintable(texts.join(QStringLiteral(" / "))));
    QCOMPARE(stateAfter, int(TFbQuery::dsInsert));
    QCOMPARE(typedAfter, QStringLiteral("3"));
    QCOMPARE(Text(QStringLiteral("select (select list(idprod || ':' || coalesce(qtdedisp, -1)) from prodforne)"
                                 " || '|' || (select count(*) from prodent) from rdb$database")), before);
}

QTEST_MAIN(TstTProdEntForm)
#include "tst_tprodentform.moc"
