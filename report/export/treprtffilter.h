#pragma once

#include "report/export/trepexportfiltercomponent.h"

// The RTF export of a report's form: while it exists the preview's save
// dialog offers "Formato Word" and writes the report's text with a
// TRepRTFExportFilter for the chosen file name.
//
//     new TRepRTFFilter(form);    // registers itself
class TRepRTFFilter : public TRepExportFilterComponent
{
    Q_OBJECT
public:
    explicit TRepRTFFilter(QObject *parent = nullptr);

    std::unique_ptr<TRepExportFilter> CreateFilter(const QString &fileName) const override;
};
