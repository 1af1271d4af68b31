#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// Code page 1252, the single-byte text of the shop's database and of the
// exported files: bytes to Unicode and back, without depending on the
// codecs the toolkit happens to be built with.
class TRepWinAnsi
{
public:
    // The Unicode value of a byte. The five bytes the code page leaves
    // undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the
    // same value, as Windows converts them.
    static char16_t ToUnicode(unsigned char byte);
    // The byte of a character; false when the code page has none.
    static bool FromUnicode(char16_t ch, unsigned char &byte);
    // The text as bytes; characters the code page lacks become '?'.
    static QByteArray Encode(const QString &text);
    static QString Decode(const QByteArray &bytes);
};
