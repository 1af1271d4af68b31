#include "report/page/trepdevicemap.h"

#include <cfenv>
#include <cmath>
#include <limits>

int TRepDeviceMap::RoundHalfEven(double v)
{
    if (std::isnan(v))
        return 0;
    // nearbyint rounds in the current mode; make sure it is to nearest/even
    // even if some library changed it.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    double r = std::nearbyint(v);
    if (mode != FE_TONEAREST)
        std::fesetround(mode);
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (r < lo)
        return std::numeric_limits<int>::min();
    if (r > hi)
        return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}

int TRepDeviceMap::NativeFromPixels(double pixels, double pixelsPerInch)
{
    if (pixelsPerInch <= 0)
        return 0;
    return RoundHalfEven(pixels / pixelsPerInch * 254.0);
}
