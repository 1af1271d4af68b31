#pragma once

#include <QString>

class TRepCustomLabel;
class TRepFont;

// The room a text element of the printout has on its line: from where its
// text starts to the nearest element of its band that lies beside it on the
// same line (or to the band's edge). A value wider than its room would print
// over that element; it is cut at the end of the room instead. The database
// keeps the whole value: only the printed text is cut.
class TRelTextRoom
{
public:
    // The room of a text element in native units (tenths of a mm), measured
    // from its left edge (left or centred text) or its right edge (right
    // justified text). Zero when it has no band.
    static double RoomNative(const TRepCustomLabel &label);
    // The text cut so that every line fits `roomNative` in `font` (at the
    // report's 96-pixel design measure, as the page measures it).
    static QString CutToRoom(const QString &text, const TRepFont &font, double roomNative, int zoom = 100);
    // Makes the element cut its printed value to its room.
    static void Install(TRepCustomLabel &label);
};
