#pragma once

#include "trepbrush.h"
#include "treppen.h"
#include "trepprintable.h"

// A horizontal line across the element, half way down its height.
class TRepHRule : public TRepPrintable
{
    Q_OBJECT

public:
    explicit TRepHRule(QObject *parent = nullptr);

    TRepPen Pen;
    TRepBrush Brush;
    int VertAdjust = 0;     // persisted, no effect on printing
};
