#include "report/export/treprtffilter.h"

#include "report/export/treprtfexportfilter.h"

TRepRTFFilter::TRepRTFFilter(QObject *parent)
    : TRepExportFilterComponent(QStringLiteral("Formato Word"), QStringLiteral("RTF"), parent)
{
}

std::unique_ptr<TRepExportFilter> TRepRTFFilter::CreateFilter(const QString &fileName) const
{
    return std::make_unique<TRepRTFExportFilter>(fileName);
}
