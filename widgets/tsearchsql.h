#pragma once
// The statement behind every list screen's search box.
//
// A search box narrows a list with a LIKE over one column: the typed text is
// trimmed, its letters a-z are put in capitals (the database's upper() only
// changes those, so accented letters must stay as typed to match), and it
// goes between "%" wildcards inside a double-quoted literal, which the
// database reads as a string in SQL dialect 1.
//
// The text is searched for literally: a double quote inside it is written
// twice, so no typed text can end the literal early and change what the
// statement does. "%" and "_" keep their LIKE meaning on purpose: users type
// them as wildcards.
#include <QDate>
#include <QString>

class TSearchSql
{
public:
    // The typed text with leading and trailing blanks and control characters
    // removed and a-z upper-cased; every other character stays as typed.
    static QString PrepareText(const QString &typed);

    // The LIKE pattern literal for an already prepared text: "%" + text + "%"
    // between double quotes, each double quote of the text doubled. Characters
    // that can never be part of a stored text (NUL) are dropped.
    static QString LikeLiteral(const QString &prepared);

    // "select * from <table> order by <orderBy>" when the text is empty after
    // preparing, otherwise
    // "select * from <table> where upper(<column>) like "%TEXT%" order by <orderBy>".
    // As LikeLiteral, for a search that must match what is typed and
    // nothing else (an order's text, where "50%" means fifty per cent): "%"
    // and "_" of the text are escaped with a backslash, and the literal is
    // followed by its escape clause.
    static QString LiteralLikeLiteral(const QString &prepared);

    // A date as the database reads it in a statement: "yyyy/MM/dd" between
    // double quotes (a string in SQL dialect 1, taken as a date where one
    // is compared with a date column).
    static QString DateLiteral(const QDate &date);

    static QString Build(const QString &typed, const QString &table,
                         const QString &column, const QString &orderBy);
};
