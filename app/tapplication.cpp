#include "app/tapplication.h"
#include "app/tguard.h"
#include "app/tmessages.h"
#include "app/tmodalinsight.h"
#include "data/tfbtransaction.h"

#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

void TApplication::Configure()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    // The application name, not the display name: Qt appends an explicit
    // display name to every window caption.
    QCoreApplication::setApplicationName(Title());
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));
    TModalInSight::Install();
    // Qt's own texts (the standard buttons of a message box: "Sim", "Não")
    // in Portuguese. Without the translation files they stay in English.
    static QTranslator *qtTexts = nullptr;
    if (!qtTexts) {
        auto *t = new QTranslator(qApp);
        if (t->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(t);
            qtTexts = t;
        } else {
            delete t;
        }
    }
    // A commit that fails where it cannot be thrown (a connection or
    // transaction being destroyed) is shown like every other database error.
    TFbTransaction::SetFailureReporter([](const QString &message) { TMessages::ShowError(message); });
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentError(std::current_exception());
        return false;
    }
}
