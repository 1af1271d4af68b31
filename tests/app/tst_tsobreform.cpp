// The about box.
#include "app/tapplication.h"
#include "app/tsobreform.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QtTest>

class TstTSobreForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void layoutAndText();
    void modalWindowLeftMinimised_data();
    void modalWindowLeftMinimised();
};

void TstTSobreForm::layoutAndText()
{
    TSobreForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Sobre - Ordem de Serviço"));
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE((form.windowFlags() & Qt::WindowType_Mask), Qt::Tool);
    QCOMPARE(form.size(), QSize(420, 407));
    QCOMPARE(form.Memo1->geometry(), QRect(8, 8, 404, 391));
    QVERIFY(form.Memo1->isReadOnly());
    const QStringList lines = form.Memo1->toPlainText().split('\n');
    const QStringList expected = {
        "Servalo - Ordem de Serviço", "", "", "Versão Gratuita", "* Clientes", "* Fornecedores",
        "* Gerência e Impressão de Ordem de Serviço", "* Controle de Estoque. Entrada / Saída.",
        "* Backup de dados.", "", "", "Informações ou dúvidas:",
        TApplication::WebAddress() + " - " + TApplication::SupportEmail()};
    QCOMPARE(lines, expected);
}

// A minimise that reaches a modal window (under a window manager, the
// family of a minimised owner) left the main window blocked with no dialog in
// sight: it is undone. A window that is not modal may be minimised.
void TstTSobreForm::modalWindowLeftMinimised_data()
{
    QTest::addColumn<bool>("aboutBox");
    QTest::addColumn<bool>("modal");
    QTest::newRow("about box") << true << true;
    QTest::newRow("modal dialog") << false << true;
    QTest::newRow("window that is not modal") << false << false;
}

void TstTSobreForm::modalWindowLeftMinimised()
{
    QFETCH(bool, aboutBox);
    QFETCH(bool, modal);
    std::unique_ptr<QWidget> window;
    if (aboutBox)
        window = std::make_unique<TSobreForm>();
    else
        window = std::make_unique<QDialog>();
    window->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->setWindowState(Qt::WindowMinimized);
    QTest::qWait(50);
    if (modal) {
        QTRY_VERIFY(!window->windowState().testFlag(Qt::WindowMinimized));
        QVERIFY(window->isVisible());
    } else {
        QVERIFY(window->windowState().testFlag(Qt::WindowMinimized));
    }
}

QTEST_MAIN(TstTSobreForm)
#include "tst_tsobreform.moc"
