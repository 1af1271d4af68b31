#pragma once

#include "report/model/treptypes.h"

#include <QBrush>
#include <QColor>

// Fill of shapes and rules.
class TRepBrush
{
public:
    QColor Color = QColor(255, 255, 255);
    TRepBrushStyle Style = bsSolid;

    QBrush ToQBrush() const;
    bool operator==(const TRepBrush &o) const { return Color == o.Color && Style == o.Style; }
    bool operator!=(const TRepBrush &o) const { return !(*this == o); }

    static Qt::BrushStyle ToQtStyle(TRepBrushStyle style);
};
