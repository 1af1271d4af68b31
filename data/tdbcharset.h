#pragma once
// Which characters a text column can hold. The database keeps text in the
// Windows-1252 code page: a character outside it would be stored as "?"
// without a word, so editors ask here before they take typed or pasted text.
// Control characters (bell, escape, delete...) have no place in a one-line
// field either; a multi-line text keeps its line breaks and tabs.
#include <QString>
#include <QStringView>

class TDbCharset
{
public:
    enum class Lines { One, Many };

    // True when `c` is stored as itself in a text column.
    static bool Holds(QChar c, Lines lines = Lines::One);
    // The position of the first character of `text` a text column cannot
    // hold (a character made of two UTF-16 units counts at its first), or
    // -1 when it holds them all.
    static qsizetype FirstRefused(QStringView text, Lines lines = Lines::One);
    // The short message a clerk reads when `text` holds a character the
    // database cannot keep; names the character (or its code for controls).
    static QString RefusedMessage(QStringView text, qsizetype at);
};
