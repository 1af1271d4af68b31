#pragma once

#include <QByteArray>

// Base-85 text of binary data as PDF's ASCII85Decode filter reads it: groups
// of four bytes, big-endian, as five characters from "!" on; an all-zero
// group as "z"; a last group of n < 4 bytes as its first n + 1 characters; a
// line break once a line holds more than 200 characters; "~>" at the end.
class TRepAscii85
{
public:
    static QByteArray Encode(const QByteArray &data);
};
