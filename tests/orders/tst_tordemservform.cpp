// The service order screen on a real database file: its look, the two
// arrangements, registering, saving with the exact total, the keys, closing
// with an order pending, deleting, printing, the picker, the colours.
#include "app/tprincipalform.h"
#include "clients/tclientesform2.h"
#include "clients/tlistaclientesform.h"
#include "data/efberror.h"
#include "data/tdmsharedaccess.h"
#include "data/tfbdatabase.h"
#include "data/tmoney.h"
#include "orders/tordemservform.h"
#include "tests/clients/tclienttestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbcombobox.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbgrid.h"
#include "widgets/tdbmemo.h"
#include "widgets/tdbmoneyedit.h"
#include "widgets/teditorlook.h"
#include "widgets/trowcolors.h"
#include "widgets/tscreenlinks.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace TClientTestData;

class TstTOrdemservForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionsColumnsAndTabOrder();
    void browsingAndEntryArrangements();
    void newOrderDefaults();
    void savedTotal_data();
    void savedTotal();
    void amountRefusedKeepsOrderPending_data();
    void amountRefusedKeepsOrderPending();
    void emptyDescriptionKeepsEntry();
    void orderForClientDeletedElsewhereStaysTyped();
    void keysWhileBrowsing();
    void newOrEditKeysDoNothingDuringEntry();
    void cancelGivesUpTheOrder();
    void secondScreenLeavesThePendingOrderAlone();
    void closingDuringEntryAsks_data();
    void closingDuringEntryAsks();
    void orderKeepsItsClient_data();
    void orderKeepsItsClient();
    void clientListRowStaysUnderPendingOrder_data();
    void clientListRowStaysUnderPendingOrder();
    void discountPastTotalRefusedKeepsOrder();
    void clientNameIsReadOnly();
    void checksWithoutClientOrOrder_data();
    void checksWithoutClientOrOrder();
    void deleteAsksWithOrderNumber();
    void printHandsTheOrderToThePrinter();
    void pickerReloadsOrdersButNotDuringEntry();
    void dateFormatSetOnLeavingDateEditors();
    void gridColoursByStatusOnScreen();
    void statusListPaintedWithHighlightOnWhite();
    void openedFromMainWindowWithClientsOrders();
    void pendingOrderRedirectedByAnotherScreen_data();
    void pendingOrderRedirectedByAnotherScreen();
    void pendingOrderOnQuit_data();
    void pendingOrderOnQuit();
    void pendingOrderDroppedAndLoggedWhenNoOneAnswers();
    void droppedOrderLogKeepsTheBoxBeingTyped();

private:
    void Press(int key);
    void Type(QWidget *editor, const QString &text);
    void ShowForm();
    double DbValue(const QString &sql) { return Text(sql).isEmpty() ? 0 : Number(sql); }
    double Number(const QString &sql);

    std::unique_ptr<TFbTestDb> m_db;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TMessageRecorder> m_messages;
    QPointer<TOrdemservForm> m_form;
    QList<int> m_printed;
};

void TstTOrdemservForm::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QCoreApplication::setApplicationName(QStringLiteral("OS - Tarvo Vodevuru"));
}

void TstTOrdemservForm::init()
{
    m_db = std::make_unique<TFbTestDb>();
    QVERIFY2(m_db->IsValid(), qPrintable(m_db->Error()));
    m_dm = m_db->MakeDM();
    m_messages = std::make_unique<TMessageRecorder>();
    AddClient({1, QStringLiteral("ANA SILVA")});
    AddClient({2, QStringLiteral("BRUNO")});
    AddOrder(40, 1);
    AddOrder(41, 2);
    Exec(QStringLiteral("update ordemserv set situacao='Não Atendido', valortot=134.5 where idordem=40"));
    ListAllClients();   // ANA SILVA current
    DM->OrdensQuery->Close();
    DM->OrdensQuery->SetSQL(QStringLiteral("select * from ordemserv where idcliente=1"));
    DM->OrdensQuery->Open();
    m_printed.clear();
    TScreenLinks::PrintOrder = [this](int id) { m_printed << id; };
    TScreenLinks::PickClient = [](QWidget *parent) { TClientesForm2::Pick(parent); };
    m_form = new TOrdemservForm;
}

void TstTOrdemservForm::cleanup()
{
    if (m_form)
        m_form->setAttribute(Qt::WA_DeleteOnClose, false);
    delete m_form;
    TScreenLinks::PrintOrder = {};
    TScreenLinks::PickClient = {};
    m_messages.reset();
    m_dm.reset();
    m_db.reset();
}

void TstTOrdemservForm::ShowForm()
{
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void TstTOrdemservForm::Press(int key)
{
    QWidget *target = QApplication::focusWidget();
    if (!target || target->window() != m_form)
        target = m_form;
    QTest::keyClick(target, Qt::Key(key));
}

void TstTOrdemservForm::Type(QWidget *editor, const QString &text)
{
    editor->setFocus();
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        line->selectAll();
    // Character by character as a keyboard sends them, accents included.
    for (QChar c : text) {
        const Qt::Key key = c.unicode() < 128 ? Qt::Key(QTest::asciiToKey(char(c.unicode())))
                                              : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, editor, key, QString(c), Qt::NoModifier);
    }
}

double TstTOrdemservForm::Number(const QString &sql)
{
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(sql);
    q->Open();
    const double v = q->Field(0)->AsFloat();
    q->Close();
    return v;
}

void TstTOrdemservForm::captionsColumnsAndTabOrder()
{
    TOrdemservForm *f = m_form;
    QCOMPARE(f->windowTitle(), QStringLiteral("Ordem de Serviço"));
    QCOMPARE(f->StatusPanel->text(),
             QStringLiteral("F1 - Cadastrar OS | F2 - Editar OS | F3 - Excluir OS | F4 - Imprimir OS | "
                            "ESC - Fechar Janela"));
    QCOMPARE(f->GroupBox1->title(), QStringLiteral("Dados de Entrada"));
    QCOMPARE(f->GroupBox2->title(), QStringLiteral("Dados do Fechamento"));
    QCOMPARE(f->SpeedButton1->text(), QStringLiteral("..."));
    const QList<QPair<TBitBtn *, QString>> buttons{
        {f->BitBtn1, QStringLiteral("Cadastrar OS")}, {f->BitBtn2, QStringLiteral("Editar OS")},
        {f->BitBtn3, QStringLiteral("Excluir OS")},   {f->BitBtn4, QStringLiteral("Imprimir OS")},
        {f->BitBtn5, QStringLiteral("Gravar [F5]")},  {f->BitBtn6, QStringLiteral("Cancelar [F6]")}};
    for (const auto &[button, caption] : buttons) {
        QCOMPARE(button->text(), caption);
        QVERIFY(!button->icon().isNull());
    }
    // Every editor's caption and column.
    const QList<QPair<QWidget *, QString>> captions{
        {f->DBEdit1, "Código"}, {f->DBEdit2, "Nome do Cliente"}, {f->DBEdit3, "Número da OS"},
        {f->DBEdit4, "Descrição do Produto"}, {f->DBEdit5, "Solicitante"},
        {f->DBEdit6, "Data de Cadastro"}, {f->DBEdit7, "Prazo de Entrega: Data - Hora"},
        {f->DBMemo1, "Anotações Gerais"}, {f->DBComboBox1, "Situação"},
        {f->DBMemo2, "Reparos / Manutenção"}, {f->DBEdit8, "Técnico Responsável"},
        {f->DBEdit9, "Data de Saída"}, {f->DBEdit10, "Valor do Serviço"}, {f->DBEdit11, "Juros"},
        {f->DBEdit12, "Desconto"}, {f->DBEdit13, "Valor Total"}};
    for (const auto &[editor, caption] : captions) {
        bool found = false;
        for (QLabel *l : f->findChildren<QLabel *>())
            found = found || (l->buddy() == editor && l->text() == caption);
        QVERIFY2(found, qPrintable(caption));
    }
    QCOMPARE(f->DBEdit4->maxLength(), 100);
    QCOMPARE(f->DBEdit3->maxLength(), 10);
    QCOMPARE(f->DBEdit7->maxLength(), 20);
    QCOMPARE(f->DBComboBox1->count(), 3);
    QCOMPARE(f->DBComboBox1->itemText(0), QStringLiteral("Não Atendido"));
    QCOMPARE(f->DBComboBox1->itemText(2), QStringLiteral("Concluído"));
    QVERIFY(!f->DBComboBox1->isEditable());

    const QAbstractItemModel *model = f->DBGrid1->model();
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles.join(QLatin1Char('|')),
             QStringLiteral("Número SO|Descrição|Solicitante|Data de Cadastro|Valor Total"));
    QCOMPARE(f->DBGrid1->columnWidth(1), 300);
    QCOMPARE(f->DBGrid1->columnWidth(2), 250);
    // Plain text in the grid: 134,5 and not the currency form.
    QCOMPARE(model->index(0, 4).data().toString(), QStringLiteral("134,5"));

    // The tab order, with the closing half's own order of its editors.
    f->BitBtn1Click();
    QList<QWidget *> chain;
    QWidget *w = f->DBEdit2;
    const QList<QWidget *> expected{f->DBEdit2, f->DBGrid1, f->DBMemo2, f->DBEdit8, f->DBEdit10,
                                    f->DBEdit12, f->DBEdit11, f->DBEdit13, f->DBEdit9, f->BitBtn5,
                                    f->BitBtn6, f->BitBtn1, f->BitBtn2, f->BitBtn3, f->BitBtn4,
                                    f->DBEdit3, f->DBEdit4, f->DBEdit5, f->DBEdit6, f->DBEdit7,
                                    f->DBMemo1, f->DBComboBox1};
    for (int i = 0; i < expected.size(); ++i) {
        chain << w;
        do
            w = w->nextInFocusChain();
        while (!expected.contains(w) && w != f->DBEdit2);
    }
    QCOMPARE(chain, expected);
    f->BitBtn6Click();
}

void TstTOrdemservForm::browsingAndEntryArrangements()
{
    TOrdemservForm *f = m_form;
    const QList<QWidget *> orderEditors{f->DBEdit4, f->DBEdit5, f->DBEdit6, f->DBEdit7, f->DBMemo1,
                                        f->DBComboBox1, f->DBMemo2, f->DBEdit8, f->DBEdit9,
                                        f->DBEdit10, f->DBEdit11, f->DBEdit12, f->DBEdit13};
    for (bool entry : {false, true, false}) {
        if (entry)
            f->BitBtn2Click();
        else if (f->InEntry())
            f->BitBtn6Click();
        QCOMPARE(f->InEntry(), entry);
        QCOMPARE(f->GroupBox1->isEnabled(), entry);
        QCOMPARE(f->GroupBox2->isEnabled(), entry);
        for (QWidget *e : orderEditors)
            QVERIFY2(TEditorLook::IsOpen(e) == entry, qPrintable(e->objectName()));
        QVERIFY(!TEditorLook::IsOpen(f->DBEdit3));   // "Número da OS" never
        for (QWidget *b : {static_cast<QWidget *>(f->BitBtn1), static_cast<QWidget *>(f->BitBtn2),
                           static_cast<QWidget *>(f->BitBtn3), static_cast<QWidget *>(f->BitBtn4),
                           static_cast<QWidget *>(f->DBGrid1)})
            QCOMPARE(b->isEnabled(), !entry);
        QCOMPARE(f->BitBtn5->isEnabled(), entry);
        QCOMPARE(f->BitBtn6->isEnabled(), entry);
        // The client stays as it is in both.
        QVERIFY(!f->DBEdit1->isEnabled());
        QCOMPARE(f->DBEdit1->palette().color(QPalette::Active, QPalette::Base), TEditorLook::Grey());
        QVERIFY(!TEditorLook::IsOpen(f->DBEdit2));
        QVERIFY(f->DBEdit2->isEnabled() && f->DBEdit2->isReadOnly());
        QVERIFY(f->SpeedButton1->isEnabled());
    }
}

void TstTOrdemservForm::newOrderDefaults()
{
    ShowForm();
    Press(Qt::Key_F1);
    TFbQuery *q = DM->OrdensQuery;
    QCOMPARE(q->State(), TFbQuery::dsInsert);
    QCOMPARE(DM->OrdensQueryIDORDEM->AsInteger(), 42);   // highest was 41 (another client's)
    QCOMPARE(DM->OrdensQueryNORDEM->AsString(), QStringLiteral("000042"));
    QCOMPARE(m_form->DBEdit3->text(), QStringLiteral("000042"));
    QCOMPARE(DM->OrdensQueryJUROS->AsString(), QStringLiteral("0"));
    QCOMPARE(DM->OrdensQueryDESCONTO->AsString(), QStringLiteral("0"));
    QCOMPARE(DM->OrdensQueryDATACAD->AsDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
    QVERIFY(DM->OrdensQuerySITUACAO->IsNull());
    QCOMPARE(m_form->DBComboBox1->currentIndex(), -1);
    QVERIFY(DM->OrdensQueryVALOR->IsNull());
    QVERIFY(m_form->InEntry());
    QCOMPARE(QApplication::focusWidget(), m_form->DBEdit4);
    QCOMPARE(TOrdemservForm::OrderNumber(1), QStringLiteral("000001"));
    QCOMPARE(TOrdemservForm::OrderNumber(123456), QStringLiteral("123456"));
    QCOMPARE(TOrdemservForm::OrderNumber(1234567), QStringLiteral("1234567"));
}

void TstTOrdemservForm::savedTotal_data()
{
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("juros");     // "" leaves the editor as it comes (0)
    QTest::addColumn<QString>("desconto");
    QTest::addColumn<bool>("enterTotal");
    QTest::addColumn<qint64>("totalUnits");
    QTest::newRow("example, total entered") << "150,00" << "10,00" << "25,50" << true << qint64(1345000);
    QTest::newRow("example, saved at once") << "150,00" << "10,00" << "25,50" << false << qint64(1345000);
    QTest::newRow("grouped value") << "1.234,50" << "" << "" << false << qint64(12345000);
    // Amounts are typed with at most two decimals (a third is refused, see
    // the money editor's tests); the sums stay exact in centavos.
    QTest::newRow("centavos") << "0,12" << "0,01" << "0,02" << true << qint64(1100);
    QTest::newRow("large without drift") << "99.999.999.998,99" << "1,01" << "0,01" << false
                                         << qint64(999999999999900);
    QTest::newRow("tenths") << "0,1" << "0,2" << "0,3" << false << qint64(0);
}

void TstTOrdemservForm::savedTotal()
{
    QFETCH(QString, valor);
    QFETCH(QString, juros);
    QFETCH(QString, desconto);
    QFETCH(bool, enterTotal);
    QFETCH(qint64, totalUnits);
    ShowForm();
    Press(Qt::Key_F1);
    Type(m_form->DBEdit4, QStringLiteral("Liquidificador"));
    Type(m_form->DBEdit10, valor);
    if (!juros.isEmpty())
        Type(m_form->DBEdit11, juros);
    if (!desconto.isEmpty())
        Type(m_form->DBEdit12, desconto);
    if (enterTotal) {
        m_form->DBEdit13->setFocus();
        QCOMPARE(m_form->DBEdit13->text(), TMoney::FromUnits(totalUnits).EditText());
    }
    // F5 with the focus still in a money editor: its text counts.
    Press(Qt::Key_F5);
    QCOMPARE(m_messages->Texts(), QStringList());
    QVERIFY(!m_form->InEntry());
    const double stored = Number(QStringLiteral("select valortot from ordemserv where idordem=42"));
    QCOMPARE(TMoney::FromDouble(stored)->Units(), totalUnits);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idordem=42 and idcliente=1 "
                                  "and nordem='000042' and descricao='Liquidificador'")),
             1);
}

void TstTOrdemservForm::amountRefusedKeepsOrderPending_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << "abc" << "não é um valor válido";   // letters beep: nothing typed
    QTest::newRow("three commas") << "1,2,3" << "'1,2,3' não é um valor válido";
    QTest::newRow("too large") << "1e15" << "fora do limite";
    QTest::newRow("negative") << "-100" << "não pode ser negativo";
}

void TstTOrdemservForm::amountRefusedKeepsOrderPending()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    ShowForm();
    Press(Qt::Key_F1);
    Type(m_form->DBEdit4, QStringLiteral("Televisão"));
    Type(m_form->DBEdit10, typed);
    if (m_form->DBEdit10->text().isEmpty()) {
        // Nothing of it could be typed; paste it as a user could.
        m_form->DBEdit10->insert(typed);
        QCOMPARE(m_form->DBEdit10->text(), typed);
        emit m_form->DBEdit10->textEdited(typed);
    }
    Press(Qt::Key_F5);
    QVERIFY(!m_messages->Texts().isEmpty());
    QVERIFY2(m_messages->Last().text.contains(message), qPrintable(m_messages->Last().text));
    // Nothing lost: the order is still being entered, with what was typed.
    QVERIFY(m_form->InEntry());
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Televisão"));
    QCOMPARE(m_form->DBEdit10->text(), typed);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idordem=42")), 0);
    // Corrected, it saves.
    Type(m_form->DBEdit10, QStringLiteral("99,90"));
    Press(Qt::Key_F5);
    QVERIFY(!m_form->InEntry());
    QCOMPARE(Number(QStringLiteral("select valortot from ordemserv where idordem=42")), 99.9);
}

// F1 for ANA SILVA; another computer deletes her with her orders; F5 used
// to store the order for a client no screen can reach.
void TstTOrdemservForm::orderForClientDeletedElsewhereStaysTyped()
{
    ShowForm();
    Press(Qt::Key_F1);
    Type(m_form->DBEdit4, QStringLiteral("Rádio"));
    {
        std::unique_ptr<TDM> other = m_db->MakeDM();   // a second attachment, as another computer
        for (const char *sql : {"delete from ordemserv where idcliente=1", "delete from clientes where idcliente=1"}) {
            other->AuxQuery->SetSQL(QLatin1String(sql));
            other->AuxQuery->Execute();
        }
    }
    Press(Qt::Key_F5);
    QCOMPARE(m_messages->Count(), 1);
    QCOMPARE(m_messages->Last().icon, TMessages::Error);
    QCOMPARE(m_messages->Last().text, TDmSharedAccess::OrderClientGoneMessage());
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idcliente=1")), 0);
    // Still typed, for the clerk to read or cancel.
    QVERIFY(m_form->InEntry());
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Rádio"));
    Press(Qt::Key_F6);
    QVERIFY(!m_form->InEntry());
    QVERIFY(!DM->OrdensQuery->UpdatesPending());
}

void TstTOrdemservForm::emptyDescriptionKeepsEntry()
{
    ShowForm();
    Press(Qt::Key_F1);
    Type(m_form->DBEdit5, QStringLiteral("Maria"));
    Press(Qt::Key_F5);
    QCOMPARE(m_messages->Texts(), QStringList{QStringLiteral("Descrição do Produto não pode estar em branco!")});
    QCOMPARE(m_messages->Last().icon, TMessages::NoIcon);
    QVERIFY(m_form->InEntry());
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
    QCOMPARE(DM->OrdensQuerySOLICITANTE->AsString(), QStringLiteral("Maria"));
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), 2);
}

void TstTOrdemservForm::keysWhileBrowsing()
{
    ShowForm();
    m_form->DBGrid1->setFocus();
    for (int key : {Qt::Key_F5, Qt::Key_F6}) {
        Press(key);
        QVERIFY(!m_form->InEntry());
        QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsBrowse);
    }
    QCOMPARE(m_messages->Count(), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), 2);
    Press(Qt::Key_F2);
    QVERIFY(m_form->InEntry());
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsEdit);
    Press(Qt::Key_F6);
    QVERIFY(!m_form->InEntry());
    Press(Qt::Key_F4);
    QCOMPARE(m_printed, QList<int>{40});
}

void TstTOrdemservForm::newOrEditKeysDoNothingDuringEntry()
{
    ShowForm();
    Press(Qt::Key_F1);
    Type(m_form->DBEdit5, QStringLiteral("sem descrição"));
    for (int key : {Qt::Key_F1, Qt::Key_F2}) {
        Press(key);
        QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
        QCOMPARE(DM->OrdensQueryIDORDEM->AsInteger(), 42);
        QCOMPARE(DM->OrdensQuerySOLICITANTE->AsString(), QStringLiteral("sem descrição"));
    }
    QCOMPARE(m_messages->Count(), 0);
    // Nothing was written past the description check.
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), 2);
}

void TstTOrdemservForm::cancelGivesUpTheOrder()
{
    ShowForm();
    m_form->BitBtn2->click();
    Type(m_form->DBEdit4, QStringLiteral("mudado"));
    Press(Qt::Key_F6);
    QVERIFY(!m_form->InEntry());
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Item 40"));
    QCOMPARE(Text(QStringLiteral("select descricao from ordemserv where idordem=40")), QStringLiteral("Item 40"));
}

void TstTOrdemservForm::secondScreenLeavesThePendingOrderAlone()
{
    ShowForm();
    TOrdemservForm other;
    Press(Qt::Key_F1);
    Type(m_form->DBEdit4, QStringLiteral("Micro-ondas"));
    // The other screen neither starts an order nor deletes one, nor lets its
    // grid move the dataset, while this one is entering.
    QVERIFY(!other.DBGrid1->isEnabled());
    other.BitBtn1Click();
    other.BitBtn2Click();
    m_messages->QueueAnswer(TMessages::Yes);
    other.BitBtn3Click();
    // One refusal, one wording: the one every other screen shows for it.
    QCOMPARE(m_messages->Texts(),
             QStringList(3, QStringLiteral("Termine ou cancele a OS em edição na tela Ordem de Serviço.")));
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Micro-ondas"));
    Press(Qt::Key_F5);
    QVERIFY(other.DBGrid1->isEnabled());
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where descricao='Micro-ondas'")), 1);
}

void TstTOrdemservForm::closingDuringEntryAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("byEsc");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("orders");   // in the database afterwards
    QTest::newRow("yes saves and closes") << int(TMessages::Yes) << true << "Rádio" << true << 3;
    QTest::newRow("yes refused stays open") << int(TMessages::Yes) << false << "" << false << 2;
    QTest::newRow("no cancels and closes") << int(TMessages::No) << false << "Rádio" << true << 2;
    QTest::newRow("cancel stays open") << int(TMessages::Cancel) << true << "Rádio" << false << 2;
}

void TstTOrdemservForm::closingDuringEntryAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, byEsc);
    QFETCH(QString, description);
    QFETCH(bool, closed);
    QFETCH(int, orders);
    ShowForm();
    Press(Qt::Key_F1);
    if (!description.isEmpty())
        Type(m_form->DBEdit4, description);
    m_messages->QueueAnswer(answer);
    if (byEsc)
        Press(Qt::Key_Escape);
    else
        m_form->close();
    QCOMPARE(m_messages->Boxes().first().text, QStringLiteral("Deseja gravar a OS?"));
    QCOMPARE(m_messages->Boxes().first().buttons, int(TMessages::YesNoCancel));
    QCOMPARE(m_form.isNull() || !m_form->isVisible(), closed);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), orders);
    if (closed) {
        // Nothing left pending in the shared dataset.
        QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsBrowse);
        QVERIFY(!DM->OrdensQuery->UpdatesPending());
    } else {
        QVERIFY(m_form->InEntry());
        QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
    }
}

void TstTOrdemservForm::orderKeepsItsClient_data()
{
    QTest::addColumn<bool>("newOrder");
    QTest::newRow("edited") << false;
    QTest::newRow("registered") << true;
}

void TstTOrdemservForm::orderKeepsItsClient()
{
    QFETCH(bool, newOrder);
    ShowForm();
    Press(newOrder ? Qt::Key_F1 : Qt::Key_F2);
    Type(m_form->DBEdit4, QStringLiteral("Ventilador"));
    // A client list elsewhere cannot move the shared client dataset meanwhile.
    QVERIFY_THROWS_EXCEPTION(EFbError, DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 2));
    QCOMPARE(m_form->DBEdit2->text(), QStringLiteral("ANA SILVA"));
    Press(Qt::Key_F5);
    QVERIFY(!m_form->InEntry());
    const int id = newOrder ? 42 : 40;
    QCOMPARE(Count(QStringLiteral("select idcliente from ordemserv where idordem=%1").arg(id)), 1);
}

void TstTOrdemservForm::clientListRowStaysUnderPendingOrder_data()
{
    QTest::addColumn<bool>("newOrder");
    QTest::newRow("registered") << true;
    QTest::newRow("edited") << false;
}

// F1 (or F2) on the order screen, typing, then a click on another client's
// row in the client list: the order screen showed that client above the
// order being typed, and the next F1 would have been for that client. The
// click is refused as every other action on the client is.
void TstTOrdemservForm::clientListRowStaysUnderPendingOrder()
{
    QFETCH(bool, newOrder);
    ShowForm();
    Press(newOrder ? Qt::Key_F1 : Qt::Key_F2);
    Type(m_form->DBEdit4, QStringLiteral("Ventilador"));
    TListaClientesForm list;
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    TDBGrid *grid = list.DBGrid1;
    QCOMPARE(DM->ClientesQueryNOME->AsString(), QStringLiteral("ANA SILVA"));
    const int anaRow = DM->ClientesQuery->RecNo();
    const int brunoRow = anaRow == 0 ? 1 : 0;
    const QRect bruno = grid->visualRect(grid->model()->index(brunoRow, 1));
    QVERIFY(bruno.isValid());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, bruno.center());
    QCOMPARE(m_messages->Texts(),
             QStringList{QStringLiteral("Termine ou cancele a OS em edição na tela Ordem de Serviço.")});
    QCOMPARE(DM->ClientesQuery->RecNo(), anaRow);
    QCOMPARE(grid->currentIndex().row(), anaRow);
    QCOMPARE(m_form->DBEdit2->text(), QStringLiteral("ANA SILVA"));
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Ventilador"));
    // The keys of the list are refused the same way.
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(DM->ClientesQuery->RecNo(), anaRow);
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    Press(Qt::Key_F5);
    QVERIFY(!m_form->InEntry());
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where descricao='Ventilador' and idcliente=1")), 1);
    // Once saved, the list moves again.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, bruno.center());
    QCOMPARE(DM->ClientesQueryNOME->AsString(), QStringLiteral("BRUNO"));
}

// Valor 100 and Desconto 150 stored a total of -50.
void TstTOrdemservForm::discountPastTotalRefusedKeepsOrder()
{
    ShowForm();
    Press(Qt::Key_F1);
    Type(m_form->DBEdit4, QStringLiteral("Geladeira"));
    Type(m_form->DBEdit10, QStringLiteral("100"));
    Type(m_form->DBEdit12, QStringLiteral("150"));
    Press(Qt::Key_F5);
    QCOMPARE(m_messages->Count(), 1);
    QVERIFY2(m_messages->Last().text.contains(QStringLiteral("ficaria negativo")), qPrintable(m_messages->Last().text));
    QVERIFY(m_form->InEntry());
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Geladeira"));
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where descricao='Geladeira'")), 0);
    // A discount up to the whole amount is taken.
    Type(m_form->DBEdit12, QStringLiteral("100"));
    Press(Qt::Key_F5);
    QVERIFY(!m_form->InEntry());
    QCOMPARE(Number(QStringLiteral("select valortot from ordemserv where descricao='Geladeira'")), 0.0);
}

void TstTOrdemservForm::clientNameIsReadOnly()
{
    ShowForm();
    TDBEdit *name = m_form->DBEdit2;
    QCOMPARE(name->text(), QStringLiteral("ANA SILVA"));
    QVERIFY(name->isEnabled());
    QVERIFY(name->isReadOnly());
    // It looked open (white) and took no typing: it looks locked now.
    QCOMPARE(name->palette().color(QPalette::Active, QPalette::Base), TEditorLook::Grey());
    name->setFocus();
    name->selectAll();
    Type(name, QStringLiteral("X"));
    QCOMPARE(name->selectedText(), QStringLiteral("ANA SILVA"));
    QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(DM->ClientesQueryNOME->AsString(), QStringLiteral("ANA SILVA"));
}

void TstTOrdemservForm::checksWithoutClientOrOrder_data()
{
    QTest::addColumn<QString>("clientName");   // "" moves to a client without name
    QTest::addColumn<bool>("withOrders");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("message");
    const QString select = QStringLiteral("Selecione um Cliente!");
    const QString none = QStringLiteral("O Cliente não possui nenhuma OS cadastrada!");
    for (int key : {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4})
        QTest::newRow(qPrintable(QStringLiteral("no name, F%1").arg(key - Qt::Key_F1 + 1)))
            << "" << true << key << select;
    for (int key : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4})
        QTest::newRow(qPrintable(QStringLiteral("no orders, F%1").arg(key - Qt::Key_F1 + 1)))
            << "ANA SILVA" << false << key << none;
}

void TstTOrdemservForm::checksWithoutClientOrOrder()
{
    QFETCH(QString, clientName);
    QFETCH(bool, withOrders);
    QFETCH(int, key);
    QFETCH(QString, message);
    if (clientName.isEmpty()) {
        Exec(QStringLiteral("update clientes set nome=null where idcliente=1"));
        ListAllClients();
        DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 1);
    }
    if (!withOrders) {
        DM->OrdensQuery->Close();
        DM->OrdensQuery->SetSQL(QStringLiteral("select * from ordemserv where idcliente=3"));
        DM->OrdensQuery->Open();
    }
    ShowForm();
    m_form->DBGrid1->setFocus();
    Press(key);
    QCOMPARE(m_messages->Texts(), QStringList{message});
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsBrowse);
    QVERIFY(!m_form->InEntry());
    QVERIFY(m_printed.isEmpty());
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), 2);
}

void TstTOrdemservForm::deleteAsksWithOrderNumber()
{
    ShowForm();
    Press(Qt::Key_F3);
    QCOMPARE(m_messages->Count(), 1);
    const TMessageBoxRequest box = m_messages->Last();
    QCOMPARE(box.caption, QStringLiteral("Excluir Cliente"));
    QCOMPARE(box.text, QStringLiteral("Deseja excluir a OS [ 000040 ] ?"));
    QCOMPARE(box.buttons, int(TMessages::YesNo));
    QCOMPARE(box.icon, TMessages::Warning);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idordem=40")), 1);   // No
    m_messages->QueueAnswer(TMessages::Yes);
    m_form->BitBtn3->click();
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idordem=40")), 0);
    QVERIFY(DM->OrdensQuery->IsEmpty());
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), 1);
}

void TstTOrdemservForm::printHandsTheOrderToThePrinter()
{
    AddOrder(43, 1);
    DM->OrdensQuery->Close();
    DM->OrdensQuery->Open();
    ShowForm();
    DM->OrdensQuery->Locate(QStringLiteral("IDORDEM"), 43);
    m_form->BitBtn4->click();
    QCOMPARE(m_printed, QList<int>{43});
    Press(Qt::Key_F4);
    QCOMPARE(m_printed, (QList<int>{43, 43}));
    // Without a printer set, printing does nothing.
    TScreenLinks::PrintOrder = {};
    m_form->BitBtn4->click();
    QCOMPARE(m_printed.size(), 2);
    QCOMPARE(m_messages->Count(), 0);
}

void TstTOrdemservForm::pickerReloadsOrdersButNotDuringEntry()
{
    ShowForm();
    OnModal([](QDialog *d) {
        auto *picker = qobject_cast<TClientesForm2 *>(d);
        QVERIFY(picker);
        DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 2);
        picker->BitBtn1->click();
    });
    m_form->SpeedButton1->click();
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ordemserv where idcliente=2"));
    QCOMPARE(DM->OrdensQuery->RecordCount(), 1);
    QCOMPARE(DM->OrdensQueryIDORDEM->AsInteger(), 41);
    QCOMPARE(m_form->DBEdit2->text(), QStringLiteral("BRUNO"));

    // During entry the picker would drop the pending order: it refuses.
    Press(Qt::Key_F1);
    Type(m_form->DBEdit4, QStringLiteral("Forno"));
    OnModal([](QDialog *d) { d->reject(); }, 20);
    m_form->SpeedButton1->click();
    QTest::qWait(300);   // lets the look-out give up: no picker may show
    QCOMPARE(m_messages->Count(), 1);
    QCOMPARE(m_messages->Last().text, QStringLiteral("Termine ou cancele a OS em edição na tela Ordem de Serviço."));
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Forno"));
    Press(Qt::Key_F5);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where idcliente=2")), 2);
}

void TstTOrdemservForm::dateFormatSetOnLeavingDateEditors()
{
    ShowForm();
    Press(Qt::Key_F2);
    for (TDBEdit *e : {m_form->DBEdit6, m_form->DBEdit9}) {
        TFbField *field = DM->OrdensQuery->FieldByName(e->Link()->FieldName());
        QCOMPARE(field->DisplayFormat(), QString());
        e->setFocus();
        m_form->DBEdit4->setFocus();
        QCOMPARE(field->DisplayFormat(), QStringLiteral("dd/mm/yyyy"));
    }
    Press(Qt::Key_F6);
}

namespace {
// Whether the rectangle of the image holds a pixel of exactly this colour.
bool Holds(const QImage &image, const QRect &rect, const QColor &colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (QColor(image.pixel(x, y)) == colour)
                return true;
    return false;
}
} // namespace

void TstTOrdemservForm::gridColoursByStatusOnScreen()
{
    const QStringList statuses{QStringLiteral("Não Atendido"), QStringLiteral("Em Andamento"),
                               QStringLiteral("Concluído"), QStringLiteral("concluído"), QString()};
    Exec(QStringLiteral("delete from ordemserv"));
    for (int i = 0; i < statuses.size(); ++i) {
        AddOrder(i + 1, 1);
        if (!statuses.at(i).isNull())
            Exec(QStringLiteral("update ordemserv set situacao=%1 where idordem=%2").arg(Quoted(statuses.at(i))).arg(i + 1));
    }
    DM->OrdensQuery->Close();
    DM->OrdensQuery->SetSQL(QStringLiteral("select * from ordemserv where idcliente=1 order by idordem"));
    DM->OrdensQuery->Open();
    ShowForm();
    TDBGrid *grid = m_form->DBGrid1;
    grid->setCurrentIndex(grid->model()->index(2, 0));   // "Concluído" selected
    const QColor own = grid->palette().color(QPalette::Active, QPalette::Text);
    const QList<QColor> expected{QColor(255, 0, 0), QColor(0, 128, 0), QColor(128, 128, 128), own, own};
    for (int row = 0; row < expected.size(); ++row) {
        QCOMPARE(grid->RowTextColor(row), expected.at(row));
        grid->scrollTo(grid->model()->index(row, 1));
        const QImage image = grid->viewport()->grab().toImage();
        const QRect cell = grid->visualRect(grid->model()->index(row, 1)).intersected(image.rect());
        QVERIFY2(Holds(image, cell, expected.at(row)), qPrintable(QString::number(row)));
        const QColor ground = row == 2 ? TRowColors::SkyBlue() : grid->palette().color(QPalette::Active, QPalette::Base);
        QCOMPARE(QColor(image.pixel(cell.right() - 3, cell.bottom() - 1)), ground);
    }
}

void TstTOrdemservForm::statusListPaintedWithHighlightOnWhite()
{
    ShowForm();
    Press(Qt::Key_F2);
    TDBComboBox *box = m_form->DBComboBox1;
    QCOMPARE(box->currentIndex(), 0);   // "Não Atendido" of order 40
    const QList<QColor> colours{QColor(255, 0, 0), QColor(0, 128, 0), QColor(128, 128, 128)};
    for (int i = 0; i < 3; ++i) {
        for (bool highlighted : {false, true}) {
            QImage image(160, 18, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter painter(&image);
            painter.setFont(box->font());
            box->PaintItem(&painter, image.rect(), i, highlighted);
            painter.end();
            // The highlighted item on white, the others on the list's ground.
            const QColor ground = highlighted ? QColor(255, 255, 255)
                                              : box->palette().color(QPalette::Active, QPalette::Base);
            QCOMPARE(QColor(image.pixel(155, 16)), ground);
            QVERIFY(Holds(image, image.rect(), colours.at(i)));
        }
    }
    // Choosing an item writes its text; the closed box shows it in its colour.
    box->setFocus();
    box->setCurrentIndex(2);
    emit box->activated(2);
    QCOMPARE(DM->OrdensQuerySITUACAO->AsString(), QStringLiteral("Concluído"));
    const QImage closed = box->grab().toImage();
    QVERIFY(Holds(closed, closed.rect(), QColor(128, 128, 128)));
    Press(Qt::Key_F5);
    QCOMPARE(Text(QStringLiteral("select situacao from ordemserv where idordem=40")), QStringLiteral("Concluído"));
}

void TstTOrdemservForm::openedFromMainWindowWithClientsOrders()
{
    TPrincipalForm principal;
    principal.SetScreenFactory(TPrincipalForm::Screen::Orders, [](QWidget *owner) { return new TOrdemservForm(owner); });
    DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 2);
    bool loadedBeforeShown = false;
    // The screen shows the client's orders from its first paint on.
    principal.OrdemdeServio1Click();
    TOrdemservForm *opened = principal.findChild<TOrdemservForm *>();
    QVERIFY(opened);
    loadedBeforeShown = DM->OrdensQuery->SQLText() == QStringLiteral("select * from ordemserv where idcliente=2");
    QVERIFY(loadedBeforeShown);
    QVERIFY(opened->isVisible());
    QCOMPARE(opened->DBGrid1->model()->rowCount(), 1);
    QCOMPARE(opened->DBEdit2->text(), QStringLiteral("BRUNO"));
    delete opened;
}

// The order being typed on one screen was moved to another order, or lost
// with its client, by what other screens did with the shared client and
// order datasets. Each row: how the order is pending (F1 new, F2 edit) and
// an action on another screen. The action is refused with the message that
// names this screen, the order stays as typed, the database is unchanged,
// and F5 then saves it where it belongs.
void TstTOrdemservForm::pendingOrderRedirectedByAnotherScreen_data()
{
    QTest::addColumn<bool>("newOrder");
    QTest::addColumn<QString>("action");
    for (const char *action : {"menu: second order screen", "menu: client list", "client list: search",
                                  "client list: delete the order's client"}) {
        QTest::newRow(qPrintable(QStringLiteral("F1, ") + action)) << true << QString::fromUtf8(action);
        QTest::newRow(qPrintable(QStringLiteral("F2, ") + action)) << false << QString::fromUtf8(action);
    }
}

void TstTOrdemservForm::pendingOrderRedirectedByAnotherScreen()
{
    QFETCH(bool, newOrder);
    QFETCH(QString, action);
    TPrincipalForm principal;
    principal.SetScreenFactory(TPrincipalForm::Screen::Orders, [](QWidget *owner) { return new TOrdemservForm(owner); });
    principal.SetScreenFactory(TPrincipalForm::Screen::ClientList, [](QWidget *owner) { return new TListaClientesForm(owner); });
    TListaClientesForm clients;
    ShowForm();
    Press(newOrder ? Qt::Key_F1 : Qt::Key_F2);
    Type(m_form->DBEdit4, QStringLiteral("Geladeira"));
    const QString database = Text(QStringLiteral("select (select count(*) from clientes) || '|' || (select list(descricao) from ordemserv)"
                                                 " || '|' || (select count(*) from ordemserv) from rdb$database"));
    const QString ordersSql = DM->OrdensQuery->SQLText();
    const QString clientsSql = DM->ClientesQuery->SQLText();
    m_messages->Clear();

    if (action == QLatin1String("menu: second order screen")) {
        principal.OrdemdeServio1->trigger();
    } else if (action == QLatin1String("menu: client list")) {
        principal.ListadeClientes1->trigger();
    } else if (action == QLatin1String("client list: search")) {
        clients.Edit1->setText(QStringLiteral("BRUNO"));
        clients.BitBtn1->click();
    } else {
        m_messages->QueueAnswer(TMessages::Yes);
        clients.BitBtn4->click();
    }

    const QString message = QStringLiteral("Termine ou cancele a OS em edição na tela Ordem de Serviço.");
    QVERIFY2(m_messages->Texts().contains(message), qPrintable(m_messages->Texts().join(" / ")));
    QCOMPARE(principal.findChildren<TOrdemservForm *>().size(), 0);
    QCOMPARE(DM->OrdensQuery->State(), newOrder ? TFbQuery::dsInsert : TFbQuery::dsEdit);
    QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Geladeira"));
    QCOMPARE(DM->ClientesQueryIDCLIENTE->AsInteger(), 1);
    QCOMPARE(DM->OrdensQuery->SQLText(), ordersSql);
    QCOMPARE(DM->ClientesQuery->SQLText(), clientsSql);
    QCOMPARE(Text(QStringLiteral("select (select count(*) from clientes) || '|' || (select list(descricao) from ordemserv)"
                                 " || '|' || (select count(*) from ordemserv) from rdb$database")), database);

    Press(Qt::Key_F5);
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where descricao='Geladeira' and idcliente=1")
                   + (newOrder ? QString() : QStringLiteral(" and idordem=40"))), 1);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), newOrder ? 3 : 2);
}

// Quitting ("Sair" or the main window's close box) while an order is being
// typed asks as the order screen's Esc does: Yes saves it, No drops it,
// Cancel keeps the program and the order as they are.
void TstTOrdemservForm::pendingOrderOnQuit_data()
{
    QTest::addColumn<bool>("sair");
    QTest::addColumn<int>("answer");
    for (bool sair : {true, false}) {
        const char *how = sair ? "Sair" : "close box";
        QTest::newRow(qPrintable(QString("%1, Yes").arg(how))) << sair << int(TMessages::Yes);
        QTest::newRow(qPrintable(QString("%1, No").arg(how))) << sair << int(TMessages::No);
        QTest::newRow(qPrintable(QString("%1, Cancel").arg(how))) << sair << int(TMessages::Cancel);
    }
}

void TstTOrdemservForm::pendingOrderOnQuit()
{
    QFETCH(bool, sair);
    QFETCH(int, answer);
    TPrincipalForm principal;
    principal.SetScreenFactory(TPrincipalForm::Screen::Orders, [](QWidget *owner) { return new TOrdemservForm(owner); });
    principal.SetScreenFactory(TPrincipalForm::Screen::ClientList,
                               [](QWidget *owner) { return new TListaClientesForm(owner); });
    // The clerk's client list, opened before the order screen: Sair closed
    // it before the order screen asked, and after Cancel it was gone.
    principal.ListadeClientes1Click();
    QPointer<TListaClientesForm> list = principal.findChild<TListaClientesForm *>();
    QVERIFY(list);
    principal.OrdemdeServio1Click();
    QPointer<TOrdemservForm> screen = principal.findChild<TOrdemservForm *>();
    QVERIFY(screen);
    screen->BitBtn1Click();
    Type(screen->DBEdit4, QStringLiteral("Ventilador"));
    QSignalSpy closed(&principal, &TPrincipalForm::closed);
    m_messages->Clear();
    m_messages->QueueAnswer(answer);
    if (sair)
        principal.Sair1->trigger();
    else
        principal.close();

    QCOMPARE(m_messages->Count(), 1);
    QCOMPARE(m_messages->Last().text, QStringLiteral("Deseja gravar a OS?"));
    const bool stays = answer == TMessages::Cancel;
    QCOMPARE(closed.count(), stays ? 0 : 1);
    QCOMPARE(DM->Database->Connected(), stays);
    if (!stays)
        DM->Database->Open();   // to look into the file
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where descricao='Ventilador'")),
             answer == TMessages::Yes ? 1 : 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(bool(list), stays);
    if (stays) {
        QVERIFY(list->isVisible());
        QVERIFY(screen);
        QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsInsert);
        QCOMPARE(DM->OrdensQueryDESCRICAO->AsString(), QStringLiteral("Ventilador"));
        QVERIFY(DM->OrdensQuery->Active());
    }
    if (screen)
        screen->setAttribute(Qt::WA_DeleteOnClose, false);
    delete screen;
    delete list;
}

// A logout's signal arriving while the question is open (no one answers):
// the order typed so far is not saved, but the log says what was dropped.
void TstTOrdemservForm::pendingOrderDroppedAndLoggedWhenNoOneAnswers()
{
    TPrincipalForm principal;
    ShowForm();
    Press(Qt::Key_F2);
    Type(m_form->DBEdit4, QStringLiteral("Meio digitado"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("descartada.*ordemserv.*DESCRICAO=Meio digitado")));
    principal.QuitWithoutAsking();
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where descricao='Meio digitado'")), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv")), 2);
    // The order screen then closes without a question: nothing is pending.
    m_messages->Clear();
    m_form->close();
    QCOMPARE(m_messages->Count(), 0);
}

// The log of an order dropped at a logout left out the amount still in the
// box being typed (written only when the box is left).
void TstTOrdemservForm::droppedOrderLogKeepsTheBoxBeingTyped()
{
    TPrincipalForm principal;
    ShowForm();
    Press(Qt::Key_F1);
    Type(m_form->DBEdit4, QStringLiteral("Forno"));
    Type(m_form->DBEdit10, QStringLiteral("150,75"));
    QVERIFY(m_form->DBEdit10->hasFocus());
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("descartada.*DESCRICAO=Forno.*VALOR \\(digitado\\)=150,75")));
    principal.QuitWithoutAsking();
    QCOMPARE(DM->OrdensQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from ordemserv where descricao='Forno'")), 0);
}

QTEST_MAIN(TstTOrdemservForm)
#include "tst_tordemservform.moc"
