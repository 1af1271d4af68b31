#pragma once

#include "report/model/trepdataset.h"

#include <QLocale>
#include <QStringList>
#include <QVariantList>

#include <vector>

// A dataset held in memory: named, typed columns and rows of values. For
// reports over data that is not in a database, tests and benchmarks.
class TRepMemoryDataSet : public TRepDataSet
{
public:
    explicit TRepMemoryDataSet(const QString &name = QString());

    void AddField(const QString &name, TRepFieldKind kind);
    void AppendRow(const QVariantList &values);
    void Clear();

    void SetOpen(bool open);
    void SetName(const QString &name) { m_name = name; }
    // Makes RecordCount fail, as a dataset that cannot count does.
    void SetCountFails(bool fails) { m_countFails = fails; }
    // Makes reading a field value fail.
    void SetValueFails(bool fails) { m_valueFails = fails; }
    int RecNo() const { return m_pos; }

    QString DataSetName() const override { return m_name; }
    bool IsOpen() const override { return m_open; }
    void First() override;
    void Next() override;
    bool Eof() const override;
    int RecordCount() const override;
    int FieldIndex(const QString &name) const override;
    TRepFieldKind FieldKind(int field) const override;
    QVariant FieldValue(int field) const override;
    QString FieldDisplayText(int field) const override;

private:
    void CheckField(int field) const;

    QString m_name;
    QStringList m_fieldNames;
    std::vector<TRepFieldKind> m_kinds;
    std::vector<QVariantList> m_rows;
    int m_pos = 0;
    bool m_open = true;
    bool m_countFails = false;
    bool m_valueFails = false;
};
