#include "trepexportfile.h"

#include "ereperror.h"

TRepExportFile::TRepExportFile(const QString &fileName)
    : m_fileName(fileName)
{
}

TRepExportFile::~TRepExportFile()
{
    Discard();
}

void TRepExportFile::Open()
{
    Discard();
    m_file = std::make_unique<QSaveFile>(m_fileName);
    if (!m_file->open(QIODevice::WriteOnly)) {
        const QString why = m_file->errorString();
        m_file.reset();
        throw ERepError(QStringLiteral("Cannot create file \"%1\". %2").arg(m_fileName, why));
    }
}

void TRepExportFile::Commit()
{
    if (!m_file)
        throw ERepError(QStringLiteral("Cannot create file \"%1\".").arg(m_fileName));
    const bool ok = m_file->commit();
    const QString why = m_file->errorString();
    m_file.reset();
    if (!ok)
        throw ERepError(QStringLiteral("Cannot write file \"%1\". %2").arg(m_fileName, why));
}

void TRepExportFile::Discard()
{
    if (!m_file)
        return;
    m_file->cancelWriting();
    m_file.reset();
}
