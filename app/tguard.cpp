#include "app/tguard.h"
#include "app/tmessages.h"

#include <QString>
#include <stdexcept>

void ShowCurrentError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        TMessages::ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        TMessages::ShowError(QStringLiteral("Erro desconhecido"));
    }
}

bool Guard(const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (...) {
        ShowCurrentError(std::current_exception());
        return false;
    }
}
