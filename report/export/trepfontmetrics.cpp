#include "report/export/trepfontmetrics.h"

#include "report/export/trepwinansi.h"
#include "report/model/ereperror.h"

#include <QFont>
#include <QFontInfo>
#include <QRawFont>
#include <QVector>

#include <cmath>

namespace {

int S16(const QByteArray &t, int offset)
{
    if (offset + 2 > t.size())
        return 0;
    return int16_t((uint8_t(t[offset]) << 8) | uint8_t(t[offset + 1]));
}

int U16(const QByteArray &t, int offset)
{
    if (offset + 2 > t.size())
        return 0;
    return (uint8_t(t[offset]) << 8) | uint8_t(t[offset + 1]);
}

int PerMille(double units, int unitsPerEm)
{
    return int(std::lround(units * 1000.0 / unitsPerEm));
}

} // namespace

int TRepFontMetrics::FlagsForFamilyClass(int familyClass)
{
    switch (familyClass) {
    case 0: return 4;
    case 8: return 32;
    case 10: return 40;
    case 12: return 4;
    default: return 34;
    }
}

TRepFontMetrics TRepFontMetrics::FromTables(const QByteArray &head, const QByteArray &os2, const QByteArray &post,
                                            int unitsPerEm)
{
    // "head" holds the bounding box at 36..43; a shorter table is no font.
    if (head.size() < 54 || unitsPerEm <= 0)
        throw ERepError("GetFontData error");
    TRepFontMetrics m;
    m.BBox[0] = PerMille(S16(head, 36), unitsPerEm);
    m.BBox[1] = PerMille(S16(head, 38), unitsPerEm);
    m.BBox[2] = PerMille(S16(head, 40), unitsPerEm);
    m.BBox[3] = PerMille(S16(head, 42), unitsPerEm);
    // sFamilyClass at 30: the class in the high byte.
    m.FamilyClass = os2.size() >= 32 ? (U16(os2, 30) >> 8) : 0;
    m.Flags = FlagsForFamilyClass(m.FamilyClass);
    // italicAngle at 4, 16.16 fixed.
    if (post.size() >= 8) {
        const int32_t fixed = int32_t((uint32_t(uint8_t(post[4])) << 24) | (uint32_t(uint8_t(post[5])) << 16)
                                      | (uint32_t(uint8_t(post[6])) << 8) | uint32_t(uint8_t(post[7])));
        m.ItalicAngle = std::round(fixed / 65536.0 * 10.0) / 10.0;
    }
    return m;
}

TRepFontMetrics TRepFontMetrics::Measure(const QString &family, bool bold, bool italic)
{
    QFont font(family);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    font.setPixelSize(1000);
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        throw ERepError("GetFontData error");
    const int upm = int(std::lround(raw.unitsPerEm()));
    TRepFontMetrics m = FromTables(raw.fontTable("head"), raw.fontTable("OS/2"), raw.fontTable("post"), upm);
    m.ResolvedFamily = raw.familyName();
    // The raw font is at 1000 pixels to the em: its lengths are per mille.
    m.Ascent = int(std::lround(raw.ascent()));
    m.Descent = -int(std::lround(raw.descent()));

    QString codes;
    for (int c = 0; c < 256; ++c)
        codes.append(QChar(TRepWinAnsi::ToUnicode(uchar(c))));
    QVector<quint32> glyphs = raw.glyphIndexesForString(codes);
    if (glyphs.size() != 256)
        throw ERepError(QStringLiteral("Font widths for \"%1\" not obtainable (%2)")
                                    .arg(family, QStringLiteral("no glyph for every code"))
                                    );
    const QVector<QPointF> advances = raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    if (advances.size() != 256)
        throw ERepError(QStringLiteral("Font widths for \"%1\" not obtainable (%2)")
                                    .arg(family, QStringLiteral("no advance for every glyph"))
                                    );
    for (int c = 0; c < 256; ++c)
        m.Widths[c] = int(std::lround(advances.at(c).x()));
    return m;
}
