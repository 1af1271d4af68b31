#pragma once

#include "report/model/trepsizevalues.h"

// Height and width of a band; stored as Size.Values in the order Height, Width.
class TRepBandSize : public TRepSizeValues<2>
{
public:
    enum ValueIndex { HeightIndex = 0, WidthIndex, ValueCount };
    static_assert(ValueCount == 2);

    double Height() const { return Get(HeightIndex, TRepDirection::Vertical); }
    void SetHeight(double v) { Set(HeightIndex, TRepDirection::Vertical, v); }
    double Width() const { return Get(WidthIndex, TRepDirection::Horizontal); }
    void SetWidth(double v) { Set(WidthIndex, TRepDirection::Horizontal, v); }
};
