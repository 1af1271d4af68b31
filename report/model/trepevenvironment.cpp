#include "report/model/trepevenvironment.h"

#include "report/model/ereperror.h"

TRepEvEnvironment::TRepEvEnvironment()
{
    Reset();
}

void TRepEvEnvironment::Reset()
{
    FEntries.clear();
    AddFunction(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
    AddFunction(QStringLiteral("COLUMNNUMBER"), QStringLiteral("0"));
    AddFunction(QStringLiteral("REPORTTITLE"), QStringLiteral("''"));
}

bool TRepEvEnvironment::AddFunction(const QString &name, const QString &expression)
{
    const QString upper = name.trimmed().toUpper();
    if (upper.isEmpty() || IndexOf(upper) >= 0)
        return false;
    FEntries.append(Entry{upper, expression, QVariant(), false});
    return true;
}

int TRepEvEnvironment::IndexOf(const QString &name) const
{
    const QString upper = name.trimmed().toUpper();
    for (int i = 0; i < FEntries.size(); ++i)
        if (FEntries.at(i).Name == upper)
            return i;
    return -1;
}

TRepEvEnvironment::Entry &TRepEvEnvironment::Find(const QString &name)
{
    const int i = IndexOf(name);
    if (i < 0)
        throw ERepError(QStringLiteral("Unknown function : %1").arg(name));
    return FEntries[i];
}

const TRepEvEnvironment::Entry &TRepEvEnvironment::Find(const QString &name) const
{
    const int i = IndexOf(name);
    if (i < 0)
        throw ERepError(QStringLiteral("Unknown function : %1").arg(name));
    return FEntries.at(i);
}

QString TRepEvEnvironment::Expression(const QString &name) const
{
    return Find(name).Expression;
}

QStringList TRepEvEnvironment::Strings() const
{
    QStringList l;
    for (const Entry &e : FEntries)
        l << e.Name;
    return l;
}

QStringList TRepEvEnvironment::Data() const
{
    QStringList l;
    for (const Entry &e : FEntries)
        l << e.Expression;
    return l;
}

void TRepEvEnvironment::SetStrings(const QStringList &names, const QStringList &expressions)
{
    if (names.size() != expressions.size())
        throw ERepError(QStringLiteral("Function list damaged: %1 names but %2 expressions")
                            .arg(names.size())
                            .arg(expressions.size()));
    QList<Entry> entries;
    for (int i = 0; i < names.size(); ++i) {
        const QString upper = names.at(i).trimmed().toUpper();
        if (upper.isEmpty())
            throw ERepError(QStringLiteral("Function list damaged: empty function name"));
        for (const Entry &e : entries)
            if (e.Name == upper)
                throw ERepError(QStringLiteral("Function list damaged: %1 appears twice")
                                    .arg(upper));
        entries.append(Entry{upper, expressions.at(i), QVariant(), false});
    }
    FEntries = entries;
}

QVariant TRepEvEnvironment::GetConstant(const QString &name) const
{
    const Entry &e = Find(name);
    return e.Constant.isValid() ? e.Constant : QVariant(e.Expression);
}

void TRepEvEnvironment::SetIntegerConstant(const QString &name, int value)
{
    Find(name).Constant = value;
}

void TRepEvEnvironment::SetStringConstant(const QString &name, const QString &value)
{
    Find(name).Constant = value;
}

void TRepEvEnvironment::Prepare(const QString &reportTitle)
{
    // A list that lost one of the three gets it back, as a new report has it.
    AddFunction(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
    AddFunction(QStringLiteral("COLUMNNUMBER"), QStringLiteral("0"));
    AddFunction(QStringLiteral("REPORTTITLE"), QStringLiteral("''"));
    Entry &page = Find(QStringLiteral("PAGENUMBER"));
    Entry &column = Find(QStringLiteral("COLUMNNUMBER"));
    Entry &title = Find(QStringLiteral("REPORTTITLE"));
    page.Settable = column.Settable = title.Settable = true;
    page.Constant = 0;
    column.Constant = 0;
    title.Constant = reportTitle;
}

void TRepEvEnvironment::Unprepare()
{
    for (Entry &e : FEntries) {
        e.Settable = false;
        e.Constant = QVariant();
    }
}
