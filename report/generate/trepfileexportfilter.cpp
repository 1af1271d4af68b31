#include "report/generate/trepfileexportfilter.h"

#include "report/model/ereperror.h"
#include "report/model/trepfilecommit.h"

#include <QSaveFile>

TRepFileExportFilter::TRepFileExportFilter(const QString &fileName)
    : m_fileName(fileName)
{
}

// A file still open here was never committed: its temporary file goes.
TRepFileExportFilter::~TRepFileExportFilter() = default;

QIODevice &TRepFileExportFilter::Output()
{
    if (!m_file)
        throw ERepError("The export file is not open");
    return *m_file;
}

void TRepFileExportFilter::Start(double paperWidth, double paperLength, const TRepFont &font)
{
    auto file = std::make_unique<QSaveFile>(m_fileName);
    if (!file->open(QIODevice::WriteOnly))
        throw ERepError(QStringLiteral("Não foi possível criar o arquivo \"%1\": %2.")
                            .arg(m_fileName, TRepFileCommit::ReasonText(file->errorString())));
    m_file = std::move(file);
    try {
        StartFile(paperWidth, paperLength, font);
    } catch (...) {
        m_file.reset();
        throw;
    }
}

void TRepFileExportFilter::Finish()
{
    // Whatever happens, the temporary file is gone afterwards: put in place
    // by the commit or dropped with the QSaveFile.
    std::unique_ptr<QSaveFile> file;
    try {
        FinishFile();
    } catch (...) {
        m_file.reset();
        throw;
    }
    file = std::move(m_file);
    const QString failure = TRepFileCommit::Commit(*file);
    if (!failure.isEmpty())
        throw ERepError(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.").arg(m_fileName, failure));
}

void TRepFileExportFilter::Discard()
{
    m_file.reset();
    DiscardFile();
}
