#pragma once

#include "report/generate/trepexportfilter.h"

#include <QString>

#include <memory>

class QIODevice;
class QSaveFile;

// Base of the export filters that write a file. The document goes to a
// temporary file beside the target, which takes the target's place only when
// the pass ends complete: a cancelled or failed export leaves the target as
// it was (or absent) and no half-written file behind.
class TRepFileExportFilter : public TRepExportFilter
{
public:
    explicit TRepFileExportFilter(const QString &fileName);
    ~TRepFileExportFilter() override;

    QString FileName() const { return m_fileName; }

protected:
    // The document being written, from StartFile to FinishFile.
    QIODevice &Output();

    // Begins the document in Output(); paper width and length in native units.
    virtual void StartFile(double paperWidth, double paperLength, const TRepFont &font) = 0;
    // Writes what is left of the document to Output(); the file is put in
    // place afterwards.
    virtual void FinishFile() = 0;
    // Drops what the filter collected for a document that is given up.
    virtual void DiscardFile() {}

private:
    void Start(double paperWidth, double paperLength, const TRepFont &font) final;
    void Finish() final;
    void Discard() final;

    QString m_fileName;
    std::unique_ptr<QSaveFile> m_file;
};
