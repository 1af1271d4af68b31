#pragma once

#include "report/model/treptypes.h"

#include <QColor>
#include <QPen>

// Pen of shapes and rules: colour, line style and width in device pixels
// (the width is not scaled when printing).
class TRepPen
{
public:
    QColor Color = QColor(0, 0, 0);
    TRepPenStyle Style = psSolid;
    int Width = 1;

    QPen ToQPen() const;
    bool operator==(const TRepPen &o) const
    {
        return Color == o.Color && Style == o.Style && Width == o.Width;
    }
    bool operator!=(const TRepPen &o) const { return !(*this == o); }

    static Qt::PenStyle ToQtStyle(TRepPenStyle style);
};
