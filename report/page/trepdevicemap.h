#pragma once

// Conversion of report lengths (tenths of a millimetre) to device pixels.
// Rounding is to nearest with ties to even, so that a length of exactly half
// a pixel lands on the same pixel however often it is converted.
class TRepDeviceMap
{
public:
    double ScaleX = 96.0 / 254.0;   // device pixels per native unit
    double ScaleY = 96.0 / 254.0;
    double PrinterOffsetX = 0;      // unprintable margins, native units
    double PrinterOffsetY = 0;

    static int RoundHalfEven(double v);

    int ToDeviceX(double x) const { return RoundHalfEven((x - PrinterOffsetX) * ScaleX); }
    int ToDeviceY(double y) const { return RoundHalfEven((y - PrinterOffsetY) * ScaleY); }
    int ToDeviceWidth(double w) const { return RoundHalfEven(w * ScaleX); }
    int ToDeviceHeight(double h) const { return RoundHalfEven(h * ScaleY); }

    // Scale for a resolution in pixels per inch.
    static double ScaleFor(double pixelsPerInch) { return pixelsPerInch / 254.0; }
    // Device pixels at a resolution back to native units: round(px / dpi * 254).
    static int NativeFromPixels(double pixels, double pixelsPerInch);
};
