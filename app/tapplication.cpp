#include "tapplication.h"
#include "tguard.h"

#include <QFont>
#include <QLocale>

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
