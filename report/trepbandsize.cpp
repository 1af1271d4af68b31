#include "trepbandsize.h"

void TRepBandSize::SetValues(const TValues &values)
{
    FValues = values;
    Changed();
}

void TRepBandSize::SetNativeValue(ValueIndex i, double v)
{
    FValues[i] = v;
    Changed();
}

void TRepBandSize::SetHeight(double v)
{
    FValues[HeightIndex] = FromUnit(v, TRepDirection::Vertical);
    Changed();
}

void TRepBandSize::SetWidth(double v)
{
    FValues[WidthIndex] = FromUnit(v, TRepDirection::Horizontal);
    Changed();
}
