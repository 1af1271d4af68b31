#include "report/export/trepglyphnames.h"

#include <QFile>
#include <QList>

static void InitExportResources()
{
    Q_INIT_RESOURCE(export);
}

namespace {

bool ParseHex(const QByteArray &text, char32_t &out)
{
    bool ok = false;
    const uint v = text.trimmed().toUInt(&ok, 16);
    if (!ok || v > 0x10FFFF || text.trimmed().isEmpty())
        return false;
    out = char32_t(v);
    return true;
}

QByteArray ReadResource(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

TRepGlyphNames::TRepGlyphNames(const QByteArray &glyphList, const QByteArray &newFontsList)
{
    // The preferred names first: a value keeps the first name it gets.
    for (const QByteArray &raw : newFontsList.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> parts = line.split(';');
        char32_t v;
        if (parts.size() < 2 || !ParseHex(parts.at(0), v) || parts.at(1).trimmed().isEmpty())
            continue;
        if (!m_names.contains(v))
            m_names.insert(v, parts.at(1).trimmed());
    }
    for (const QByteArray &raw : glyphList.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> parts = line.split(';');
        if (parts.size() < 2 || parts.at(0).trimmed().isEmpty())
            continue;
        // A name may stand for a sequence of values ("XXXX YYYY"): such a
        // name is no name of a single value.
        const QByteArray value = parts.at(1).trimmed();
        char32_t v;
        if (value.contains(' ') || !ParseHex(value, v))
            continue;
        if (!m_names.contains(v))
            m_names.insert(v, parts.at(0).trimmed());
    }
}

const TRepGlyphNames &TRepGlyphNames::Standard()
{
    static const TRepGlyphNames names = [] {
        InitExportResources();
        return TRepGlyphNames(ReadResource(QStringLiteral(":/report/export/data/glyphlist.txt")),
                              ReadResource(QStringLiteral(":/report/export/data/aglfn.txt")));
    }();
    return names;
}

QByteArray TRepGlyphNames::Find(char32_t unicode) const
{
    return m_names.value(unicode);
}

QByteArray TRepGlyphNames::NameFor(char32_t unicode) const
{
    // Control characters draw nothing: the list's "control..." names are
    // no glyphs a font has, so they are left to a blank.
    if (unicode < 0x20 || (unicode >= 0x7F && unicode <= 0x9F))
        return QByteArrayLiteral("space");
    const QByteArray listed = Find(unicode);
    if (!listed.isEmpty())
        return listed;
    if (unicode < 256)
        return QByteArrayLiteral("space");
    if (unicode <= 0xFFFF)
        return "uni" + QByteArray::number(uint(unicode), 16).toUpper().rightJustified(4, '0');
    return "u" + QByteArray::number(uint(unicode), 16).toUpper().rightJustified(5, '0');
}
