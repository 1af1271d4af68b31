#include "trepprintablesize.h"

void TRepPrintableSize::SetValues(const TValues &values)
{
    FValues = values;
    Changed();
}

void TRepPrintableSize::SetNativeValue(ValueIndex i, double v)
{
    FValues[i] = v;
    Changed();
}

void TRepPrintableSize::Set(ValueIndex i, TRepDirection d, double v)
{
    FValues[i] = FromUnit(v, d);
    Changed();
}
