#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// What a PDF font descriptor tells about a font that is not embedded, read
// from the font file the system draws the family with: advance widths of the
// 256 codes of code page 1252, ascent, descent, the bounding box of the
// "head" table, the italic angle and the flags after the "OS/2" family
// class. Lengths are in thousandths of the em, as PDF wants them.
class TRepFontMetrics
{
public:
    std::array<int, 256> Widths{};
    int Ascent = 0;
    int Descent = 0;            // negative below the baseline
    int BBox[4] = {0, 0, 0, 0}; // xMin, yMin, xMax, yMax
    int Flags = 32;
    double ItalicAngle = 0;     // degrees, negative leaning right
    int FamilyClass = 0;        // the class byte of "OS/2"
    QString ResolvedFamily;     // the family the system chose for the name

    // Measures the family in the style; raises ERepError: "GetFontData error"
    // when the font file cannot be read, "Font widths for ... not obtainable"
    // when the widths cannot be.
    static TRepFontMetrics Measure(const QString &family, bool bold, bool italic);

    // The PDF flags of an "OS/2" family class byte.
    static int FlagsForFamilyClass(int familyClass);
    // The same numbers from the font file's tables; raises as Measure does.
    // unitsPerEm and the tables come from a loaded font.
    static TRepFontMetrics FromTables(const QByteArray &head, const QByteArray &os2, const QByteArray &post,
                                      int unitsPerEm);
};
