#pragma once

#include <QObject>
#include <QString>

#include <memory>

class TRepExportFilter;

// An export filter placed on a report's form: while it lives the filter
// library offers it (the preview's save dialog lists it) and creates its
// document filter for the chosen file name with the component's settings.
class TRepExportFilterComponent : public QObject
{
    Q_OBJECT
public:
    ~TRepExportFilterComponent() override;   // unregisters

    QString Name() const { return m_name; }
    QString Extension() const { return m_extension; }
    virtual std::unique_ptr<TRepExportFilter> CreateFilter(const QString &fileName) const = 0;

protected:
    TRepExportFilterComponent(const QString &name, const QString &extension, QObject *parent);

private:
    QString m_name;
    QString m_extension;
};
