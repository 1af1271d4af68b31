#pragma once

#include "report/model/trepbrush.h"
#include "report/model/treppen.h"
#include "report/model/trepprintable.h"

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
