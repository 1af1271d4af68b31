#pragma once

// Small real pages and saved report streams to damage: every kind of page
// record the canvas writes (fonts, colours, pens, brushes, shapes, lines,
// text in three alignments). Shared by the fuzz targets' seeds and the
// seeded mutation test, so that both start from the same inputs.

#include "report/page/trepemfcanvas.h"
#include "report/store/treppagelist.h"
#include "report/store/trepstream.h"

#include <QByteArray>
#include <QColor>
#include <QString>

inline QByteArray SampleDamagePage(int n)
{
    TRepEmfCanvas c(120, 170);
    TRepCanvasFont f;
    f.Bold = n % 2;
    c.SetFont(f);
    c.TextOut(60, 4, QStringLiteral("Página %1").arg(n), taCenter);
    f.Color = Qt::red;
    c.SetFont(f);
    c.TextOut(115, 30, QStringLiteral("R$ 9,90"), taRightJustify);
    TRepPen pen;
    pen.Width = 2;
    c.SetPen(pen);
    TRepBrush brush;
    brush.Style = bsDiagCross;
    c.SetBrush(brush);
    c.Rectangle(5, 50, 115, 80);
    c.Ellipse(5, 90, 50, 130);
    c.RoundRect(60, 90, 115, 130, 8, 8);
    c.FillRect(5, 140, 115, 150);
    c.MoveTo(5, 160);
    c.LineTo(115, 160);
    return c.Finish();
}

// A finished page list of `pages` sample pages, plain or compressed.
inline void FillSampleDamageList(TRepPageList &list, bool compressed, int pages)
{
    list.SetCompression(compressed);
    for (int n = 1; n <= pages; ++n)
        list.AddPage(SampleDamagePage(n));
    list.Finish();
}

// The bytes of such a list: a saved report file as it stands on disk.
inline QByteArray SampleDamageStream(bool compressed, int pages)
{
    TRepPageList list;
    FillSampleDamageList(list, compressed, pages);
    return list.Stream().Peek(0, list.Stream().Size());
}
