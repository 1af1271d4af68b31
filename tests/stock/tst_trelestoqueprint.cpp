// "Imprimir" of the stock movement report: the rows the screen shows,
// product by product with entries and exits summed (against the database's
// own sums), the totals, and the kind and period in the title.
#include "data/tfbfield.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbcalc.h"
#include "report/model/treplabel.h"
#include "report/model/trepreport.h"
#include "report/page/trepmetafile.h"
#include "report/print/trepprinter.h"
#include "report/store/treppagelist.h"
#include "stock/trelestoqueprint.h"
#include "stock/trelform.h"
#include "tests/support/tscreentestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tmaskdateedit.h"
#include "widgets/tradiogroup.h"

#include <QtTest>
#include <map>

using namespace TScreenTestData;

namespace {

struct Sums
{
    qint64 in = 0, out = 0;
    bool operator==(const Sums &o) const { return in == o.in && out == o.out; }
};

// Product, date, kind, quantity.
struct Movement
{
    int prod;
    const char *date;
    const char *tipo;
    int qtde;
};

const Movement kMovements[] = {
    {1, "2008-05-02", "entrada", 5},  {1, "2008-05-03", "saida", 2},   {1, "2008-05-20", "entrada", 10},
    {2, "2008-05-04", "saida", 4},    {3, "2008-05-31 18:00:00", "entrada", 1},
    {2, "2008-06-01", "entrada", 100}, {3, "2008-04-30", "saida", 7},
};

std::map<int, Sums> DatabaseSums(const QString &shown)
{
    std::map<int, Sums> sums;
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(QStringLiteral("select m.IDPROD, sum(case when m.TIPO = 'entrada' then m.QTDEENT else 0 end) as E,"
                             " sum(case when m.TIPO = 'saida' then m.QTDEENT else 0 end) as S"
                             " from (%1) m group by m.IDPROD").arg(shown));
    q->Open();
    for (q->First(); !q->Eof(); q->Next())
        sums[q->FieldByName(QStringLiteral("IDPROD"))->AsInteger()]
            = {q->FieldByName(QStringLiteral("E"))->AsInteger(), q->FieldByName(QStringLiteral("S"))->AsInteger()};
    q->Close();
    return sums;
}

} // namespace

class TstTRelEstoquePrint : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void printButton();
    void sumsPerProductAndTotal_data();
    void sumsPerProductAndTotal();
    void countsWithoutThousandsAndSupplierCutAtAWord();

private:
    TScreenDb m_screen;
    TRelForm *m_report = nullptr;
};

void TstTRelEstoquePrint::initTestCase()
{
    InitApplication();
}

void TstTRelEstoquePrint::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    int id = 0;
    for (const Movement &m : kMovements) {
        ++id;
        Exec(QStringLiteral("insert into prodent (idprodent, idprod, datacad, qtdeent, tipo, nomeforne, descricao)"
                            " values (%1, %2, '%3', %4, '%5', 'Fornecedor', 'Produto %2')")
                 .arg(id)
                 .arg(m.prod)
                 .arg(QLatin1String(m.date))
                 .arg(m.qtde)
                 .arg(QLatin1String(m.tipo)));
    }
    Exec(QStringLiteral("update config set cab1 = 'Oficina do Zé' where idconfig = 1"));
    DM->ProdEntQuery->Close();
    DM->ProdEntQuery->Open();
    m_report = new TRelForm;
}

void TstTRelEstoquePrint::cleanup()
{
    delete m_report;
    m_report = nullptr;
    m_screen.Close();
}

void TstTRelEstoquePrint::printButton()
{
    QCOMPARE(m_report->BitBtn2->text(), QStringLiteral("Imprimir"));
    QVERIFY(!m_report->BitBtn2->icon().isNull());
    QCOMPARE(m_report->PrintTitle(), QStringLiteral("Relatório de Estoque - Entradas e Saídas - todo o período"));
    m_report->RadioGroup1->SetItemIndex(TRelForm::Exits);
    m_report->MaskEdit1->SetText(QStringLiteral("01/05/2008"));
    m_report->MaskEdit2->SetText(QStringLiteral("31/05/2008"));
    // The title follows the filter applied, not what is typed meanwhile.
    QCOMPARE(m_report->PrintTitle(), QStringLiteral("Relatório de Estoque - Entradas e Saídas - todo o período"));
    m_report->BitBtn1Click();
    QCOMPARE(m_report->PrintTitle(), QStringLiteral("Relatório de Estoque - Saídas - 01/05/2008 a 31/05/2008"));
}

void TstTRelEstoquePrint::sumsPerProductAndTotal_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("totalIn");
    QTest::addColumn<int>("totalOut");
    QTest::newRow("todos, maio") << int(TRelForm::All) << "01/05/2008" << "31/05/2008" << 16 << 6;
    QTest::newRow("entradas, sem período") << int(TRelForm::Entries) << "  /  /    " << "  /  /    " << 116 << 0;
    QTest::newRow("saídas, maio") << int(TRelForm::Exits) << "01/05/2008" << "31/05/2008" << 0 << 6;
    QTest::newRow("nenhum movimento") << int(TRelForm::All) << "01/01/2001" << "31/01/2001" << 0 << 0;
}

void TstTRelEstoquePrint::sumsPerProductAndTotal()
{
    QFETCH(int, kind);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, totalIn);
    QFETCH(int, totalOut);
    m_report->RadioGroup1->SetItemIndex(kind);
    m_report->MaskEdit1->SetText(start);
    m_report->MaskEdit2->SetText(end);
    m_report->BitBtn1Click();
    const QString shown = DM->ProdEntQuery->SQLText();
    const int rows = DM->ProdEntQuery->RecordCount();

    TRelEstoquePrint print(DM);
    print.Fill(shown, m_report->PrintTitle());
    QCOMPARE(print.Movements->RecordCount(), rows);
    TRepReport *r = print.Report1;
    auto calc = [r](const char *name) { return qobject_cast<TRepDBCalc *>(r->FindElement(QLatin1String(name))); };
    std::map<int, Sums> printed;
    int product = 0;
    TRepGenerator *gen = TRepGenerator::Of(r);
    // The pass that only counts the pages is not looked at.
    r->FindBandByName(QStringLiteral("GrupoProduto"))->AfterPrint = [&](TRepCustomBand *, bool) {
        if (gen->CountingPass())
            return;
        product = print.Movements->FieldByName(QStringLiteral("IDPROD"))->AsInteger();
    };
    r->FindBandByName(QStringLiteral("RodapeProduto"))->AfterPrint = [&](TRepCustomBand *, bool) {
        if (gen->CountingPass())
            return;
        QVERIFY(!printed.count(product));
        printed[product] = {*calc("EntradasProduto")->SumUnits() / 10000, *calc("SaidasProduto")->SumUnits() / 10000};
    };
    TRepPrinter store(r);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);

    QVERIFY(printed == DatabaseSums(shown));
    QCOMPARE(*calc("EntradasTotal")->SumUnits(), qint64(totalIn) * 10000);
    QCOMPARE(*calc("SaidasTotal")->SumUnits(), qint64(totalOut) * 10000);
    const QStringList last = store.PageList()->ReadPage(store.PageCount()).TextRecords();
    QVERIFY2(last.contains(m_report->PrintTitle()), qPrintable(last.join(" | ")));
    QVERIFY(last.contains(QStringLiteral("Oficina do Zé")));
    QVERIFY(last.contains(QString::number(totalIn)));
    QVERIFY(last.contains(QString::number(totalOut)));
    QVERIFY(last.contains(QStringLiteral("Página %1 de %1").arg(store.PageCount())));
}

// A quantity of 50000 printed "50000", and a supplier's name longer than
// its column lost its last words: quantities print grouped ("50.000") and
// a long name goes on over the next lines, whole.
void TstTRelEstoquePrint::countsWithoutThousandsAndSupplierCutAtAWord()
{
    const QString supplier = QStringLiteral("Distribuidora Nacional de Peças e Componentes Eletrônicos do Paraná Ltda");
    Exec(QStringLiteral("insert into prodent (idprodent, idprod, datacad, qtdeent, tipo, nomeforne, descricao)"
                        " values (100, 9, '2008-05-10', 50000, 'entrada', '%1', 'Parafuso')")
             .arg(supplier));
    DM->ProdEntQuery->Close();
    DM->ProdEntQuery->Open();
    m_report->BitBtn1Click();
    TRelEstoquePrint print(DM);
    print.Fill(DM->ProdEntQuery->SQLText(), m_report->PrintTitle());
    TRepPrinter store(print.Report1);
    TRepGenerator *gen = TRepGenerator::Of(print.Report1);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    QStringList texts;
    for (int page = 1; page <= store.PageCount(); ++page)
        texts += store.PageList()->ReadPage(page).TextRecords();
    const QString all = texts.join(QLatin1String(" | "));
    // The row's quantity, the product's entries and the total.
    QVERIFY2(texts.count(QStringLiteral("50.000")) == 2, qPrintable(all));
    QVERIFY2(texts.contains(QStringLiteral("50.116")), qPrintable(all));
    QVERIFY2(!texts.contains(QStringLiteral("50000")), qPrintable(all));
    // The name's lines, one after the other, make the whole name.
    const qsizetype first = texts.indexOf(QRegularExpression(QStringLiteral("Distribuidora.*")));
    QVERIFY2(first >= 0, qPrintable(all));
    QString name = texts.at(first).trimmed();
    for (qsizetype i = first + 1; i < texts.size() && name.size() < supplier.size(); ++i)
        name += QLatin1Char(' ') + texts.at(i).trimmed();
    QCOMPARE(name, supplier);
    QVERIFY(texts.at(first).trimmed() != supplier);   // it did take more than one line
}

QTEST_MAIN(TstTRelEstoquePrint)
#include "tst_trelestoqueprint.moc"
