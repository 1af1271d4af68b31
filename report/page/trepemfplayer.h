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
    struct State;   // the objects, font, colours and position set so far

    // One handler per record kind; the records have been checked by Parse.
    static void SetTextColor(State &s, const char *record);
    static void SetTextAlign(State &s, const char *record);
    static void MoveTo(State &s, const char *record);
    static void LineTo(State &s, const char *record);
    static void CreatePen(State &s, const char *record);
    static void CreateBrush(State &s, const char *record);
    static void CreateFont(State &s, const char *record);
    static void SelectObject(State &s, const char *record);
    static void SelectStockObject(State &s, quint32 handle);
    static void DeleteObject(State &s, const char *record);
    static void Rectangle(State &s, const char *record);
    static void Ellipse(State &s, const char *record);
    static void RoundRect(State &s, const char *record);
    static void TextOut(State &s, const char *record, quint32 type);

    const TRepMetafile &m_metafile;
};
