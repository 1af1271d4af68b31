// The application: creates the pieces and wires them together.
#include "app/tapplication.h"
#include "app/tdatabaselogin.h"
#include "app/tloginform.h"
#include "app/tguard.h"
#include "app/tmessages.h"
#include "app/tprincipalform.h"
#include "app/tquitsignals.h"
#include "app/tstartupoptions.h"
#include "clients/tclientesform2.h"
#include "clients/tlistaclientesform.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "orders/tlocalizaosform.h"
#include "orders/tordemservform.h"
#include "orders/tordersearch.h"
#include "orders/trelperiodoform.h"
#include "orders/trelosform.h"
#include "report/preview/trepstandardpreview.h"
#include "settings/tconfigform.h"
#include "stock/tforneform.h"
#include "stock/tprodform.h"
#include "stock/trelform.h"
#include "widgets/tscreenlinks.h"

#include <QSettings>

#include <memory>

int main(int argc, char *argv[])
{
    // --help and --version need no screen.
    if (const int code = TStartupOptions::AnswerInformationRequests(argc, argv); code >= 0)
        return code;
    TApplication app(argc, argv);
    TApplication::Configure();
    // A bad command line stops here (Qt has taken its own options out).
    TStartupOptions options;
    if (!options.Parse(app.arguments()))
        return options.ReportError();

    // The main window first, then the data module (which loads the database
    // client library: without it the system cannot start).
    auto principal = std::make_unique<TPrincipalForm>();
    std::unique_ptr<TDM> dm;
    if (!Guard([&] { dm = std::make_unique<TDM>(); }))
        return 1;
    // The database: --database, the user's setting or the default place
    // (offered to be created at the first start).
    options.Apply(dm->Database);
    // A server database: the shop's user and password from the settings, or
    // the login box; giving up there ends the run, as does a server that
    // does not answer (said before any password is asked).
    if (!TDatabaseLogin::Connect(dm->Database, *TStartupOptions::UserSettings(), &TLoginForm::Ask))
        return 0;

    // The printout of service orders, on the data module; its preview is
    // the standard preview window, whose messages are the application's.
    TRepStandardPreview::Register();
    TRepStandardPreview::Dialogs().ShowMessage = [](const QString &text) { TMessages::ShowMessage(text); };
    auto relOS = std::make_unique<TRelOSForm>(dm.get());
    principal->SetBlankOrderPrinter([form = relOS.get()] { form->PrintBlank(); });

    principal->SetSettingsFactory([form = principal.get()] {
        auto *settings = new TConfigForm;
        // A restore closes every screen first.
        settings->CloseScreens = [form] { return form->CloseScreensAsking(); };
        return settings;
    });
    // Clients: the list that "Cadastros" > "Clientes" and the CLIENTES
    // picture open; the record form's pencil opens the settings on their
    // header page.
    principal->SetScreenFactory(TPrincipalForm::Screen::ClientList,
                                [](QWidget *owner) { return new TListaClientesForm(owner); });
    // Suppliers: "Cadastros" > "Fornecedores" and the FORNECEDOR picture.
    principal->SetScreenFactory(TPrincipalForm::Screen::Suppliers,
                                [](QWidget *owner) { return new TForneForm(owner); });
    // Products: "Cadastros" > "Estoque" and the ESTOQUE picture.
    principal->SetScreenFactory(TPrincipalForm::Screen::Products,
                                [](QWidget *owner) { return new TProdForm(owner); });
    // The stock movement report: "Relatórios" > "Relatório de Estoque" and
    // the RELATÓRIOS picture.
    principal->SetScreenFactory(TPrincipalForm::Screen::StockReport,
                                [](QWidget *owner) { return new TRelForm(owner); });
    // Service orders: "OS" > "Ordens de Serviço" and the O.S. picture.
    principal->SetScreenFactory(TPrincipalForm::Screen::Orders,
                                [](QWidget *owner) { return new TOrdemservForm(owner); });

    // "Localizar OS": the order screen opens on the order found; one already
    // open (and not hidden in the window bar) shows it instead.
    principal->SetOrderFinder([form = principal.get()] {
        TLocalizaOSForm::Run(form, [form](qint32 idOrdem) {
            for (TOrdemservForm *open : form->findChildren<TOrdemservForm *>(Qt::FindDirectChildrenOnly)) {
                if (open->isVisible() && !open->InEntry()) {
                    TOrderSearch::MakeCurrent(DM, idOrdem);
                    open->raise();
                    open->activateWindow();
                    return;
                }
            }
            form->OpenScreen(TPrincipalForm::Screen::Orders, [idOrdem] { TOrderSearch::MakeCurrent(DM, idOrdem); });
        });
    });
    principal->SetPeriodReport([form = principal.get()] { TRelPeriodoForm::Run(form); });

    // The screens reach one another only through these links.
    TScreenLinks::MinimizeToWindowBar = [form = principal.get()](QWidget *screen) {
        form->MinimizeToWindowBar(screen);
    };
    TScreenLinks::PrintOrder = [form = relOS.get()](int idOrdem) { form->PrintOrder(idOrdem); };
    TScreenLinks::PickClient = [](QWidget *parent) { TClientesForm2::Pick(parent); };
    TScreenLinks::OpenHeaderSettings = [](QWidget *) {
        TConfigForm form;
        form.ShowPage(TConfigForm::Page::Header);
        // Opened from a client's record form, which must stay open under
        // it: a restore asks for the other screens to be closed first.
        form.CloseScreens = [] { return false; };
        form.exec();
    };
    // Closing the main window ends the run, whatever other windows are open.
    QObject::connect(principal.get(), &TPrincipalForm::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    // SIGTERM and SIGINT close the program as "Sair" does. Ours must be the
    // handlers that run: the client library sets its own when it is loaded
    // and when it first attaches.
    TQuitSignals quitSignals;
    quitSignals.Install();
    QObject::connect(dm->Database, &TFbDatabase::connected, &quitSignals, &TQuitSignals::Install);
    // A pending entry is asked about as on "Sair"; a question left
    // unanswered (a logout has no one at the screen) or one already open
    // ends the run without saving what is half typed, and logs it.
    QObject::connect(&quitSignals, &TQuitSignals::requested, principal.get(), [&principal] {
        TQuitSignals::AskOrGiveUp([&principal] { principal->Sair1->trigger(); },
                                  [&principal] { principal->QuitWithoutAsking(); });
    }, Qt::QueuedConnection);

    principal->show();
    const int code = app.exec();
    // Screens still open or hidden go with the main window, before the data
    // module they work on.
    TScreenLinks::MinimizeToWindowBar = {};
    TScreenLinks::PrintOrder = {};
    principal.reset();
    relOS.reset();
    dm.reset();
    return code;
}
