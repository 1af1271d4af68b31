#include "report/model/treplayout.h"

#include "report/model/treplayoutreader.h"
#include "report/model/treplayoutwriter.h"

// The reading and the writing live apart: the reader's checks are most of
// the code and the writer needs none of them.

TRepReport *TRepLayout::Load(const QByteArray &json, QObject *parent)
{
    return TRepLayoutReader::Read(json, parent);
}

TRepReport *TRepLayout::LoadFromFile(const QString &fileName, QObject *parent)
{
    return TRepLayoutReader::ReadFile(fileName, parent);
}

QByteArray TRepLayout::Save(const TRepReport &report)
{
    return TRepLayoutWriter::Write(report);
}

void TRepLayout::SaveToFile(const TRepReport &report, const QString &fileName)
{
    TRepLayoutWriter::WriteFile(report, fileName);
}
