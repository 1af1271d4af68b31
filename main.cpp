// The application: creates the pieces and wires them together.
#include "tapplication.h"
#include "tclientesform.h"
#include "tconfigform.h"
#include "tdm.h"
#include "tguard.h"
#include "tlistaclientesform.h"
#include "tmessages.h"
#include "tordemservform.h"
#include "tprincipalform.h"

#include <QTabWidget>

#include <memory>

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    TApplication::Configure();

    // The main window first, then the data module (which loads the database
    // client library: without it the system cannot start).
    auto principal = std::make_unique<TPrincipalForm>();
    std::unique_ptr<TDM> dm;
    if (!Guard([&] { dm = std::make_unique<TDM>(); }))
        return 1;

    principal->SetSettingsFactory([] { return new TConfigForm; });
    // Clients: the list that "Cadastros" > "Clientes" and the CLIENTES
    // picture open; the record form's pencil opens the settings on their
    // header page.
    principal->SetScreenFactory(TPrincipalForm::Screen::ClientList,
                                [](QWidget *owner) { return new TListaClientesForm(owner); });
    // Service orders: "OS" > "Ordens de Serviço" and the O.S. picture.
    principal->SetScreenFactory(TPrincipalForm::Screen::Orders,
                                [](QWidget *owner) { return new TOrdemservForm(owner); });
    TClientesForm::SetSettingsOpener([](QWidget *) {
        TConfigForm form;
        form.PageControl1->setCurrentIndex(1);
        form.exec();
    });
    // Closing the main window ends the run, whatever other windows are open.
    QObject::connect(principal.get(), &TPrincipalForm::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    principal->show();
    const int code = app.exec();
    // Screens still open or hidden go with the main window, before the data
    // module they work on.
    principal.reset();
    dm.reset();
    return code;
}
