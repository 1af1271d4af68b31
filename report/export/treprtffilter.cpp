#include "treprtffilter.h"

#include "trepexportfilterlibrary.h"
#include "treprtfexportfilter.h"

TRepRTFFilter::TRepRTFFilter(QObject *parent)
    : QObject(parent)
{
    TRepExportFilterLibrary::Register(Name(), Extension(), [](const QString &fileName) {
        return std::unique_ptr<TRepExportFilter>(std::make_unique<TRepRTFExportFilter>(fileName));
    });
}

TRepRTFFilter::~TRepRTFFilter()
{
    TRepExportFilterLibrary::Unregister(Name());
}

std::unique_ptr<TRepExportFilter> TRepRTFFilter::CreateFilter(const QString &fileName) const
{
    return std::make_unique<TRepRTFExportFilter>(fileName);
}
