// The application: creates the pieces and wires them together.
#include <QApplication>
#include <QLocale>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QApplication::setApplicationName(QStringLiteral("OS - Tarvo Vodevuru"));
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("Ordem de Serviço 1.5  - Tarvo Vodevuru"));
    w.showMaximized();
    return app.exec();
}
