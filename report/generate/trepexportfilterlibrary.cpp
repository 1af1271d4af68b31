#include "report/generate/trepexportfilterlibrary.h"

#include "report/generate/trepexportfilter.h"

namespace {

QList<TRepExportFilterLibrary::Entry> &Registry()
{
    static QList<TRepExportFilterLibrary::Entry> list;
    return list;
}

} // namespace

void TRepExportFilterLibrary::Register(const QString &name, const QString &extension, Factory create)
{
    for (Entry &e : Registry())
        if (e.Name == name) {
            e.Extension = extension;
            e.Create = std::move(create);
            return;
        }
    Registry().append({name, extension, std::move(create)});
}

void TRepExportFilterLibrary::Unregister(const QString &name)
{
    Registry().removeIf([&](const Entry &e) { return e.Name == name; });
}

QList<TRepExportFilterLibrary::Entry> TRepExportFilterLibrary::Filters()
{
    return Registry();
}

QString TRepExportFilterLibrary::DialogFilterSuffix()
{
    QString out;
    for (const Entry &e : Registry())
        out += QStringLiteral("|") + e.Name + QStringLiteral(" (*.") + e.Extension + QStringLiteral(")|*.")
            + e.Extension;
    return out;
}
