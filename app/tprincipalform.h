#pragma once
// The main window: menus, picture buttons, the window bar on which the list
// screens park when minimised, and the status bar. It opens the database when
// first shown and closes it when it closes.
#include <QEvent>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;

// The message the window bar posts to the main window to show a hidden
// screen again (the first user message plus one).
constexpr QEvent::Type WM_RESTOREWINDOW = static_cast<QEvent::Type>(QEvent::User + 1);

class TRestoreWindowEvent : public QEvent
{
public:
    explicit TRestoreWindowEvent(QAction *button)
        : QEvent(WM_RESTOREWINDOW), Button(button) {}
    QPointer<QAction> Button;
};

class TPrincipalForm : public QMainWindow
{
    Q_OBJECT
public:
    // The list screens the main window opens; the libraries that hold them
    // sit above this one, so the executable registers how to create them.
    enum class Screen { ClientList, Suppliers, Products, Orders, StockReport };
    // Creates the screen, not yet shown, owned by `owner` (the main window).
    using ScreenFactory = std::function<QWidget *(QWidget *owner)>;

    explicit TPrincipalForm(QWidget *parent = nullptr);
    ~TPrincipalForm() override;

    void SetScreenFactory(Screen screen, ScreenFactory factory);
    // The settings screen, created without owner and shown modally.
    void SetSettingsFactory(std::function<QDialog *()> factory);
    // "OS em Branco": hands the whole task to the printout.
    void SetBlankOrderPrinter(std::function<void()> printer);
    // "Localizar OS" (Ctrl+L) and "Ordens de Serviço por Período": the
    // order folder does the work.
    void SetOrderFinder(std::function<void()> finder);
    void SetPeriodReport(std::function<void()> report);
    // Opens a list screen as its menu item does, `prepare` run before it
    // shows (a failure there leaves no screen).
    void OpenScreen(Screen which, const std::function<void()> &prepare);

    // Hides the screen and puts a button captioned with its caption at the
    // left end of the window bar; clicking the button shows it again. The
    // button belongs to the screen and goes when the screen goes.
    void MinimizeToWindowBar(QWidget *screen);
    // The screen a window-bar button stands for.
    static QWidget *ScreenOfButton(QAction *button);

    // Handlers (every one runs through the guard when it comes from the user).
    void FormShow();
    void FormClose();
    void Configuraes1Click();
    void Sair1Click();
    // Before the program ends: every open screen is closed as its own Esc
    // closes it, so that one holding an entry asks whether to save it (Yes
    // saves, No drops, Cancel stays). The screens whose property AsksOnClose
    // is true (set while an entry is typed there) are asked first, so that
    // after a Cancel no other screen has been closed. False when one stayed
    // open.
    bool CloseScreensAsking();
    static constexpr const char *AsksOnClose = "asksOnClose";
    // Ends the run with no one left to answer (a logout's second SIGTERM,
    // while a question is still open): nothing half-typed is saved, what is
    // dropped is logged, and every event loop is left.
    void QuitWithoutAsking();
    void ListadeClientes1Click();
    void Fornecedores1Click();
    void Estoque1Click();
    void OrdemdeServio1Click();
    void OSemBranco1Click();
    void RelatriodeEstoque1Click();
    void LocalizarOS1Click();
    void OSPorPeriodo1Click();
    void TarvoVodevuru1Click();
    void Sobre1Click();
    void WindowBarButtonClick(QAction *button);

    // Controls, named as the rest of the system knows them.
    QMenuBar *MainMenu1 = nullptr;
    QMenu *Arquivo1 = nullptr;
    QMenu *Cadastros1 = nullptr;
    QMenu *OS1 = nullptr;
    QMenu *Relatrios1 = nullptr;
    QMenu *Sobre2 = nullptr;
    QAction *Configuraes1 = nullptr;
    QAction *Sair1 = nullptr;
    QAction *ListadeClientes1 = nullptr;
    QAction *Fornecedores1 = nullptr;
    QAction *Estoque1 = nullptr;
    QAction *OrdemdeServio1 = nullptr;
    QAction *OSemBranco1 = nullptr;
    QAction *RelatriodeEstoque1 = nullptr;
    QAction *LocalizarOS1 = nullptr;
    QAction *OSPorPeriodo1 = nullptr;
    QAction *TarvoVodevuru1 = nullptr;
    QAction *Sobre1 = nullptr;
    QWidget *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr, *Image3 = nullptr, *Image4 = nullptr, *Image5 = nullptr,
           *Image6 = nullptr, *Image7 = nullptr, *Image8 = nullptr, *Image9 = nullptr,
           *Image10 = nullptr, *Image11 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanels[3] = {nullptr, nullptr, nullptr};

signals:
    // The window has closed (the database is closed): the run ends.
    void closed();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The pointer leaving the main window (onto a list screen above it)
    // or the window losing the focus puts every normal picture back.
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct PicturePair {
        QLabel *normal;
        QLabel *hover;
        void (TPrincipalForm::*click)();
    };

    void CreateMenus();
    void CreatePanel();
    void CreateWindowBar();
    void CreateStatusBar();
    QLabel *CreatePicture(const QString &name, const QString &resource, int left, bool hover);
    void ResetPictures();
    void SwapPicture(QLabel *show, QLabel *hide);
    void OpenListScreen(Screen which, const std::function<void()> &prepare);

    QList<PicturePair> m_pictures;
    bool m_swappingPictures = false;
    QHash<int, ScreenFactory> m_factories;
    std::function<QDialog *()> m_settingsFactory;
    std::function<void()> m_blankOrderPrinter;
    std::function<void()> m_orderFinder;
    std::function<void()> m_periodReport;
    bool m_shown = false;
};

// The one main window of the run (null before it is created and after it goes).
extern TPrincipalForm *PrincipalForm;
