#include "report/export/trepexportfiltercomponent.h"

#include "report/generate/trepexportfilter.h"
#include "report/generate/trepexportfilterlibrary.h"

#include <QPointer>

TRepExportFilterComponent::TRepExportFilterComponent(const QString &name, const QString &extension,
                                                     QObject *parent)
    : QObject(parent), m_name(name), m_extension(extension)
{
    QPointer<TRepExportFilterComponent> self(this);
    TRepExportFilterLibrary::Register(name, extension, [self](const QString &fileName) {
        return self ? self->CreateFilter(fileName) : std::unique_ptr<TRepExportFilter>();
    });
}

TRepExportFilterComponent::~TRepExportFilterComponent()
{
    TRepExportFilterLibrary::Unregister(m_name);
}
