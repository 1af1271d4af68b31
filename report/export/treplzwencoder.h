#pragma once

#include <QByteArray>

// LZW compression as PDF's LZWDecode filter reads it at its default
// parameters: codes of 9 to 12 bits, most significant bit first, a clear
// code (256) first and whenever the table is full, the end code (257) last,
// and the code width growing one code early.
class TRepLzwEncoder
{
public:
    static QByteArray Encode(const QByteArray &data);
    // The inverse, for checking: empty on damaged input.
    static QByteArray Decode(const QByteArray &data, bool *ok = nullptr);
};
