#include "data/tdbcharset.h"

namespace {

// The characters that Windows-1252 puts in its bytes 0x80 to 0x9F (five of
// those bytes have none).
bool InCp1252Extra(char16_t u)
{
    switch (u) {
    case 0x20AC: case 0x201A: case 0x0192: case 0x201E: case 0x2026: case 0x2020:
    case 0x2021: case 0x02C6: case 0x2030: case 0x0160: case 0x2039: case 0x0152:
    case 0x017D: case 0x2018: case 0x2019: case 0x201C: case 0x201D: case 0x2022:
    case 0x2013: case 0x2014: case 0x02DC: case 0x2122: case 0x0161: case 0x203A:
    case 0x0153: case 0x017E: case 0x0178:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TDbCharset::Holds(QChar c, Lines lines)
{
    const char16_t u = c.unicode();
    if (u < 0x20) {
        return lines == Lines::Many
            && (u == u'\n' || u == u'\r' || u == u'\t');
    }
    if (u < 0x7F)
        return true;
    // DEL and the C1 controls (U+0080 to U+009F) are controls, not the
    // printable characters Windows-1252 keeps in those bytes.
    if (u <= 0x9F)
        return false;
    if (u <= 0xFF)
        return true;
    return InCp1252Extra(u);
}

qsizetype TDbCharset::FirstRefused(QStringView text, Lines lines)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!Holds(text.at(i), lines))
            return i;
    }
    return -1;
}

QString TDbCharset::RefusedMessage(QStringView text, qsizetype at)
{
    if (at < 0 || at >= text.size())
        return QString();
    const QChar c = text.at(at);
    QString shown;
    if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate())
        shown = QStringLiteral("\"%1\"").arg(text.mid(at, 2).toString());
    else if (c.isPrint() && !c.isSurrogate())
        shown = QStringLiteral("\"%1\"").arg(c);
    else
        shown = QStringLiteral("de controle (código %1)").arg(int(c.unicode()));
    return QStringLiteral("O caractere %1 não pode ser gravado no banco de dados. "
                          "Use apenas letras, números e sinais comuns.").arg(shown);
}
