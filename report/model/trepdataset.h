#pragma once

#include <QString>
#include <QVariant>

// Kind of a field as a data text needs to know it to format the value.
enum class TRepFieldKind {
    String, Integer, Float, Currency, Bcd, Date, Time, DateTime, Memo, Blob, Boolean, Other
};

// The data source of a report's detail loop and of its data texts: a cursor
// over records with fields by name. The application's datasets take part
// through an adapter; the engine knows nothing else of them.
//
// Any call may throw (a database error, for instance): the detail loop lets
// the error end the pass, a data text prints empty text.
class TRepDataSet
{
public:
    virtual ~TRepDataSet();

    virtual QString DataSetName() const { return QString(); }
    // A closed dataset is no usable data source: the detail loop runs as
    // if the report had none.
    virtual bool IsOpen() const = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() const = 0;
    // Number of records, for the progress percentage.
    virtual int RecordCount() const = 0;

    // Field by name (case-insensitive), -1 when there is none.
    virtual int FieldIndex(const QString &name) const = 0;
    virtual TRepFieldKind FieldKind(int field) const = 0;
    // Value of the current record; an invalid QVariant for NULL.
    virtual QVariant FieldValue(int field) const = 0;
    // The text the dataset layer shows for the value (its own formatting).
    virtual QString FieldDisplayText(int field) const = 0;
};
