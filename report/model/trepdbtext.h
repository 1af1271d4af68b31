#pragma once

#include "report/model/trepcustomlabel.h"

// The engine's view of a data source (defined with the printing code; the
// application's query class implements it).
class TRepDataSet;

// The value of a data field. A stored layout names its data source
// (DataSetName); the application binds the object itself with
// TRepReport::BindDataSet.
class TRepDBText : public TRepCustomLabel
{
    Q_OBJECT

public:
    explicit TRepDBText(QObject *parent = nullptr);

    TRepDataSet *DataSet = nullptr;     // not owned
    QString DataSetName;

    QString DataField() const { return FDataField; }
    // Also sets the caption to the field name (what the design view shows).
    void SetDataField(const QString &field);

    QString Mask;                       // format picture, empty = display text

    // Sets the caption back to DataField, or to the element's name when empty.
    void UnprepareAfterPrint() override;

private:
    QString FDataField;
};
