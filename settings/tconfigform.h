#pragma once
// The settings screen: the printout's four header lines and the legend texts
// of the annotation colours (the one row of CONFIG), and the database backup.
#include <QDateTime>
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;
class TDBEdit;
class TFbQuery;

class TConfigForm : public QDialog
{
    Q_OBJECT
public:
    explicit TConfigForm(QWidget *parent = nullptr);

    // The pages, in their order on the screen.
    enum class Page { Backup, Header, Legends };
    void ShowPage(Page page);

    // Handlers.
    void BitBtn1Click();   // "Fazer Backup agora"
    void BitBtn2Click();   // "Editar Cabeçalho"
    void BitBtn3Click();   // "Gravar Alterações" (header)
    void BitBtn4Click();   // "Cancelar Alterações" (header)
    void BitBtn5Click();   // "Editar Anotações"
    void BitBtn6Click();   // "Gravar Alterações" (legends)
    void BitBtn7Click();   // "Cancelar Alterações" (legends)
    void BitBtn8Click();   // "Restaurar Backup"
    void FormClose();

    // The lines of the information memo, naming the folders in use.
    static QStringList BackupInformation(const QString &backupRoot, const QString &databaseFolder);
    // For a database on `server`: the server's backup is DADOS.FBK, brought
    // back with "Restaurar Backup" only (its file is on the server).
    static QStringList ServerBackupInformation(const QString &backupRoot, const QString &server);

    // Pause between two steps of the progress bar (tests make it 0).
    int BackupStepDelay = 50;
    // The clock that names the backup folder (tests fix it).
    std::function<QDateTime()> Clock = [] { return QDateTime::currentDateTime(); };
    // The backup to restore: the list of backups, or the file dialog ("" when
    // the user gave up). Tests choose a file instead.
    std::function<QString()> ChooseBackup;
    // Closes every other screen before a restore (false when one stayed
    // open); the program's main window does it.
    std::function<bool()> CloseScreens = [] { return true; };

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn8 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    TDBEdit *DBEdit1 = nullptr, *DBEdit2 = nullptr, *DBEdit3 = nullptr, *DBEdit4 = nullptr;
    QPushButton *BitBtn2 = nullptr, *BitBtn3 = nullptr, *BitBtn4 = nullptr;
    QLabel *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr;
    TDBEdit *DBEdit5 = nullptr, *DBEdit6 = nullptr, *DBEdit7 = nullptr;
    QPushButton *BitBtn5 = nullptr, *BitBtn6 = nullptr, *BitBtn7 = nullptr;

public slots:
    void done(int result) override;

private:
    void CreateBackupPage();
    void CreateHeaderPage();
    void CreateLegendPage();
    void BackUpServer();
    void RestoreServer(const QString &file);
    void RestoreLocal(const QString &file);
    QPushButton *Button(QWidget *page, const char *name, const QString &caption, int x, int y, int width,
                        void (TConfigForm::*handler)());
    void SetOpen(std::initializer_list<TDBEdit *> editors, bool open);

    TFbQuery *m_config;
};
