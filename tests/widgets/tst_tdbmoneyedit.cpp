// The money editor on a real order row: typed Brazilian amounts written
// exactly, refused texts kept on screen with the record, the shown forms,
// and the text still in the editor taken into the record on saving.
#include "app/tguard.h"
#include "data/efberror.h"
#include "tests/support/tmessagerecorder.h"
#include "tests/widgets/twidgettestdata.h"
#include "widgets/tdbfieldlink.h"
#include "widgets/tdbmoneyedit.h"

#include <QLocale>
#include <QVBoxLayout>
#include <QtTest>

using namespace TWidgetTestData;

class TstTDBMoneyEdit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void init();
    void cleanup();
    void typedAmount_data();
    void typedAmount();
    void shownAsCurrencyEditedAsAmount();
    void textStillInEditorTakenOnSave();
    void storedNumberPastRangeIsReported();
    void typingAfterClickLandedAfterTheDecimals();
    void badAmountOnSaveShownTwice();

private:
    TDBMoneyEdit *ShowEditor();

    std::unique_ptr<TFbTestDb> m_db;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TMessageRecorder> m_messages;
    std::unique_ptr<QWidget> m_form;
    QLineEdit *m_other = nullptr;
};

void TstTDBMoneyEdit::init()
{
    m_db = std::make_unique<TFbTestDb>();
    QVERIFY2(m_db->IsValid(), qPrintable(m_db->Error()));
    m_dm = m_db->MakeDM();
    m_messages = std::make_unique<TMessageRecorder>();
    Exec(QStringLiteral("insert into ordemserv (idordem, idcliente, valor) values (1, 1, 99.5)"));
    Reopen(DM->OrdensQuery, QStringLiteral("select * from ordemserv"));
    m_form = std::make_unique<QWidget>();
    new QVBoxLayout(m_form.get());
    m_other = new QLineEdit(m_form.get());
    m_form->layout()->addWidget(m_other);
}

void TstTDBMoneyEdit::cleanup()
{
    m_form.reset();
    m_messages.reset();
    m_dm.reset();
    m_db.reset();
}

TDBMoneyEdit *TstTDBMoneyEdit::ShowEditor()
{
    auto *e = new TDBMoneyEdit(QStringLiteral("DBEdit1"), DM->OrdensQuery, QStringLiteral("VALOR"),
                               m_form.get());
    m_form->layout()->addWidget(e);
    m_form->show();
    m_form->activateWindow();
    if (!QTest::qWaitForWindowActive(m_form.get()))
        return nullptr;
    return e;
}

void TstTDBMoneyEdit::typedAmount_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("stored");   // the field's plain text afterwards; "" null
    QTest::addColumn<QString>("message");  // part of the refusal
    QTest::newRow("grouped with cents") << "1.234,50" << true << "1234,5" << "";
    QTest::newRow("whole") << "150" << true << "150" << "";
    QTest::newRow("one decimal") << "150,5" << true << "150,5" << "";
    QTest::newRow("third decimal a zero") << "1,500" << true << "1,5" << "";
    QTest::newRow("four decimals") << "0,0001" << false << "99,5" << "mais de duas casas decimais";
    QTest::newRow("typed after 0,00") << "0,0010" << false << "99,5" << "mais de duas casas decimais";
    QTest::newRow("decimals through the exponent") << "1e-3" << false << "99,5" << "mais de duas casas decimais";
    // "-100" was stored, and gave a total of -95.
    QTest::newRow("negative") << "-25,5" << false << "99,5" << "não pode ser negativo";
    QTest::newRow("negative whole") << "-100" << false << "99,5" << "não pode ser negativo";
    QTest::newRow("minus zero") << "-0" << true << "0" << "";
    QTest::newRow("emptied is null") << "" << true << "" << "";
    QTest::newRow("letters beep and are dropped") << "1a2b" << true << "12" << "";
    QTest::newRow("three commas") << "1,2,3" << false << "99,5" << "'1,2,3' não é um valor válido";
    QTest::newRow("dot as decimal point") << "1.5" << false << "99,5" << "'1.5' não é um valor válido";
    QTest::newRow("too large") << "1e15" << false << "99,5" << "fora do limite";
}

void TstTDBMoneyEdit::typedAmount()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    TDBMoneyEdit *valor = ShowEditor();
    QVERIFY(valor);
    TFbQuery *q = DM->OrdensQuery;
    valor->setFocus();
    valor->selectAll();
    QTest::keyClick(valor, Qt::Key_Delete);
    QTest::keyClicks(valor, typed);
    QCOMPARE(q->State(), TFbQuery::dsEdit);
    m_other->setFocus();
    QCOMPARE(q->FieldByName("VALOR")->AsString(), stored);
    if (accepted) {
        QCOMPARE(m_messages->Count(), 0);
        return;
    }
    // Refused: said why, the text and the record stay, the focus goes back.
    QCOMPARE(m_messages->Count(), 1);
    QVERIFY2(m_messages->Last().text.contains(message), qPrintable(m_messages->Last().text));
    QTRY_VERIFY(valor->hasFocus());
    QCOMPARE(valor->text(), typed);
    QCOMPARE(q->State(), TFbQuery::dsEdit);
    QVERIFY_THROWS_EXCEPTION(std::exception, TDBFieldLink::UpdateRecord(q));
    QCOMPARE(valor->text(), typed);
}

void TstTDBMoneyEdit::shownAsCurrencyEditedAsAmount()
{
    TDBMoneyEdit *valor = ShowEditor();
    QVERIFY(valor);
    QCOMPARE(valor->text(), QStringLiteral("R$\u00a099,50"));
    valor->setFocus();
    QCOMPARE(valor->text(), QStringLiteral("99,50"));
    valor->selectAll();
    QTest::keyClicks(valor, QStringLiteral("12345,67"));
    m_other->setFocus();
    QCOMPARE(valor->text(), QStringLiteral("R$\u00a012.345,67"));
    // A stored amount keeps every decimal it has, shown and not rounded,
    // also after the editor is entered and left.
    Exec(QStringLiteral("update ordemserv set valor=12345.6789 where idordem=1"));
    DM->OrdensQuery->Cancel();
    Reopen(DM->OrdensQuery, QStringLiteral("select * from ordemserv"));
    QCOMPARE(valor->text(), QStringLiteral("R$\u00a012.345,6789"));
    valor->setFocus();
    QCOMPARE(valor->text(), QStringLiteral("12345,6789"));
    m_other->setFocus();
    QCOMPARE(m_messages->Count(), 0);
    QCOMPARE(TDBMoneyEdit::AmountOf(DM->OrdensQueryVALOR).Units(), qint64(123456789));
    // A row without a value shows nothing.
    DM->OrdensQuery->Cancel();
    DM->OrdensQuery->Append();
    QCOMPARE(valor->text(), QString());
}

void TstTDBMoneyEdit::textStillInEditorTakenOnSave()
{
    TDBMoneyEdit *valor = ShowEditor();
    QVERIFY(valor);
    valor->setFocus();
    valor->selectAll();
    QTest::keyClicks(valor, QStringLiteral("1.000,01"));
    QVERIFY(valor->hasFocus());
    TDBFieldLink::UpdateRecord(DM->OrdensQuery);
    DM->OrdensQuery->ApplyChanges();
    Reopen(DM->AuxQuery, QStringLiteral("select valor from ordemserv where idordem=1"));
    QCOMPARE(DM->AuxQuery->FieldByName("VALOR")->AsFloat(), 1000.01);
}

void TstTDBMoneyEdit::storedNumberPastRangeIsReported()
{
    Exec(QStringLiteral("update ordemserv set valor=1e20 where idordem=1"));
    Reopen(DM->OrdensQuery, QStringLiteral("select * from ordemserv"));
    TDBMoneyEdit *valor = ShowEditor();
    QVERIFY(valor);
    QVERIFY(!valor->text().isEmpty());
    QVERIFY_THROWS_EXCEPTION(EFbError, TDBMoneyEdit::AmountOf(DM->OrdensQueryVALOR));
}

// A click into "0,00" left the cursor after the decimals: typing 10 made
// "0,0010" and 0,001 was stored. A click now selects the amount as Tab does.
void TstTDBMoneyEdit::typingAfterClickLandedAfterTheDecimals()
{
    Exec(QStringLiteral("update ordemserv set valor=0 where idordem=1"));
    Reopen(DM->OrdensQuery, QStringLiteral("select * from ordemserv"));
    TDBMoneyEdit *valor = ShowEditor();
    QVERIFY(valor);
    m_other->setFocus();
    QTest::mouseClick(valor, Qt::LeftButton, {}, QPoint(valor->width() - 4, valor->height() / 2));
    QVERIFY(valor->hasFocus());
    QCOMPARE(valor->selectedText(), QStringLiteral("0,00"));
    QTest::keyClicks(valor, QStringLiteral("10"));
    QCOMPARE(valor->text(), QStringLiteral("10"));
    m_other->setFocus();
    QCOMPARE(m_messages->Count(), 0);
    QCOMPARE(TDBMoneyEdit::AmountOf(DM->OrdensQueryVALOR).Units(), qint64(100000));

    // A second click inside the box being edited places the cursor as usual.
    QTest::mouseClick(valor, Qt::LeftButton, {}, QPoint(valor->width() - 4, valor->height() / 2));
    QCOMPARE(valor->selectedText(), QStringLiteral("10,00"));
    QTest::mouseClick(valor, Qt::LeftButton, {}, QPoint(valor->width() - 4, valor->height() / 2));
    QVERIFY(!valor->hasSelectedText());
}

// Saving (F5) with a refused amount showed its error twice: the error box
// took the window's activation, and the editor took that for being left and
// wrote (and refused) the amount again.
void TstTDBMoneyEdit::badAmountOnSaveShownTwice()
{
    TDBMoneyEdit *valor = ShowEditor();
    QVERIFY(valor);
    valor->setFocus();
    valor->selectAll();
    QTest::keyClicks(valor, QStringLiteral("1,2,3"));
    // The box is a window of its own that takes the activation, as the real
    // dialog does.
    QWidget box;
    m_messages->SetOnShow([&box](const TMessageBoxRequest &) {
        if (box.isVisible())
            return;
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
    });
    QVERIFY(!Guard([] { TDBFieldLink::UpdateRecord(DM->OrdensQuery); }));
    box.hide();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QCOMPARE(m_messages->Texts().size(), 1);
    QVERIFY(valor->hasFocus());
    QCOMPARE(valor->text(), QStringLiteral("1,2,3"));
}

QTEST_MAIN(TstTDBMoneyEdit)
#include "tst_tdbmoneyedit.moc"
