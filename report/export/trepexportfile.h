#pragma once

#include <QSaveFile>
#include <QString>

#include <memory>

// The file an export writes: created beside the chosen name and put in its
// place only by Commit, so that an export that fails or is given up leaves
// an earlier file of that name as it was and nothing half written.
class TRepExportFile
{
public:
    explicit TRepExportFile(const QString &fileName);
    ~TRepExportFile();   // discards what was not committed

    // Raise ERepError with the system's reason.
    void Open();
    void Commit();
    // Drops what was written (nothing is left under the name).
    void Discard();

    bool IsOpen() const { return m_file != nullptr; }
    QIODevice &Device() { return *m_file; }
    QString FileName() const { return m_fileName; }

private:
    QString m_fileName;
    std::unique_ptr<QSaveFile> m_file;
};
