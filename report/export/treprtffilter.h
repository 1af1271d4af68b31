#pragma once

#include <QObject>

#include <memory>

class TRepExportFilter;

// The RTF export of a report's form: while it exists the preview's save
// dialog offers "Formato Word" and writes the report's text with a
// TRepRTFExportFilter for the chosen file name.
//
//     new TRepRTFFilter(form);    // registers itself
class TRepRTFFilter : public QObject
{
    Q_OBJECT
public:
    explicit TRepRTFFilter(QObject *parent = nullptr);
    ~TRepRTFFilter() override;   // unregisters

    std::unique_ptr<TRepExportFilter> CreateFilter(const QString &fileName) const;

    static QString Name() { return QStringLiteral("Formato Word"); }
    static QString Extension() { return QStringLiteral("RTF"); }
};
