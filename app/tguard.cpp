#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/efberror.h"
#include "data/tdm.h"
#include "data/tfbdatabase.h"
#include "data/tfbreconnect.h"

#include <QString>
#include <stdexcept>

void ShowCurrentError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EFbError &e) {
        if (TFbReconnect::IsLost()) {
            // Tried again at this action, and the server is still away.
            TMessages::ShowError(TFbReconnect::StillLostMessage(e.Message()));
        } else if (TFbReconnect::IsConnectionLost(e.GdsCode())) {
            // The next action attaches again; until then nothing is lost.
            if (DM)
                TFbReconnect::NoteLost(*DM->Database);
            TMessages::ShowError(TFbReconnect::LostMessage(e.Message()));
        } else {
            TMessages::ShowError(e.Message());
        }
    } catch (const std::exception &e) {
        TMessages::ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        TMessages::ShowError(QStringLiteral("Erro desconhecido"));
    }
}

bool Guard(const std::function<void()> &handler)
{
    // A connection lost at an earlier action is attached again first; when
    // the server still does not answer the action runs all the same (quitting
    // needs no server) and its failure says so.
    TFbReconnect::ReconnectIfLost();
    try {
        handler();
        return true;
    } catch (...) {
        ShowCurrentError(std::current_exception());
        return false;
    }
}
