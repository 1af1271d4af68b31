#pragma once
// What the system asks of the desktop shell.
#include <QString>
#include <QUrl>
#include <functional>

class TShell
{
public:
    // Opens "http://" + address in the default browser; nothing is reported
    // when no browser opens.
    static void OpenWebAddress(const QString &address);

    // Replaces the browser launch (tests record the address instead).
    // An empty function puts back the desktop's own. Returns the previous one.
    using UrlOpener = std::function<bool(const QUrl &)>;
    static UrlOpener SetUrlOpener(UrlOpener opener);
};
