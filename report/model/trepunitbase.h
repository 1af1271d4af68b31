#pragma once

#include "report/model/treptypes.h"

#include <functional>

// Base of the size objects (page, band size, element size). Values are kept
// in tenths of a millimetre; the accessors of the derived classes read and
// write them in the object's current display unit.
class TRepUnitBase
{
public:
    // Pixels per inch of the design view. The platform measures text at a
    // fixed 96 pixels per inch, so that is the reference for every new object.
    static constexpr int DefaultResolution = 96;

    TRepUnitBase();
    virtual ~TRepUnitBase() = default;

    TRepUnit Units() const { return FUnits; }
    void SetUnits(TRepUnit u) { FUnits = u; }
    int Resolution() const { return FResolution; }
    void SetResolution(int ppi);            // ignored when not positive
    int Zoom() const { return FZoom; }
    void SetZoom(int percent);              // ignored when not positive

    // Point size behind the Characters unit (the report font's |Size|, 10 when unknown).
    std::function<double()> CharFontSize;
    // Extra factor for Pixels (an element's band zoom / 100); 1 when unset.
    std::function<double()> PixelFactor;
    // Called after any stored value changed through a setter.
    std::function<void()> OnChange;

    // Conversion of one stored value v into unit u and back.
    static double NativeToUnit(double v, TRepUnit u, TRepDirection d, int resolution,
                               int zoom, double fontSize, double pixelFactor = 1.0);
    static double UnitToNative(double x, TRepUnit u, TRepDirection d, int resolution,
                               int zoom, double fontSize, double pixelFactor = 1.0);
    static double CharWidth(double fontSize) { return 80.0 / fontSize / 2.54; }
    static double CharHeight(double fontSize) { return 145.3 / fontSize / 2.54; }

    // Conversions with this object's unit, resolution, zoom and font.
    double ToUnit(double native, TRepDirection d) const;
    double FromUnit(double value, TRepDirection d) const;
    // Conversions in design pixels regardless of the current unit.
    double ToPixels(double native) const;
    double FromPixels(double pixels) const;

protected:
    void Changed();
    double FontSizeForChars() const;
    double PixelFactorValue() const;

private:
    TRepUnit FUnits = TRepUnit::MM;
    int FResolution = DefaultResolution;
    int FZoom = 100;
};
