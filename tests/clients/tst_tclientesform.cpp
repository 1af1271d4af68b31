// The client record form, opened as the client list opens it, on a real
// database file: defaults, saving, the name rule, the two choices, the
// person-type switch, the editors' limits and the cancels.
#include "clients/tclientesform.h"
#include "clients/tlistaclientesform.h"
#include "tests/clients/tclienttestdata.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbgrid.h"
#include "widgets/tdbmemo.h"
#include "widgets/teditorlook.h"
#include "widgets/tradiogroup.h"

#include <QLocale>
#include <QPointer>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace TClientTestData;

class TstTClientesForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void editorCaptionsAndInitialLook_data();
    void editorCaptionsAndInitialLook();
    void formCaptionsAndButtons();
    void newClientDefaultsAndSave();
    void emptyNameKeepsRecordUntilCancelled();
    void choicesOutOfRangeOpenAsFirstAndSaveAs1_data();
    void choicesOutOfRangeOpenAsFirstAndSaveAs1();
    void companyClientOpensAsCompany();
    void personTypeSwitchClearsNothing();
    void estadoCapitalsTwoCharacters();
    void longAnnotationStoredCut();
    void closeBoxAndEscCancel();
    void refusedSaveThenCancelLeavesNothingCached();
    void saveKeepsWhatAnotherComputerSaved();
    void savedChoicesWrittenFromGroups();
    void legendButton();

private:
    TScreenTestData::TScreenDb m_screen;
    QPointer<TListaClientesForm> m_list;
};

static TClientesForm *Form(QDialog *d)
{
    return qobject_cast<TClientesForm *>(d);
}

void TstTClientesForm::initTestCase()
{
    TScreenTestData::InitApplication();
}

void TstTClientesForm::init()
{
    m_screen.Open();
    OS_REQUIRE_TEST_DB(*m_screen.db);
    AddClient({1, QStringLiteral("ANA"), QStringLiteral("3"), QStringLiteral("1")});
    AddClient({7, QStringLiteral("OFICINA LTDA"), QStringLiteral("2"), QStringLiteral("2")});
    ListAllClients();
    m_list = new TListaClientesForm;
}

void TstTClientesForm::cleanup()
{
    delete m_list;
    m_screen.Close();
}

void TstTClientesForm::editorCaptionsAndInitialLook_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("caption");   // of the label that names the editor
    QTest::addColumn<bool>("open");         // enabled on white, or locked on grey
    QTest::newRow("IDCLIENTE") << "IDCLIENTE" << "Código" << false;
    QTest::newRow("NOME") << "NOME" << "Nome do Cliente" << true;
    QTest::newRow("FONERES") << "FONERES" << "Telefone Residencial" << true;
    QTest::newRow("FONECOM") << "FONECOM" << "Telefone Comercial" << true;
    QTest::newRow("FONECEL") << "FONECEL" << "Celular" << true;
    QTest::newRow("END1") << "END1" << "Endereço" << true;
    QTest::newRow("END2, no label") << "END2" << "" << true;
    QTest::newRow("CIDADE") << "CIDADE" << "Cidade" << true;
    QTest::newRow("UF") << "UF" << "Estado" << true;
    QTest::newRow("CEP") << "CEP" << "CEP" << true;
    QTest::newRow("CPF") << "CPF" << "CPF" << true;
    QTest::newRow("RG") << "RG" << "RG" << true;
    QTest::newRow("EMAIL") << "EMAIL" << "E-mail" << true;
    QTest::newRow("CNPJ") << "CNPJ" << "CNPJ" << false;
    QTest::newRow("IE") << "IE" << "Inscriçao Estadual" << false;
    QTest::newRow("PESSOACONT") << "PESSOACONT" << "Pessoa para Contato" << false;
    QTest::newRow("DATACADASTRO") << "DATACADASTRO" << "Data de Cadastro" << true;
}

void TstTClientesForm::editorCaptionsAndInitialLook()
{
    QFETCH(QString, column);
    QFETCH(QString, caption);
    QFETCH(bool, open);
    TClientesForm f;
    TScreenTestData::CompareEditorLook(f, column, caption, open);
}

void TstTClientesForm::formCaptionsAndButtons()
{
    TClientesForm f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Cadastro de Clientes - Pessoa Física"));
    QCOMPARE(f.RadioGroup1->title(), QString());
    QCOMPARE(f.RadioGroup1->Items(), QStringList({QStringLiteral("Pessoa Física"),
                                                  QStringLiteral("Pessoa Jurídica")}));
    QCOMPARE(f.RadioGroup2->title(), QStringLiteral("Tipo de Anotação"));
    QCOMPARE(f.RadioGroup2->Items(),
             QStringList({QStringLiteral("Preto - Sem Anotação"), QStringLiteral("Verde"),
                          QStringLiteral("Azul"), QStringLiteral("Vermelho")}));
    QCOMPARE(f.RadioGroup2->Columns(), 2);
    const QList<QPair<TBitBtn *, QString>> buttons{{f.BitBtn1, QStringLiteral("Gravar")},
                                                   {f.BitBtn2, QStringLiteral("Cancelar [ESC]")},
                                                   {f.BitBtn3, QStringLiteral("Legenda Anotações")}};
    for (const auto &[button, caption] : buttons) {
        QCOMPARE(button->text(), caption);
        QVERIFY2(!button->icon().isNull(), qPrintable(caption));
    }
    QStringList memoLabels;
    for (QLabel *l : f.findChildren<QLabel *>())
        if (l->buddy() == f.DBMemo1)
            memoLabels << l->text();
    QCOMPARE(memoLabels, QStringList{QStringLiteral("Anotações Gerais")});
    QVERIFY(f.DBMemo1->isEnabled());
    // The pencil: a picture without a caption, outside the tab order.
    QVERIFY(f.SpeedButton1->text().isEmpty());
    QVERIFY(!f.SpeedButton1->icon().isNull());
    QCOMPARE(f.SpeedButton1->focusPolicy(), Qt::NoFocus);
    // A fixed border.
    QCOMPARE(f.minimumSize(), f.maximumSize());
}

void TstTClientesForm::newClientDefaultsAndSave()
{
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Cadastro de Cliente"));
        QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsInsert);
        // Next number, today's date, the first choices.
        QCOMPARE(f->DBEdit1->text(), QStringLiteral("8"));
        QVERIFY(!f->DBEdit1->isEnabled());
        QCOMPARE(f->DBEdit17->text(), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        QCOMPARE(f->RadioGroup1->ItemIndex(), 0);
        QCOMPARE(f->RadioGroup2->ItemIndex(), 0);
        QVERIFY(f->RadioGroup1->Button(0)->isChecked());
        f->DBEdit2->setFocus();
        QTest::keyClicks(f->DBEdit2, QStringLiteral("Maria Souza"));
        f->DBEdit8->setFocus();
        QTest::keyClicks(f->DBEdit8, QStringLiteral("Campinas"));
        f->BitBtn1->click();
        QVERIFY(!f->isVisible());
    });
    m_list->BitBtn2->click();
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where idcliente=8 and nome='Maria Souza' "
                                  "and cidade='Campinas' and tipoanot=1 and tipopessoa=1")),
             1);
    QCOMPARE(Text(QStringLiteral("select datacadastro from clientes where idcliente=8")),
             QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

void TstTClientesForm::emptyNameKeepsRecordUntilCancelled()
{
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        f->RadioGroup2->SetItemIndex(3);
        f->BitBtn1->click();
        QCOMPARE(m_screen.messages->Count(), 1);
        QCOMPARE(m_screen.messages->Last().text, QStringLiteral("Nome do Cliente não pode ser em branco!"));
        QCOMPARE(m_screen.messages->Last().caption, QStringLiteral("OS - Tarvo Vodevuru"));
        QCOMPARE(m_screen.messages->Last().icon, TMessages::NoIcon);
        QVERIFY(f->isVisible());
        QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsInsert);
        // The choices were written before the check.
        QCOMPARE(DM->ClientesQuery->FieldByName("TIPOANOT")->AsInteger(), 4);
        QCOMPARE(DM->ClientesQuery->FieldByName("TIPOPESSOA")->AsInteger(), 1);
        f->BitBtn2->click();
        QVERIFY(!f->isVisible());
    });
    m_list->BitBtn2Click();
    QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(DM->ClientesQuery->RecordCount(), 2);
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes")), 2);
    // The number of the client given up is not handed out again.
    DM->ClientesQuery->Append();
    QCOMPARE(DM->ClientesQuery->FieldByName("IDCLIENTE")->AsInteger(), 9);
    DM->ClientesQuery->Cancel();
}

void TstTClientesForm::choicesOutOfRangeOpenAsFirstAndSaveAs1_data()
{
    QTest::addColumn<QString>("tipoAnot");
    QTest::addColumn<QString>("tipoPessoa");
    QTest::newRow("null, null") << "null" << "null";
    QTest::newRow("0, 0") << "0" << "0";
    QTest::newRow("5, 3") << "5" << "3";
    QTest::newRow("-1, -2") << "-1" << "-2";
}

void TstTClientesForm::choicesOutOfRangeOpenAsFirstAndSaveAs1()
{
    QFETCH(QString, tipoAnot);
    QFETCH(QString, tipoPessoa);
    AddClient({9, QStringLiteral("AAA ODD"), tipoAnot, tipoPessoa});
    ListAllClients();
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 9));
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QCOMPARE(f->windowTitle(), QStringLiteral("Alteração de Cliente"));
        QCOMPARE(f->RadioGroup1->ItemIndex(), 0);
        QCOMPARE(f->RadioGroup2->ItemIndex(), 0);
        QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsEdit);
        f->BitBtn1->click();
    });
    m_list->BitBtn3->click();
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where idcliente=9 and tipoanot=1 and tipopessoa=1")), 1);
}

void TstTClientesForm::companyClientOpensAsCompany()
{
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 7));
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QCOMPARE(f->windowTitle(), QStringLiteral("Alteração de Cliente"));
        QCOMPARE(f->RadioGroup1->ItemIndex(), 1);
        QCOMPARE(f->RadioGroup2->ItemIndex(), 1);
        for (const char *open : {"CNPJ", "IE", "PESSOACONT", "NOME", "FONECOM", "EMAIL"})
            QVERIFY2(TEditorLook::IsOpen(f->EditorOf(QLatin1String(open))), open);
        for (const char *locked : {"FONERES", "CPF", "RG", "IDCLIENTE"}) {
            TDBEdit *e = f->EditorOf(QLatin1String(locked));
            QVERIFY2(!e->isEnabled(), locked);
            QCOMPARE(e->palette().color(QPalette::Disabled, QPalette::Base), TEditorLook::Grey());
        }
        QCOMPARE(f->DBEdit2->text(), QStringLiteral("OFICINA LTDA"));
        QCOMPARE(f->DBEdit14->text(), QStringLiteral("CNPJ 7"));
        f->BitBtn2->click();
    });
    m_list->BitBtn3->click();
    QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsBrowse);
}

void TstTClientesForm::personTypeSwitchClearsNothing()
{
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 7));
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        // The user's click on "Pessoa Física".
        f->RadioGroup1->Button(0)->click();
        QCOMPARE(f->RadioGroup1->ItemIndex(), 0);
        QCOMPARE(f->windowTitle(), QStringLiteral("Cadastro de Clientes - Pessoa Física"));
        for (const char *open : {"FONERES", "CPF", "RG"})
            QVERIFY2(TEditorLook::IsOpen(f->EditorOf(QLatin1String(open))), open);
        for (const char *locked : {"CNPJ", "IE", "PESSOACONT"})
            QVERIFY2(!f->EditorOf(QLatin1String(locked))->isEnabled(), locked);
        QCOMPARE(f->DBEdit14->text(), QStringLiteral("CNPJ 7"));
        f->RadioGroup1->Button(1)->click();
        QCOMPARE(f->windowTitle(), QStringLiteral("Cadastro de Clientes - Pessoa Jurídica"));
        QVERIFY(TEditorLook::IsOpen(f->DBEdit14));
        QVERIFY(!f->DBEdit11->isEnabled());
        f->RadioGroup1->Button(0)->click();
        f->BitBtn1->click();
    });
    m_list->BitBtn3->click();
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where idcliente=7 and tipopessoa=1 "
                                  "and cnpj='CNPJ 7' and cpf='CPF 7'")),
             1);
}

void TstTClientesForm::estadoCapitalsTwoCharacters()
{
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QTest::keyClicks(f->DBEdit2, QStringLiteral("Ze"));
        f->DBEdit9->setFocus();
        QTest::keyClicks(f->DBEdit9, QStringLiteral("spx"));
        QCOMPARE(f->DBEdit9->text(), QStringLiteral("SP"));
        QCOMPARE(DM->ClientesQuery->FieldByName("UF")->AsString(), QStringLiteral("SP"));
        f->BitBtn1->click();
    });
    m_list->BitBtn2->click();
    QCOMPARE(Text(QStringLiteral("select uf from clientes where idcliente=8")), QStringLiteral("SP"));
}

void TstTClientesForm::longAnnotationStoredCut()
{
    QString note;
    for (int i = 0; i < 35; ++i)
        note += QStringLiteral("nota %1 ").arg(i, 4, 10, QLatin1Char('0'));
    QCOMPARE(note.size(), 350);
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QTest::keyClicks(f->DBEdit2, QStringLiteral("Anotado"));
        f->DBMemo1->setFocus();
        f->DBMemo1->insertPlainText(note);
        QCOMPARE(f->DBMemo1->toPlainText(), note);
        f->BitBtn1->click();
    });
    m_list->BitBtn2->click();
    QCOMPARE(Text(QStringLiteral("select anota from clientes where idcliente=8")), note.left(300));
}

void TstTClientesForm::closeBoxAndEscCancel()
{
    // Close box on a new client: nothing stays behind.
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QTest::keyClicks(f->DBEdit2, QStringLiteral("Fantasma"));
        QCOMPARE(DM->ClientesQuery->RecordCount(), 3);
        f->close();
    });
    m_list->BitBtn2->click();
    QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(DM->ClientesQuery->RecordCount(), 2);
    QCOMPARE(m_list->DBGrid1->model()->rowCount(), 2);

    // Esc while typing in an edited client: the old values come back.
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 1));
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        f->DBEdit8->setFocus();
        QTest::keyClicks(f->DBEdit8, QStringLiteral("Recife"));
        QCOMPARE(DM->ClientesQuery->FieldByName("CIDADE")->AsString(), QStringLiteral("Recife"));
        QTest::keyClick(f->DBEdit8, Qt::Key_Escape);
        QVERIFY(!f->isVisible());
    });
    m_list->BitBtn3->click();
    QCOMPARE(DM->ClientesQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(DM->ClientesQuery->FieldByName("CIDADE")->AsString(), QString());
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where cidade='Recife'")), 0);
}

void TstTClientesForm::refusedSaveThenCancelLeavesNothingCached()
{
    // The database refuses the save (another computer took the number
    // meanwhile) and the user gives up: nothing of the new client may stay
    // cached for a later save to write.
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QTest::keyClicks(f->DBEdit2, QStringLiteral("Recusado"));
        Exec(QStringLiteral("insert into clientes (idcliente, nome) values (8, 'OUTRO COMPUTADOR')"));
        f->BitBtn1->click();
        QCOMPARE(m_screen.messages->Count(), 1);
        QCOMPARE(m_screen.messages->Last().icon, TMessages::Error);
        QVERIFY(f->isVisible());
        f->BitBtn2->click();
        QVERIFY(!f->isVisible());
    });
    m_list->BitBtn2->click();
    QVERIFY(!DM->ClientesQuery->UpdatesPending());
    QCOMPARE(DM->ClientesQuery->RecordCount(), 2);

    // The next client saved is written, and only it.
    DM->ClientesQuery->Append();
    DM->ClientesQueryNOME->SetAsString(QStringLiteral("SEGUINTE"));
    DM->ClientesQuery->ApplyChanges();
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where nome='SEGUINTE' and idcliente=9")), 1);
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where nome='Recusado'")), 0);
}

// Two computers on the same client: the phone saved on the other one used
// to be overwritten by this form's save of the city; the name changed on
// both is refused here with what is stored now, and the typed name stays.
void TstTClientesForm::saveKeepsWhatAnotherComputerSaved()
{
    std::unique_ptr<TDM> other = m_screen.db->MakeDM();   // a second attachment
    auto otherSaves = [&](const char *sql) {
        other->AuxQuery->SetSQL(QLatin1String(sql));
        other->AuxQuery->Execute();
    };
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 1));
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        otherSaves("update clientes set foneres='3333-4444' where idcliente=1");
        f->DBEdit8->setFocus();
        f->DBEdit8->selectAll();
        QTest::keyClicks(f->DBEdit8, QStringLiteral("Olinda"));
        f->BitBtn1->click();
        QVERIFY(!f->isVisible());
    });
    m_list->BitBtn3->click();
    QCOMPARE(m_screen.messages->Count(), 0);
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where idcliente=1 and foneres='3333-4444' "
                                  "and cidade='Olinda'")),
             1);

    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        otherSaves("update clientes set nome='ANA MARIA' where idcliente=1");
        f->DBEdit2->setFocus();
        f->DBEdit2->selectAll();
        QTest::keyClicks(f->DBEdit2, QStringLiteral("ANA PAULA"));
        f->BitBtn1->click();
        QCOMPARE(m_screen.messages->Count(), 1);
        const QString text = m_screen.messages->Last().text;
        QVERIFY2(text.startsWith(QStringLiteral("Este registro foi alterado em outro computador")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("NOME: \"ANA MARIA\"")), qPrintable(text));
        QVERIFY(f->isVisible());
        QCOMPARE(f->DBEdit2->text(), QStringLiteral("ANA PAULA"));
        f->BitBtn2->click();
        QVERIFY(!f->isVisible());
    });
    m_list->BitBtn3->click();
    QCOMPARE(Text(QStringLiteral("select nome from clientes where idcliente=1")), QStringLiteral("ANA MARIA"));
    QVERIFY(!DM->ClientesQuery->UpdatesPending());
}

void TstTClientesForm::savedChoicesWrittenFromGroups()
{
    QVERIFY(DM->ClientesQuery->Locate(QStringLiteral("IDCLIENTE"), 1));
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QCOMPARE(f->RadioGroup2->ItemIndex(), 2);
        f->RadioGroup2->Button(3)->click();
        f->RadioGroup1->Button(1)->click();
        f->BitBtn1->click();
    });
    m_list->BitBtn3->click();
    QCOMPARE(Count(QStringLiteral("select count(*) from clientes where idcliente=1 and tipoanot=4 and tipopessoa=2")), 1);
    QCOMPARE(m_list->DBGrid1->RowTextColor(DM->ClientesQuery->RecNo()), QColor(255, 0, 0));
}

void TstTClientesForm::legendButton()
{
    OnModal([&](QDialog *d) {
        TClientesForm *f = Form(d);
        QCOMPARE(f->BitBtn3->text(), QStringLiteral("Legenda Anotações"));
        f->BitBtn3->click();
        f->BitBtn2->click();
    });
    m_list->BitBtn2->click();
    QCOMPARE(m_screen.messages->Count(), 1);
    QCOMPARE(m_screen.messages->Last().caption, QStringLiteral("Legenda Tipos de Anotações"));
    QVERIFY(m_screen.messages->Last().text.startsWith(QStringLiteral("Preto - Sem Anotação\rVerde - ")));
}

QTEST_MAIN(TstTClientesForm)
#include "tst_tclientesform.moc"
