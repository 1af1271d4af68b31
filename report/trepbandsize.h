#pragma once

#include "trepunitbase.h"

#include <array>

// Height and width of a band; stored as Size.Values in the order Height, Width.
class TRepBandSize : public TRepUnitBase
{
public:
    enum ValueIndex { HeightIndex = 0, WidthIndex, ValueCount };
    using TValues = std::array<double, ValueCount>;

    const TValues &Values() const { return FValues; }
    void SetValues(const TValues &values);
    double NativeValue(ValueIndex i) const { return FValues[i]; }
    void SetNativeValue(ValueIndex i, double v);

    double Height() const { return ToUnit(FValues[HeightIndex], TRepDirection::Vertical); }
    void SetHeight(double v);
    double Width() const { return ToUnit(FValues[WidthIndex], TRepDirection::Horizontal); }
    void SetWidth(double v);

private:
    TValues FValues{};
};
