#pragma once

#include "report/model/treptypes.h"

#include <optional>

// The paper sizes the report model knows, with their portrait dimensions
// and the driver paper codes.
class TRepPaperTable
{
public:
    static constexpr int Count = 70;
    static constexpr int CustomPaperCode = 256;

    // True for the sizes with fixed dimensions (Letter to A3ExtraTrans).
    static bool HasDimensions(TRepPaperSize size);
    // Portrait width and length in tenths of a millimetre; false for Default and Custom.
    static bool Dimensions(TRepPaperSize size, double &width, double &length);
    // Same in millimetres.
    static bool DimensionsMM(TRepPaperSize size, double &width, double &length);

    // Driver paper code: the ordinal, Custom = 256.
    static int PaperCode(TRepPaperSize size);
    // The size whose code this is (0..68 or 256); nothing for unknown codes.
    static std::optional<TRepPaperSize> FromPaperCode(int code);

    static QString Name(TRepPaperSize size);
    static std::optional<TRepPaperSize> FromName(const QString &name);
};
