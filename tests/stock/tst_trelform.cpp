// The stock movement report on a real database file: its controls, the
// filter statements and the rows they find (the whole end day, movements
// without a date), bad dates refused before the movements are touched, the
// date boxes' own rules, colours, and the state a new screen starts in.
#include "stock/trelform.h"
#include "tests/stock/tstocktestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbgrid.h"
#include "widgets/tmaskdateedit.h"
#include "widgets/tradiogroup.h"
#include "widgets/trowcolors.h"

#include <QHeaderView>
#include <QClipboard>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

using namespace TStockTestData;

namespace {
struct Movement {
    int id;
    QString datacad;   // null: no date
    QString tipo;
};

// Around May 2008: the first day, the middle, the last day at 14:30, the
// next day, the day before at 23:59, a kind in other letters, no date.
const Movement kMovements[] = {
    {1, QStringLiteral("2008-05-01"), QStringLiteral("entrada")},
    {2, QStringLiteral("2008-05-15"), QStringLiteral("saida")},
    {3, QStringLiteral("2008-05-31 14:30:00"), QStringLiteral("entrada")},
    {4, QStringLiteral("2008-06-01"), QStringLiteral("saida")},
    {5, QStringLiteral("2008-04-30 23:59:00"), QStringLiteral("entrada")},
    {6, QStringLiteral("2008-05-10"), QStringLiteral("Entrada")},
    {7, QString(), QStringLiteral("entrada")},
};

void AddMovement(const Movement &m)
{
    Exec(QStringLiteral("insert into prodent (idprodent, idprod, datacad, qtdeent, obs, tipo, nomeforne, descricao) "
                        "values (%1, %1, %2, %3, 'obs %1', %4, 'Fornecedor %1', 'Produto %1')")
             .arg(m.id)
             .arg(Literal(m.datacad))
             .arg(m.id * 10)
             .arg(Quoted(m.tipo)));
}

// The keys of the rows the movement dataset holds, in ascending order.
QList<int> ShownIds()
{
    QList<int> ids;
    for (const QString &id : Column(DM->ProdEntQuery, QStringLiteral("IDPRODENT")))
        ids << id.toInt();
    std::sort(ids.begin(), ids.end());
    return ids;
}
} // namespace

class TstTRelForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionsAndColumns();
    void statements_data();
    void statements();
    void filteredRows_data();
    void filteredRows();
    void badDateLeavesTheMovementsAsTheyWere_data();
    void badDateLeavesTheMovementsAsTheyWere();
    void dateBoxEditing_data();
    void dateBoxEditing();
    void dateBoxWithBlankYearCannotBeLeft();
    void escAbandonsTheChanges();
    void escAfterInvalidInputLeftTheHalfDate();
    void rowColours();
    void newScreenStartsAtTodosWithTheLastFilter();

private:
    void Filter(int kind, const QString &start, const QString &end);

    TScreenTestData::TScreenDb m_screen;
    QPointer<TRelForm> m_report;
};

void TstTRelForm::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTRelForm::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    for (const Movement &m : kMovements)
        AddMovement(m);
    // As the main window leaves it: the data module's statement, reopened.
    DM->ProdEntQuery->Close();
    DM->ProdEntQuery->Open();
    m_report = new TRelForm;
}

void TstTRelForm::cleanup()
{
    delete m_report;
    m_screen.Close();
}

void TstTRelForm::Filter(int kind, const QString &start, const QString &end)
{
    m_report->RadioGroup1->SetItemIndex(kind);
    m_report->MaskEdit1->SetText(start);
    m_report->MaskEdit2->SetText(end);
    m_report->BitBtn1->click();
}

void TstTRelForm::captionsAndColumns()
{
    QCOMPARE(m_report->objectName(), QStringLiteral("RelForm"));
    QCOMPARE(m_report->windowTitle(), QStringLiteral("Relatório de Estoque - Entrada / Saida"));
    QCOMPARE(m_report->minimumSize(), QSize(760, 596));
    QCOMPARE(m_report->maximumSize(), QSize(760, 596));
    const Qt::WindowFlags flags = m_report->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(m_report->Panel1->height(), 105);
    QCOMPARE(m_report->RadioGroup1->title(), QStringLiteral("Tipo"));
    QCOMPARE(m_report->RadioGroup1->Items(), QStringList({QStringLiteral("Todos"), QStringLiteral("Entrada de Produto"),
                                                          QStringLiteral("Saída de Produto")}));
    QCOMPARE(m_report->RadioGroup1->Columns(), 1);
    QCOMPARE(m_report->RadioGroup1->ItemIndex(), 0);
    QCOMPARE(m_report->Label1->text(), QStringLiteral("Data Inicial"));
    QCOMPARE(m_report->Label2->text(), QStringLiteral("à"));
    QCOMPARE(m_report->Label3->text(), QStringLiteral("Data Final"));
    QCOMPARE(m_report->MaskEdit1->Text(), QStringLiteral("  /  /    "));
    QCOMPARE(m_report->MaskEdit2->Text(), QStringLiteral("  /  /    "));
    QCOMPARE(m_report->MaskEdit1->maxLength(), 10);
    QCOMPARE(m_report->BitBtn1->text(), QStringLiteral("Filtrar [Estoque]"));
    QVERIFY(!m_report->BitBtn1->icon().isNull());

    TDBGrid *grid = m_report->DBGrid1;
    QCOMPARE(TScreenTestData::GridTitles(grid),
             QStringLiteral("Data Entrada / Saida|Cod. Produto|Descrição|Qtde Entrada / Saida|Fornecedor|Observação"));
    QCOMPARE(grid->columnWidth(2), 270);
    QCOMPARE(grid->columnWidth(4), 270);
    QCOMPARE(grid->columnWidth(5), 700);
    QCOMPARE(grid->model()->rowCount(), 7);
    TScreenTestData::CompareListGridLook(grid);
}

void TstTRelForm::statements_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("statement");   // empty: refused
    QTest::addColumn<QString>("error");

    const QString blank = TMaskDateEdit::BlankText();
    const QString may = QStringLiteral(" datacad >= \"2008/05/01\" and datacad < \"2008/06/01\"");
    QTest::newRow("Todos, no period") << 0 << blank << blank << "select * from prodent" << "";
    QTest::newRow("Todos, period") << 0 << "01/05/2008" << "31/05/2008"
                                   << "select * from prodent where" + may << "";
    QTest::newRow("Entrada, no period") << 1 << blank << blank << "select * from prodent where tipo=\"entrada\"" << "";
    QTest::newRow("Entrada, period") << 1 << "01/05/2008" << "31/05/2008"
                                     << "select * from prodent where tipo=\"entrada\" and" + may << "";
    QTest::newRow("Saída, no period") << 2 << blank << blank << "select * from prodent where tipo=\"saida\"" << "";
    QTest::newRow("Saída, period") << 2 << "01/05/2008" << "31/05/2008"
                                   << "select * from prodent where tipo=\"saida\" and" + may << "";
    QTest::newRow("only the start: no period, nothing said")
        << 1 << "01/05/2008" << blank << "select * from prodent where tipo=\"entrada\"" << "";
    QTest::newRow("only the end, even a bad one") << 0 << blank << "31/02/2008" << "select * from prodent" << "";
    QTest::newRow("one-digit day and month, end of a leap February")
        << 0 << " 1/ 2/2008" << "29/ 2/2008"
        << "select * from prodent where datacad >= \"2008/02/01\" and datacad < \"2008/03/01\"" << "";
    QTest::newRow("end of a year") << 2 << "31/12/2008" << "31/12/2008"
                                   << "select * from prodent where tipo=\"saida\" and datacad >= \"2008/12/31\" and "
                                      "datacad < \"2009/01/01\"" << "";
    QTest::newRow("the last day there is") << 0 << "01/12/9999" << "31/12/9999"
                                           << "select * from prodent where datacad >= \"9999/12/01\"" << "";
    QTest::newRow("start after end: a period that finds nothing")
        << 0 << "31/05/2008" << "01/05/2008"
        << "select * from prodent where datacad >= \"2008/05/31\" and datacad < \"2008/05/02\"" << "";

    QTest::newRow("31 February") << 0 << "31/02/2008" << "31/05/2008" << "" << "'31/02/2008' não é uma data válida";
    QTest::newRow("29 February of a common year")
        << 1 << "01/02/2007" << "29/02/2007" << "" << "'29/02/2007' não é uma data válida";
    QTest::newRow("blank day") << 0 << "  /05/2008" << "31/05/2008" << "" << "'  /05/2008' não é uma data válida";
    QTest::newRow("blank month") << 2 << "01/05/2008" << "31/  /2008" << "" << "'31/  /2008' não é uma data válida";
    QTest::newRow("blank year") << 0 << "01/05/    " << "31/05/2008" << "" << "'01/05/    ' não é uma data válida";
    QTest::newRow("month 13") << 0 << "01/13/2008" << "31/05/2008" << "" << "'01/13/2008' não é uma data válida";
    QTest::newRow("year 0") << 0 << "01/05/0000" << "31/05/2008" << "" << "'01/05/0000' não é uma data válida";
    // A half-typed date was taken for an empty box and the whole list shown.
    QTest::newRow("half start, blank end: not taken as empty")
        << 0 << "01/05/    " << blank << "" << "'01/05/    ' não é uma data válida";
    QTest::newRow("blank start, half end: not taken as empty")
        << 1 << blank << "  /05/2008" << "" << "'  /05/2008' não é uma data válida";
    QTest::newRow("three year digits alone") << 2 << "01/05/200 " << blank << "" << "'01/05/200 ' não é uma data válida";
}

void TstTRelForm::statements()
{
    QFETCH(int, kind);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, statement);
    QFETCH(QString, error);
    QString built, refused;
    try {
        built = TRelForm::FilterStatement(kind, start, end);
    } catch (const std::exception &e) {
        refused = QString::fromUtf8(e.what());
    }
    QCOMPARE(built, statement);
    QCOMPARE(refused, error);
}

void TstTRelForm::filteredRows_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QList<int>>("ids");

    const QString blank = TMaskDateEdit::BlankText();
    QTest::newRow("Todos, no period: every movement, with or without a date")
        << 0 << blank << blank << QList<int>{1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("Todos, May: both ends, the end day's afternoon; no undated")
        << 0 << "01/05/2008" << "31/05/2008" << QList<int>{1, 2, 3, 6};
    QTest::newRow("Entrada, May: the kind compared exactly")
        << 1 << "01/05/2008" << "31/05/2008" << QList<int>{1, 3};
    QTest::newRow("Saída, May") << 2 << "01/05/2008" << "31/05/2008" << QList<int>{2};
    QTest::newRow("Entrada, no period") << 1 << blank << blank << QList<int>{1, 3, 5, 7};
    QTest::newRow("one day with a time of day") << 0 << "31/05/2008" << "31/05/2008" << QList<int>{3};
    QTest::newRow("the day before, up to 23:59") << 0 << "30/04/2008" << "30/04/2008" << QList<int>{5};
    QTest::newRow("only the start date: all dates") << 2 << "01/05/2008" << blank << QList<int>{2, 4};
    QTest::newRow("start after end: empty") << 0 << "31/05/2008" << "01/05/2008" << QList<int>{};
}

void TstTRelForm::filteredRows()
{
    QFETCH(int, kind);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QList<int>, ids);
    Filter(kind, start, end);
    QCOMPARE(m_screen.messages->Texts(), QStringList());
    QCOMPARE(DM->ProdEntQuery->SQLText(), TRelForm::FilterStatement(kind, start, end));
    QCOMPARE(ShownIds(), ids);
    QCOMPARE(m_report->DBGrid1->model()->rowCount(), ids.size());
    QCOMPARE(DM->ProdEntQuery->RecNo(), ids.isEmpty() ? -1 : 0);
}

void TstTRelForm::badDateLeavesTheMovementsAsTheyWere_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    QTest::newRow("31 February at the start") << "31/02/2008" << "31/05/2008" << "'31/02/2008' não é uma data válida.";
    QTest::newRow("blank day at the end") << "01/05/2008" << "  /06/2008" << "'  /06/2008' não é uma data válida.";
    QTest::newRow("half start, the end blank")
        << "01/05/    " << TMaskDateEdit::BlankText() << "'01/05/    ' não é uma data válida.";
}

void TstTRelForm::badDateLeavesTheMovementsAsTheyWere()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, message);
    Filter(TRelForm::Entries, TMaskDateEdit::BlankText(), TMaskDateEdit::BlankText());
    DM->ProdEntQuery->SetRecNo(2);
    const QString sql = DM->ProdEntQuery->SQLText();

    Filter(TRelForm::Exits, start, end);
    QCOMPARE(m_screen.messages->Texts(), QStringList{message});
    QCOMPARE(m_screen.messages->Last().caption, QCoreApplication::applicationName());
    QVERIFY(DM->ProdEntQuery->Active());
    QCOMPARE(DM->ProdEntQuery->SQLText(), sql);
    QCOMPARE(ShownIds(), (QList<int>{1, 3, 5, 7}));
    QCOMPARE(DM->ProdEntQuery->RecNo(), 2);
    QCOMPARE(m_report->DBGrid1->model()->rowCount(), 4);

    // The product list's entries and exits go on appending movements.
    DM->ProdEntQuery->Append();
    DM->ProdEntQuery->Cancel();
    QCOMPARE(m_screen.messages->Count(), 1);
}

void TstTRelForm::dateBoxEditing_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("selected");   // positions selected from the cursor on
    QTest::addColumn<QString>("keys");   // \b Backspace, \x7f Delete, \x16 Ctrl+V, \x1a Ctrl+Z
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");

    const QString blank = TMaskDateEdit::BlankText();
    QTest::newRow("letters and signs dropped, slashes stepped over")
        << blank << 0 << 0 << "a1-5x/2008" << "" << "15/20/08  ";
    QTest::newRow("ten digits fill it, more are dropped") << blank << 0 << 0 << "010520089" << "" << "01/05/2008";
    QTest::newRow("a digit overwrites") << "01/05/2008" << 3 << 0 << "1" << "" << "01/15/2008";
    QTest::newRow("Backspace after a slash blanks the digit before it")
        << "01/05/2008" << 6 << 0 << "\b" << "" << "01/0 /2008";
    QTest::newRow("Delete on a slash blanks the digit after it")
        << "01/05/2008" << 2 << 0 << "\x7f" << "" << "01/ 5/2008";
    QTest::newRow("Backspace on a selection blanks it, slashes stay")
        << "01/05/2008" << 1 << 5 << "\b" << "" << "0 /  /2008";
    QTest::newRow("a digit over everything selected") << "01/05/2008" << 0 << 10 << "3" << "" << "3 /  /    ";
    QTest::newRow("a paste puts in its digits") << blank << 0 << 0 << "\x16" << "31.12.1999 x" << "31/12/1999";
    QTest::newRow("undo takes back typing only") << "01/05/2008" << 0 << 0 << "9\x1a\x1a" << "" << "01/05/2008";
    // Digits typed with the cursor anywhere but at the far left of an empty
    // box did nothing.
    QTest::newRow("empty box, cursor at the far right") << blank << 10 << 0 << "01122026" << "" << "01/12/2026";
    QTest::newRow("empty box, cursor in the month") << blank << 4 << 0 << "01122026" << "" << "01/12/2026";
    QTest::newRow("empty box, a paste at the right") << blank << 7 << 0 << "\x16" << "01122026" << "01/12/2026";
}

void TstTRelForm::dateBoxEditing()
{
    QFETCH(QString, start);
    QFETCH(int, cursor);
    QFETCH(int, selected);
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    m_report->show();
    QVERIFY(QTest::qWaitForWindowActive(m_report));
    TMaskDateEdit *box = m_report->MaskEdit1;
    box->SetText(start);
    box->setFocus();
    QVERIFY(box->hasFocus());
    QApplication::clipboard()->setText(clipboard);
    box->setCursorPosition(cursor);
    if (selected)
        box->setSelection(cursor, selected);
    for (const QChar key : keys) {
        switch (key.unicode()) {
        case '\b': QTest::keyClick(box, Qt::Key_Backspace); break;
        case 0x7f: QTest::keyClick(box, Qt::Key_Delete); break;
        case 0x16: QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier); break;
        case 0x1a: QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier); break;
        default: QTest::keyClicks(box, QString(key)); break;
        }
    }
    QCOMPARE(box->Text(), text);
    // Blanks show as "_" while the box has the focus, as blanks after.
    QCOMPARE(box->displayText(), QString(text).replace(QLatin1Char(' '), QLatin1Char('_')));
    box->SetText(text);   // put in, not typed: it may be left as it is
    m_report->MaskEdit2->setFocus();
    QCOMPARE(m_screen.messages->Count(), 0);
    QVERIFY(!box->displayText().contains(QLatin1Char('_')));
}

void TstTRelForm::dateBoxWithBlankYearCannotBeLeft()
{
    m_report->show();
    QVERIFY(QTest::qWaitForWindowActive(m_report));
    TMaskDateEdit *box = m_report->MaskEdit1;

    // Entered and left untouched: blank is allowed.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(m_report->MaskEdit2->hasFocus());
    QCOMPARE(m_screen.messages->Count(), 0);

    // Day and month typed, the year left blank: refused, the focus stays.
    box->setFocus();
    box->setCursorPosition(0);
    QTest::keyClicks(box, QStringLiteral("0105"));
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(m_screen.messages->Texts(), QStringList{TMaskDateEdit::InvalidInputMessage() + QLatin1Char('.')});
    QVERIFY(box->hasFocus());
    QCOMPARE(box->Text(), QStringLiteral("01/05/    "));
    // A click on the filter button does not leave it either, and filters
    // nothing.
    const QString sql = DM->ProdEntQuery->SQLText();
    QTest::mouseClick(m_report->BitBtn1, Qt::LeftButton);
    QVERIFY(box->hasFocus());
    QCOMPARE(m_screen.messages->Count(), 2);
    QCOMPARE(DM->ProdEntQuery->SQLText(), sql);

    // Three year digits are not enough; four are.
    QTest::keyClicks(box, QStringLiteral("200"));
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(m_screen.messages->Count(), 3);
    QVERIFY(box->hasFocus());
    QTest::keyClick(box, Qt::Key_8);
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(m_screen.messages->Count(), 3);
    QVERIFY(!box->hasFocus());
    QCOMPARE(box->Text(), QStringLiteral("01/05/2008"));
}

void TstTRelForm::escAbandonsTheChanges()
{
    m_report->show();
    QVERIFY(QTest::qWaitForWindowActive(m_report));
    TMaskDateEdit *box = m_report->MaskEdit2;
    box->SetText(QStringLiteral("31/05/2008"));
    box->setFocus();
    box->setCursorPosition(0);
    QTest::keyClicks(box, QStringLiteral("1"));
    QCOMPARE(box->Text(), QStringLiteral("11/05/2008"));
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(box->Text(), QStringLiteral("31/05/2008"));

    // A blank box with a half-typed year: Esc empties it and it can be left.
    box = m_report->MaskEdit1;
    box->setFocus();
    box->setCursorPosition(0);
    QTest::keyClicks(box, QStringLiteral("010520"));
    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(box->Text(), TMaskDateEdit::BlankText());
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(!box->hasFocus());
    QCOMPARE(m_screen.messages->Count(), 0);
    // Esc has no other meaning on this screen: it does not close it.
    QTest::keyClick(m_report->DBGrid1, Qt::Key_Escape);
    QTest::keyClick(box, Qt::Key_Escape);
    QVERIFY(m_report->isVisible());
}

// After the incomplete-date error the box came back from the error box as if
// newly entered: Esc kept "01/05/____", the box could be left, and the half
// date was then filtered as an empty one.
void TstTRelForm::escAfterInvalidInputLeftTheHalfDate()
{
    m_report->show();
    QVERIFY(QTest::qWaitForWindowActive(m_report));
    TMaskDateEdit *box = m_report->MaskEdit1;
    box->SetText(QStringLiteral("31/05/2008"));
    // The error box is a window of its own that takes the activation and
    // gives it back once closed, as the real dialog does.
    QWidget dialog;
    m_screen.messages->SetOnShow([&dialog](const TMessageBoxRequest &) {
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.hide();
    });
    box->setFocus();
    box->setCursorPosition(6);
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(box->Text(), QStringLiteral("31/05/ 008"));
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(m_screen.messages->Count(), 1);
    m_report->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_report));
    QVERIFY(box->hasFocus());
    QVERIFY(box->RefusesToLeave());

    QTest::keyClick(box, Qt::Key_Escape);
    QCOMPARE(box->Text(), QStringLiteral("31/05/2008"));
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(!box->hasFocus());
    QCOMPARE(m_screen.messages->Count(), 1);
}

void TstTRelForm::rowColours()
{
    // 6 ("Entrada") keeps the grid's own colour; 7 (no date) is an entry.
    Filter(TRelForm::All, TMaskDateEdit::BlankText(), TMaskDateEdit::BlankText());
    TDBGrid *grid = m_report->DBGrid1;
    const QColor text = grid->palette().color(QPalette::Active, QPalette::Text);
    const QColor blue(0, 0, 255), red(255, 0, 0);
    QVERIFY(text != blue && text != red);
    const QList<int> ids = ShownIds();
    const QStringList order = Column(DM->ProdEntQuery, QStringLiteral("IDPRODENT"));
    const QHash<int, QColor> colours{{1, blue}, {2, red}, {3, blue}, {4, red}, {5, blue}, {6, text}, {7, blue}};
    int exitRow = -1;
    for (int row = 0; row < order.size(); ++row) {
        const int id = order[row].toInt();
        QCOMPARE(grid->RowTextColor(row), colours.value(id));
        if (id == 2)
            exitRow = row;
    }

    // The selected exit stays red on sky blue, on screen too.
    grid->setCurrentIndex(grid->model()->index(exitRow, 2));
    QCOMPARE(DM->ProdEntQueryIDPRODENT->AsInteger(), 2);
    m_report->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_report));
    const QImage image = grid->viewport()->grab().toImage();
    const QColor base = grid->palette().color(QPalette::Active, QPalette::Base);
    for (int row = 0; row < order.size(); ++row) {
        const QRect cell = grid->visualRect(grid->model()->index(row, 2));
        QCOMPARE(grid->RowBackground(row), row == exitRow ? TRowColors::SkyBlue() : base);
        QCOMPARE(QColor(image.pixel(cell.right() - 3, cell.bottom() - 1)), grid->RowBackground(row));
        QVERIFY2(HasPixel(image, cell, colours.value(order[row].toInt())), qPrintable(order[row]));
    }
}

void TstTRelForm::newScreenStartsAtTodosWithTheLastFilter()
{
    Filter(TRelForm::Exits, QStringLiteral("01/05/2008"), QStringLiteral("31/05/2008"));
    QCOMPARE(ShownIds(), QList<int>{2});
    delete m_report;
    QCOMPARE(ShownIds(), QList<int>{2});

    TRelForm second;
    QCOMPARE(second.RadioGroup1->ItemIndex(), 0);
    QCOMPARE(second.MaskEdit1->Text(), TMaskDateEdit::BlankText());
    QCOMPARE(second.MaskEdit2->Text(), TMaskDateEdit::BlankText());
    QCOMPARE(second.DBGrid1->model()->rowCount(), 1);
    QCOMPARE(TDBGrid::TextAt(DM->ProdEntQuery, 0, QStringLiteral("TIPO")), QStringLiteral("saida"));
}

QTEST_MAIN(TstTRelForm)
#include "tst_trelform.moc"
