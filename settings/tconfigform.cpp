#include "settings/tconfigform.h"

#include "app/tdatabasebackup.h"
#include "app/tdatabaserestore.h"
#include "app/tserverbackup.h"
#include "app/tguard.h"
#include "app/tmessages.h"
#include "data/tdm.h"
#include "data/tdmschema.h"
#include "data/tfbdatabase.h"
#include "data/tfbquery.h"
#include "settings/trestoreform.h"
#include "widgets/tdbedit.h"
#include "widgets/teditorlook.h"

#include <QDir>
#include <QFontMetrics>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTextOption>
#include <QThread>

namespace {

QLabel *MakeLabel(QWidget *page, const char *name, const QString &text, int x, int y, const QColor &colour = {})
{
    auto *label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    label->adjustSize();
    if (colour.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
    }
    return label;
}

TDBEdit *MakeEditor(QWidget *page, const char *name, const QString &column, int x, int y, int width)
{
    auto *edit = new TDBEdit(QLatin1String(name), DM->ConfigQuery, column, page);
    edit->setGeometry(x, y, width, 21);
    TEditorLook::SetOpen(edit, false);
    return edit;
}

// Puts a page's three buttons side by side across the editors' width, each
// wide enough for its caption and picture.
void LayOutButtons(std::initializer_list<QPushButton *> buttons, int left, int right, int y)
{
    int total = 0;
    for (QPushButton *b : buttons)
        total += qMax(125, b->sizeHint().width());
    const int gap = qMax(2, (right - left - total) / int(buttons.size() - 1));
    int x = left;
    for (QPushButton *b : buttons) {
        const int w = qMax(125, b->sizeHint().width());
        b->setGeometry(x, y, w, 25);
        x += w + gap;
    }
}

} // namespace

TConfigForm::TConfigForm(QWidget *parent)
    : QDialog(parent), m_config(DM->ConfigQuery)
{
    setObjectName(QStringLiteral("ConfigForm"));
    setWindowTitle(QStringLiteral("Configurações"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(452, 339);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(9, 9, 433, 320);
    CreateBackupPage();
    CreateHeaderPage();
    CreateLegendPage();
    PageControl1->setCurrentIndex(0);

    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

QPushButton *TConfigForm::Button(QWidget *page, const char *name, const QString &caption, int x, int y, int width,
                                 void (TConfigForm::*handler)())
{
    auto *button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, y, width, 25);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, Guarded([this, handler] { (this->*handler)(); }));
    return button;
}

QStringList TConfigForm::BackupInformation(const QString &backupRoot, const QString &databaseFolder)
{
    const QString backup = QDir::toNativeSeparators(backupRoot);
    const QString data = QDir::toNativeSeparators(databaseFolder);
    return {
        QStringLiteral("O Sistema de backup funciona da seguinte maneira:"),
        QStringLiteral("Ao pressionar o botão [Fazer Backup agora] o sistema cria um pasta no "),
        QStringLiteral("diretório [%1], dentro deste diretório há outra pasta com a data ").arg(backup),
        QStringLiteral("e a hora atual. Dentro desta segunda pasta há um arquivo chamado "),
        QStringLiteral("DADOS.GDB este arquivo é o banco de dados do sistema."),
        QString(),
        QStringLiteral("Para maior segurança salve esta pasta em um pendrive semanalmente."),
        QStringLiteral("Caso você queira substituir o banco de dados entre no diretório "),
        QStringLiteral("[%1] e substitua o arquivo DADOS.GDB pelo criado pelo sistema.").arg(data),
    };
}

QStringList TConfigForm::ServerBackupInformation(const QString &backupRoot, const QString &server)
{
    return {
        QStringLiteral("O Sistema de backup funciona da seguinte maneira:"),
        QStringLiteral("Ao pressionar o botão [Fazer Backup agora] o servidor [%1] faz o backup ").arg(server),
        QStringLiteral("e o sistema o grava numa pasta com a data e a hora atual dentro do"),
        QStringLiteral("diretório [%1]. Dentro desta pasta há um arquivo chamado ")
            .arg(QDir::toNativeSeparators(backupRoot)),
        QStringLiteral("DADOS.FBK, o backup do banco de dados do servidor, já conferido."),
        QString(),
        QStringLiteral("Para maior segurança salve esta pasta em um pendrive semanalmente."),
        QStringLiteral("Para voltar a um backup use [Restaurar Backup]: o servidor cria com ele"),
        QStringLiteral("um banco de dados novo, ao lado do atual, que não é substituído."),
    };
}

void TConfigForm::ShowPage(Page page)
{
    PageControl1->setCurrentIndex(static_cast<int>(page));
}

void TConfigForm::CreateBackupPage()
{
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Backup"));

    Memo1 = new QPlainTextEdit(TabSheet1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(26, 14, 377, 132);
    const QString database = TDatabaseBackup::DatabaseFile(DM->Database);
    const QString server = TDatabaseBackup::ServerOf(DM->Database);
    Memo1->setPlainText((server.isEmpty()
                             ? BackupInformation(TDatabaseBackup::BackupRoot(), QFileInfo(database).absolutePath())
                             : ServerBackupInformation(TDatabaseBackup::BackupRoot(), server))
                            .join(QLatin1Char('\n')));
    QTextOption centred = Memo1->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    Memo1->document()->setDefaultTextOption(centred);

    ProgressBar1 = new QProgressBar(TabSheet1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(26, 156, 377, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    BitBtn1 = Button(TabSheet1, "BitBtn1", QStringLiteral("Fazer Backup agora"), 139, 186, 151,
                     &TConfigForm::BitBtn1Click);
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DriveHDIcon));
    BitBtn8 = Button(TabSheet1, "BitBtn8", QStringLiteral("Restaurar Backup"), 139, 216, 151,
                     &TConfigForm::BitBtn8Click);
    BitBtn8->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));

    Edit1 = new QLineEdit(TabSheet1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(26, 224, 121, 21);
    Edit1->hide();
}

void TConfigForm::CreateHeaderPage()
{
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Cabeçalho OS"));

    Label1 = MakeLabel(TabSheet2, "Label1", QStringLiteral("Primeira linha do cabeçalho. (ex.: Nome da Empresa)"), 14, 10);
    DBEdit1 = MakeEditor(TabSheet2, "DBEdit1", QStringLiteral("CAB1"), 14, 26, 401);
    Label2 = MakeLabel(TabSheet2, "Label2", QStringLiteral("Segunda linha do cabeçalho. (ex.: Rua)"), 14, 54);
    DBEdit2 = MakeEditor(TabSheet2, "DBEdit2", QStringLiteral("CAB2"), 14, 70, 401);
    Label3 = MakeLabel(TabSheet2, "Label3",
                       QStringLiteral("Terceira linha do cabeçalho. (ex.: Bairro - CEP - Cidade - Estado)"), 14, 98);
    DBEdit3 = MakeEditor(TabSheet2, "DBEdit3", QStringLiteral("CAB3"), 14, 114, 401);
    Label4 = MakeLabel(TabSheet2, "Label4", QStringLiteral("Quarta linha do cabeçalho. (ex.: Telefone - Fax - CNPJ)"),
                       14, 142);
    DBEdit4 = MakeEditor(TabSheet2, "DBEdit4", QStringLiteral("CAB4"), 14, 158, 401);

    BitBtn2 = Button(TabSheet2, "BitBtn2", QStringLiteral("Editar Cabeçalho"), 16, 200, 125, &TConfigForm::BitBtn2Click);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    BitBtn3 = Button(TabSheet2, "BitBtn3", QStringLiteral("Gravar Alterações"), 150, 200, 125, &TConfigForm::BitBtn3Click);
    BitBtn3->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BitBtn4 = Button(TabSheet2, "BitBtn4", QStringLiteral("Cancelar Alterações"), 284, 200, 125,
                     &TConfigForm::BitBtn4Click);
    BitBtn4->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    LayOutButtons({BitBtn2, BitBtn3, BitBtn4}, 14, 415, 200);
}

void TConfigForm::CreateLegendPage()
{
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Anotações do Cliente"));

    const QStringList explanation = {
        QStringLiteral("Esta opção é a cor do Tipo de Anotação."),
        QStringLiteral("Por exemplo se o cliente esta devendo pode-se colocar como \"Cliente devendo\""),
        QStringLiteral("na cor vermelha. Se o cliente esta com cheque sem fundo pode-se colocar"),
        QStringLiteral("na cor Azul \"Cheque devolvido\". Está opção serve basicamente para colocar "),
        QStringLiteral("o tipo de anotação que o cliente vai ter. Por padrão se o cliente não tiver nenhuma"),
        QStringLiteral("anotação a cor vai estar como Preto."),
    };
    Label5 = MakeLabel(TabSheet3, "Label5", explanation.join(QLatin1Char('\n')), 4, 6, QColor(128, 0, 0));
    Label5->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label5->setGeometry(4, 6, 419, 84);
    // The lines are broken where they are; where the font on this machine is
    // wider than the one they were laid out for, it is made a little smaller
    // so that each line is read whole.
    QFont fit = Label5->font();
    auto widest = [&] {
        int most = 0;
        for (const QString &line : explanation)
            most = qMax(most, QFontMetrics(fit).horizontalAdvance(line));
        return most;
    };
    while (widest() > Label5->width() - 4 && fit.pointSizeF() > 6)
        fit.setPointSizeF(fit.pointSizeF() - 0.25);
    Label5->setFont(fit);

    Label6 = MakeLabel(TabSheet3, "Label6", QStringLiteral("Cor Verde"), 14, 94, QColor(0, 128, 0));
    DBEdit5 = MakeEditor(TabSheet3, "DBEdit5", QStringLiteral("VERDE"), 14, 110, 401);
    Label7 = MakeLabel(TabSheet3, "Label7", QStringLiteral("Cor Azul"), 14, 138, QColor(0, 0, 128));
    DBEdit6 = MakeEditor(TabSheet3, "DBEdit6", QStringLiteral("AZUL"), 14, 154, 401);
    Label8 = MakeLabel(TabSheet3, "Label8", QStringLiteral("Cor Vermelho"), 14, 182, QColor(255, 0, 0));
    DBEdit7 = MakeEditor(TabSheet3, "DBEdit7", QStringLiteral("VERMELHO"), 14, 198, 401);

    BitBtn5 = Button(TabSheet3, "BitBtn5", QStringLiteral("Editar Anotações"), 16, 236, 125, &TConfigForm::BitBtn5Click);
    BitBtn5->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    BitBtn6 = Button(TabSheet3, "BitBtn6", QStringLiteral("Gravar Alterações"), 150, 236, 125, &TConfigForm::BitBtn6Click);
    BitBtn6->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BitBtn7 = Button(TabSheet3, "BitBtn7", QStringLiteral("Cancelar Alterações"), 284, 236, 125,
                     &TConfigForm::BitBtn7Click);
    BitBtn7->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    LayOutButtons({BitBtn5, BitBtn6, BitBtn7}, 14, 415, 236);
}

void TConfigForm::SetOpen(std::initializer_list<TDBEdit *> editors, bool open)
{
    for (TDBEdit *edit : editors)
        TEditorLook::SetOpen(edit, open);
}

// ---- backup ---------------------------------------------------------------

void TConfigForm::BitBtn1Click()
{
    // The bar is painted at every step: the user sees it advance although
    // the window takes no input meanwhile.
    for (int i = 1; i <= 100; ++i) {
        ProgressBar1->setValue(i);
        ProgressBar1->repaint();
        if (BackupStepDelay > 0)
            QThread::msleep(BackupStepDelay);
    }
    ProgressBar1->setValue(0);

    // The file of a database on a server lies on the server's disk: the
    // server makes the backup and sends it here.
    if (!TDatabaseBackup::ServerOf(DM->Database).isEmpty()) {
        BackUpServer();
        return;
    }
    Edit1->setText(TDatabaseBackup::FolderName(Clock()));
    const QString source = TDatabaseBackup::DatabaseFile(DM->Database);
    QString folder = TDatabaseBackup::BackupRoot() + QLatin1Char('/') + Edit1->text();
    const QString destination = folder + QStringLiteral("/DADOS.GDB");
    try {
        folder = TDatabaseBackup::MakeFolder(TDatabaseBackup::BackupRoot(), Edit1->text());
        TDatabaseBackup::CopyDatabase(DM->Database, destination);
    } catch (const std::exception &e) {
        qWarning("backup failed: %s", e.what());
        // A failed backup leaves no empty dated folder to be taken for one.
        QDir().rmdir(folder);
        // The reason (disk full, no permission, the server refusing the
        // lock) is what tells the clerk what to do about it.
        TMessages::ShowMessage(QStringLiteral("Erro ao copiar ") + QDir::toNativeSeparators(source)
                               + QStringLiteral(" para ") + QDir::toNativeSeparators(destination)
                               + QStringLiteral("\rMotivo: ") + QString::fromUtf8(e.what()));
        return;
    }
    TMessages::ShowMessage(QDir::toNativeSeparators(destination) + QLatin1Char('\r')
                           + QStringLiteral("Backup feito com sucesso!"));
}

void TConfigForm::BackUpServer()
{
    Edit1->setText(TDatabaseBackup::FolderName(Clock()));
    const QString folder = TDatabaseBackup::BackupRoot() + QLatin1Char('/') + Edit1->text();
    const QString destination = folder + QStringLiteral("/DADOS.FBK");
    try {
        TDatabaseBackup::MakeFolder(TDatabaseBackup::BackupRoot(), Edit1->text());
        TServerBackup::Backup(DM->Database, destination);
    } catch (const std::exception &e) {
        qWarning("server backup failed: %s", e.what());
        QDir().rmdir(folder);
        TMessages::ShowMessage(QStringLiteral("Erro ao fazer o backup do servidor \"%1\" em %2\rMotivo: %3")
                                   .arg(TDatabaseBackup::ServerOf(DM->Database), QDir::toNativeSeparators(destination),
                                        QString::fromUtf8(e.what())));
        return;
    }
    TMessages::ShowMessage(QDir::toNativeSeparators(destination) + QLatin1Char('\r')
                           + QStringLiteral("Backup do servidor feito e verificado com sucesso!"));
}

// ---- restore --------------------------------------------------------------

void TConfigForm::BitBtn8Click()
{
    QString file;
    if (ChooseBackup) {
        file = ChooseBackup();
    } else {
        TRestoreForm choice(TDatabaseRestore::ListBackups(TDatabaseBackup::BackupRoot()), this);
        if (choice.exec() == QDialog::Accepted)
            file = choice.Chosen();
    }
    if (file.isEmpty())
        return;
    if (!TDatabaseBackup::ServerOf(DM->Database).isEmpty())
        RestoreServer(file);
    else
        RestoreLocal(file);
}

void TConfigForm::RestoreLocal(const QString &file)
{
    TDatabaseRestore::TPrepared prepared;
    try {
        prepared = TDatabaseRestore::Prepare(file, DM->Database, Clock());
    } catch (const std::exception &e) {
        TMessages::ShowError(QStringLiteral("O backup %1 não foi restaurado; nada foi alterado.\n\n%2")
                                 .arg(QDir::toNativeSeparators(file), QString::fromUtf8(e.what())));
        return;
    }
    const QString question =
        QStringLiteral("%1\n\nRestaurar o backup de %2? Os dados atuais serão guardados em %3")
            .arg(TDatabaseRestore::ContentsText(prepared.contents),
                 prepared.when.toString(QStringLiteral("dd/MM/yyyy HH:mm")), QDir::toNativeSeparators(prepared.kept));
    if (TMessages::MessageBox(question, QStringLiteral("Restaurar Backup"), TMessages::Question, TMessages::YesNo)
        != TMessages::Yes) {
        TDatabaseRestore::Discard(prepared);
        return;
    }
    if (!CloseScreens()) {
        TDatabaseRestore::Discard(prepared);
        TMessages::ShowMessage(QStringLiteral("A restauração foi cancelada: feche as outras telas e tente de novo."));
        return;
    }
    // An edit of the settings themselves is given up.
    m_config->Cancel();
    SetOpen({DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7}, false);
    try {
        TDatabaseRestore::Replace(DM, prepared);
    } catch (const std::exception &e) {
        TDatabaseRestore::Discard(prepared);
        TMessages::ShowError(QString::fromUtf8(e.what()));
        return;
    }
    TMessages::ShowMessage(QStringLiteral("Backup de %1 restaurado com sucesso.\rOs dados anteriores foram guardados em %2")
                               .arg(prepared.when.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                                    QDir::toNativeSeparators(prepared.kept)));
}

void TConfigForm::RestoreServer(const QString &file)
{
    const QString when = TDatabaseRestore::BackupDate(file).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    const QString name = TServerBackup::RestoredName(DM->Database, Clock());
    TDatabaseRestore::Contents contents;
    try {
        contents = TServerBackup::Restore(DM->Database, file, name);
    } catch (const std::exception &e) {
        TMessages::ShowError(QStringLiteral("O backup %1 não foi restaurado; nada foi alterado no servidor.\n\n%2")
                                 .arg(QDir::toNativeSeparators(file), QString::fromUtf8(e.what())));
        return;
    }
    const QString question =
        QStringLiteral("%1\n\nRestaurar o backup de %2 no servidor como um banco de dados novo,\n%3?\n"
                       "O banco de dados em uso (%4) não é alterado.")
            .arg(TDatabaseRestore::ContentsText(contents), when, name, DM->Database->DatabaseName());
    if (TMessages::MessageBox(question, QStringLiteral("Restaurar Backup"), TMessages::Question, TMessages::YesNo)
        != TMessages::Yes) {
        Guard([&] { TServerBackup::Drop(DM->Database, name); });
        return;
    }
    TMessages::ShowMessage(
        QStringLiteral("Backup de %1 restaurado no servidor como\r%2\r\rPara usá-lo, aponte todos os computadores "
                       "para este nome (chave \"database\" de ~/.config/ordemservico/ordemservico.conf, ou a opção "
                       "--database) e reinicie o sistema.").arg(when, name));
}

// ---- header lines -------------------------------------------------------

void TConfigForm::BitBtn2Click()
{
    SetOpen({DBEdit1, DBEdit2, DBEdit3, DBEdit4}, true);
    DBEdit1->setFocus();
    m_config->Edit();
}

void TConfigForm::BitBtn3Click()
{
    SetOpen({DBEdit1, DBEdit2, DBEdit3, DBEdit4}, false);
    m_config->ApplyChanges();
}

void TConfigForm::BitBtn4Click()
{
    SetOpen({DBEdit1, DBEdit2, DBEdit3, DBEdit4}, false);
    m_config->Cancel();
}

// ---- legend texts -------------------------------------------------------

void TConfigForm::BitBtn5Click()
{
    SetOpen({DBEdit5, DBEdit6, DBEdit7}, true);
    DBEdit5->setFocus();
    m_config->Edit();
}

void TConfigForm::BitBtn6Click()
{
    SetOpen({DBEdit5, DBEdit6, DBEdit7}, false);
    m_config->ApplyChanges();
}

void TConfigForm::BitBtn7Click()
{
    SetOpen({DBEdit5, DBEdit6, DBEdit7}, false);
    m_config->Cancel();
}

// ---- closing --------------------------------------------------------------

void TConfigForm::FormClose()
{
    m_config->Cancel();
}

void TConfigForm::done(int result)
{
    // Every way out (close box, Esc) drops an edit that was not saved.
    Guard([this] { FormClose(); });
    QDialog::done(result);
}
