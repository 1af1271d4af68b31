// "Ordens de Serviço por Período" on demo data in a real database file: the
// groups and their sums against the database's own count and sum, the first
// and last page read back from the page store, the choices refused with a
// message, and the report exported to PDF and read back with pdftotext.
#include "data/efberror.h"
#include "data/tfbfield.h"
#include "data/tmoney.h"
#include "orders/tperiodreport.h"
#include "orders/trelperiodoform.h"
#include "report/export/treppdfdocumentfilter.h"
#include "report/export/treprtfexportfilter.h"
#include "report/generate/trepelementprinter.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbcalc.h"
#include "report/model/trepreport.h"
#include "report/page/trepmetafile.h"
#include "report/print/trepprinter.h"
#include "report/store/treppagelist.h"
#include "tests/report/exporttools.h"
#include "tests/support/tscreentestdata.h"
#include "tools/tdemodata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tmaskdateedit.h"

#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QtTest>
#include <map>

using namespace TScreenTestData;

namespace {

struct Group
{
    int count = 0;
    TMoney sum;
};

// What the database holds for the period, grouped by status: counted and
// summed with TMoney row by row, and the database's own count and sum.
std::map<QString, Group> Expected(const QString &where, std::map<QString, std::pair<int, double>> &sql)
{
    std::map<QString, Group> groups;
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(QStringLiteral("select SITUACAO, VALORTOT from ORDEMSERV where ") + where);
    q->Open();
    for (q->First(); !q->Eof(); q->Next()) {
        Group &g = groups[q->FieldByName(QStringLiteral("SITUACAO"))->AsString()];
        ++g.count;
        g.sum = *g.sum.Plus(*TMoney::FromDouble(q->FieldByName(QStringLiteral("VALORTOT"))->AsFloat()));
    }
    q->Close();
    q->SetSQL(QStringLiteral("select SITUACAO, count(*) as N, sum(VALORTOT) as S from ORDEMSERV where ") + where
              + QStringLiteral(" group by SITUACAO"));
    q->Open();
    for (q->First(); !q->Eof(); q->Next())
        sql[q->FieldByName(QStringLiteral("SITUACAO"))->AsString()]
            = {q->FieldByName(QStringLiteral("N"))->AsInteger(), q->FieldByName(QStringLiteral("S"))->AsFloat()};
    q->Close();
    return groups;
}

// The currency text as the report prints it (a plain space after "R$").
QString Printed(TMoney amount)
{
    return amount.CurrencyText().replace(QChar(0xA0), QLatin1Char(' '));
}

} // namespace

class TstTPeriodReport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void refusedChoices_data();
    void refusedChoices();
    void dateBoxesTakeDigitsWhereverTheCursorIs();
    void groupsAndSumsMatchTheDatabase_data();
    void groupsAndSumsMatchTheDatabase();
    void firstAndLastPageFromThePageStore();
    void emptyPeriodPrintsZeroTotals();
    void tooManyOrdersRefusedBeforeStarting();
    void exportedToPdfAndRtf();
    void countsWithoutThousandsSeparators();
    void groupWithoutStatusHeadedSituacaoAlone();
    void statusGroupContinuedWithoutHeading();
    void amountWiderThanTheTotalColumnPrintsCurrencyAlone();

private:
    std::unique_ptr<TFbTestDb> m_db;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TMessageRecorder> m_messages;
};

void TstTPeriodReport::initTestCase()
{
    InitApplication();
}

void TstTPeriodReport::init()
{
    m_db = std::make_unique<TFbTestDb>();
    OS_REQUIRE_TEST_DB(*m_db);
    // About three orders per client, over several years and every status.
    TDemoData::Fill(m_db->Path(), 120, 7);
    m_dm = m_db->MakeDM();
    m_messages = std::make_unique<TMessageRecorder>();
    Exec(QStringLiteral("update config set cab1 = 'Oficina do Zé', cab2 = 'Rua das Flores, 10',"
                        " cab3 = 'Fone 3333-4444', cab4 = 'CNPJ 00.000.000/0001-00' where idconfig = 1"));
}

void TstTPeriodReport::cleanup()
{
    m_messages.reset();
    m_dm.reset();
    m_db.reset();
}

void TstTPeriodReport::refusedChoices_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    QTest::newRow("inicial em branco") << "  /  /    " << "31/01/2024" << "Informe a data inicial.";
    QTest::newRow("final em branco") << "01/01/2024" << "  /  /    " << "Informe a data final.";
    QTest::newRow("dia que não existe") << "31/02/2024" << "31/03/2024"
                                        << "A data inicial \"31/02/2024\" não é uma data válida.";
    QTest::newRow("dia incompleto") << "01/01/2024" << " 1/  /2024" << "A data final \"1/  /2024\" não é uma data válida.";
    QTest::newRow("invertidas") << "01/02/2024" << "01/01/2024"
                                << "A data inicial (01/02/2024) é posterior à data final (01/01/2024).";
}

void TstTPeriodReport::refusedChoices()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    TPeriodReport report(DM);
    TRelPeriodoForm form(&report);
    form.MaskEdit1->SetText(start);
    form.MaskEdit2->SetText(end);
    bool previewed = false;
    report.Report1->BeforePrint = [&previewed](TRepReport *, bool &print) {
        previewed = true;
        print = false;
    };
    form.BitBtn1->click();
    QCOMPARE(m_messages->Texts().size(), 1);
    QVERIFY2(m_messages->Texts().first().startsWith(message), qPrintable(m_messages->Texts().first()));
    QVERIFY(!previewed);
}

// The focus landed in "Data Inicial" with the cursor at its right and
// typing 01122026 did nothing; a click into the middle of "Data Final" was
// the same.
void TstTPeriodReport::dateBoxesTakeDigitsWhereverTheCursorIs()
{
    TPeriodReport report(DM);
    TRelPeriodoForm form(&report);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.MaskEdit1));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("01122026"));
    QCOMPARE(form.MaskEdit1->Text(), QStringLiteral("01/12/2026"));
    QTest::mouseClick(form.MaskEdit2, Qt::LeftButton, Qt::NoModifier, form.MaskEdit2->rect().center());
    QVERIFY(form.MaskEdit2->hasFocus());
    QTest::keyClicks(form.MaskEdit2, QStringLiteral("31122026"));
    QCOMPARE(form.MaskEdit2->Text(), QStringLiteral("31/12/2026"));
    QCOMPARE(m_messages->Count(), 0);
}

void TstTPeriodReport::groupsAndSumsMatchTheDatabase_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("kind");
    QTest::newRow("todos, cadastro") << QString() << int(TPeriodReport::Registered);
    QTest::newRow("concluído, cadastro") << QStringLiteral("Concluído") << int(TPeriodReport::Registered);
    QTest::newRow("todos, saída") << QString() << int(TPeriodReport::Closed);
}

void TstTPeriodReport::groupsAndSumsMatchTheDatabase()
{
    QFETCH(QString, status);
    QFETCH(int, kind);
    const QDate start(2000, 1, 1), end(2099, 12, 31);
    const QString column = kind == TPeriodReport::Closed ? QStringLiteral("DATASAIDA") : QStringLiteral("DATACAD");
    QString where = QStringLiteral("%1 >= '2000-01-01' and %1 < '2100-01-01'").arg(column);
    if (!status.isEmpty())
        where += QStringLiteral(" and SITUACAO = '%1'").arg(status);
    std::map<QString, std::pair<int, double>> sql;
    const std::map<QString, Group> expected = Expected(where, sql);
    QVERIFY2(!expected.empty(), "the demo data has no order in the period");

    TPeriodReport report(DM);
    report.Fill(start, end, status, TPeriodReport::DateKind(kind));
    // What each group footer and the summary printed.
    std::map<QString, Group> printed;
    QStringList order;
    QString current;
    auto *header = report.Report1->FindBandByName(QStringLiteral("GrupoSituacao"));
    auto *footer = report.Report1->FindBandByName(QStringLiteral("RodapeSituacao"));
    auto *summary = report.Report1->FindBandByName(QStringLiteral("Resumo"));
    auto calc = [&](const char *name) { return qobject_cast<TRepDBCalc *>(report.Report1->FindElement(QLatin1String(name))); };
    TRepGenerator *gen = TRepGenerator::Of(report.Report1);
    // The pass that only counts the pages is not looked at.
    header->AfterPrint = [&](TRepCustomBand *, bool) {
        if (gen->CountingPass())
            return;
        current = report.Orders->FieldByName(QStringLiteral("SITUACAO"))->AsString();
        order << current;
    };
    footer->AfterPrint = [&](TRepCustomBand *, bool) {
        if (gen->CountingPass())
            return;
        QVERIFY(!printed.count(current));
        QVERIFY(calc("SomaGrupo")->SumUnits().has_value());
        printed[current] = {int(calc("QtdGrupo")->Records()), TMoney::FromUnits(*calc("SomaGrupo")->SumUnits())};
        QCOMPARE(calc("SomaGrupo")->PrintCaption, Printed(printed[current].sum));
        QCOMPARE(calc("QtdGrupo")->PrintCaption, QString::number(printed[current].count));
    };
    Group total;
    summary->AfterPrint = [&](TRepCustomBand *, bool) {
        total = {int(calc("QtdTotal")->Records()), TMoney::FromUnits(calc("SomaTotal")->SumUnits().value_or(0))};
    };
    TRepPrinter store(report.Report1);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);

    QStringList sorted = order;
    sorted.sort();
    QCOMPARE(order, sorted);   // each status once, in the statement's order
    QCOMPARE(int(printed.size()), int(expected.size()));
    Group all;
    for (const auto &[name, want] : expected) {
        QVERIFY2(printed.count(name), qPrintable(name));
        QCOMPARE(printed.at(name).count, want.count);
        QCOMPARE(printed.at(name).sum, want.sum);
        QCOMPARE(printed.at(name).count, sql.at(name).first);
        QCOMPARE(printed.at(name).sum, *TMoney::FromDouble(sql.at(name).second));
        all.count += want.count;
        all.sum = *all.sum.Plus(want.sum);
    }
    QCOMPARE(total.count, all.count);
    QCOMPARE(total.sum, all.sum);
}

void TstTPeriodReport::firstAndLastPageFromThePageStore()
{
    TPeriodReport report(DM);
    report.Fill(QDate(2000, 1, 1), QDate(2099, 12, 31), QString(), TPeriodReport::Registered);
    const int rows = report.Orders->RecordCount();
    QVERIFY(rows > 100);
    TRepPrinter store(report.Report1);
    TRepGenerator *gen = TRepGenerator::Of(report.Report1);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    const int pages = store.PageCount();
    QVERIFY(pages >= 3);

    const QStringList first = store.PageList()->ReadPage(1).TextRecords();
    for (const QString &text : {QStringLiteral("Oficina do Zé"), QStringLiteral("Rua das Flores, 10"),
                                QStringLiteral("Fone 3333-4444"), QStringLiteral("CNPJ 00.000.000/0001-00"),
                                QStringLiteral("Ordens de Serviço por Período"), QStringLiteral("Número"),
                                QStringLiteral("Descrição do Produto"), QStringLiteral("Total"),
                                QStringLiteral("Página 1 de %1").arg(pages),
                                QStringLiteral("Período: 01/01/2000 a 31/12/2099 - Data de cadastro - Situação: Todos")})
        QVERIFY2(first.contains(text), qPrintable(text + " | " + first.join(" | ")));
    // The first row of the first group.
    report.Orders->First();
    QVERIFY(first.contains(report.Orders->FieldByName(QStringLiteral("NORDEM"))->AsString()));

    const QStringList last = store.PageList()->ReadPage(pages).TextRecords();
    QVERIFY2(last.contains(QStringLiteral("Página %1 de %1").arg(pages)), qPrintable(last.join(" | ")));
    QVERIFY(last.contains(QStringLiteral("Total do período")));
    QVERIFY(last.contains(QString::number(rows)));
    std::map<QString, std::pair<int, double>> sql;
    TMoney sum;
    for (const auto &[name, g] : Expected(QStringLiteral("DATACAD >= '2000-01-01'"), sql))
        sum = *sum.Plus(g.sum);
    QVERIFY2(last.contains(Printed(sum)), qPrintable(Printed(sum) + " | " + last.join(" | ")));
    QVERIFY(last.contains(QStringLiteral("Oficina do Zé")));
    // The header on every page, the total only at the end.
    for (int page = 2; page < pages; ++page) {
        const QStringList texts = store.PageList()->ReadPage(page).TextRecords();
        QVERIFY(texts.contains(QStringLiteral("Oficina do Zé")));
        QVERIFY(texts.contains(QStringLiteral("Página %1 de %2").arg(page).arg(pages)));
        QVERIFY(!texts.contains(QStringLiteral("Total do período")));
    }
}

void TstTPeriodReport::emptyPeriodPrintsZeroTotals()
{
    TPeriodReport report(DM);
    report.Fill(QDate(1950, 1, 1), QDate(1950, 1, 31), QString(), TPeriodReport::Registered);
    QCOMPARE(report.Orders->RecordCount(), 0);
    TRepPrinter store(report.Report1);
    TRepGenerator *gen = TRepGenerator::Of(report.Report1);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    QCOMPARE(store.PageCount(), 1);
    const QStringList texts = store.PageList()->ReadPage(1).TextRecords();
    QVERIFY2(texts.contains(QStringLiteral("R$ 0,00")), qPrintable(texts.join(" | ")));
    QVERIFY(texts.contains(QStringLiteral("Página 1 de 1")));
}

// A period holding more orders than one report lists is refused at once,
// with the count and what to do, and nothing is read or generated: at three
// million orders the report used to fail after minutes, two thirds made.
// (The limit made small here stands for the real one.)
void TstTPeriodReport::tooManyOrdersRefusedBeforeStarting()
{
    TPeriodReport report(DM);
    qint64 all = 0;
    TFbQuery *q = DM->AuxQuery;
    q->Reopen(QStringLiteral("select count(*) as N from ordemserv"));
    all = q->FieldByName(QStringLiteral("N"))->AsLargeInt();
    q->Close();
    QVERIFY(all > 10);
    report.SetMaxRows(all - 1);
    TRelPeriodoForm form(&report);
    form.MaskEdit1->SetText(QStringLiteral("01/01/1900"));
    form.MaskEdit2->SetText(QStringLiteral("31/12/2100"));
    bool previewed = false;
    report.Report1->BeforePrint = [&previewed](TRepReport *, bool &print) {
        previewed = true;
        print = false;
    };
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    QCOMPARE(m_messages->Texts().size(), 1);
    QVERIFY2(m_messages->Texts().first().startsWith(TPeriodReport::TooLongMessage(all, all - 1)),
             qPrintable(m_messages->Texts().first()));
    QVERIFY(!previewed);
    QVERIFY(!report.Orders->Active());
    QVERIFY2(TPeriodReport::TooLongMessage(1500000, TPeriodReport::MaxRows)
                 .startsWith(QStringLiteral("O período escolhido tem 1.500.000 ordens de serviço, e o relatório "
                                            "lista no máximo 1.000.000 de uma vez.")),
             qPrintable(TPeriodReport::TooLongMessage(1500000, TPeriodReport::MaxRows)));

    // Exactly at the limit it is made.
    report.SetMaxRows(all);
    report.Fill(QDate(1900, 1, 1), QDate(2100, 12, 31), QString(), TPeriodReport::Registered);
    QCOMPARE(qint64(report.Orders->RecordCount()), all);
}

void TstTPeriodReport::exportedToPdfAndRtf()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    TPeriodReport report(DM);
    report.Fill(QDate(2000, 1, 1), QDate(2099, 12, 31), QStringLiteral("Em Andamento"), TPeriodReport::Registered);
    std::map<QString, std::pair<int, double>> sql;
    const std::map<QString, Group> expected
        = Expected(QStringLiteral("DATACAD >= '2000-01-01' and SITUACAO = 'Em Andamento'"), sql);
    QCOMPARE(int(expected.size()), 1);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("periodo.pdf"));
    {
        TRepPDFDocumentFilter filter(file);
        TRepGenerator::Of(report.Report1)->ExportWithFilter(&filter);
    }
    const QString text = ExportTools::PlainText(file);
    const Group g = expected.begin()->second;
    for (const QString &want : {QStringLiteral("Oficina do Zé"), QStringLiteral("Ordens de Serviço por Período"),
                                QStringLiteral("Situação: Em Andamento"), QStringLiteral("Total do período"),
                                Printed(g.sum), QStringLiteral("Página 1 de ")})
        QVERIFY2(text.contains(want), qPrintable(want + "\n" + text.left(2000)));
    report.Orders->First();
    QVERIFY(text.contains(report.Orders->FieldByName(QStringLiteral("NORDEM"))->AsString()));

    // The same through the RTF filter: its plain ASCII texts stand as they are.
    const QString rtf = dir.filePath(QStringLiteral("periodo.rtf"));
    {
        TRepRTFExportFilter filter(rtf);
        TRepGenerator::Of(report.Report1)->ExportWithFilter(&filter);
    }
    QFile rtfFile(rtf);
    QVERIFY(rtfFile.open(QIODevice::ReadOnly));
    QString rtfText = QString::fromLatin1(rtfFile.readAll());
    QVERIFY(rtfText.startsWith(QLatin1String("{\\rtf1")));
    // A text may be written in two runs of different letter spacing, so
    // that it spans the width it prints at: the runs are joined again.
    rtfText.remove(QRegularExpression(QStringLiteral("\\\\expndtw-?\\d+ ")));
    for (const QString &want : {Printed(g.sum), QStringLiteral("Total do per"), QStringLiteral("Oficina do Z")})
        QVERIFY2(rtfText.contains(want), qPrintable(want));
}

// The counts printed "50000": a count is grouped as every quantity is.
void TstTPeriodReport::countsWithoutThousandsSeparators()
{
    TPeriodReport report(DM);
    for (const char *name : {"QtdGrupo", "QtdTotal"}) {
        auto *calc = qobject_cast<TRepDBCalc *>(report.Report1->FindElement(QLatin1String(name)));
        QVERIFY(calc);
        calc->Reset();
        for (int i = 0; i < 50000; ++i)
            calc->Accumulate();
        QCOMPARE(TRepElementPrinter::CalcText(*calc), QStringLiteral("50.000"));
    }
}

// The orders without a status were a group headed "Situação:" alone.
void TstTPeriodReport::groupWithoutStatusHeadedSituacaoAlone()
{
    Exec(QStringLiteral("update ordemserv set situacao = null where idordem in"
                        " (select first 3 idordem from ordemserv order by idordem)"));
    TPeriodReport report(DM);
    report.Fill(QDate(2000, 1, 1), QDate(2099, 12, 31), QString(), TPeriodReport::Registered);
    TRepPrinter store(report.Report1);
    TRepGenerator *gen = TRepGenerator::Of(report.Report1);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    // The group without a status sorts first.
    const QStringList first = store.PageList()->ReadPage(1).TextRecords();
    const qsizetype label = first.indexOf(QStringLiteral("Situação:"));
    QVERIFY2(label >= 0, qPrintable(first.join(" | ")));
    QCOMPARE(first.value(label + 1), TPeriodReport::NoStatusText());
}

// A status group going on to the next page had no heading there: each page
// but the first starts, under the page header, with its group's heading.
void TstTPeriodReport::statusGroupContinuedWithoutHeading()
{
    TPeriodReport report(DM);
    report.Fill(QDate(2000, 1, 1), QDate(2099, 12, 31), QString(), TPeriodReport::Registered);
    TRepPrinter store(report.Report1);
    TRepGenerator *gen = TRepGenerator::Of(report.Report1);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    QVERIFY(store.PageCount() >= 3);
    for (int page = 2; page <= store.PageCount(); ++page) {
        const QStringList texts = store.PageList()->ReadPage(page).TextRecords();
        // After the column titles ("Total" the last of them) comes a heading.
        const qsizetype titles = texts.indexOf(QStringLiteral("Total"));
        QVERIFY2(titles >= 0 && texts.value(titles + 1) == QStringLiteral("Situação:"),
                 qPrintable(QString::number(page) + ": " + texts.join(" | ")));
        QVERIFY(!texts.value(titles + 2).isEmpty());
    }
}

// R$ 99.999.999,99 in the Total column printed "R$" alone.
void TstTPeriodReport::amountWiderThanTheTotalColumnPrintsCurrencyAlone()
{
    Exec(QStringLiteral("update ordemserv set valortot = 99999999.99 where idordem ="
                        " (select min(idordem) from ordemserv)"));
    TPeriodReport report(DM);
    report.Fill(QDate(2000, 1, 1), QDate(2099, 12, 31), QString(), TPeriodReport::Registered);
    TRepPrinter store(report.Report1);
    TRepGenerator *gen = TRepGenerator::Of(report.Report1);
    gen->SetPrinter(&store);
    gen->GenerateReport();
    gen->SetPrinter(nullptr);
    QStringList texts;
    for (int page = 1; page <= store.PageCount(); ++page)
        texts += store.PageList()->ReadPage(page).TextRecords();
    QVERIFY2(texts.contains(QStringLiteral("R$ 99.999.999,99")), qPrintable(texts.join(" | ").left(3000)));
    QVERIFY(!texts.contains(QStringLiteral("R$")));
    QVERIFY(!texts.contains(QStringLiteral("R$ ")));
}

QTEST_MAIN(TstTPeriodReport)
#include "tst_tperiodreport.moc"
