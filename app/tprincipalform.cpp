#include "app/tprincipalform.h"

#include <QScopedValueRollback>
#include "app/tapplication.h"
#include "app/tdatabasebackup.h"
#include "app/tguard.h"
#include "app/tmessages.h"
#include "app/townedwindow.h"
#include "app/tserverbackup.h"
#include "app/tshell.h"
#include "app/tsobreform.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

TPrincipalForm *PrincipalForm = nullptr;

// The pictures live in this static library; nothing else refers to them, so
// the linker would drop them unless asked for them by name.
static void InitPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace {
// The window-bar button keeps the screen it stands for.
const char *const ScreenProperty = "osWindowBarScreen";

// The bar keeps its height when it is empty (the main window's layout goes
// by the size hint, not by a fixed height).
class TWindowBar : public QToolBar
{
public:
    using QToolBar::QToolBar;
    QSize sizeHint() const override { return {QToolBar::sizeHint().width(), 20}; }
    QSize minimumSizeHint() const override { return {QToolBar::minimumSizeHint().width(), 20}; }
};
} // namespace

TPrincipalForm::TPrincipalForm(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("PrincipalForm"));
    // The version of the release, which moves with each one.
    setWindowTitle(QStringLiteral("Ordem de Serviço " OS_VERSION "  - Tarvo Vodevuru"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    InitPictures();
    CreateMenus();
    CreatePanel();
    CreateWindowBar();
    CreateStatusBar();
    // Maximised; the size underneath is the whole screen too, for a desktop
    // whose window manager does not maximise.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(Qt::WindowMaximized);
    if (!PrincipalForm)
        PrincipalForm = this;
}

TPrincipalForm::~TPrincipalForm()
{
    if (PrincipalForm == this)
        PrincipalForm = nullptr;
}

void TPrincipalForm::CreateMenus()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    auto addItem = [this](QMenu *menu, const char *name, const QString &caption,
                          void (TPrincipalForm::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, Guarded([this, handler] { (this->*handler)(); }));
        return action;
    };
    auto addMenu = [this](const char *name, const QString &caption) {
        QMenu *menu = MainMenu1->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };

    Arquivo1 = addMenu("Arquivo1", QStringLiteral("Arquivo"));
    Configuraes1 = addItem(Arquivo1, "Configuraes1", QStringLiteral("Configurações"),
                           &TPrincipalForm::Configuraes1Click);
    Arquivo1->addSeparator();
    Sair1 = addItem(Arquivo1, "Sair1", QStringLiteral("Sair"), &TPrincipalForm::Sair1Click);

    Cadastros1 = addMenu("Cadastros1", QStringLiteral("Cadastros"));
    ListadeClientes1 = addItem(Cadastros1, "ListadeClientes1", QStringLiteral("Clientes"),
                               &TPrincipalForm::ListadeClientes1Click);
    Fornecedores1 = addItem(Cadastros1, "Fornecedores1", QStringLiteral("Fornecedores"),
                            &TPrincipalForm::Fornecedores1Click);
    Estoque1 = addItem(Cadastros1, "Estoque1", QStringLiteral("Estoque"), &TPrincipalForm::Estoque1Click);

    OS1 = addMenu("OS1", QStringLiteral("OS"));
    OrdemdeServio1 = addItem(OS1, "OrdemdeServio1", QStringLiteral("Ordens de Serviço"),
                             &TPrincipalForm::OrdemdeServio1Click);
    OSemBranco1 = addItem(OS1, "OSemBranco1", QStringLiteral("OS em Branco"), &TPrincipalForm::OSemBranco1Click);
    LocalizarOS1 = addItem(OS1, "LocalizarOS1", QStringLiteral("Localizar OS"), &TPrincipalForm::LocalizarOS1Click);
    LocalizarOS1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    // From every screen of the program, not only the main window (never
    // from under a modal box: Qt keeps shortcuts from the windows it blocks).
    LocalizarOS1->setShortcutContext(Qt::ApplicationShortcut);

    Relatrios1 = addMenu("Relatrios1", QStringLiteral("Relatórios"));
    RelatriodeEstoque1 = addItem(Relatrios1, "RelatriodeEstoque1", QStringLiteral("Relatório de Estoque"),
                                 &TPrincipalForm::RelatriodeEstoque1Click);
    OSPorPeriodo1 = addItem(Relatrios1, "OSPorPeriodo1", QStringLiteral("Ordens de Serviço por Período"),
                            &TPrincipalForm::OSPorPeriodo1Click);

    Sobre2 = addMenu("Sobre2", QStringLiteral("Sobre"));
    TarvoVodevuru1 = addItem(Sobre2, "TarvoVodevuru1", QStringLiteral("Tarvo Vodevuru"),
                             &TPrincipalForm::TarvoVodevuru1Click);
    Sobre2->addSeparator();
    Sobre1 = addItem(Sobre2, "Sobre1", QStringLiteral("Sobre"), &TPrincipalForm::Sobre1Click);
}

QLabel *TPrincipalForm::CreatePicture(const QString &name, const QString &resource, int left, bool hover)
{
    auto *picture = new QLabel(Panel1);
    picture->setObjectName(name);
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/") + resource));
    picture->setGeometry(left, 2, 65, 65);
    picture->setVisible(!hover);
    if (hover)
        picture->setCursor(Qt::PointingHandCursor);
    picture->installEventFilter(this);
    return picture;
}

void TPrincipalForm::CreatePanel()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new QWidget(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(69);
    Panel1->installEventFilter(this);
    layout->addWidget(Panel1);

    Image1 = new QLabel(central);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/pictures/fundo.jpg")));
    Image1->setScaledContents(true);
    Image1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    Image1->installEventFilter(this);
    layout->addWidget(Image1, 1);
    setCentralWidget(central);

    Image3 = CreatePicture(QStringLiteral("Image3"), QStringLiteral("clientes.jpg"), 1, false);
    Image5 = CreatePicture(QStringLiteral("Image5"), QStringLiteral("clientes-sel.jpg"), 1, true);
    Image10 = CreatePicture(QStringLiteral("Image10"), QStringLiteral("fornecedor.jpg"), 68, false);
    Image11 = CreatePicture(QStringLiteral("Image11"), QStringLiteral("fornecedor-sel.jpg"), 68, true);
    Image2 = CreatePicture(QStringLiteral("Image2"), QStringLiteral("os.jpg"), 135, false);
    Image6 = CreatePicture(QStringLiteral("Image6"), QStringLiteral("os-sel.jpg"), 135, true);
    Image7 = CreatePicture(QStringLiteral("Image7"), QStringLiteral("estoque.jpg"), 202, false);
    Image8 = CreatePicture(QStringLiteral("Image8"), QStringLiteral("estoque-sel.jpg"), 202, true);
    Image4 = CreatePicture(QStringLiteral("Image4"), QStringLiteral("relatorios.jpg"), 269, false);
    Image9 = CreatePicture(QStringLiteral("Image9"), QStringLiteral("relatorios-sel.jpg"), 269, true);
    m_pictures = {
        {Image3, Image5, &TPrincipalForm::ListadeClientes1Click},
        {Image10, Image11, &TPrincipalForm::Fornecedores1Click},
        {Image2, Image6, &TPrincipalForm::OrdemdeServio1Click},
        {Image7, Image8, &TPrincipalForm::Estoque1Click},
        {Image4, Image9, &TPrincipalForm::RelatriodeEstoque1Click},
    };
}

void TPrincipalForm::CreateWindowBar()
{
    ToolBar1 = new TWindowBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(20);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    // Gradient from the menu-highlight colour to the highlight colour, white
    // bold captions, the active-caption gradient colour when hot.
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor menuHighlight = highlight.lighter(125);
    const QColor hot(185, 209, 234);
    ToolBar1->setStyleSheet(QStringLiteral(
        "QToolBar#ToolBar1 { border: 0px; border-top: 1px solid %4; padding: 0px; spacing: 1px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); }"
        "QToolBar#ToolBar1 QToolButton { color: white; font-family: Tahoma; font-size: 8pt;"
        " font-weight: bold; border: 0px; min-width: 81px; max-height: 19px; min-height: 19px;"
        " padding: 0px 4px; }"
        "QToolBar#ToolBar1 QToolButton:hover { background: %3; color: black; }")
        .arg(menuHighlight.name(), highlight.name(), hot.name(), highlight.darker(130).name()));
    addToolBar(Qt::BottomToolBarArea, ToolBar1);
}

void TPrincipalForm::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    const int widths[3] = {200, 160, 50};
    const QString texts[3] = {
        TApplication::MakerName() + QStringLiteral(" - ") + TApplication::WebAddress(),
        TApplication::SupportEmail(),
        QString(),
    };
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(texts[i], StatusBar1);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        StatusPanels[i]->setFixedWidth(widths[i]);
        StatusBar1->addWidget(StatusPanels[i]);
    }
    setStatusBar(StatusBar1);
}

void TPrincipalForm::SetScreenFactory(Screen screen, ScreenFactory factory)
{
    m_factories.insert(static_cast<int>(screen), std::move(factory));
}

void TPrincipalForm::SetSettingsFactory(std::function<QDialog *()> factory)
{
    m_settingsFactory = std::move(factory);
}

void TPrincipalForm::SetBlankOrderPrinter(std::function<void()> printer)
{
    m_blankOrderPrinter = std::move(printer);
}

void TPrincipalForm::SetOrderFinder(std::function<void()> finder)
{
    m_orderFinder = std::move(finder);
}

void TPrincipalForm::SetPeriodReport(std::function<void()> report)
{
    m_periodReport = std::move(report);
}

// ---- picture buttons ------------------------------------------------------

// Swapping the two pictures of a pair under the mouse makes the toolkit send
// enter and leave events of its own (the widget under the cursor changes).
// Those must not start another swap, or the two handlers feed each other
// until the stack runs out. The picture to show is shown before the other
// is hidden, so the cursor never falls through to the panel in between.
void TPrincipalForm::SwapPicture(QLabel *show, QLabel *hide)
{
    if (show->isVisible() && !hide->isVisible())
        return;
    const QScopedValueRollback<bool> swapping(m_swappingPictures, true);
    show->show();
    hide->hide();
}

void TPrincipalForm::ResetPictures()
{
    for (const PicturePair &pair : std::as_const(m_pictures))
        SwapPicture(pair.normal, pair.hover);
}

bool TPrincipalForm::eventFilter(QObject *watched, QEvent *event)
{
    if (m_swappingPictures && (event->type() == QEvent::Enter || event->type() == QEvent::Leave))
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::Enter && (watched == Panel1 || watched == Image1)) {
        ResetPictures();
        return false;
    }
    for (const PicturePair &pair : std::as_const(m_pictures)) {
        if (watched == pair.normal && event->type() == QEvent::Enter) {
            // The mouse may jump straight from one picture to another (a
            // fast move, a pointer warp) and the leave event of the one it
            // left is lost among the swap's own events: only the picture
            // under the mouse shows its hover picture.
            for (const PicturePair &other : std::as_const(m_pictures))
                if (other.normal != pair.normal)
                    SwapPicture(other.normal, other.hover);
            SwapPicture(pair.hover, pair.normal);
            return false;
        }
        if (watched == pair.hover) {
            if (event->type() == QEvent::Leave) {
                SwapPicture(pair.normal, pair.hover);
                return false;
            }
            if (event->type() == QEvent::MouseButtonRelease) {
                auto *mouse = static_cast<QMouseEvent *>(event);
                if (mouse->button() == Qt::LeftButton && pair.hover->rect().contains(mouse->position().toPoint())) {
                    const auto click = pair.click;
                    Guard([this, click] { (this->*click)(); });
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TPrincipalForm::leaveEvent(QEvent *event)
{
    // Moving straight from a hover picture onto a list screen, the
    // picture's own leave may never come: the window's leave does.
    ResetPictures();
    QMainWindow::leaveEvent(event);
}

void TPrincipalForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        ResetPictures();
    QMainWindow::changeEvent(event);
}

// ---- window bar -----------------------------------------------------------

void TPrincipalForm::MinimizeToWindowBar(QWidget *screen)
{
    if (!screen)
        return;
    // A screen stands on the bar at most once.
    for (QAction *existing : ToolBar1->actions())
        if (ScreenOfButton(existing) == screen)
            return;
    // The button's object belongs to the screen, so that it goes with it;
    // the bar shows it as a tool button of its own.
    auto button = std::make_unique<QAction>(screen);
    button->setObjectName(QStringLiteral("WindowBarButton"));
    button->setProperty(ScreenProperty, QVariant::fromValue(QPointer<QWidget>(screen)));
    QAction *first = ToolBar1->actions().value(0);
    ToolBar1->insertAction(first, button.get());
    if (auto *tool = qobject_cast<QToolButton *>(ToolBar1->widgetForAction(button.get())))
        tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction *raw = button.get();
    connect(raw, &QAction::triggered, this, [this, raw] { Guard([this, raw] { WindowBarButtonClick(raw); }); });
    raw->setText(screen->windowTitle());
    raw->setToolTip(screen->windowTitle());
    button.release();
    screen->hide();
}

QWidget *TPrincipalForm::ScreenOfButton(QAction *button)
{
    if (!button)
        return nullptr;
    return button->property(ScreenProperty).value<QPointer<QWidget>>().data();
}

void TPrincipalForm::WindowBarButtonClick(QAction *button)
{
    // Posted, not sent: the button is destroyed only after its own click
    // handling has returned.
    QCoreApplication::postEvent(this, new TRestoreWindowEvent(button));
}

bool TPrincipalForm::event(QEvent *event)
{
    if (event->type() == WM_RESTOREWINDOW) {
        QAction *button = static_cast<TRestoreWindowEvent *>(event)->Button.data();
        if (button) {
            if (QWidget *screen = ScreenOfButton(button)) {
                screen->show();
                screen->raise();
                screen->activateWindow();
            }
            delete button;
        }
        return true;
    }
    return QMainWindow::event(event);
}

// ---- start and end --------------------------------------------------------

void TPrincipalForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // After the window is on screen, so that a failure to reach the
        // database is shown over it.
        QMetaObject::invokeMethod(this, [this] { Guard([this] { FormShow(); }); }, Qt::QueuedConnection);
    }
}

void TPrincipalForm::closeEvent(QCloseEvent *event)
{
    if (!CloseScreensAsking()) {
        event->ignore();
        return;
    }
    Guard([this] { FormClose(); });
    QMainWindow::closeEvent(event);
    emit closed();
}

void TPrincipalForm::FormShow()
{
    if (!DM)
        return;
    DM->Database->Open();
    // A backup that never ended (the program stopped in the middle of one)
    // would keep the file frozen for good. The database works all the same
    // while frozen, so a failure to release it is shown and the start goes on.
    Guard([] { TDatabaseBackup::ReleaseStaleLock(DM->Database); });
    // Then the unfinished copies such a backup left in its dated folder.
    Guard([] { TDatabaseBackup::RemoveLeftovers(TDatabaseBackup::BackupRoot()); });
    // And the check databases such a backup left on the server.
    Guard([] { TServerBackup::RemoveLeftovers(DM->Database); });
    DM->OpenAll();
    // What could not be brought up to date is said; the run goes on.
    for (const QString &warning : DM->OpenWarnings())
        TMessages::ShowError(warning);
}

void TPrincipalForm::FormClose()
{
    if (!DM)
        return;
    DM->Database->CloseAllDatasets();
    DM->Database->Close();
}

// ---- menu handlers --------------------------------------------------------

void TPrincipalForm::OpenListScreen(Screen which, const std::function<void()> &prepare)
{
    const ScreenFactory factory = m_factories.value(static_cast<int>(which));
    if (!factory)
        return;
    std::unique_ptr<QWidget> screen(factory(this));
    if (!screen)
        return;
    if (screen->parentWidget() != this)
        screen->setParent(this);
    screen->setWindowFlag(Qt::Window, true);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    // A failure here leaves no half-made screen behind.
    if (prepare && DM)
        prepare();
    // An owned window: it stays above the main window.
    TOwnedWindow::Attach(screen.get(), this);
    screen.release()->show();
}

void TPrincipalForm::Configuraes1Click()
{
    if (!m_settingsFactory)
        return;
    std::unique_ptr<QDialog> dialog(m_settingsFactory());
    if (!dialog)
        return;
    if (DM)
        DM->ConfigQuery->Open();
    dialog->exec();
}

bool TPrincipalForm::CloseScreensAsking()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() && !qobject_cast<QMenu *>(w))
            windows << w;
    }
    // The screens that ask before closing (an entry being typed) first: a
    // "Cancelar" there must find every other screen still open.
    for (const bool asking : {true, false}) {
        for (const QPointer<QWidget> &w : std::as_const(windows)) {
            if (w && w->property(AsksOnClose).toBool() == asking && !w->close())
                return false;
        }
    }
    return true;
}

void TPrincipalForm::QuitWithoutAsking()
{
    if (DM)
        DM->Database->DropPendingEntries();
    QCoreApplication::exit(0);
}

void TPrincipalForm::Sair1Click()
{
    if (!CloseScreensAsking())
        return;
    if (DM) {
        DM->Database->CloseAllDatasets();
        DM->Database->Close();
    }
    close();
}

void TPrincipalForm::ListadeClientes1Click()
{
    OpenListScreen(Screen::ClientList, [] {
        DM->ClientesQuery->Reopen(QStringLiteral("select * from clientes order by nome"));
    });
}

void TPrincipalForm::Fornecedores1Click()
{
    OpenListScreen(Screen::Suppliers, [] {
        DM->ForneQuery->Reopen(QStringLiteral("select * from fornecedores order by nomefantasia"));
    });
}

void TPrincipalForm::Estoque1Click()
{
    OpenListScreen(Screen::Products, [] {
        DM->ProdForneQuery->Reopen(QStringLiteral("select * from prodforne order by descricao"));
    });
}

void TPrincipalForm::OrdemdeServio1Click()
{
    OpenListScreen(Screen::Orders, [] {
        // The orders of the current client; without one the orders stay as
        // they are.
        TFbQuery *clients = DM->ClientesQuery;
        // A client still being typed is no client to take orders for yet.
        clients->CheckNotHeld(true, false);
        const bool hasRow = clients->Active() && clients->RecNo() >= 0;
        if (hasRow && !DM->ClientesQueryNOME->AsString().isEmpty())
            DM->OrdensQuery->Reopen(QStringLiteral("select * from ordemserv where idcliente=")
                                        + QString::number(DM->ClientesQueryIDCLIENTE->AsInteger()));
    });
}

void TPrincipalForm::OSemBranco1Click()
{
    if (m_blankOrderPrinter)
        m_blankOrderPrinter();
}

void TPrincipalForm::RelatriodeEstoque1Click()
{
    OpenListScreen(Screen::StockReport, [] {
        // The report would list a movement still being typed, and its
        // filter reload it away.
        DM->ProdEntQuery->CheckNotHeld();
        DM->ProdEntQuery->Open();
    });
}

void TPrincipalForm::LocalizarOS1Click()
{
    if (m_orderFinder)
        m_orderFinder();
}

void TPrincipalForm::OSPorPeriodo1Click()
{
    if (m_periodReport)
        m_periodReport();
}

void TPrincipalForm::OpenScreen(Screen which, const std::function<void()> &prepare)
{
    OpenListScreen(which, prepare);
}

void TPrincipalForm::TarvoVodevuru1Click()
{
    TShell::OpenWebAddress(TApplication::WebAddress());
}

void TPrincipalForm::Sobre1Click()
{
    TSobreForm form;
    form.exec();
}
