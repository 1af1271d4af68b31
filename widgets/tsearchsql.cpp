#include "widgets/tsearchsql.h"

QString TSearchSql::PrepareText(const QString &typed)
{
    // Blanks and control characters are everything up to the space.
    qsizetype begin = 0;
    qsizetype end = typed.size();
    while (begin < end && typed.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && typed.at(end - 1).unicode() <= 0x20)
        --end;

    QString text = typed.mid(begin, end - begin);
    for (QChar &c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - ('a' - 'A'));
    }
    return text;
}

QString TSearchSql::LikeLiteral(const QString &prepared)
{
    QString literal;
    literal.reserve(prepared.size() + 8);
    literal += QLatin1String("\"%");
    for (QChar c : prepared) {
        if (c.unicode() == 0)
            continue;
        if (c == QLatin1Char('"'))
            literal += QLatin1Char('"');
        literal += c;
    }
    literal += QLatin1String("%\"");
    return literal;
}

QString TSearchSql::LiteralLikeLiteral(const QString &prepared)
{
    QString escaped;
    escaped.reserve(prepared.size() + 8);
    for (QChar c : prepared) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return LikeLiteral(escaped) + QLatin1String(" escape \"\\\"");
}

QString TSearchSql::Build(const QString &typed, const QString &table,
                          const QString &column, const QString &orderBy)
{
    const QString text = PrepareText(typed);
    const QString select = QLatin1String("select * from ") + table;
    const QString order = QLatin1String(" order by ") + orderBy;
    if (text.isEmpty())
        return select + order;
    return select + QLatin1String(" where upper(") + column + QLatin1String(") like ")
        + LikeLiteral(text) + order;
}

QString TSearchSql::DateLiteral(const QDate &date)
{
    return QLatin1Char('"') + date.toString(QStringLiteral("yyyy/MM/dd")) + QLatin1Char('"');
}
