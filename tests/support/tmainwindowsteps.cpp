#include "tests/support/tmainwindowsteps.h"

#include "tests/support/tfbtestdb.h"
#include "tests/support/txsession.h"

#include <QProcessEnvironment>
#include <QRegularExpression>

#include <QStringList>

namespace {
// "Arquivo", the first title of the menu bar (at least 12 pixels high).
constexpr int ArquivoX = 22, ArquivoY = 6;
} // namespace

QString TMainWindowSteps::MainWindow()
{
    return QStringLiteral("^Ordem de Serviço %1  - Tarvo Vodevuru$")
        .arg(QRegularExpression::escape(QStringLiteral(OS_PROJECT_VERSION)));
}

QString TMainWindowSteps::MessageBox()
{
    return QStringLiteral("^OS - Tarvo Vodevuru$");
}

QString TMainWindowSteps::Launch(TXSession &x, const TFbTestDb &db, const QString &letters)
{
    if (!x.Start() || (!letters.isEmpty() && !x.BindKeys(letters)))
        return {};
    // The settings file under this HOME, whatever the caller's environment.
    QProcessEnvironment env;
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), db.Dir() + QStringLiteral("/.config"));
    if (!x.Launch(TXSession::ProgramPath(QStringLiteral("ordemservico")), db.Dir(), {}, env))
        return {};
    // The first start of a sanitizer build on a loaded machine is slow.
    return x.WaitForWindow(MainWindow(), 60000);
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
