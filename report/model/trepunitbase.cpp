#include "report/model/trepunitbase.h"

#include <cmath>

TRepUnitBase::TRepUnitBase() = default;

void TRepUnitBase::SetResolution(int ppi)
{
    if (ppi > 0)
        FResolution = ppi;
}

void TRepUnitBase::SetZoom(int percent)
{
    if (percent > 0)
        FZoom = percent;
}

double TRepUnitBase::NativeToUnit(double v, TRepUnit u, TRepDirection d, int resolution,
                                  int zoom, double fontSize, double pixelFactor)
{
    switch (u) {
    case TRepUnit::MM:
        return v / 10.0;
    case TRepUnit::Inches:
        return v / 254.0;
    case TRepUnit::Pixels:
        return v / (254.0 / resolution) * zoom / 100.0 * pixelFactor;
    case TRepUnit::Characters:
        return d == TRepDirection::Horizontal ? v / CharWidth(fontSize) / 10.0
                                              : v / CharHeight(fontSize) / 10.0;
    case TRepUnit::Native:
        return v;
    }
    return v;
}

double TRepUnitBase::UnitToNative(double x, TRepUnit u, TRepDirection d, int resolution,
                                  int zoom, double fontSize, double pixelFactor)
{
    switch (u) {
    case TRepUnit::MM:
        return x * 10.0;
    case TRepUnit::Inches:
        return x * 254.0;
    case TRepUnit::Pixels:
        return x * (254.0 / resolution) / zoom * 100.0 / pixelFactor;
    case TRepUnit::Characters:
        return d == TRepDirection::Horizontal ? x * CharWidth(fontSize) * 10.0
                                              : x * CharHeight(fontSize) * 10.0;
    case TRepUnit::Native:
        return x;
    }
    return x;
}

double TRepUnitBase::FontSizeForChars() const
{
    double s = CharFontSize ? std::abs(CharFontSize()) : 10.0;
    return s > 0 ? s : 10.0;
}

double TRepUnitBase::PixelFactorValue() const
{
    const double f = PixelFactor ? PixelFactor() : 1.0;
    return f > 0 ? f : 1.0;
}

double TRepUnitBase::ToUnit(double native, TRepDirection d) const
{
    return NativeToUnit(native, FUnits, d, FResolution, FZoom, FontSizeForChars(),
                        PixelFactorValue());
}

double TRepUnitBase::FromUnit(double value, TRepDirection d) const
{
    return UnitToNative(value, FUnits, d, FResolution, FZoom, FontSizeForChars(),
                        PixelFactorValue());
}

double TRepUnitBase::ToPixels(double native) const
{
    return NativeToUnit(native, TRepUnit::Pixels, TRepDirection::Horizontal, FResolution,
                        FZoom, 10, PixelFactorValue());
}

double TRepUnitBase::FromPixels(double pixels) const
{
    return UnitToNative(pixels, TRepUnit::Pixels, TRepDirection::Horizontal, FResolution,
                        FZoom, 10, PixelFactorValue());
}

void TRepUnitBase::Changed()
{
    if (OnChange)
        OnChange();
}
