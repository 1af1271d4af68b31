#pragma once

#include "trepunitbase.h"

#include <array>

// Position and size of an element relative to its band's top-left corner;
// stored as Size.Values in the order Height, Left, Top, Width.
class TRepPrintableSize : public TRepUnitBase
{
public:
    enum ValueIndex { HeightIndex = 0, LeftIndex, TopIndex, WidthIndex, ValueCount };
    using TValues = std::array<double, ValueCount>;

    const TValues &Values() const { return FValues; }
    void SetValues(const TValues &values);
    double NativeValue(ValueIndex i) const { return FValues[i]; }
    void SetNativeValue(ValueIndex i, double v);

    double Height() const { return ToUnit(FValues[HeightIndex], TRepDirection::Vertical); }
    void SetHeight(double v) { Set(HeightIndex, TRepDirection::Vertical, v); }
    double Left() const { return ToUnit(FValues[LeftIndex], TRepDirection::Horizontal); }
    void SetLeft(double v) { Set(LeftIndex, TRepDirection::Horizontal, v); }
    double Top() const { return ToUnit(FValues[TopIndex], TRepDirection::Vertical); }
    void SetTop(double v) { Set(TopIndex, TRepDirection::Vertical, v); }
    double Width() const { return ToUnit(FValues[WidthIndex], TRepDirection::Horizontal); }
    void SetWidth(double v) { Set(WidthIndex, TRepDirection::Horizontal, v); }

private:
    void Set(ValueIndex i, TRepDirection d, double v);

    TValues FValues{};
};
