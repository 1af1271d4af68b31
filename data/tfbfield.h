#pragma once
// A field of a TFbQuery: one column of the current row (or of any row, with
// the ...At(row) readers that grids use without moving the current row).
//
// Reads: AsString (null -> "", integers as digits, money as plain number
// text "134,5", dates as the regional short date plus " hh:mm:ss" when the
// time is not midnight), AsInteger (null -> 0), AsFloat/AsCurrency
// (null -> 0), AsDateTime (null -> invalid QDateTime).
// A closed or empty dataset reads as null. Writes need dsEdit or dsInsert. A text longer than a text
// field's Size() is cut to Size() characters; an empty text writes null;
// text that cannot be converted throws EFbError in the clerk's words ("'x'
// não é um número inteiro válido", "... um número válido", "... uma data
// válida").
#include "data/tfbtypes.h"
#include <QDateTime>
#include <QString>
#include <QVariant>

class TFbQuery;

class TFbField
{
public:
    QString FieldName() const { return m_name; }
    QString Origin() const { return m_origin; }      // "TABLE.COLUMN"
    TFbFieldKind Kind() const { return m_kind; }
    int Size() const { return m_size; }              // characters of a text field, else 0
    bool Required() const { return m_required; }
    void SetRequired(bool on) { m_required = on; }
    bool Currency() const { return m_kind == TFbFieldKind::Currency; }
    void SetCurrency(bool on);
    // Date display format for bound controls ("dd/mm/yyyy"); AsString ignores it.
    QString DisplayFormat() const { return m_displayFormat; }
    void SetDisplayFormat(const QString &f) { m_displayFormat = f; }
    QString DisplayLabel() const { return m_label.isEmpty() ? m_name : m_label; }
    void SetDisplayLabel(const QString &l) { m_label = l; }
    TFbQuery *DataSet() const { return m_query; }
    int Index() const { return m_index; }            // position among the dataset's fields
    bool Bound() const { return m_col >= 0; }

    bool IsNull() const;
    void Clear();
    QString AsString() const;
    void SetAsString(const QString &v);
    qint32 AsInteger() const;
    void SetAsInteger(qint32 v);
    qint64 AsLargeInt() const;
    void SetAsLargeInt(qint64 v);
    double AsFloat() const;
    void SetAsFloat(double v);
    double AsCurrency() const { return AsFloat(); }
    void SetAsCurrency(double v) { SetAsFloat(v); }
    QDateTime AsDateTime() const;
    void SetAsDateTime(const QDateTime &v);
    // QVariant forms: null, int/qlonglong, double, QDateTime or QString.
    QVariant Value() const;
    void SetValue(const QVariant &v);
    // What an editor shows: the date display format, or the currency format
    // for money; otherwise AsString.
    QString DisplayText() const;
    // The value before the row's first change not yet applied.
    QVariant OldValue() const;

    // Any visible row, without moving the current row.
    QString AsStringAt(int row) const;
    bool IsNullAt(int row) const;
    QVariant ValueAt(int row) const;
    QString DisplayTextAt(int row) const;

    // Conversions of a stored value (used by the layer and its tests).
    QString CellText(const TFbCell &c) const;
    QVariant CellVariant(const TFbCell &c) const;

private:
    friend class TFbQuery;
    TFbField(TFbQuery *q, const QString &name, TFbFieldKind kind, int size);

    TFbCell Cell() const;
    void Write(TFbCell c);
    [[noreturn]] void ConversionError(const char *type) const;

    TFbQuery *m_query;
    QString m_name;
    QString m_origin;
    QString m_label;
    QString m_displayFormat;
    TFbFieldKind m_kind;
    TFbStorage m_storage = TFbStorage::Text;
    short m_scale = 0;
    int m_size = 0;
    bool m_required = false;
    bool m_declared = false;
    int m_index = -1;
    int m_col = -1;          // result column, -1 while the dataset is closed
};
