#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// The report's list of named functions: upper-cased names with an
// expression text each. While a pass runs, some of them are constants whose
// value the engine overwrites (page number, column number, report title).
class TRepEvEnvironment
{
public:
    struct Entry
    {
        QString Name;           // upper case
        QString Expression;
        QVariant Constant;      // value set during a pass
        bool Settable = false;  // true while prepared as a constant
    };

    // A new list holds PAGENUMBER "0", COLUMNNUMBER "0" and REPORTTITLE "''".
    TRepEvEnvironment();

    int Count() const { return FEntries.size(); }
    const Entry &At(int i) const { return FEntries.at(i); }
    void Clear() { FEntries.clear(); }
    // Restores the three functions of a new report.
    void Reset();

    // Adds a function when its (upper-cased) name is new; returns whether it did.
    bool AddFunction(const QString &name, const QString &expression);
    int IndexOf(const QString &name) const;     // case-insensitive, -1 when absent
    QString Expression(const QString &name) const;

    // The persisted form: names (Functions.Strings) and expressions (Functions.DATA).
    QStringList Strings() const;
    QStringList Data() const;
    // Replaces the list. Throws ERepError when the two lists differ in length,
    // a name is empty or appears twice.
    void SetStrings(const QStringList &names, const QStringList &expressions);

    // Constants during a pass. The value of a function whose constant was never
    // set is its expression text. Unknown names throw ERepError
    // "Unknown function : NAME".
    QVariant GetConstant(const QString &name) const;
    void SetIntegerConstant(const QString &name, int value);
    void SetStringConstant(const QString &name, const QString &value);
    // Makes PAGENUMBER, COLUMNNUMBER and REPORTTITLE settable constants
    // (REPORTTITLE = reportTitle); Unprepare clears every constant again.
    void Prepare(const QString &reportTitle);
    void Unprepare();

private:
    Entry &Find(const QString &name);
    const Entry &Find(const QString &name) const;

    QList<Entry> FEntries;
};
