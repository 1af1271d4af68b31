#pragma once

#include <QByteArray>
#include <QString>

class QObject;
class TRepReport;

// The stored form of a report layout: a JSON document holding the report's
// persisted properties by name, its bands and their elements. Lengths are
// kept as the engine stores them, in tenths of a millimetre whatever the
// display unit: Page.Values (BottomMargin, Length, TopMargin, Width,
// LeftMargin, RightMargin, ColumnSpace), a band's Size.Values (Height,
// Width) and an element's Size.Values (Height, Left, Top, Width). Text
// elements keep FontSize, applied to their font after loading when
// positive; the function list is kept as Functions.Strings (names) and
// Functions.DATA (expressions). Data sources are kept by name (DataSet) and
// bound by the application with TRepReport::BindDataSet.
//
// A layout is checked as it is read: anything unknown, misspelt, of the
// wrong kind or out of range is an ERepError naming where it is, and no
// report is made.
class TRepLayout
{
public:
    static constexpr int FormatVersion = 1;

    // A new report built from the document (owned by parent, when given).
    static TRepReport *Load(const QByteArray &json, QObject *parent = nullptr);
    // Same, from a file or a resource path (":/...").
    static TRepReport *LoadFromFile(const QString &fileName, QObject *parent = nullptr);

    // The stored form of a report: every persisted property, indented JSON.
    static QByteArray Save(const TRepReport &report);
    static void SaveToFile(const TRepReport &report, const QString &fileName);
};
