#include "treppdffilter.h"

#include "trepexportfilterlibrary.h"
#include "treppdfdocumentfilter.h"

#include <QPointer>

TRepPDFFilter::TRepPDFFilter(QObject *parent)
    : QObject(parent)
{
    QPointer<TRepPDFFilter> self(this);
    TRepExportFilterLibrary::Register(Name(), Extension(), [self](const QString &fileName) {
        return self ? self->CreateFilter(fileName) : std::make_unique<TRepPDFDocumentFilter>(fileName);
    });
}

TRepPDFFilter::~TRepPDFFilter()
{
    TRepExportFilterLibrary::Unregister(Name());
}

std::unique_ptr<TRepExportFilter> TRepPDFFilter::CreateFilter(const QString &fileName) const
{
    auto filter = std::make_unique<TRepPDFDocumentFilter>(fileName);
    filter->CompressionOn = CompressionOn;
    return filter;
}
