// Data-bound editors on a real dataset: showing and writing the current
// row's field, starting the edit, length and character rules, dates and
// money written when left or when the screen saves, the locked look.
#include "data/tdbcharset.h"
#include "tests/support/tmessagerecorder.h"
#include "tests/widgets/twidgettestdata.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbfieldlink.h"
#include "widgets/tdbmemo.h"
#include "widgets/tdbmoneyedit.h"
#include "widgets/teditorlook.h"
#include "widgets/tsearchedit.h"

#include <QClipboard>

#include <QLocale>
#include <QVBoxLayout>
#include <QtTest>

using namespace TWidgetTestData;

class TstTDBEdit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void textWritesAtOnceAndStartsEdit();
    void followsCurrentRowAndCancel();
    void upperCaseAndColumnSize();
    void dateWrittenWhenLeftOrSaved();
    void refusedDateKeepsFocusAndRecord();
    void moneyShownAsCurrencyEditedAsNumber();
    void digitsOnly();
    void memoCutToColumnWithLineBreaks();
    void closedDataSetTakesNoTyping();
    void lockedAndOpenLook();
    void characterDatabaseCannotHoldIsRefused_data();
    void characterDatabaseCannotHoldIsRefused();
    void clickIntoNumberBoxSelectsItsText_data();
    void clickIntoNumberBoxSelectsItsText();
    void controlKeysWorkInEveryBox_data();
    void controlKeysWorkInEveryBox();

private:
    std::unique_ptr<TFbTestDb> m_db;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TMessageRecorder> m_messages;
    std::unique_ptr<QWidget> m_form;
    QLineEdit *m_other = nullptr;
};

void TstTDBEdit::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

void TstTDBEdit::init()
{
    m_db = std::make_unique<TFbTestDb>();
    OS_REQUIRE_TEST_DB(*m_db);
    m_dm = m_db->MakeDM();
    m_messages = std::make_unique<TMessageRecorder>();
    AddClients(3);
    m_form = std::make_unique<QWidget>();
    new QVBoxLayout(m_form.get());
    m_other = new QLineEdit(m_form.get());
    m_form->layout()->addWidget(m_other);
}

void TstTDBEdit::cleanup()
{
    m_form.reset();
    m_messages.reset();
    m_dm.reset();
    m_db.reset();
}

template <typename Editor>
static Editor *Add(QWidget *form, TFbQuery *q, const char *field)
{
    auto *e = new Editor(QString::fromLatin1(field), q, QString::fromLatin1(field), form);
    form->layout()->addWidget(e);
    if (form->isVisible())
        e->show();
    return e;
}

void TstTDBEdit::textWritesAtOnceAndStartsEdit()
{
    TFbQuery *q = DM->ClientesQuery;
    TDBEdit *nome = Add<TDBEdit>(m_form.get(), q, "NOME");
    TDBEdit *cidade = Add<TDBEdit>(m_form.get(), q, "CIDADE");
    QCOMPARE(nome->text(), QStringLiteral("CLIENTE 001"));
    QCOMPARE(q->State(), TFbQuery::dsBrowse);
    QTest::keyClicks(cidade, QStringLiteral("Recife"));
    QCOMPARE(q->State(), TFbQuery::dsEdit);
    QCOMPARE(q->FieldByName("CIDADE")->AsString(), QStringLiteral("Recife"));
    // Another editor of the same field shows it at once.
    TDBEdit *again = Add<TDBEdit>(m_form.get(), q, "CIDADE");
    QCOMPARE(again->text(), QStringLiteral("Recife"));
    q->ApplyChanges();
    Reopen(q, QStringLiteral("select * from clientes where cidade = 'Recife'"));
    QCOMPARE(q->RecordCount(), 1);
    QCOMPARE(nome->text(), QStringLiteral("CLIENTE 001"));
}

void TstTDBEdit::followsCurrentRowAndCancel()
{
    TFbQuery *q = DM->ClientesQuery;
    TDBEdit *nome = Add<TDBEdit>(m_form.get(), q, "NOME");
    q->SetRecNo(2);
    QCOMPARE(nome->text(), QStringLiteral("CLIENTE 003"));
    nome->selectAll();
    QTest::keyClicks(nome, QStringLiteral("OUTRO"));
    QCOMPARE(q->FieldByName("NOME")->AsString(), QStringLiteral("OUTRO"));
    q->Cancel();
    QCOMPARE(nome->text(), QStringLiteral("CLIENTE 003"));
    q->Append();
    QCOMPARE(nome->text(), QString());
    q->Cancel();
    QCOMPARE(nome->text(), QStringLiteral("CLIENTE 003"));
}

void TstTDBEdit::upperCaseAndColumnSize()
{
    TFbQuery *q = DM->ClientesQuery;
    TDBEdit *uf = Add<TDBEdit>(m_form.get(), q, "UF");
    uf->SetUpperCase(true);
    TDBEdit *nome = Add<TDBEdit>(m_form.get(), q, "NOME");
    QCOMPARE(uf->maxLength(), 2);
    QCOMPARE(nome->maxLength(), 70);
    QTest::keyClicks(uf, QStringLiteral("rjx"));
    QCOMPARE(uf->text(), QStringLiteral("RJ"));
    QCOMPARE(q->FieldByName("UF")->AsString(), QStringLiteral("RJ"));
}

void TstTDBEdit::dateWrittenWhenLeftOrSaved()
{
    TFbQuery *q = DM->ClientesQuery;
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    TDBEdit *date = Add<TDBEdit>(m_form.get(), q, "DATACADASTRO");
    QCOMPARE(date->text(), QString());
    date->setFocus();
    QTest::keyClicks(date, QStringLiteral("05/03/2024"));
    // Half-typed dates are not written at each keystroke.
    QVERIFY(date->Link()->Pending());
    QVERIFY(q->FieldByName("DATACADASTRO")->IsNull());
    m_other->setFocus();
    QCOMPARE(q->FieldByName("DATACADASTRO")->AsDateTime(), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));

    // The screen saving while the focus is still in the editor.
    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("06/04/2025 10:30"));
    TDBFieldLink::UpdateRecord(q);
    QCOMPARE(q->FieldByName("DATACADASTRO")->AsDateTime(), QDateTime(QDate(2025, 4, 6), QTime(10, 30)));
    q->ApplyChanges();
    QCOMPARE(m_messages->Count(), 0);
}

void TstTDBEdit::refusedDateKeepsFocusAndRecord()
{
    TFbQuery *q = DM->ClientesQuery;
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    TDBEdit *date = Add<TDBEdit>(m_form.get(), q, "DATACADASTRO");
    date->setFocus();
    QTest::keyClicks(date, QStringLiteral("31/02/2024"));
    m_other->setFocus();
    QCOMPARE(m_messages->Count(), 1);
    QCOMPARE(m_messages->Last().icon, TMessages::Error);
    QVERIFY2(m_messages->Last().text.contains(QStringLiteral("'31/02/2024' não é uma data válida")),
             qPrintable(m_messages->Last().text));
    QTRY_VERIFY(date->hasFocus());
    QCOMPARE(date->selectedText(), QStringLiteral("31/02/2024"));
    QVERIFY(q->FieldByName("DATACADASTRO")->IsNull());
    // Saving with the refused text stops at it.
    QVERIFY_THROWS_EXCEPTION(std::exception, TDBFieldLink::UpdateRecord(q));
    // Emptied: no date.
    date->clear();
    QTest::keyClick(date, Qt::Key_Backspace);
    TDBFieldLink::UpdateRecord(q);
    QVERIFY(q->FieldByName("DATACADASTRO")->IsNull());
}

void TstTDBEdit::moneyShownAsCurrencyEditedAsNumber()
{
    Exec(QStringLiteral("insert into ordemserv (idordem, idcliente, valor) values (1, 1, 1234.5)"));
    TFbQuery *q = DM->OrdensQuery;
    Reopen(q, QStringLiteral("select * from ordemserv"));
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    TDBEdit *valor = Add<TDBEdit>(m_form.get(), q, "VALOR");
    QCOMPARE(valor->text(), QLocale().toCurrencyString(1234.5));
    valor->setFocus();
    QCOMPARE(valor->text(), QStringLiteral("1234,5"));
    valor->selectAll();
    QTest::keyClicks(valor, QStringLiteral("15a0,2x5"));   // letters dropped
    QCOMPARE(valor->text(), QStringLiteral("150,25"));
    m_other->setFocus();
    QCOMPARE(q->FieldByName("VALOR")->AsFloat(), 150.25);
    QCOMPARE(valor->text(), QLocale().toCurrencyString(150.25));
}

void TstTDBEdit::digitsOnly()
{
    Exec(QStringLiteral("insert into prodforne (idprod, descricao, qtdedisp) values (1, 'PARAFUSO', 5)"));
    TFbQuery *q = DM->ProdForneQuery;
    Reopen(q, QStringLiteral("select * from prodforne"));
    TDBEdit *qtde = Add<TDBEdit>(m_form.get(), q, "QTDEDISP");
    qtde->SetDigitsOnly(true);
    QCOMPARE(qtde->text(), QStringLiteral("5"));
    qtde->selectAll();
    QTest::keyClicks(qtde, QStringLiteral("-1,5"));
    QCOMPARE(qtde->text(), QStringLiteral("15"));
    QTest::keyClick(qtde, Qt::Key_Backspace);
    QCOMPARE(qtde->text(), QStringLiteral("1"));
    TDBFieldLink::UpdateRecord(q);
    QCOMPARE(q->FieldByName("QTDEDISP")->AsInteger(), 1);
}

void TstTDBEdit::memoCutToColumnWithLineBreaks()
{
    TFbQuery *q = DM->ClientesQuery;
    TDBMemo *memo = Add<TDBMemo>(m_form.get(), q, "ANOTA");
    memo->setPlainText(QStringLiteral("linha 1\nlinha 2"));
    QCOMPARE(q->FieldByName("ANOTA")->AsString(), QStringLiteral("linha 1\r\nlinha 2"));
    memo->setPlainText(QString(350, QLatin1Char('x')));
    QCOMPARE(memo->toPlainText().size(), 350);
    q->ApplyChanges();
    QCOMPARE(q->FieldByName("ANOTA")->AsString().size(), 300);
    QCOMPARE(memo->toPlainText().size(), 300);
}

void TstTDBEdit::closedDataSetTakesNoTyping()
{
    TFbQuery *q = DM->ClientesQuery;
    TDBEdit *nome = Add<TDBEdit>(m_form.get(), q, "NOME");
    q->Close();
    QCOMPARE(nome->text(), QString());
    QTest::keyClicks(nome, QStringLiteral("abc"));
    QCOMPARE(nome->text(), QString());
    QCOMPARE(m_messages->Count(), 0);
}

void TstTDBEdit::lockedAndOpenLook()
{
    TDBEdit *e = Add<TDBEdit>(m_form.get(), DM->ClientesQuery, "NOME");
    TEditorLook::SetOpen(e, false);
    QVERIFY(!e->isEnabled());
    QVERIFY(!TEditorLook::IsOpen(e));
    QCOMPARE(e->palette().color(QPalette::Disabled, QPalette::Base), TEditorLook::Grey());
    QVERIFY(TEditorLook::Grey() != QColor(Qt::white));
    TEditorLook::SetOpen(e, true);
    QVERIFY(e->isEnabled());
    QVERIFY(TEditorLook::IsOpen(e));
    QCOMPARE(e->palette().color(QPalette::Active, QPalette::Base), QColor(255, 255, 255));

    // Every editor of a look shares one palette, whatever its form: each
    // used to get one of its own, and the style kept pictures for each, so
    // the order screen grew with every time it was opened.
    QWidget otherForm;
    auto *other = new TDBEdit(QStringLiteral("CIDADE"), DM->ClientesQuery, QStringLiteral("CIDADE"), &otherForm);
    for (int i = 0; i < 3; ++i) {
        TEditorLook::SetOpen(other, false);
        TEditorLook::SetOpen(other, true);
    }
    QCOMPARE(other->palette().cacheKey(), e->palette().cacheKey());
    TEditorLook::SetOpen(e, false);
    TEditorLook::SetOpen(other, false);
    QCOMPARE(other->palette().cacheKey(), e->palette().cacheKey());
}

QTEST_MAIN(TstTDBEdit)
#include "tst_tdbedit.moc"

void TstTDBEdit::characterDatabaseCannotHoldIsRefused_data()
{
    QTest::addColumn<QString>("editor");   // edit, memo or search
    QTest::addColumn<bool>("paste");       // pasted, or typed key by key
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("held");

    const QString polish = QStringLiteral("Łukasz Żółć ☺");
    const QString portuguese = QStringLiteral("João Conceição – “€ 5”");
    for (const char *editor : {"edit", "memo", "search"}) {
        const QString e = QString::fromLatin1(editor);
        QTest::addRow("%s: Polish name typed", editor) << e << false << polish << false;
        QTest::addRow("%s: Polish name pasted", editor) << e << true << polish << false;
        QTest::addRow("%s: Portuguese typed", editor) << e << false << portuguese << true;
        QTest::addRow("%s: Portuguese pasted", editor) << e << true << portuguese << true;
        QTest::addRow("%s: BEL pasted", editor) << e << true << QStringLiteral("ab\u0007c") << false;
        QTest::addRow("%s: ESC pasted", editor) << e << true << QStringLiteral("\u001b[0m") << false;
        QTest::addRow("%s: DEL pasted", editor) << e << true << QStringLiteral("x\u007f") << false;
    }
    QTest::newRow("memo: line breaks and tab pasted") << "memo" << true << "linha 1\nlinha\t2" << true;
}

// "Łukasz Żółć ☺" was stored as "?ukasz ?ó?? ?" without a word, and pasted
// control characters were stored raw.
void TstTDBEdit::characterDatabaseCannotHoldIsRefused()
{
    QFETCH(QString, editor);
    QFETCH(bool, paste);
    QFETCH(QString, input);
    QFETCH(bool, held);
    TFbQuery *q = DM->ClientesQuery;
    QWidget *box = nullptr;
    QString fieldName;
    if (editor == QLatin1String("edit")) {
        box = Add<TDBEdit>(m_form.get(), q, "CIDADE");
        fieldName = QStringLiteral("CIDADE");
    } else if (editor == QLatin1String("memo")) {
        box = Add<TDBMemo>(m_form.get(), q, "ANOTA");
        fieldName = QStringLiteral("ANOTA");
    } else {
        box = new TSearchEdit(m_form.get());
        m_form->layout()->addWidget(box);
    }
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    box->setFocus();
    QVERIFY(box->hasFocus());
    const auto shown = [box] {
        if (auto *memo = qobject_cast<TDBMemo *>(box))
            return memo->toPlainText();
        return static_cast<QLineEdit *>(box)->text();
    };
    const QString before = shown();
    if (paste) {
        QApplication::clipboard()->setText(input);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else {
        // Key by key, each key typing its character (letters past ASCII and
        // signs made of two UTF-16 units included).
        for (qsizetype i = 0; i < input.size(); ++i) {
            const qsizetype n = input.at(i).isHighSurrogate() && i + 1 < input.size() ? 2 : 1;
            const QString typed = input.mid(i, n);
            i += n - 1;
            QTest::sendKeyEvent(QTest::Press, box, Qt::Key_unknown, typed, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, box, Qt::Key_unknown, typed, Qt::NoModifier);
        }
    }
    QCoreApplication::processEvents();   // the message waits for the editor's change to end

    if (held) {
        QCOMPARE(shown(), input);
        QCOMPARE(m_messages->Count(), 0);
        if (!fieldName.isEmpty()) {
            QString stored = q->FieldByName(fieldName)->AsString();
            stored.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            QCOMPARE(stored, input);
        }
        return;
    }
    // Typed: the held characters before the first refused one land, the
    // refused one does not (and nothing after it that is refused either).
    const QString kept = shown();
    QVERIFY2(kept == before || !paste, qPrintable(kept));
    QCOMPARE(TDbCharset::FirstRefused(kept, TDbCharset::Lines::Many), qsizetype(-1));
    QVERIFY(m_messages->Count() >= 1);
    QVERIFY2(m_messages->Last().text.contains(QStringLiteral("não pode ser gravado")),
             qPrintable(m_messages->Last().text));
    if (!fieldName.isEmpty())
        QCOMPARE(q->FieldByName(fieldName)->AsString(), kept);
}

void TstTDBEdit::clickIntoNumberBoxSelectsItsText_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("digitsOnly");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    // "Qtde Mínima" showing 6, a click, 5: it showed and saved 56.
    QTest::newRow("digits-only quantity") << "QTDEMIN" << true << "5" << "5";
    QTest::newRow("whole number") << "QTDEDISP" << false << "12" << "12";
    // A text box keeps the cursor where the click put it.
    QTest::newRow("text") << "DESCRICAO" << false << "X" << "PARAFUSOX";
}

void TstTDBEdit::clickIntoNumberBoxSelectsItsText()
{
    QFETCH(QString, field);
    QFETCH(bool, digitsOnly);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Exec(QStringLiteral("insert into prodforne (idprod, descricao, qtdedisp, qtdemin) values (1, 'PARAFUSO', 7, 6)"));
    TFbQuery *q = DM->ProdForneQuery;
    Reopen(q, QStringLiteral("select * from prodforne"));
    auto *box = new TDBEdit(field, q, field, m_form.get());
    m_form->layout()->addWidget(box);
    box->SetDigitsOnly(digitsOnly);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_other->setFocus();
    // Clicked right of the text, as a clerk clicks into a wide box.
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(box->width() - 4, box->height() / 2));
    QVERIFY(box->hasFocus());
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), shown);
    m_other->setFocus();
    QCOMPARE(q->FieldByName(field)->AsString(), shown);
}

void TstTDBEdit::controlKeysWorkInEveryBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("afterPaste");
    // The digits-only boxes dropped every Ctrl key.
    QTest::newRow("digits-only quantity") << "digits" << "42" << "42";
    QTest::newRow("digits-only, letters pasted") << "digits" << "4a2" << "";
    QTest::newRow("whole number") << "integer" << "42" << "42";
    QTest::newRow("text") << "text" << "Rua Nova" << "Rua Nova";
    QTest::newRow("money") << "money" << "12,50" << "12,50";
    QTest::newRow("search") << "search" << "silva" << "silva";
}

// Ctrl+A selects everything, Ctrl+C copies, Ctrl+X cuts, Ctrl+Z brings the
// cut text back, Ctrl+V pastes over a selection.
void TstTDBEdit::controlKeysWorkInEveryBox()
{
    QFETCH(QString, box);
    QFETCH(QString, pasted);
    QFETCH(QString, afterPaste);
    Exec(QStringLiteral("insert into prodforne (idprod, descricao, qtdedisp, qtdemin, custocompra) "
                        "values (1, 'PARAFUSO', 7, 6, 3.5)"));
    TFbQuery *q = DM->ProdForneQuery;
    Reopen(q, QStringLiteral("select * from prodforne"));
    QLineEdit *e = nullptr;
    if (box == QLatin1String("digits")) {
        auto *d = new TDBEdit(QStringLiteral("QTDEMIN"), q, QStringLiteral("QTDEMIN"), m_form.get());
        d->SetDigitsOnly(true);
        e = d;
    } else if (box == QLatin1String("integer")) {
        e = new TDBEdit(QStringLiteral("QTDEDISP"), q, QStringLiteral("QTDEDISP"), m_form.get());
    } else if (box == QLatin1String("text")) {
        e = new TDBEdit(QStringLiteral("DESCRICAO"), q, QStringLiteral("DESCRICAO"), m_form.get());
    } else if (box == QLatin1String("money")) {
        e = new TDBMoneyEdit(QStringLiteral("CUSTOCOMPRA"), q, QStringLiteral("CUSTOCOMPRA"), m_form.get());
    } else {
        e = new TSearchEdit(m_form.get());
        e->setText(QStringLiteral("abc"));
    }
    m_form->layout()->addWidget(e);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    e->setFocus();
    QVERIFY(e->hasFocus());
    const QString original = e->text();
    QVERIFY(!original.isEmpty());
    e->setCursorPosition(0);

    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(e->selectedText(), original);
    QApplication::clipboard()->clear();
    QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), original);
    QCOMPARE(e->text(), original);
    QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(e->text(), QString());
    QCOMPARE(QApplication::clipboard()->text(), original);
    QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e->text(), original);

    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    // A paste the box's rule refuses leaves the text as it was.
    QCOMPARE(e->text(), afterPaste.isEmpty() ? original : afterPaste);
}
