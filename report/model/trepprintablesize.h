#pragma once

#include "report/model/trepsizevalues.h"

// Position and size of an element relative to its band's top-left corner;
// stored as Size.Values in the order Height, Left, Top, Width.
class TRepPrintableSize : public TRepSizeValues<4>
{
public:
    enum ValueIndex { HeightIndex = 0, LeftIndex, TopIndex, WidthIndex, ValueCount };
    static_assert(ValueCount == 4);

    double Height() const { return Get(HeightIndex, TRepDirection::Vertical); }
    void SetHeight(double v) { Set(HeightIndex, TRepDirection::Vertical, v); }
    double Left() const { return Get(LeftIndex, TRepDirection::Horizontal); }
    void SetLeft(double v) { Set(LeftIndex, TRepDirection::Horizontal, v); }
    double Top() const { return Get(TopIndex, TRepDirection::Vertical); }
    void SetTop(double v) { Set(TopIndex, TRepDirection::Vertical, v); }
    double Width() const { return Get(WidthIndex, TRepDirection::Horizontal); }
    void SetWidth(double v) { Set(WidthIndex, TRepDirection::Horizontal, v); }
};
