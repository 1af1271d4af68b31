#pragma once

#include <QByteArray>
#include <QString>

class TRepReport;

// Writes the stored form of a report layout (see TRepLayout): every
// persisted property of the report, its bands and their elements.
class TRepLayoutWriter
{
public:
    // Indented JSON.
    static QByteArray Write(const TRepReport &report);
    // Replaces the file only once the whole layout is written.
    static void WriteFile(const TRepReport &report, const QString &fileName);
};
