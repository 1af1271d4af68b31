#include "settings/trestoreform.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TRestoreForm::TRestoreForm(const QList<TBackupEntry> &backups, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RestoreForm"));
    setWindowTitle(QStringLiteral("Restaurar Backup"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(backups.isEmpty()
                                     ? QStringLiteral("Nenhum backup encontrado. Use [Procurar...] para escolher uma cópia.")
                                     : QStringLiteral("Escolha o backup a restaurar:"),
                                 this));
    List = new QTreeWidget(this);
    List->setObjectName(QStringLiteral("List"));
    List->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Tamanho"), QStringLiteral("Arquivo")});
    List->setRootIsDecorated(false);
    for (const TBackupEntry &b : backups) {
        auto *item = new QTreeWidgetItem(List, {b.when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), SizeText(b.size),
                                                QDir::toNativeSeparators(b.file)});
        item->setData(0, Qt::UserRole, b.file);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (List->topLevelItemCount() > 0)
        List->setCurrentItem(List->topLevelItem(0));
    List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(List);
    connect(List, &QTreeWidget::itemDoubleClicked, this, [this] { Accept(); });

    auto *buttons = new QHBoxLayout;
    BrowseButton = new QPushButton(QStringLiteral("Procurar..."), this);
    RestoreButton = new QPushButton(QStringLiteral("Restaurar"), this);
    CancelButton = new QPushButton(QStringLiteral("Cancelar"), this);
    RestoreButton->setEnabled(List->topLevelItemCount() > 0);
    buttons->addWidget(BrowseButton);
    buttons->addStretch();
    buttons->addWidget(RestoreButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    connect(BrowseButton, &QPushButton::clicked, this, [this] { Browse(); });
    connect(RestoreButton, &QPushButton::clicked, this, [this] { Accept(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(560, 300);
}

QString TRestoreForm::SizeText(qint64 bytes)
{
    const QLocale locale;
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(locale.toString(double(bytes) / 1024.0, 'f', 1));
    return QStringLiteral("%1 MB").arg(locale.toString(double(bytes) / (1024.0 * 1024.0), 'f', 1));
}

void TRestoreForm::Browse()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Escolher o backup"), QDir::homePath(),
        QStringLiteral("Backups (*.GDB *.gdb *.FBK *.fbk);;Todos os arquivos (*)"));
    if (file.isEmpty())
        return;
    m_chosen = file;
    accept();
}

void TRestoreForm::Accept()
{
    QTreeWidgetItem *item = List->currentItem();
    if (!item)
        return;
    m_chosen = item->data(0, Qt::UserRole).toString();
    accept();
}
