// The settings screen on a real database file: pages, captions, locked and
// open editors, edit/save/cancel per page, closing, length limits, and the
// backup with its messages and a copy that opens as a database.
#include "app/tapplication.h"
#include "app/tdatabasebackup.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "data/tfbtransaction.h"
#include "settings/tconfigform.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmessagerecorder.h"
#include "tests/support/ttinydisk.h"
#include "widgets/tdbedit.h"
#include "widgets/tdbfieldlink.h"
#include "widgets/teditorlook.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Reads a CONFIG column through a query and transaction of its own on the
// file, as another program would see it after the run.
QString ReadConfig(const QString &file, const QString &column)
{
    TFbDatabase db;
    db.SetDatabaseName(file);
    db.SetParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=quillmoss")});
    TFbTransaction tr;
    tr.SetDefaultDatabase(&db);
    db.SetDefaultTransaction(&tr);
    TFbQuery q;
    q.SetDatabase(&db);
    q.SetSQL(QStringLiteral("select %1 from CONFIG where IDCONFIG = 1").arg(column));
    q.Open();
    const QString value = q.Field(0)->AsString();
    q.Close();
    db.Close();
    return value;
}

// The value the running session sees (its own transaction).
QString SessionConfig(const QString &column)
{
    TFbQuery q;
    q.SetDatabase(DM->Database);
    q.SetTransaction(DM->Transaction);
    q.SetSQL(QStringLiteral("select %1 from CONFIG where IDCONFIG = 1").arg(column));
    q.Open();
    return q.Field(0)->AsString();
}

// Types as the user does (insert() for what the test keyboard lacks).
void Type(QLineEdit *editor, const QString &text)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 128;
    if (ascii)
        QTest::keyClicks(editor, text);
    else
        editor->insert(text);
}

QColor Base(const QWidget *w)
{
    return w->palette().color(QPalette::Base);
}

} // namespace

class TstTConfigForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowAndPages();
    void backupInformationNamesTheFoldersInUse();
    void editorsStartLocked();
    void editSaveCancel_data();
    void editSaveCancel();
    void closeBoxDropsTheEdit();
    void saveOnTheOtherPageKeepsTheseEditorsOpen();
    void saveWithoutEditDoesNothing();
    void lengthLimits_data();
    void lengthLimits();
    void saveFailureIsShownAndKeptForTheNextSave();
    void withoutTheConfigRowNothingIsShownOrSaved();

    void folderName_data();
    void folderName();
    void backupSucceedsAndTheCopyOpens();
    void twoBackupsInTheSameSecond();
    void backupFailsWhenTheFileIsMissing();
    void backupsAreTheOwnersOnly();
    void serverBackupPageNamesTheServersBackup();
    void backupOntoAFullDiskSaysSo();
    void backupOfAnUnreachableServerSaysWhy_data();
    void backupOfAnUnreachableServerSaysWhy();
    void restoreFromTheScreen();
    void restoreOfADamagedCopyChangesNothing();
    void backupOfAServerDatabaseFromTheScreen();
    void backupWhileAnEditIsPending();
    void backupCopyIsFrozenWhileWritesGoOn();

private:
    std::unique_ptr<TFbTestDb> m_db;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TConfigForm> m_form;
    std::unique_ptr<TMessageRecorder> m_rec;

    void Backup(const QDateTime &when)
    {
        m_form->BackupStepDelay = 0;
        m_form->Clock = [when] { return when; };
        m_form->BitBtn1->click();
    }
};

void TstTConfigForm::initTestCase()
{
    TApplication::Configure();
}

void TstTConfigForm::init()
{
    m_db = std::make_unique<TFbTestDb>();
    OS_REQUIRE_TEST_DB(*m_db);
    m_db->SetHome();
    m_dm = m_db->MakeDM();
    DM = m_dm.get();
    m_rec = std::make_unique<TMessageRecorder>();
    m_form = std::make_unique<TConfigForm>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TstTConfigForm::cleanup()
{
    m_form.reset();
    m_rec.reset();
    m_dm.reset();
    m_db.reset();
}

void TstTConfigForm::windowAndPages()
{
    TConfigForm &f = *m_form;
    QCOMPARE(f.windowTitle(), QStringLiteral("Configurações"));
    QCOMPARE(f.size(), QSize(452, 339));
    QVERIFY(!(f.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(f.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(f.PageControl1->size(), QSize(433, 320));
    QCOMPARE(f.PageControl1->count(), 3);
    QCOMPARE(f.PageControl1->tabText(0), QStringLiteral("Backup"));
    QCOMPARE(f.PageControl1->tabText(1), QStringLiteral("Cabeçalho OS"));
    QCOMPARE(f.PageControl1->tabText(2), QStringLiteral("Anotações do Cliente"));
    QCOMPARE(f.PageControl1->currentIndex(), 0);

    QCOMPARE(f.Memo1->size(), QSize(377, 132));
    QCOMPARE(f.ProgressBar1->size(), QSize(377, 17));
    QCOMPARE(f.ProgressBar1->minimum(), 0);
    QCOMPARE(f.ProgressBar1->maximum(), 100);
    QCOMPARE(f.ProgressBar1->value(), 0);
    QCOMPARE(f.BitBtn1->text(), QStringLiteral("Fazer Backup agora"));
    QVERIFY(!f.BitBtn1->icon().isNull());
    QVERIFY(!f.Edit1->isVisibleTo(&f));

    QCOMPARE(f.Label1->text(), QStringLiteral("Primeira linha do cabeçalho. (ex.: Nome da Empresa)"));
    QCOMPARE(f.Label2->text(), QStringLiteral("Segunda linha do cabeçalho. (ex.: Rua)"));
    QCOMPARE(f.Label3->text(), QStringLiteral("Terceira linha do cabeçalho. (ex.: Bairro - CEP - Cidade - Estado)"));
    QCOMPARE(f.Label4->text(), QStringLiteral("Quarta linha do cabeçalho. (ex.: Telefone - Fax - CNPJ)"));
    QCOMPARE(f.BitBtn2->text(), QStringLiteral("Editar Cabeçalho"));
    QCOMPARE(f.BitBtn3->text(), QStringLiteral("Gravar Alterações"));
    QCOMPARE(f.BitBtn4->text(), QStringLiteral("Cancelar Alterações"));
    QCOMPARE(f.BitBtn5->text(), QStringLiteral("Editar Anotações"));
    QCOMPARE(f.BitBtn6->text(), QStringLiteral("Gravar Alterações"));
    QCOMPARE(f.BitBtn7->text(), QStringLiteral("Cancelar Alterações"));

    const QStringList explanation = {
        "Esta opção é a cor do Tipo de Anotação.",
        "Por exemplo se o cliente esta devendo pode-se colocar como \"Cliente devendo\"",
        "na cor vermelha. Se o cliente esta com cheque sem fundo pode-se colocar",
        "na cor Azul \"Cheque devolvido\". Está opção serve basicamente para colocar ",
        "o tipo de anotação que o cliente vai ter. Por padrão se o cliente não tiver nenhuma",
        "anotação a cor vai estar como Preto."};
    QCOMPARE(f.Label5->text().split('\n'), explanation);
    QCOMPARE(f.Label5->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    QVERIFY(f.Label5->alignment() & Qt::AlignHCenter);
    QCOMPARE(f.Label6->text(), QStringLiteral("Cor Verde"));
    QCOMPARE(f.Label6->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QCOMPARE(f.Label7->text(), QStringLiteral("Cor Azul"));
    QCOMPARE(f.Label7->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(f.Label8->text(), QStringLiteral("Cor Vermelho"));
    QCOMPARE(f.Label8->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // The editors are bound to the columns of the one CONFIG row.
    QCOMPARE(f.DBEdit1->Link()->Field(), DM->ConfigQueryCAB1);
    QCOMPARE(f.DBEdit4->Link()->Field(), DM->ConfigQueryCAB4);
    QCOMPARE(f.DBEdit5->Link()->Field(), DM->ConfigQueryVERDE);
    QCOMPARE(f.DBEdit6->Link()->Field(), DM->ConfigQueryAZUL);
    QCOMPARE(f.DBEdit7->Link()->Field(), DM->ConfigQueryVERMELHO);
}

void TstTConfigForm::backupInformationNamesTheFoldersInUse()
{
    const QStringList lines = m_form->Memo1->toPlainText().split('\n');
    QCOMPARE(lines.size(), 9);
    QCOMPARE(lines[0], QStringLiteral("O Sistema de backup funciona da seguinte maneira:"));
    QCOMPARE(lines[1], QStringLiteral("Ao pressionar o botão [Fazer Backup agora] o sistema cria um pasta no "));
    QCOMPARE(lines[2], QStringLiteral("diretório [%1/Backup_OS], dentro deste diretório há outra pasta com a data ")
                           .arg(m_db->Dir()));
    QCOMPARE(lines[3], QStringLiteral("e a hora atual. Dentro desta segunda pasta há um arquivo chamado "));
    QCOMPARE(lines[4], QStringLiteral("DADOS.GDB este arquivo é o banco de dados do sistema."));
    QCOMPARE(lines[5], QString());
    QCOMPARE(lines[6], QStringLiteral("Para maior segurança salve esta pasta em um pendrive semanalmente."));
    QCOMPARE(lines[7], QStringLiteral("Caso você queira substituir o banco de dados entre no diretório "));
    QCOMPARE(lines[8], QStringLiteral("[%1/OS - Tarvo Vodevuru] e substitua o arquivo DADOS.GDB pelo criado pelo sistema.")
                           .arg(m_db->Dir()));
}

void TstTConfigForm::editorsStartLocked()
{
    for (TDBEdit *e : {m_form->DBEdit1, m_form->DBEdit2, m_form->DBEdit3, m_form->DBEdit4, m_form->DBEdit5,
                                m_form->DBEdit6, m_form->DBEdit7}) {
        QVERIFY(!e->isEnabled());
        QCOMPARE(Base(e), TEditorLook::Grey());
        QVERIFY(Base(e) != QColor(Qt::white));
    }
    for (QPushButton *b : {m_form->BitBtn2, m_form->BitBtn3, m_form->BitBtn4, m_form->BitBtn5, m_form->BitBtn6,
                           m_form->BitBtn7})
        QVERIFY(b->isEnabled());
}

void TstTConfigForm::editSaveCancel_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("column");
    QTest::newRow("Cabeçalho OS, first line") << 1 << "CAB1";
    QTest::newRow("Cabeçalho OS, fourth line") << 1 << "CAB4";
    QTest::newRow("Anotações, green") << 2 << "VERDE";
    QTest::newRow("Anotações, red") << 2 << "VERMELHO";
}

void TstTConfigForm::editSaveCancel()
{
    QFETCH(int, page);
    QFETCH(QString, column);
    TConfigForm &f = *m_form;
    f.PageControl1->setCurrentIndex(page);
    const bool header = page == 1;
    QPushButton *editButton = header ? f.BitBtn2 : f.BitBtn5;
    QPushButton *saveButton = header ? f.BitBtn3 : f.BitBtn6;
    QPushButton *cancelButton = header ? f.BitBtn4 : f.BitBtn7;
    const QList<TDBEdit *> editors = header ? QList<TDBEdit *>{f.DBEdit1, f.DBEdit2, f.DBEdit3, f.DBEdit4}
                                                     : QList<TDBEdit *>{f.DBEdit5, f.DBEdit6, f.DBEdit7};
    TDBEdit *editor = nullptr;
    for (TDBEdit *e : editors)
        if (e->Link()->Field()->FieldName() == column)
            editor = e;
    QVERIFY(editor);
    const QString before = SessionConfig(column);

    // Edit: the page's editors open (white), focus on its first editor.
    editButton->click();
    QCOMPARE(DM->ConfigQuery->State(), TFbQuery::dsEdit);
    for (TDBEdit *e : editors) {
        QVERIFY(e->isEnabled());
        QCOMPARE(Base(e), QColor(Qt::white));
    }
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editors.first()));
    editor->selectAll();
    Type(editor, QStringLiteral("Oficina São José"));
    QCOMPARE(editor->Link()->Field()->AsString(), QStringLiteral("Oficina São José"));

    // Cancel drops it.
    cancelButton->click();
    QCOMPARE(DM->ConfigQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(editor->text(), before);
    QCOMPARE(SessionConfig(column), before);
    for (TDBEdit *e : editors) {
        QVERIFY(!e->isEnabled());
        QCOMPARE(Base(e), TEditorLook::Grey());
    }

    // Save writes it, and it is in the file at once.
    editButton->click();
    editor->selectAll();
    Type(editor, QStringLiteral("Rua das Palmeiras, 120"));
    saveButton->click();
    QCOMPARE(DM->ConfigQuery->State(), TFbQuery::dsBrowse);
    for (TDBEdit *e : editors)
        QVERIFY(!e->isEnabled());
    QCOMPARE(SessionConfig(column), QStringLiteral("Rua das Palmeiras, 120"));
    QCOMPARE(m_rec->Count(), 0);
    m_form.reset();
    m_dm.reset(); // closes the connection
    QCOMPARE(ReadConfig(m_db->Path(), column), QStringLiteral("Rua das Palmeiras, 120"));
}

void TstTConfigForm::closeBoxDropsTheEdit()
{
    const QString before = SessionConfig(QStringLiteral("CAB2"));
    m_form->PageControl1->setCurrentIndex(1);
    m_form->BitBtn2->click();
    m_form->DBEdit2->selectAll();
    Type(m_form->DBEdit2, QStringLiteral("não deve ficar"));
    QVERIFY(m_form->close());
    QCOMPARE(DM->ConfigQuery->State(), TFbQuery::dsBrowse);
    QVERIFY(DM->ConfigQuery->Active());
    QCOMPARE(DM->ConfigQueryCAB2->AsString(), before);
    QVERIFY(!DM->ConfigQuery->UpdatesPending());
    QCOMPARE(SessionConfig(QStringLiteral("CAB2")), before);
}

void TstTConfigForm::saveOnTheOtherPageKeepsTheseEditorsOpen()
{
    m_form->BitBtn2->click();
    m_form->DBEdit1->selectAll();
    Type(m_form->DBEdit1, QStringLiteral("Tarvo Consertos"));
    m_form->BitBtn6->click(); // "Gravar Alterações" of the legend page
    QCOMPARE(SessionConfig(QStringLiteral("CAB1")), QStringLiteral("Tarvo Consertos"));
    for (TDBEdit *e : {m_form->DBEdit1, m_form->DBEdit2, m_form->DBEdit3, m_form->DBEdit4}) {
        QVERIFY(e->isEnabled());
        QCOMPARE(Base(e), QColor(Qt::white));
    }
    for (TDBEdit *e : {m_form->DBEdit5, m_form->DBEdit6, m_form->DBEdit7})
        QVERIFY(!e->isEnabled());
    // Typing into the still open editor starts a new edit by itself.
    Type(m_form->DBEdit1, QStringLiteral(" Ltda"));
    QCOMPARE(DM->ConfigQuery->State(), TFbQuery::dsEdit);
    m_form->BitBtn3->click();
    QCOMPARE(SessionConfig(QStringLiteral("CAB1")), QStringLiteral("Tarvo Consertos Ltda"));
}

void TstTConfigForm::saveWithoutEditDoesNothing()
{
    const QString before = SessionConfig(QStringLiteral("CAB3"));
    m_form->BitBtn3->click();
    m_form->BitBtn6->click();
    QCOMPARE(m_rec->Count(), 0);
    QCOMPARE(DM->ConfigQuery->State(), TFbQuery::dsBrowse);
    QCOMPARE(SessionConfig(QStringLiteral("CAB3")), before);
}

void TstTConfigForm::lengthLimits_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<int>("limit");
    QTest::newRow("CAB1") << "DBEdit1" << 100;
    QTest::newRow("CAB3") << "DBEdit3" << 100;
    QTest::newRow("VERDE") << "DBEdit5" << 150;
    QTest::newRow("VERMELHO") << "DBEdit7" << 150;
}

void TstTConfigForm::lengthLimits()
{
    QFETCH(QString, editor);
    QFETCH(int, limit);
    auto *e = m_form->findChild<TDBEdit *>(editor);
    QVERIFY(e);
    QCOMPARE(e->maxLength(), limit);
    (e == m_form->DBEdit1 || e == m_form->DBEdit3 ? m_form->BitBtn2 : m_form->BitBtn5)->click();
    e->selectAll();
    Type(e, QString(limit + 20, QLatin1Char('x')));
    QCOMPARE(e->text().size(), limit);
    QCOMPARE(e->Link()->Field()->AsString().size(), limit);
    (e == m_form->DBEdit1 || e == m_form->DBEdit3 ? m_form->BitBtn3 : m_form->BitBtn6)->click();
    QCOMPARE(SessionConfig(e->Link()->Field()->FieldName()), QString(limit, QLatin1Char('x')));
}

void TstTConfigForm::saveFailureIsShownAndKeptForTheNextSave()
{
    // Another statement of the run removes the row: the save cannot find it.
    TFbQuery remove;
    remove.SetDatabase(DM->Database);
    remove.SetTransaction(DM->Transaction);
    remove.SetSQL(QStringLiteral("update CONFIG set IDCONFIG = 2 where IDCONFIG = 1"));
    remove.Execute();
    m_form->BitBtn2->click();
    m_form->DBEdit1->selectAll();
    Type(m_form->DBEdit1, QStringLiteral("Nova"));
    m_form->BitBtn3->click();
    QCOMPARE(m_rec->Count(), 1);
    QCOMPARE(m_rec->Last().text, QStringLiteral("Update Failed."));
    QCOMPARE(m_rec->Last().icon, TMessages::Error);
    QVERIFY(!m_form->DBEdit1->isEnabled());
    QVERIFY(DM->ConfigQuery->UpdatesPending());
    // Once the row is back, the next save writes the change kept in the cache.
    remove.SetSQL(QStringLiteral("update CONFIG set IDCONFIG = 1 where IDCONFIG = 2"));
    remove.Execute();
    m_form->BitBtn6->click();
    QCOMPARE(m_rec->Count(), 1);
    QCOMPARE(SessionConfig(QStringLiteral("CAB1")), QStringLiteral("Nova"));
}

void TstTConfigForm::withoutTheConfigRowNothingIsShownOrSaved()
{
    m_form.reset();
    TFbQuery remove;
    remove.SetDatabase(DM->Database);
    remove.SetTransaction(DM->Transaction);
    remove.SetSQL(QStringLiteral("delete from CONFIG"));
    remove.Execute();
    DM->ConfigQuery->Close();
    DM->ConfigQuery->Open();
    m_form = std::make_unique<TConfigForm>();
    m_form->show();
    QVERIFY(m_form->DBEdit1->text().isEmpty());
    // The edit button starts a new row, whose key stays empty: it cannot be saved.
    m_form->BitBtn2->click();
    QCOMPARE(DM->ConfigQuery->State(), TFbQuery::dsInsert);
    Type(m_form->DBEdit1, QStringLiteral("Oficina"));
    m_form->BitBtn3->click();
    QCOMPARE(m_rec->Texts(), QStringList{QStringLiteral("Field 'IDCONFIG' must have a value.")});
    QCOMPARE(m_rec->Last().icon, TMessages::Error);
    m_form->BitBtn4->click();
    QCOMPARE(DM->ConfigQuery->RecordCount(), 0);
}

void TstTConfigForm::folderName_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("name");
    QTest::newRow("example") << QDateTime(QDate(2025, 12, 8), QTime(21, 40, 5)) << "08.12.25 - 21h40m05s";
    QTest::newRow("midnight") << QDateTime(QDate(2026, 1, 1), QTime(0, 0, 0)) << "01.01.26 - 00h00m00s";
    QTest::newRow("last second") << QDateTime(QDate(2030, 12, 31), QTime(23, 59, 59)) << "31.12.30 - 23h59m59s";
}

void TstTConfigForm::folderName()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, name);
    QCOMPARE(TDatabaseBackup::FolderName(when), name);
}

void TstTConfigForm::backupSucceedsAndTheCopyOpens()
{
    // Saved before the backup.
    m_form->BitBtn2->click();
    m_form->DBEdit1->selectAll();
    Type(m_form->DBEdit1, QStringLiteral("Assistência Técnica Tarvo"));
    m_form->BitBtn3->click();

    QList<int> steps;
    connect(m_form->ProgressBar1, &QProgressBar::valueChanged, this, [&](int v) { steps << v; });
    // The window takes no input meanwhile, but the bar is painted at every step.
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    m_form->ProgressBar1->installEventFilter(&counter);
    const QDateTime when(QDate(2025, 12, 8), QTime(21, 40, 5));
    m_form->BackupStepDelay = 0;
    m_form->Clock = [when] { return when; };
    QCOMPARE(m_form->BackupStepDelay, 0);
    m_form->BitBtn1->click();

    QList<int> expected;
    for (int i = 1; i <= 100; ++i)
        expected << i;
    expected << 0;
    QCOMPARE(steps, expected);
    QVERIFY2(counter.paints >= 100, qPrintable(QString::number(counter.paints)));
    m_form->ProgressBar1->removeEventFilter(&counter);
    QCOMPARE(m_form->Edit1->text(), QStringLiteral("08.12.25 - 21h40m05s"));

    const QString copy = m_db->Dir() + QStringLiteral("/Backup_OS/08.12.25 - 21h40m05s/DADOS.GDB");
    QCOMPARE(m_rec->Texts(), QStringList{copy + QStringLiteral("\rBackup feito com sucesso!")});
    QCOMPARE(m_rec->Last().caption, QStringLiteral("OS - Tarvo Vodevuru"));
    QCOMPARE(m_rec->Last().icon, TMessages::NoIcon);
    QVERIFY(QFileInfo::exists(copy));
    QVERIFY(!QFileInfo::exists(copy + QStringLiteral(".part")));
    // The copy opens on its own and holds what was saved; the session goes on.
    QCOMPARE(ReadConfig(copy, QStringLiteral("CAB1")), QStringLiteral("Assistência Técnica Tarvo"));
    QVERIFY(DM->ConfigQuery->Active());
    QCOMPARE(SessionConfig(QStringLiteral("CAB1")), QStringLiteral("Assistência Técnica Tarvo"));
}

void TstTConfigForm::twoBackupsInTheSameSecond()
{
    const QDateTime when(QDate(2026, 3, 2), QTime(9, 5, 7));
    Backup(when);
    m_form->BitBtn2->click();
    m_form->DBEdit2->selectAll();
    Type(m_form->DBEdit2, QStringLiteral("segunda"));
    m_form->BitBtn3->click();
    Backup(when);
    const QString copy = m_db->Dir() + QStringLiteral("/Backup_OS/02.03.26 - 09h05m07s/DADOS.GDB");
    const QString ok = copy + QStringLiteral("\rBackup feito com sucesso!");
    QCOMPARE(m_rec->Texts(), QStringList({ok, ok}));
    QCOMPARE(QDir(m_db->Dir() + QStringLiteral("/Backup_OS")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    // The second copy replaced the first.
    QCOMPARE(ReadConfig(copy, QStringLiteral("CAB2")), QStringLiteral("segunda"));
}

void TstTConfigForm::backupFailsWhenTheFileIsMissing()
{
    DM->CloseAll();
    const QString missing = m_db->Dir() + QStringLiteral("/OS - Tarvo Vodevuru/SUMIU.GDB");
    DM->Database->SetDatabaseName(missing);
    Backup(QDateTime(QDate(2026, 4, 30), QTime(18, 0, 0)));
    const QString folder = m_db->Dir() + QStringLiteral("/Backup_OS/30.04.26 - 18h00m00s");
    // The message names its reason, not only that it failed.
    QCOMPARE(m_rec->Count(), 1);
    const QString said = m_rec->Last().text;
    QVERIFY2(said.startsWith(QStringLiteral("Erro ao copiar ") + missing + QStringLiteral(" para ") + folder
                             + "/DADOS.GDB\rMotivo: O arquivo do banco de dados não foi encontrado"),
             qPrintable(said));
    QCOMPARE(m_rec->Last().icon, TMessages::NoIcon);
    // No empty dated folder is left to be taken for a backup.
    QVERIFY(!QFileInfo::exists(folder));
}

// The backups (the shop's clients' names, documents and addresses) were
// readable by every user of the computer, in a folder open to all.
void TstTConfigForm::backupsAreTheOwnersOnly()
{
    // A folder an older version made open to all is closed too.
    const QString root = m_db->Dir() + QStringLiteral("/Backup_OS");
    QVERIFY(QDir().mkpath(root));
    QVERIFY(QFile::setPermissions(root, QFileDevice::Permissions(0x7755)));
    Backup(QDateTime(QDate(2026, 4, 30), QTime(18, 0, 0)));
    const QString folder = root + QStringLiteral("/30.04.26 - 18h00m00s");
    QCOMPARE(m_rec->Texts(), QStringList{folder + QStringLiteral("/DADOS.GDB\rBackup feito com sucesso!")});
    constexpr auto ownerOnlyFolder = QFileDevice::Permissions(0x7700);
    constexpr auto ownerOnlyFile = QFileDevice::Permissions(0x6600);
    QCOMPARE(QFileInfo(root).permissions(), ownerOnlyFolder);
    QCOMPARE(QFileInfo(folder).permissions(), ownerOnlyFolder);
    QCOMPARE(QFileInfo(folder + QStringLiteral("/DADOS.GDB")).permissions(), ownerOnlyFile);
}

// The backup page of a server database named DADOS.GDB where the server's
// backup is DADOS.FBK.
void TstTConfigForm::serverBackupPageNamesTheServersBackup()
{
    m_form.reset();
    DM->CloseAll();
    DM->Database->SetDatabaseName(QStringLiteral("balcao.invalid:/srv/os/DADOS.GDB"));
    TConfigForm form;
    const QString text = form.Memo1->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("DADOS.FBK")) && text.contains(QStringLiteral("[balcao.invalid]")),
             qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("DADOS.GDB")), qPrintable(text));
    QVERIFY2(text.contains(m_db->Dir() + QStringLiteral("/Backup_OS")), qPrintable(text));
}

// A backup onto a full disk said "Failure to write block: Erro desconhecido"
// and left an empty dated folder.
void TstTConfigForm::backupOntoAFullDiskSaysSo()
{
    TTinyDisk disk(256);
    if (!disk.Mounted())
        QSKIP("cannot mount a small file system here (needs root)");
    const QString root = m_db->Dir() + QStringLiteral("/Backup_OS");
    QVERIFY(QFile::link(disk.Path(), root));
    Backup(QDateTime(QDate(2026, 4, 30), QTime(18, 0, 0)));
    QCOMPARE(m_rec->Count(), 1);
    const QString said = m_rec->Last().text;
    QVERIFY2(said.contains(QStringLiteral("Motivo: O disco está cheio: não há espaço para gravar o backup em ")
                           + root + QStringLiteral("/30.04.26 - 18h00m00s.")), qPrintable(said));
    QVERIFY2(!said.contains(QStringLiteral("desconhecido")) && !said.contains(QStringLiteral("Failure")),
             qPrintable(said));
    QCOMPARE(QDir(disk.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    // The database was released: with room again the next backup works.
    QVERIFY(QFile::remove(root));
    m_rec->Clear();
    Backup(QDateTime(QDate(2026, 4, 30), QTime(18, 1, 0)));
    QCOMPARE(m_rec->Texts(), QStringList{root + QStringLiteral("/30.04.26 - 18h01m00s/DADOS.GDB\rBackup feito com sucesso!")});
}

void TstTConfigForm::backupOfAnUnreachableServerSaysWhy_data()
{
    QTest::addColumn<QString>("server");
    // Nothing listens on the standard port of the loopback, and the named
    // server does not exist.
    QTest::newRow("loopback") << QStringLiteral("127.0.0.1");
    QTest::newRow("named server") << QStringLiteral("balcao.invalid");
}

// The server makes the backup of its database; when it cannot be reached
// the clerk reads why, and no dated folder is left behind.
void TstTConfigForm::backupOfAnUnreachableServerSaysWhy()
{
    QFETCH(QString, server);
    DM->CloseAll();
    DM->Database->SetDatabaseName(server + QLatin1Char(':') + m_db->Path());
    Backup(QDateTime(QDate(2026, 4, 30), QTime(18, 0, 0)));
    QCOMPARE(m_rec->Count(), 1);
    const QString said = m_rec->Last().text;
    QVERIFY2(said.startsWith(QStringLiteral("Erro ao fazer o backup do servidor \"%1\" em ").arg(server)), qPrintable(said));
    QVERIFY2(said.contains(QStringLiteral("Não foi possível conectar ao servidor")), qPrintable(said));
    QVERIFY(!QFileInfo::exists(m_db->Dir() + QStringLiteral("/Backup_OS/30.04.26 - 18h00m00s")));
    QCOMPARE(m_form->ProgressBar1->value(), 0);
}

// Back up, change, restore from the screen: the question shows what the
// backup holds and where the current data go; the change is gone after it
// and the replaced file is kept.
void TstTConfigForm::restoreFromTheScreen()
{
    QCOMPARE(m_form->BitBtn8->text(), QStringLiteral("Restaurar Backup"));
    Backup(QDateTime(QDate(2025, 12, 8), QTime(21, 40, 5)));
    const QString copy = m_db->Dir() + QStringLiteral("/Backup_OS/08.12.25 - 21h40m05s/DADOS.GDB");
    m_form->BitBtn2->click();
    m_form->DBEdit1->selectAll();
    Type(m_form->DBEdit1, QStringLiteral("mudado depois"));
    m_form->BitBtn3->click();
    m_rec->Clear();

    bool closed = false;
    m_form->CloseScreens = [&] { return closed = true; };
    m_form->ChooseBackup = [&] { return copy; };
    m_form->Clock = [] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)); };
    const QString kept = m_db->Dir() + QStringLiteral("/OS - Tarvo Vodevuru/DADOS - substituído em 02.01.26 - 03h04m05s.GDB");
    // "No" first: nothing happens.
    m_form->BitBtn8->click();
    QCOMPARE(m_rec->Count(), 1);
    QCOMPARE(m_rec->Last().buttons, int(TMessages::YesNo));
    QCOMPARE(m_rec->Last().text,
             QStringLiteral("Clientes: 0\nOrdens de serviço: 0\nConfiguração: 1\nFornecedores: 0\nProdutos: 0\n"
                            "Movimentos de estoque: 0\n\nRestaurar o backup de 08/12/2025 21:40? "
                            "Os dados atuais serão guardados em %1").arg(kept));
    QVERIFY(!closed);
    QCOMPARE(SessionConfig(QStringLiteral("CAB1")), QStringLiteral("mudado depois"));
    QVERIFY(!QFileInfo::exists(kept));

    m_rec->Clear();
    m_rec->QueueAnswer(TMessages::Yes);
    m_form->BitBtn8->click();
    QVERIFY(closed);
    QCOMPARE(m_rec->Count(), 2);
    QCOMPARE(m_rec->Last().text, QStringLiteral("Backup de 08/12/2025 21:40 restaurado com sucesso.\r"
                                                "Os dados anteriores foram guardados em %1").arg(kept));
    QVERIFY(DM->ConfigQuery->Active());
    QVERIFY(SessionConfig(QStringLiteral("CAB1")) != QStringLiteral("mudado depois"));
    QCOMPARE(m_form->DBEdit1->text(), SessionConfig(QStringLiteral("CAB1")));
    QCOMPARE(ReadConfig(kept, QStringLiteral("CAB1")), QStringLiteral("mudado depois"));

    // A screen that stays open (its entry kept) stops the restore.
    m_rec->Clear();
    m_form->CloseScreens = [] { return false; };
    m_rec->QueueAnswer(TMessages::Yes);
    m_form->BitBtn8->click();
    QCOMPARE(m_rec->Last().text, QStringLiteral("A restauração foi cancelada: feche as outras telas e tente de novo."));
    QVERIFY(DM->Database->Connected());
    QCOMPARE(QDir(m_db->Dir() + QStringLiteral("/OS - Tarvo Vodevuru")).entryList(QDir::Files).size(), 2);
}

void TstTConfigForm::restoreOfADamagedCopyChangesNothing()
{
    const QString damaged = m_db->Dir() + QStringLiteral("/estragado.GDB");
    QFile f(damaged);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(20000, '\x07'));
    f.close();
    m_form->ChooseBackup = [&] { return damaged; };
    m_form->BitBtn8->click();
    QCOMPARE(m_rec->Count(), 1);
    QCOMPARE(m_rec->Last().icon, TMessages::Error);
    QVERIFY2(m_rec->Last().text.startsWith(QStringLiteral("O backup %1 não foi restaurado; nada foi alterado.").arg(damaged)),
             qPrintable(m_rec->Last().text));
    QVERIFY(DM->ConfigQuery->Active());
    QCOMPARE(QDir(m_db->Dir() + QStringLiteral("/OS - Tarvo Vodevuru")).entryList(QDir::Files),
             QStringList{QStringLiteral("DADOS.GDB")});
    // Giving up the choice does nothing at all.
    m_rec->Clear();
    m_form->ChooseBackup = [] { return QString(); };
    m_form->BitBtn8->click();
    QCOMPARE(m_rec->Count(), 0);
}

// The private server makes the backup and the screen says it was checked.
void TstTConfigForm::backupOfAServerDatabaseFromTheScreen()
{
    const QString host = qEnvironmentVariable("OS_FB_SERVER");
    if (host.isEmpty())
        QSKIP("OS_FB_SERVER is not set: no Firebird server was started for the tests "
              "(see scripts/test-setup.d/10-firebird-server.sh)");
    QTemporaryDir serverDir(qEnvironmentVariable("OS_FB_SERVER_DIR", QStringLiteral("/tmp")) + "/os-config-XXXXXX");
    QFile::setPermissions(serverDir.path(), QFileDevice::Permissions(0x7777));
    const QString name = host + QLatin1Char(':') + serverDir.path() + QStringLiteral("/DADOS.GDB");
    TDmSchema::CreateDatabaseFile(name);
    DM->CloseAll();
    DM->Database->SetDatabaseName(name);
    DM->OpenAll();
    Backup(QDateTime(QDate(2026, 4, 30), QTime(18, 0, 0)));
    const QString file = m_db->Dir() + QStringLiteral("/Backup_OS/30.04.26 - 18h00m00s/DADOS.FBK");
    QCOMPARE(m_rec->Texts(), QStringList{file + QStringLiteral("\rBackup do servidor feito e verificado com sucesso!")});
    QVERIFY(QFileInfo(file).size() > 0);
    // The shop's clients are in it: its owner's only, in folders of the owner's only.
    QCOMPARE(QFileInfo(file).permissions(), QFileDevice::Permissions(0x6600));
    QCOMPARE(QFileInfo(QFileInfo(file).absolutePath()).permissions(), QFileDevice::Permissions(0x7700));

    // Restored from the screen as a new database beside the one in use.
    m_rec->Clear();
    m_form->ChooseBackup = [&] { return file; };
    m_form->Clock = [] { return QDateTime(QDate(2026, 5, 1), QTime(9, 0, 0)); };
    m_rec->QueueAnswer(TMessages::Yes);
    m_form->BitBtn8->click();
    const QString restored = host + QLatin1Char(':') + serverDir.path() + QStringLiteral("/DADOS_RESTAURADO_20260501_090000.GDB");
    QCOMPARE(m_rec->Count(), 2);
    QVERIFY2(m_rec->Boxes()[0].text.contains(QStringLiteral("Restaurar o backup de 30/04/2026 18:00 no servidor")),
             qPrintable(m_rec->Boxes()[0].text));
    QVERIFY2(m_rec->Last().text.startsWith(QStringLiteral("Backup de 30/04/2026 18:00 restaurado no servidor como\r%1\r").arg(restored)),
             qPrintable(m_rec->Last().text));
    QCOMPARE(DM->Database->DatabaseName(), name);
    QVERIFY(QFileInfo::exists(serverDir.path() + QStringLiteral("/DADOS_RESTAURADO_20260501_090000.GDB")));
    DM->CloseAll();
}

void TstTConfigForm::backupWhileAnEditIsPending()
{
    const QString before = SessionConfig(QStringLiteral("CAB3"));
    m_form->BitBtn2->click();
    m_form->DBEdit3->selectAll();
    Type(m_form->DBEdit3, QStringLiteral("ainda não gravado"));
    Backup(QDateTime(QDate(2026, 5, 1), QTime(8, 0, 0)));
    const QString copy = m_db->Dir() + QStringLiteral("/Backup_OS/01.05.26 - 08h00m00s/DADOS.GDB");
    QCOMPARE(m_rec->Texts(), QStringList{copy + QStringLiteral("\rBackup feito com sucesso!")});
    // The copy holds the row as saved; the edit is still pending and is
    // saved afterwards as usual.
    QCOMPARE(ReadConfig(copy, QStringLiteral("CAB3")), before);
    QCOMPARE(DM->ConfigQuery->State(), TFbQuery::dsEdit);
    QCOMPARE(m_form->DBEdit3->text(), QStringLiteral("ainda não gravado"));
    m_form->BitBtn3->click();
    QCOMPARE(SessionConfig(QStringLiteral("CAB3")), QStringLiteral("ainda não gravado"));
}

void TstTConfigForm::backupCopyIsFrozenWhileWritesGoOn()
{
    // A save made while the file is frozen goes to the side file and is
    // merged back into the database, but is not in the copy.
    const QString before = SessionConfig(QStringLiteral("CAB4"));
    TDatabaseBackup::SetAfterCopyHook([](const QString &) {
        DM->ConfigQuery->Edit();
        DM->ConfigQueryCAB4->SetAsString(QStringLiteral("durante o backup"));
        DM->ConfigQuery->ApplyChanges();
    });
    Backup(QDateTime(QDate(2026, 6, 1), QTime(12, 0, 0)));
    TDatabaseBackup::SetAfterCopyHook(nullptr);
    const QString copy = m_db->Dir() + QStringLiteral("/Backup_OS/01.06.26 - 12h00m00s/DADOS.GDB");
    QCOMPARE(m_rec->Texts(), QStringList{copy + QStringLiteral("\rBackup feito com sucesso!")});
    QCOMPARE(ReadConfig(copy, QStringLiteral("CAB4")), before);
    m_form.reset();
    m_dm.reset();
    QCOMPARE(ReadConfig(m_db->Path(), QStringLiteral("CAB4")), QStringLiteral("durante o backup"));
    QVERIFY(!QFileInfo::exists(m_db->Path() + QStringLiteral(".delta")));
}

QTEST_MAIN(TstTConfigForm)
#include "tst_tconfigform.moc"
