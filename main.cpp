// The application: creates the pieces and wires them together.
#include "tapplication.h"
#include "tprincipalform.h"

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    TApplication::Configure();

    TPrincipalForm principal;
    principal.show();
    return app.exec();
}
