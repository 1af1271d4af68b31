#pragma once

#include <QByteArray>
#include <QHash>

// Glyph names of Unicode values after the standard glyph list kept in the
// resources (data/glyphlist.txt, with data/aglfn.txt deciding between
// several names of one value), as a PDF font encoding names its codes.
class TRepGlyphNames
{
public:
    // The list as loaded once from the resources.
    static const TRepGlyphNames &Standard();

    // Parses the two lists' text ("name;XXXX" and "XXXX;name;description"
    // lines, "#" comments). Malformed lines are skipped.
    TRepGlyphNames(const QByteArray &glyphList, const QByteArray &newFontsList);

    // The name of a value in the list, or empty.
    QByteArray Find(char32_t unicode) const;
    // The name a font encoding gives a code: "space" for a control
    // character; the listed name; "space" for an unlisted value below 256; "uniXXXX" (uXXXXX beyond the basic plane)
    // for any other, so that every code keeps a name of its own.
    QByteArray NameFor(char32_t unicode) const;
    int Count() const { return int(m_names.size()); }

private:
    QHash<char32_t, QByteArray> m_names;
};
