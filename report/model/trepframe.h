#pragma once

#include "report/model/treptypes.h"

#include <QColor>

// Frame of a band, an element or the page's margin rectangle: which sides
// are drawn, in which colour and style, and the line width in points.
class TRepFrame
{
public:
    QColor Color = QColor(0, 0, 0);
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;
    TRepPenStyle Style = psSolid;
    int Width = 1;          // points; -1 draws one device pixel

    bool AnySide() const { return DrawTop || DrawBottom || DrawLeft || DrawRight; }
    bool AllSides() const { return DrawTop && DrawBottom && DrawLeft && DrawRight; }

    bool operator==(const TRepFrame &o) const
    {
        return Color == o.Color && DrawTop == o.DrawTop && DrawBottom == o.DrawBottom
            && DrawLeft == o.DrawLeft && DrawRight == o.DrawRight && Style == o.Style
            && Width == o.Width;
    }
    bool operator!=(const TRepFrame &o) const { return !(*this == o); }
};
