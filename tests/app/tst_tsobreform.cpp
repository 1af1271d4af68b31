// The about box.
#include "app/tapplication.h"
#include "app/tsobreform.h"

#include <QPlainTextEdit>
#include <QtTest>

class TstTSobreForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TApplication::Configure(); }
    void layoutAndText();
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

QTEST_MAIN(TstTSobreForm)
#include "tst_tsobreform.moc"
