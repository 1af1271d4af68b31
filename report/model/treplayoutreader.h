#pragma once

#include <QByteArray>
#include <QString>

class QObject;
class TRepReport;

// Reads the stored form of a report layout (see TRepLayout), checking it as
// it goes: anything unknown, misspelt, of the wrong kind or out of range is
// an ERepError naming where it is, and no report is made.
class TRepLayoutReader
{
public:
    // A new report built from the document (owned by parent, when given).
    static TRepReport *Read(const QByteArray &json, QObject *parent = nullptr);
    // Same, from a file or a resource path (":/..."); the error names the file.
    static TRepReport *ReadFile(const QString &fileName, QObject *parent = nullptr);
};
