#include "report/export/treppdffilter.h"

#include "report/export/treppdfdocumentfilter.h"

TRepPDFFilter::TRepPDFFilter(QObject *parent)
    : TRepExportFilterComponent(QStringLiteral("Documento PDF"), QStringLiteral("PDF"), parent)
{
}

std::unique_ptr<TRepExportFilter> TRepPDFFilter::CreateFilter(const QString &fileName) const
{
    auto filter = std::make_unique<TRepPDFDocumentFilter>(fileName);
    filter->CompressionOn = CompressionOn;
    return filter;
}
