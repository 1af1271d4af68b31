#pragma once
// The process set-up shared by the executable and the tests: Brazilian
// locale, application title (the caption of every message box), the font,
// and the maker's addresses shown by the main window and the about box.
#include <QApplication>
#include <QString>

class TApplication : public QApplication
{
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);

    // Sets up whatever QApplication is running: locale pt_BR as the default,
    // the title "OS - Tarvo Vodevuru", the font Tahoma 8 pt (fontconfig picks
    // its stand-in), no modal window left minimised, Qt's own texts in Portuguese, and the standard error box
    // for a failed commit that cannot be thrown. Tests call it in
    // initTestCase.
    static void Configure();

    static QString Title() { return QStringLiteral("OS - Tarvo Vodevuru"); }
    static QString MakerName() { return QStringLiteral("Tarvo Vodevuru"); }
    static QString WebAddress() { return QStringLiteral("www.tarvo.com.br"); }
    static QString SupportEmail() { return QStringLiteral("suporte@tarvo.com.br"); }

    // An error escaping an event handler is shown in the standard error box
    // instead of ending the process.
    bool notify(QObject *receiver, QEvent *event) override;
};
