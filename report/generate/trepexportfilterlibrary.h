#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class TRepExportFilter;

// The export filters the application offers, in registration order: the
// preview's save dialog lists them after the saved report file and creates
// the chosen one for the file name the user picked.
class TRepExportFilterLibrary
{
public:
    using Factory = std::function<std::unique_ptr<TRepExportFilter>(const QString &fileName)>;
    struct Entry
    {
        QString Name;       // "Documento PDF"
        QString Extension;  // "PDF", without the dot
        Factory Create;
    };

    // Registers a filter; a second registration of the same name replaces
    // the first in its place.
    static void Register(const QString &name, const QString &extension, Factory create);
    static void Unregister(const QString &name);
    static QList<Entry> Filters();
    // The save dialog's filter list after the first entry: for each filter
    // "|" + name + " (*." + extension + ")|*." + extension.
    static QString DialogFilterSuffix();
};
