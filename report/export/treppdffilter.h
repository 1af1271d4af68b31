#pragma once

#include <QObject>

#include <memory>

class TRepExportFilter;

// The PDF export of a report's form: while it exists (and is registered)
// the preview's save dialog offers "PDF document" and writes the report
// with a TRepPDFDocumentFilter for the chosen file name.
//
//     auto *pdf = new TRepPDFFilter(form);    // registers itself
//     pdf->CompressionOn = false;
class TRepPDFFilter : public QObject
{
    Q_OBJECT
public:
    explicit TRepPDFFilter(QObject *parent = nullptr);
    ~TRepPDFFilter() override;   // unregisters

    // Pictures LZW-compressed.
    bool CompressionOn = false;

    // A document filter for the file with this component's settings.
    std::unique_ptr<TRepExportFilter> CreateFilter(const QString &fileName) const;

    static QString Name() { return QStringLiteral("PDF document"); }
    static QString Extension() { return QStringLiteral("PDF"); }
};
