#pragma once

#include "report/page/trepcanvas.h"

#include <QByteArray>
#include <QStringList>
#include <functional>

class TRepMetafile;

// Reads enhanced metafile records: checks a page record before use,
// replays it onto a canvas (font, pen, brush, text colour and alignment,
// rectangles, ellipses, rounded rectangles, lines, text) and lists its text
// records. Records the engine never writes are skipped.
class TRepEmfPlayer
{
public:
    // Checks `bytes` and fills the header facts of `out` (raises ERepError).
    static void Parse(const QByteArray &bytes, TRepMetafile &out);

    explicit TRepEmfPlayer(const TRepMetafile &metafile);

    void Play(TRepCanvas &canvas) const;
    QStringList TextRecords() const;

private:
    const TRepMetafile &m_metafile;
};
