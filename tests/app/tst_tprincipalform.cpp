// The main window without a database: menus, picture buttons, window bar,
// status bar, and the screens it opens (stand-in windows here).
#include "app/tapplication.h"
#include "app/tdatabasebackup.h"
#include "app/tprincipalform.h"
#include "app/tshell.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmessagerecorder.h"
#include "tests/support/twindowbarlink.h"
#include "widgets/twindowbarhook.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <stdexcept>

namespace {

// What a menu shows: captions, "-" for a separator.
QStringList Captions(const QMenu *menu)
{
    QStringList list;
    for (QAction *a : menu->actions())
        list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
}

QStringList BarCaptions(const QToolBar *bar)
{
    QStringList list;
    for (QAction *a : bar->actions())
        list << a->text();
    return list;
}

QWidget *StandIn(const QString &caption, QWidget *owner)
{
    auto *w = new QWidget(owner, Qt::Window);
    w->setWindowTitle(caption);
    w->resize(300, 200);
    return w;
}

void Enter(QWidget *w)
{
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(w, &e);
}

void Leave(QWidget *w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

// A fresh database with an unopened data module on it, made the global DM;
// no database engine here skips the test, any other failure fails it.
#define FRESH_DM(db, dm)                                                                                    \
    TFbTestDb db;                                                                                          \
    OS_REQUIRE_TEST_DB(db);                                                                                \
    auto dm = db.MakeDM(false);                                                                            \
    DM = dm.get()

class TstTPrincipalForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void captionAndFrame();
    void menus();
    void statusBar();
    void pictures_data();
    void pictures();
    void pictureHoverAndReset();
    void onlyTheHoverPictureUnderTheMouseShows();
    void hoverPictureStayedLitOverAListWindow_data();
    void hoverPictureStayedLitOverAListWindow();
    void pictureClickOnlyOnHover();
    void windowBarOrderAndRestoreMiddle();
    void windowBarButtonGoesWithItsScreen();
    void hiddenScreensGoWithTheMainWindow();
    void restoreIsPostedNotSent();
    void onlyTheMinimiseCommandGoesToTheBar();
    void listScreensOpenOwnedAndTwice();
    void listScreensStayAboveTheMainWindow();
    void ctrlLFindsAnOrderFromEveryScreen();
    void handlerErrorIsShownAndWindowKeepsRunning();
    void settingsAndAboutAreModal();
    void webAddressMenu();

    // On a real database file.
    void formShowOpensTheDatasetsInOrder();
    void databaseMissingAtStart();
    void sairClosesEverythingAndCommits();
    void closeBoxCommitsAndDropsPendingEdits();
    void listMenusReplaceTheSqlAndOpen_data();
    void listMenusReplaceTheSqlAndOpen();
    void ordersFollowTheCurrentClient();
    void menuOpenedAScreenOnAnEntryBeingTyped_data();
    void menuOpenedAScreenOnAnEntryBeingTyped();
    void settingsOpensConfigQuery();
    void staleBackupLockIsReleasedAtStart();
};

namespace {

QStringList OpenedInOrder(const std::function<void()> &run)
{
    QStringList order;
    QList<QMetaObject::Connection> links;
    const std::pair<TFbQuery *, QString> sets[] = {
        {DM->ClientesQuery, "ClientesQuery"}, {DM->OrdensQuery, "OrdensQuery"}, {DM->ConfigQuery, "ConfigQuery"},
        {DM->ForneQuery, "ForneQuery"}, {DM->ProdForneQuery, "ProdForneQuery"}, {DM->ProdEntQuery, "ProdEntQuery"}};
    for (const auto &[q, name] : sets)
        links << QObject::connect(q, &TFbQuery::opened, [&order, name = name] { order << name; });
    run();
    for (const auto &c : links)
        QObject::disconnect(c);
    return order;
}

int BackupState()
{
    TFbTransaction tr;
    tr.SetDefaultDatabase(DM->Database);
    int state = -1;
    {
        TFbQuery q;
        q.SetDatabase(DM->Database);
        q.SetTransaction(&tr);
        q.SetSQL(QStringLiteral("select mon$backup_state from mon$database"));
        q.Open();
        state = q.Field(0)->AsInteger();
    }
    tr.Commit();
    return state;
}

int CountRows(const QString &file, const QString &table)
{
    TDM dm;
    dm.Database->SetDatabaseName(file);
    int n = -1;
    {
        TFbQuery q;
        q.SetDatabase(dm.Database);
        q.SetSQL(QStringLiteral("select count(*) from ") + table);
        q.Open();
        n = q.Field(0)->AsInteger();
    }
    dm.CloseAll();
    return n;
}

} // namespace

void TstTPrincipalForm::captionAndFrame()
{
    TPrincipalForm form;
    QCOMPARE(PrincipalForm, &form);
    QCOMPARE(form.windowTitle(), QStringLiteral("Ordem de Serviço " OS_PROJECT_VERSION "  - Tarvo Vodevuru"));
    QVERIFY(form.windowState() & Qt::WindowMaximized);
    QCOMPARE(form.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(form.font().pointSize(), 8);
    QCOMPARE(form.Panel1->height(), 69);
    form.show();
    QTRY_COMPARE(form.ToolBar1->height(), 20);
    QCOMPARE(form.toolBarArea(form.ToolBar1), Qt::BottomToolBarArea);
    QVERIFY(form.ToolBar1->actions().isEmpty());
    QVERIFY(!form.Image1->pixmap().isNull());
    QCOMPARE(form.Image1->pixmap().size(), QSize(1024, 768));
    QVERIFY(form.Image1->hasScaledContents());
    QCOMPARE(form.findChild<QToolBar *>(QStringLiteral("ToolBar1")), form.ToolBar1);
    QCOMPARE(form.findChild<QMenuBar *>(QStringLiteral("MainMenu1")), form.MainMenu1);
}

void TstTPrincipalForm::menus()
{
    TPrincipalForm form;
    QStringList titles;
    for (QAction *a : form.MainMenu1->actions())
        titles << a->text();
    QCOMPARE(titles, QStringList({"Arquivo", "Cadastros", "OS", "Relatórios", "Sobre"}));
    QCOMPARE(Captions(form.Arquivo1), QStringList({"Configurações", "-", "Sair"}));
    QCOMPARE(Captions(form.Cadastros1), QStringList({"Clientes", "Fornecedores", "Estoque"}));
    QCOMPARE(Captions(form.OS1), QStringList({"Ordens de Serviço", "OS em Branco", "Localizar OS"}));
    QCOMPARE(form.LocalizarOS1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    QCOMPARE(Captions(form.Relatrios1), QStringList({"Relatório de Estoque", "Ordens de Serviço por Período"}));
    QCOMPARE(Captions(form.Sobre2), QStringList({"Tarvo Vodevuru", "-", "Sobre"}));
    const char *names[] = {"Configuraes1", "Sair1", "ListadeClientes1", "Fornecedores1", "Estoque1",
                           "OrdemdeServio1", "OSemBranco1", "RelatriodeEstoque1", "TarvoVodevuru1", "Sobre1",
                           "LocalizarOS1", "OSPorPeriodo1"};
    for (const char *name : names)
        QVERIFY2(form.findChild<QAction *>(QLatin1String(name)), name);
}

void TstTPrincipalForm::statusBar()
{
    TPrincipalForm form;
    QCOMPARE(form.StatusBar1->height(), 19);
    QCOMPARE(form.StatusPanels[0]->width(), 200);
    QCOMPARE(form.StatusPanels[1]->width(), 160);
    QCOMPARE(form.StatusPanels[2]->width(), 50);
    QCOMPARE(form.StatusPanels[0]->text(), TApplication::MakerName() + " - " + TApplication::WebAddress());
    QCOMPARE(form.StatusPanels[1]->text(), TApplication::SupportEmail());
    QVERIFY(form.StatusPanels[2]->text().isEmpty());
    // The texts are read in full within the panels' widths.
    for (QLabel *panel : {form.StatusPanels[0], form.StatusPanels[1]})
        QVERIFY2(panel->fontMetrics().horizontalAdvance(panel->text()) <= panel->contentsRect().width(),
                 qPrintable(panel->text()));
}

void TstTPrincipalForm::pictures_data()
{
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("hover");
    QTest::addColumn<int>("left");
    QTest::newRow("CLIENTES") << "Image3" << "Image5" << 1;
    QTest::newRow("FORNECEDOR") << "Image10" << "Image11" << 68;
    QTest::newRow("O.S.") << "Image2" << "Image6" << 135;
    QTest::newRow("ESTOQUE") << "Image7" << "Image8" << 202;
    QTest::newRow("RELATÓRIOS") << "Image4" << "Image9" << 269;
}

void TstTPrincipalForm::pictures()
{
    QFETCH(QString, normal);
    QFETCH(QString, hover);
    QFETCH(int, left);
    TPrincipalForm form;
    form.show();
    auto *n = form.Panel1->findChild<QLabel *>(normal);
    auto *h = form.Panel1->findChild<QLabel *>(hover);
    QVERIFY(n && h);
    QCOMPARE(n->geometry(), QRect(left, 2, 65, 65));
    QCOMPARE(h->geometry(), QRect(left, 2, 65, 65));
    QCOMPARE(n->pixmap().size(), QSize(65, 65));
    QCOMPARE(h->pixmap().size(), QSize(65, 65));
    QVERIFY(n->pixmap().toImage() != h->pixmap().toImage());
    QVERIFY(n->isVisible());
    QVERIFY(!h->isVisible());
    QCOMPARE(h->cursor().shape(), Qt::PointingHandCursor);
    // Grey behind the normal picture, light blue behind the hover one.
    auto topRow = [](const QLabel *l) {
        const QImage image = l->pixmap().toImage();
        int r = 0, b = 0;
        for (int x = 2; x < 63; ++x) {
            r += image.pixelColor(x, 3).red();
            b += image.pixelColor(x, 3).blue();
        }
        return std::pair{r / 61, b / 61};
    };
    const auto [greyR, greyB] = topRow(n);
    const auto [blueR, blueB] = topRow(h);
    QVERIFY(qAbs(greyR - greyB) < 10);
    QVERIFY(blueB > blueR + 5);
}

void TstTPrincipalForm::pictureHoverAndReset()
{
    TPrincipalForm form;
    form.show();
    Enter(form.Image3);
    QVERIFY(!form.Image3->isVisible());
    QVERIFY(form.Image5->isVisible());
    Leave(form.Image5);
    QVERIFY(form.Image3->isVisible());
    QVERIFY(!form.Image5->isVisible());

    // A hover picture shown by hand (as a lost event leaves it), then
    // entering the panel or the background resets every pair.
    for (QWidget *reset : {static_cast<QWidget *>(form.Panel1), static_cast<QWidget *>(form.Image1)}) {
        Enter(form.Image10);
        form.Image9->show();
        form.Image4->hide();
        QVERIFY(form.Image11->isVisible() && form.Image9->isVisible());
        Enter(reset);
        for (QLabel *n : {form.Image3, form.Image10, form.Image2, form.Image7, form.Image4})
            QVERIFY(n->isVisible());
        for (QLabel *h : {form.Image5, form.Image11, form.Image6, form.Image8, form.Image9})
            QVERIFY(!h->isVisible());
    }
}

// The pointer went from a hover picture straight onto a list window: the
// picture's leave never came and it stayed lit. The main window's own leave,
// or its losing the focus to the list window, puts the normal one back.
void TstTPrincipalForm::hoverPictureStayedLitOverAListWindow_data()
{
    QTest::addColumn<bool>("focusMoves");
    QTest::newRow("pointer leaves the main window") << false;
    QTest::newRow("list window takes the focus") << true;
}

void TstTPrincipalForm::hoverPictureStayedLitOverAListWindow()
{
    QFETCH(bool, focusMoves);
    TPrincipalForm form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Enter(form.Image3);
    QVERIFY(form.Image5->isVisible());
    QWidget list;
    if (focusMoves) {
        list.show();
        list.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&list));
    } else {
        Leave(&form);
    }
    QVERIFY(form.Image3->isVisible());
    QVERIFY(!form.Image5->isVisible());
}

// The mouse jumps from one picture straight onto another (a pointer warp
// from CLIENTES to FORNECEDOR): the first one's leave event never comes, and
// still only the hover picture under the mouse shows.
void TstTPrincipalForm::onlyTheHoverPictureUnderTheMouseShows()
{
    TPrincipalForm form;
    form.show();
    const QList<QPair<QLabel *, QLabel *>> pairs = {{form.Image3, form.Image5}, {form.Image10, form.Image11},
                                                    {form.Image2, form.Image6}, {form.Image7, form.Image8},
                                                    {form.Image4, form.Image9}};
    for (const auto &entered : pairs) {
        Enter(entered.first);
        for (const auto &pair : pairs) {
            QCOMPARE(pair.second->isVisible(), pair == entered);
            QCOMPARE(pair.first->isVisible(), pair != entered);
        }
    }
}

void TstTPrincipalForm::pictureClickOnlyOnHover()
{
    TPrincipalForm form;
    QStringList opened;
    const std::pair<TPrincipalForm::Screen, QString> screens[] = {
        {TPrincipalForm::Screen::ClientList, "clientes"}, {TPrincipalForm::Screen::Suppliers, "fornecedores"},
        {TPrincipalForm::Screen::Orders, "ordens"}, {TPrincipalForm::Screen::Products, "estoque"},
        {TPrincipalForm::Screen::StockReport, "relatorio"}};
    for (const auto &[screen, name] : screens)
        form.SetScreenFactory(screen, [&opened, name = name](QWidget *owner) {
            opened << name;
            return StandIn(name, owner);
        });
    form.show();
    // A click on a normal picture does nothing.
    QTest::mouseClick(form.Image3, Qt::LeftButton);
    QVERIFY(opened.isEmpty());
    const QList<std::pair<QLabel *, QLabel *>> pairs = {{form.Image3, form.Image5}, {form.Image10, form.Image11},
                                                        {form.Image2, form.Image6}, {form.Image7, form.Image8},
                                                        {form.Image4, form.Image9}};
    for (const auto &[normal, hover] : pairs) {
        Enter(normal);
        QTest::mouseClick(hover, Qt::LeftButton);
        Leave(hover);
    }
    QCOMPARE(opened, QStringList({"clientes", "fornecedores", "ordens", "estoque", "relatorio"}));
}

void TstTPrincipalForm::windowBarOrderAndRestoreMiddle()
{
    TPrincipalForm form;
    form.show();
    QWidget *a = StandIn("Lista de Clientes", &form);
    QWidget *b = StandIn("Ordem de Serviço", &form);
    QWidget *c = StandIn("Fornecedores", &form);
    for (QWidget *w : {a, b, c})
        w->show();
    b->move(123, 77);
    b->resize(321, 187);
    const QRect before = b->geometry();

    form.MinimizeToWindowBar(a);
    form.MinimizeToWindowBar(b);
    form.MinimizeToWindowBar(c);
    QVERIFY(!a->isVisible() && !b->isVisible() && !c->isVisible());
    // The last hidden stands first.
    QCOMPARE(BarCaptions(form.ToolBar1), QStringList({"Fornecedores", "Ordem de Serviço", "Lista de Clientes"}));
    for (QAction *button : form.ToolBar1->actions()) {
        auto *tool = qobject_cast<QToolButton *>(form.ToolBar1->widgetForAction(button));
        QVERIFY(tool);
        QCOMPARE(tool->toolButtonStyle(), Qt::ToolButtonTextOnly);
        QTRY_VERIFY(tool->isVisibleTo(form.ToolBar1));
        QCOMPARE(tool->height(), 19);
        QVERIFY(tool->width() >= 81);
    }

    // Restore the middle one through its button.
    QAction *middle = form.ToolBar1->actions().at(1);
    QCOMPARE(TPrincipalForm::ScreenOfButton(middle), b);
    QTest::mouseClick(form.ToolBar1->widgetForAction(middle), Qt::LeftButton);
    QTRY_VERIFY(b->isVisible());
    QCOMPARE(b->geometry(), before);
    QTRY_COMPARE(BarCaptions(form.ToolBar1), QStringList({"Fornecedores", "Lista de Clientes"}));
    QVERIFY(!a->isVisible() && !c->isVisible());

    // Minimised again, it goes back to the front.
    form.MinimizeToWindowBar(b);
    QCOMPARE(BarCaptions(form.ToolBar1), QStringList({"Ordem de Serviço", "Fornecedores", "Lista de Clientes"}));
    // A hidden screen is on the bar once.
    form.MinimizeToWindowBar(b);
    QCOMPARE(form.ToolBar1->actions().size(), 3);
}

void TstTPrincipalForm::windowBarButtonGoesWithItsScreen()
{
    TPrincipalForm form;
    form.show();
    QWidget *a = StandIn("A", &form);
    QWidget *b = StandIn("B", &form);
    a->show();
    b->show();
    form.MinimizeToWindowBar(a);
    form.MinimizeToWindowBar(b);
    delete a;
    QCOMPARE(BarCaptions(form.ToolBar1), QStringList{"B"});
}

void TstTPrincipalForm::hiddenScreensGoWithTheMainWindow()
{
    auto *form = new TPrincipalForm;
    form->show();
    QPointer<QWidget> b = StandIn("B", form);
    b->show();
    form->MinimizeToWindowBar(b);
    QPointer<QAction> button = form->ToolBar1->actions().value(0);
    delete form;
    QVERIFY(!b);
    QVERIFY(!button);
    QCOMPARE(PrincipalForm, nullptr);
}

void TstTPrincipalForm::restoreIsPostedNotSent()
{
    TPrincipalForm form;
    form.show();
    QWidget *a = StandIn("A", &form);
    a->show();
    form.MinimizeToWindowBar(a);
    QPointer<QAction> button = form.ToolBar1->actions().value(0);
    form.WindowBarButtonClick(button);
    // Nothing happens until the posted message is handled.
    QVERIFY(button);
    QVERIFY(!a->isVisible());
    QTRY_VERIFY(!button);
    QVERIFY(a->isVisible());
    // A message whose button has gone meanwhile is ignored.
    form.MinimizeToWindowBar(a);
    QPointer<QAction> second = form.ToolBar1->actions().value(0);
    form.WindowBarButtonClick(second);
    delete a;
    QVERIFY(!second);
    QCoreApplication::processEvents();
    QVERIFY(form.ToolBar1->actions().isEmpty());
}

void TstTPrincipalForm::onlyTheMinimiseCommandGoesToTheBar()
{
    // A list screen routes its window commands through the hook the list
    // screens use.
    TPrincipalForm form;
    TWindowBarLink link(&form);
    form.show();
    QPointer<QWidget> screen = StandIn("Lista de Clientes", &form);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    new TWindowBarHook(screen);
    screen->show();
    screen->move(40, 50);
    screen->resize(320, 210);
    const QRect place = screen->geometry();

    // Maximise, restore, move and resize keep their ordinary handling.
    screen->setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    QVERIFY(screen->isVisible());
    QVERIFY(screen->windowState() & Qt::WindowMaximized);
    screen->setWindowState(Qt::WindowNoState);
    screen->setGeometry(place);
    screen->move(60, 70);
    QCoreApplication::processEvents();
    QVERIFY(screen->isVisible());
    QCOMPARE(screen->pos(), QPoint(60, 70));
    QVERIFY(form.ToolBar1->actions().isEmpty());

    // Minimise: hidden, not minimised, and one button on the bar.
    screen->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!screen->isVisible());
    QVERIFY(!(screen->windowState() & Qt::WindowMinimized));
    QCOMPARE(BarCaptions(form.ToolBar1), QStringList{"Lista de Clientes"});
    QTest::mouseClick(form.ToolBar1->widgetForAction(form.ToolBar1->actions().first()), Qt::LeftButton);
    QTRY_VERIFY(screen->isVisible());
    QTRY_VERIFY(form.ToolBar1->actions().isEmpty());
    QCOMPARE(screen->pos(), QPoint(60, 70));

    // Close works as usual and leaves nothing on the bar.
    screen->close();
    QTRY_VERIFY(!screen);
    QVERIFY(form.ToolBar1->actions().isEmpty());
}

void TstTPrincipalForm::listScreensOpenOwnedAndTwice()
{
    TPrincipalForm form;
    form.show();
    QList<QPointer<QWidget>> made;
    form.SetScreenFactory(TPrincipalForm::Screen::ClientList, [&](QWidget *owner) {
        QWidget *w = StandIn("Clientes", owner);
        made << w;
        return w;
    });
    form.ListadeClientes1->trigger();
    form.ListadeClientes1->trigger();
    QCOMPARE(made.size(), 2);
    for (const QPointer<QWidget> &w : made) {
        QVERIFY(w->isVisible());
        QCOMPARE(w->parentWidget(), &form);
        QVERIFY(w->isWindow());
        QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
    }
    QVERIFY(made[0] != made[1]);
    // Closing a list screen destroys it.
    made[0]->close();
    QTRY_VERIFY(!made[0]);
    QVERIFY(made[1]);
}

// A list screen is an owned window: the main window is its transient parent
// (so a click on the maximised main window does not bury it), and it still
// minimises to the window bar. (The X11 hint itself: tst_ordemservico.)
void TstTPrincipalForm::listScreensStayAboveTheMainWindow()
{
    TPrincipalForm form;
    TWindowBarLink link(&form);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QPointer<QWidget> screen;
    form.SetScreenFactory(TPrincipalForm::Screen::ClientList, [&](QWidget *owner) {
        screen = StandIn("Lista de Clientes", owner);
        new TWindowBarHook(screen);
        return screen.data();
    });
    form.ListadeClientes1->trigger();
    QVERIFY(screen && screen->isVisible());
    QVERIFY(screen->isWindow());
    QVERIFY(screen->windowHandle());
    QCOMPARE(screen->windowHandle()->transientParent(), form.windowHandle());
    screen->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(!screen->isVisible());
    QCOMPARE(BarCaptions(form.ToolBar1), QStringList{"Lista de Clientes"});
    QTest::mouseClick(form.ToolBar1->widgetForAction(form.ToolBar1->actions().first()), Qt::LeftButton);
    QTRY_VERIFY(screen->isVisible());
    QCOMPARE(screen->windowHandle()->transientParent(), form.windowHandle());
}

// Ctrl+L worked only in the main window; from a screen (the client list, the
// order screen) it did nothing.
void TstTPrincipalForm::ctrlLFindsAnOrderFromEveryScreen()
{
    TPrincipalForm form;
    int finds = 0;
    form.SetOrderFinder([&finds] { ++finds; });
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(finds, 1);
    QPointer<QWidget> screen;
    QLineEdit *box = nullptr;
    form.SetScreenFactory(TPrincipalForm::Screen::ClientList, [&](QWidget *owner) {
        screen = StandIn("Lista de Clientes", owner);
        box = new QLineEdit(screen);
        return screen.data();
    });
    form.ListadeClientes1->trigger();
    QVERIFY(screen);
    screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(finds, 2);
    // Not from a modal box: the screens under it wait for its answer.
    QDialog modal(screen);
    modal.setModal(true);
    modal.show();
    QVERIFY(QTest::qWaitForWindowActive(&modal));
    QTest::keyClick(&modal, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(finds, 2);
}

void TstTPrincipalForm::handlerErrorIsShownAndWindowKeepsRunning()
{
    TMessageRecorder recorder;
    TPrincipalForm form;
    form.show();
    int attempts = 0;
    form.SetScreenFactory(TPrincipalForm::Screen::Suppliers, [&](QWidget *) -> QWidget * {
        ++attempts;
        throw std::runtime_error("unavailable database");
    });
    form.Fornecedores1->trigger();
    Enter(form.Image10);
    QTest::mouseClick(form.Image11, Qt::LeftButton);
    QCOMPARE(attempts, 2);
    QCOMPARE(recorder.Texts(), QStringList({"unavailable database.", "unavailable database."}));
    QVERIFY(form.isVisible());
}

void TstTPrincipalForm::settingsAndAboutAreModal()
{
    TPrincipalForm form;
    form.show();
    QPointer<QDialog> shown;
    bool modal = false;
    form.SetSettingsFactory([&] {
        auto *d = new QDialog;
        shown = d;
        QTimer::singleShot(0, d, [&, d] {
            modal = d->isModal() && QApplication::activeModalWidget() == d && !d->parent();
            d->reject();
        });
        return d;
    });
    form.Configuraes1->trigger();
    QVERIFY(modal);
    QVERIFY(!shown); // destroyed by the handler

    QString caption;
    QTimer::singleShot(0, [&] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            caption = w->windowTitle();
            w->close();
        }
    });
    form.Sobre1->trigger();
    QCOMPARE(caption, QStringLiteral("Sobre - Ordem de Serviço"));
}

void TstTPrincipalForm::webAddressMenu()
{
    TPrincipalForm form;
    QList<QUrl> urls;
    TShell::UrlOpener previous = TShell::SetUrlOpener([&](const QUrl &url) {
        urls << url;
        return false; // no browser: nothing is reported
    });
    TMessageRecorder recorder;
    form.TarvoVodevuru1->trigger();
    TShell::SetUrlOpener(previous);
    QCOMPARE(urls, QList<QUrl>{QUrl("http://" + TApplication::WebAddress())});
    QCOMPARE(recorder.Count(), 0);
}

void TstTPrincipalForm::formShowOpensTheDatasetsInOrder()
{
    FRESH_DM(db, dm);
    TMessageRecorder recorder;
    TPrincipalForm form;
    const QStringList order = OpenedInOrder([&] {
        form.show();
        QTRY_VERIFY(DM->ProdEntQuery->Active());
    });
    QCOMPARE(order, QStringList({"ClientesQuery", "ForneQuery", "ConfigQuery", "OrdensQuery", "ProdForneQuery",
                                 "ProdEntQuery"}));
    QVERIFY(DM->Database->Connected());
    QCOMPARE(DM->ClientesQuery->SQLText(), QStringLiteral("select * from CLIENTES"));
    QCOMPARE(DM->ConfigQueryIDCONFIG->AsInteger(), 1);
    QCOMPARE(recorder.Count(), 0);
    // Shown again (after hiding), it does not open anything twice.
    form.hide();
    const QStringList again = OpenedInOrder([&] {
        form.show();
        QCoreApplication::processEvents();
    });
    QVERIFY(again.isEmpty());
}

void TstTPrincipalForm::databaseMissingAtStart()
{
    FRESH_DM(db, dm);
    const QString missing = db.Dir() + QStringLiteral("/nada/DADOS.GDB");
    DM->Database->SetDatabaseName(missing);
    TMessageRecorder recorder;
    TPrincipalForm form;
    QPointer<QWidget> made;
    form.SetScreenFactory(TPrincipalForm::Screen::ClientList, [&](QWidget *owner) {
        made = StandIn("Clientes", owner);
        return made.data();
    });
    form.show();
    QTRY_COMPARE(recorder.Count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(recorder.Count(), 1); // once
    QCOMPARE(recorder.Last().icon, TMessages::Error);
    QVERIFY(recorder.Last().text.contains(missing));
    QVERIFY(recorder.Last().text.endsWith('.'));
    QVERIFY(!DM->ClientesQuery->Active());
    QVERIFY(form.isVisible());

    // Every later open reports the failure again, and its screen stays away.
    form.ListadeClientes1->trigger();
    QCOMPARE(recorder.Count(), 2);
    QVERIFY(!made);
    Enter(form.Image3);
    QTest::mouseClick(form.Image5, Qt::LeftButton);
    QCOMPARE(recorder.Count(), 3);
    QVERIFY(!made);
    // The menus that need no database still work.
    QTimer::singleShot(0, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
    form.Sobre1->trigger();
    QCOMPARE(recorder.Count(), 3);
}

void TstTPrincipalForm::sairClosesEverythingAndCommits()
{
    FRESH_DM(db, dm);
    TMessageRecorder recorder;
    {
        TPrincipalForm form;
        QPointer<QWidget> screen;
        form.SetScreenFactory(TPrincipalForm::Screen::ClientList, [&](QWidget *owner) {
            screen = StandIn("Clientes", owner);
            return screen.data();
        });
        form.show();
        QTRY_VERIFY(DM->ProdEntQuery->Active());
        form.ListadeClientes1->trigger();
        QVERIFY(screen && screen->isVisible());
        // An applied client, and a pending edit on another screen's dataset.
        DM->ClientesQuery->Append();
        DM->ClientesQueryNOME->SetAsString(QStringLiteral("JOSÉ DA SILVA"));
        DM->ClientesQuery->ApplyChanges();
        DM->ConfigQuery->Edit();
        DM->ConfigQueryCAB1->SetAsString(QStringLiteral("não gravado"));
        QSignalSpy ended(&form, &TPrincipalForm::closed);
        form.Sair1->trigger();
        QVERIFY(!form.isVisible());
        QCOMPARE(ended.count(), 1);
        for (TFbQuery *q : {DM->ClientesQuery, DM->OrdensQuery, DM->ConfigQuery, DM->ForneQuery, DM->ProdForneQuery,
                            DM->ProdEntQuery})
            QVERIFY(!q->Active());
        QVERIFY(!DM->Database->Connected());
    }
    QCOMPARE(recorder.Count(), 0);
    dm.reset();
    QCOMPARE(CountRows(db.Path(), QStringLiteral("CLIENTES")), 1);
    TDM check;
    check.Database->SetDatabaseName(db.Path());
    check.ConfigQuery->Open();
    QVERIFY(check.ConfigQueryCAB1->AsString() != QStringLiteral("não gravado"));
    check.CloseAll();
}

void TstTPrincipalForm::closeBoxCommitsAndDropsPendingEdits()
{
    FRESH_DM(db, dm);
    TMessageRecorder recorder;
    {
        TPrincipalForm form;
        form.show();
        QTRY_VERIFY(DM->ProdEntQuery->Active());
        DM->ForneQuery->Append();
        DM->ForneQueryNOMEFANTASIA->SetAsString(QStringLiteral("DISTRIBUIDORA NORTE"));
        DM->ForneQuery->ApplyChanges();
        DM->ForneQuery->Append();
        DM->ForneQueryNOMEFANTASIA->SetAsString(QStringLiteral("PENDENTE"));
        QVERIFY(form.close());
        QVERIFY(!DM->Database->Connected());
    }
    QCOMPARE(recorder.Count(), 0);
    dm.reset();
    QCOMPARE(CountRows(db.Path(), QStringLiteral("FORNECEDORES")), 1);
}

void TstTPrincipalForm::listMenusReplaceTheSqlAndOpen_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<QString>("sql");
    QTest::newRow("Clientes") << int(TPrincipalForm::Screen::ClientList) << "ListadeClientes1" << "CLIENTES"
                              << "select * from clientes order by nome";
    QTest::newRow("Fornecedores") << int(TPrincipalForm::Screen::Suppliers) << "Fornecedores1" << "FORNECEDORES"
                                  << "select * from fornecedores order by nomefantasia";
    QTest::newRow("Estoque") << int(TPrincipalForm::Screen::Products) << "Estoque1" << "PRODFORNE"
                             << "select * from prodforne order by descricao";
    QTest::newRow("Relatório de Estoque") << int(TPrincipalForm::Screen::StockReport) << "RelatriodeEstoque1"
                                          << "PRODENT" << "select * from PRODENT";
}

void TstTPrincipalForm::listMenusReplaceTheSqlAndOpen()
{
    QFETCH(int, screen);
    QFETCH(QString, item);
    QFETCH(QString, dataset);
    QFETCH(QString, sql);
    FRESH_DM(db, dm);
    TMessageRecorder recorder;
    TPrincipalForm form;
    form.show();
    QTRY_VERIFY(DM->ProdEntQuery->Active());
    TFbQuery *q = DM->DatasetOf(dataset);
    QList<QPointer<QWidget>> made;
    form.SetScreenFactory(TPrincipalForm::Screen(screen), [&](QWidget *owner) {
        QWidget *w = StandIn(item, owner);
        made << w;
        // The screen exists before its dataset is prepared.
        return w;
    });
    form.findChild<QAction *>(item)->trigger();
    form.findChild<QAction *>(item)->trigger();
    QCOMPARE(made.size(), 2);
    QVERIFY(made[0]->isVisible() && made[1]->isVisible());
    QCOMPARE(q->SQLText(), sql);
    QVERIFY(q->Active());
    QCOMPARE(recorder.Count(), 0);
}

void TstTPrincipalForm::ordersFollowTheCurrentClient()
{
    FRESH_DM(db, dm);
    TMessageRecorder recorder;
    TPrincipalForm form;
    int screens = 0;
    form.SetScreenFactory(TPrincipalForm::Screen::Orders, [&](QWidget *owner) {
        ++screens;
        return StandIn("Ordem de Serviço", owner);
    });
    form.show();
    QTRY_VERIFY(DM->ProdEntQuery->Active());
    // No client at all: the orders stay as they are.
    form.OrdemdeServio1->trigger();
    QCOMPARE(screens, 1);
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ORDEMSERV"));
    // A client without a name: the same.
    DM->ClientesQuery->Append();
    DM->ClientesQuery->ApplyChanges();
    form.OrdemdeServio1->trigger();
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ORDEMSERV"));
    // A named client: its orders.
    DM->ClientesQuery->Append();
    DM->ClientesQueryNOME->SetAsString(QStringLiteral("MARIA"));
    DM->ClientesQuery->ApplyChanges();
    const int id = DM->ClientesQueryIDCLIENTE->AsInteger();
    form.OrdemdeServio1->trigger();
    QCOMPARE(screens, 3);
    QCOMPARE(DM->OrdensQuery->SQLText(), QStringLiteral("select * from ordemserv where idcliente=%1").arg(id));
    QVERIFY(DM->OrdensQuery->Active());
    QCOMPARE(recorder.Count(), 0);
}

// A menu reloaded a dataset under an entry another screen was typing, or
// opened a screen on it: the order screen on a client not yet saved, the
// stock report listing a movement not yet recorded. Each row: what is
// being typed and the menu. The menu is refused with the message of the
// screen typing, opens nothing, and the entry stays as typed.
void TstTPrincipalForm::menuOpenedAScreenOnAnEntryBeingTyped_data()
{
    QTest::addColumn<QString>("typing");
    QTest::addColumn<QString>("item");
    QTest::newRow("new client; Lista de Clientes") << "client" << "ListadeClientes1";
    QTest::newRow("new client; Ordens de Serviço") << "client" << "OrdemdeServio1";
    QTest::newRow("new supplier; Fornecedores") << "supplier" << "Fornecedores1";
    QTest::newRow("new product; Estoque") << "product" << "Estoque1";
    QTest::newRow("movement; Estoque") << "movement" << "Estoque1";
    QTest::newRow("movement; Relatório de Estoque") << "movement" << "RelatriodeEstoque1";
}

void TstTPrincipalForm::menuOpenedAScreenOnAnEntryBeingTyped()
{
    QFETCH(QString, typing);
    QFETCH(QString, item);
    FRESH_DM(db, dm);
    TMessageRecorder recorder;
    TPrincipalForm form;
    QList<QPointer<QWidget>> made;
    for (auto screen : {TPrincipalForm::Screen::ClientList, TPrincipalForm::Screen::Suppliers,
                        TPrincipalForm::Screen::Products, TPrincipalForm::Screen::Orders,
                        TPrincipalForm::Screen::StockReport})
        form.SetScreenFactory(screen, [&](QWidget *owner) {
            QWidget *w = StandIn(item, owner);
            made << w;
            return w;
        });
    form.show();
    QTRY_VERIFY(DM->ProdEntQuery->Active());
    const QString message = QStringLiteral("Termine ou cancele o que está em edição na outra tela.");
    TFbQuery *held = nullptr;
    TFbField *typed = nullptr;
    if (typing == QLatin1String("client")) {
        held = DM->ClientesQuery;
        typed = DM->ClientesQueryNOME;
    } else if (typing == QLatin1String("supplier")) {
        held = DM->ForneQuery;
        typed = DM->ForneQueryNOMEFANTASIA;
    } else if (typing == QLatin1String("product")) {
        held = DM->ProdForneQuery;
        typed = DM->ProdForneQuery->FieldByName(QStringLiteral("DESCRICAO"));
    } else {
        // A movement holds its product too.
        DM->ProdForneQuery->Append();
        DM->ProdForneQuery->FieldByName(QStringLiteral("DESCRICAO"))->SetAsString(QStringLiteral("Parafuso"));
        DM->ProdForneQuery->ApplyChanges();
        DM->ProdForneQuery->Edit();
        DM->ProdForneQuery->HoldPending(message);
        held = DM->ProdEntQuery;
        typed = DM->ProdEntQuery->FieldByName(QStringLiteral("OBS"));
    }
    if (held->State() != TFbQuery::dsEdit)
        held->Append();
    held->HoldPending(message);
    typed->SetAsString(QStringLiteral("MEIO DIGITADO"));
    const QString sql = held->SQLText();

    form.findChild<QAction *>(item)->trigger();
    QCOMPARE(recorder.Texts(), QStringList{message});
    // A screen made before its dataset is prepared is gone again.
    for (const QPointer<QWidget> &w : made)
        QVERIFY(!w);
    QCOMPARE(held->State(), TFbQuery::dsInsert);
    QCOMPARE(typed->AsString(), QStringLiteral("MEIO DIGITADO"));
    QCOMPARE(held->SQLText(), sql);
    held->Cancel();
    DM->ProdForneQuery->Cancel();
}

void TstTPrincipalForm::settingsOpensConfigQuery()
{
    FRESH_DM(db, dm);
    DM->Database->Open();
    TMessageRecorder recorder;
    TPrincipalForm form; // not shown: nothing opened yet
    bool openWhenShown = false;
    form.SetSettingsFactory([&] {
        auto *d = new QDialog;
        QTimer::singleShot(0, d, [&, d] {
            openWhenShown = DM->ConfigQuery->Active();
            d->reject();
        });
        return d;
    });
    QVERIFY(!DM->ConfigQuery->Active());
    form.Configuraes1->trigger();
    QVERIFY(openWhenShown);
    QVERIFY(DM->ConfigQuery->Active());
}

void TstTPrincipalForm::staleBackupLockIsReleasedAtStart()
{
    FRESH_DM(db, dm);
    // A run that stopped in the middle of a backup.
    DM->Database->Open();
    TDatabaseBackup::BeginLock(DM->Database);
    QCOMPARE(BackupState(), 1);
    DM->CloseAll();

    TMessageRecorder recorder;
    TPrincipalForm form;
    form.show();
    QTRY_VERIFY(DM->ProdEntQuery->Active());
    QCOMPARE(BackupState(), 0);
    QCOMPARE(recorder.Count(), 0);
    DM->CloseAll();
    QVERIFY(!QFileInfo::exists(db.Path() + QStringLiteral(".delta")));
}

QTEST_MAIN(TstTPrincipalForm)
#include "tst_tprincipalform.moc"
