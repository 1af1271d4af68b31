#pragma once
// Small value types shared by the dataset layer.
#include <QByteArray>
#include <QString>

// How a column's value is held in memory.
enum class TFbStorage : unsigned char {
    Int,        // SMALLINT, INTEGER, BIGINT, scaled NUMERIC (value * 10^-scale)
    Double,     // FLOAT, DOUBLE PRECISION
    Timestamp,  // dialect 1 DATE (date with time of day)
    Text,       // CHAR, VARCHAR: Windows-1252 bytes
    Blob,       // blob id (not read by the layer)
};

// Field kinds as the screens see them.
enum class TFbFieldKind : unsigned char { Integer, LargeInt, Float, Currency, DateTime, String, Blob };

// One value: null, or the member its storage uses.
struct TFbCell
{
    bool null = true;
    qint64 i = 0;     // Int, Timestamp (packed), Blob (quad)
    double d = 0;     // Double
    QByteArray s;     // Text

    bool operator==(const TFbCell &o) const
    {
        return null == o.null && (null || (i == o.i && d == o.d && s == o.s));
    }
};

// A result or parameter column as described by the server.
struct TFbColumn
{
    QString name;        // alias (the field name)
    QString relation;    // table
    QString sqlName;     // column in its table
    short sqlType = 0;   // without the null flag
    short subType = 0;
    short scale = 0;
    short length = 0;    // bytes
    bool nullable = true;
    TFbStorage storage = TFbStorage::Int;
};
