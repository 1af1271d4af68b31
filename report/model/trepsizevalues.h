#pragma once

#include "report/model/trepunitbase.h"

#include <array>

// The stored Size.Values of a band or an element: N lengths in native units,
// read and written one by one in the object's current unit.
template<int N>
class TRepSizeValues : public TRepUnitBase
{
public:
    using TValues = std::array<double, N>;

    const TValues &Values() const { return FValues; }
    void SetValues(const TValues &values)
    {
        FValues = values;
        Changed();
    }
    double NativeValue(int i) const { return FValues[i]; }
    void SetNativeValue(int i, double v)
    {
        FValues[i] = v;
        Changed();
    }

protected:
    double Get(int i, TRepDirection d) const { return ToUnit(FValues[i], d); }
    void Set(int i, TRepDirection d, double v)
    {
        FValues[i] = FromUnit(v, d);
        Changed();
    }

private:
    TValues FValues{};
};
