#pragma once

#include "report/model/trepdataset.h"

#include <QPointer>
#include <QString>

class TFbQuery;

// A TFbQuery as the data source of report data texts and of a report's
// detail loop. It reads the query's current row and moves the query's own
// cursor; the query stays the application's (a freed query reads as a
// closed one).
class TFbReportDataSet : public TRepDataSet
{
public:
    // name: what the layout's data texts call the source (its DataSetName);
    // empty takes the query's objectName.
    explicit TFbReportDataSet(TFbQuery *query, const QString &name = QString());

    TFbQuery *Query() const { return m_query; }

    QString DataSetName() const override;
    bool IsOpen() const override;
    void First() override;
    void Next() override;
    bool Eof() const override;
    int RecordCount() const override;
    int FieldIndex(const QString &name) const override;
    TRepFieldKind FieldKind(int field) const override;
    QVariant FieldValue(int field) const override;
    QString FieldDisplayText(int field) const override;

private:
    QPointer<TFbQuery> m_query;
    QString m_name;
};
