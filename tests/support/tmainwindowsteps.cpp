#include "tmainwindowsteps.h"

#include "txsession.h"

#include <QStringList>

namespace {
// "Arquivo", the first title of the menu bar (at least 12 pixels high).
constexpr int ArquivoX = 22, ArquivoY = 6;
} // namespace

QString TMainWindowSteps::MainWindow()
{
    return QStringLiteral("^Ordem de Serviço 1\\.5  - Tarvo Vodevuru$");
}

QString TMainWindowSteps::MessageBox()
{
    return QStringLiteral("^OS - Tarvo Vodevuru$");
}

QString TMainWindowSteps::OpenFromPicture(TXSession &x, const QString &main, int pictureX, const QString &caption)
{
    QString screen;
    for (int attempt = 0; attempt < 5 && screen.isEmpty() && x.AppRunning(); ++attempt) {
        if (!x.XDo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), main}) || !x.Click(main, pictureX, PictureY))
            return {};
        screen = x.WaitForWindow(caption, 3000);
    }
    return screen;
}

bool TMainWindowSteps::ChooseSair(TXSession &x, const QString &main)
{
    const QStringList before = x.AppWindows();
    if (!x.XDo({QStringLiteral("windowfocus"), QStringLiteral("--sync"), main}) || !x.Click(main, ArquivoX, ArquivoY))
        return false;
    const QString menu = x.WaitForNewAppWindow(before);
    return !menu.isEmpty() && x.Keys(menu, {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
}
