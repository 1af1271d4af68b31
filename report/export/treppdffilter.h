#pragma once

#include "report/export/trepexportfiltercomponent.h"

// The PDF export of a report's form: while it exists the preview's save
// dialog offers "Documento PDF" and writes the report with a
// TRepPDFDocumentFilter for the chosen file name.
//
//     auto *pdf = new TRepPDFFilter(form);    // registers itself
//     pdf->CompressionOn = false;
class TRepPDFFilter : public TRepExportFilterComponent
{
    Q_OBJECT
public:
    explicit TRepPDFFilter(QObject *parent = nullptr);

    // Pictures LZW-compressed.
    bool CompressionOn = false;

    std::unique_ptr<TRepExportFilter> CreateFilter(const QString &fileName) const override;
};
