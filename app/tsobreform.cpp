#include "app/tsobreform.h"
#include "app/tapplication.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStringList>

TSobreForm::TSobreForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SobreForm"));
    setWindowTitle(QStringLiteral("Sobre - Ordem de Serviço"));
    // A tool window with the close box only.
    setWindowFlags(Qt::Dialog | Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(420, 407);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 8, 404, 391);
    Memo1->setReadOnly(true);
    const QStringList lines = {
        QStringLiteral("Servalo - Ordem de Serviço"),
        QString(),
        QString(),
        QStringLiteral("Versão Gratuita"),
        QStringLiteral("* Clientes"),
        QStringLiteral("* Fornecedores"),
        QStringLiteral("* Gerência e Impressão de Ordem de Serviço"),
        QStringLiteral("* Controle de Estoque. Entrada / Saída."),
        QStringLiteral("* Backup de dados."),
        QString(),
        QString(),
        QStringLiteral("Informações ou dúvidas:"),
        TApplication::WebAddress() + QStringLiteral(" - ") + TApplication::SupportEmail(),
    };
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));

    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
