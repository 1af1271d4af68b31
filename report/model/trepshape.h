#pragma once

#include "report/model/trepbrush.h"
#include "report/model/treppen.h"
#include "report/model/trepprintable.h"

// Rectangle, circle, lines or rounded rectangle filling the element's box.
class TRepShape : public TRepPrintable
{
    Q_OBJECT

public:
    explicit TRepShape(QObject *parent = nullptr);

    TRepShapeType Shape = rsRectangle;
    TRepPen Pen;
    TRepBrush Brush;
    float RoundFactor = 0.1f;   // corner size of rsRoundRect, times the design width
    int VertAdjust = 0;         // persisted, no effect on printing
};
