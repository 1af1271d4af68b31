#pragma once
// The choice of the backup to restore: the backups found under the backup
// folder, newest first, with their date and size, or another copy chosen
// with the file dialog ("Procurar...").
#include "app/tdatabaserestore.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTreeWidget;

class TRestoreForm : public QDialog
{
    Q_OBJECT
public:
    TRestoreForm(const QList<TBackupEntry> &backups, QWidget *parent = nullptr);

    // The file chosen ("" when none).
    QString Chosen() const { return m_chosen; }
    // Size as the clerk reads it: "12,5 MB".
    static QString SizeText(qint64 bytes);

    QTreeWidget *List = nullptr;
    QPushButton *RestoreButton = nullptr, *BrowseButton = nullptr, *CancelButton = nullptr;

private:
    void Browse();
    void Accept();

    QString m_chosen;
};
