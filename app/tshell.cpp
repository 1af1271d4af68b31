#include "app/tshell.h"

#include <QDesktopServices>

namespace {
TShell::UrlOpener &CurrentOpener()
{
    static TShell::UrlOpener opener;
    return opener;
}
} // namespace

void TShell::OpenWebAddress(const QString &address)
{
    const QUrl url(QStringLiteral("http://") + address);
    const UrlOpener &opener = CurrentOpener();
    // The result is ignored on purpose: a missing browser is not an error here.
    if (opener)
        (void)opener(url);
    else
        (void)QDesktopServices::openUrl(url);
}

TShell::UrlOpener TShell::SetUrlOpener(UrlOpener opener)
{
    UrlOpener previous = std::move(CurrentOpener());
    CurrentOpener() = std::move(opener);
    return previous;
}
