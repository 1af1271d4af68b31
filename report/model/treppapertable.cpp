#include "report/model/treppapertable.h"

namespace {

struct PaperDims
{
    double width;   // tenths of a millimetre, portrait
    double length;
};

// Indexed by ordinal; Default and Custom have none.
const PaperDims kPaper[TRepPaperTable::Count] = {
    {0, 0},             // Default
    {2159, 2794},       // Letter
    {2159, 2794},       // LetterSmall
    {2794, 4318},       // Tabloid
    {4318, 2794},       // Ledger
    {2159, 3556},       // Legal
    {1397, 2159},       // Statement
    {1905, 2540},       // Executive
    {2970, 4200},       // A3
    {2100, 2970},       // A4
    {2100, 2970},       // A4Small
    {1480, 2100},       // A5
    {2500, 3540},       // B4
    {1820, 2570},       // B5
    {2159, 3302},       // Folio
    {2150, 2750},       // Quarto
    {2540, 3556},       // Paper10X14
    {2794, 4318},       // Paper11X17
    {2159, 2794},       // Note
    {984.3, 2254},      // Env9
    {1048, 2413},       // Env10
    {1143, 2635},       // Env11
    {1207, 2794},       // Env12
    {1270, 2921},       // Env14
    {4318, 5588},       // CSheet
    {5588, 8636},       // DSheet
    {8636, 11176},      // ESheet
    {1100, 2200},       // EnvDL
    {1620, 2290},       // EnvC5
    {3240, 4580},       // EnvC3
    {2290, 3240},       // EnvC4
    {1140, 1620},       // EnvC6
    {1140, 2290},       // EnvC65
    {2500, 3530},       // EnvB4
    {1760, 2500},       // EnvB5
    {1760, 1250},       // EnvB6
    {1100, 2300},       // EnvItaly
    {984.3, 1905},      // EnvMonarch
    {920.1, 1651},      // EnvPersonal
    {3778, 2794},       // FanfoldUSStd
    {2159, 3048},       // FanfoldGerStd
    {2159, 3302},       // FanfoldGerLegal
    {2500, 3530},       // B4ISO
    {1000, 1480},       // PostcardJap
    {2286, 2794},       // Paper9X11
    {2540, 2794},       // Paper10X11
    {3810, 2794},       // Paper15X11
    {2200, 2200},       // EnvInvite
    {1000, 1000},       // Reserved1
    {1000, 1000},       // Reserved2
    {2413, 3048},       // LetterExtra
    {2413, 3810},       // LegalExtra
    {2969, 4572},       // TabloidExtra
    {2360, 3220},       // A4Extra
    {2794, 2159},       // LetterTrans
    {2970, 2100},       // A4Trans
    {3048, 2413},       // LetterExtraTrans
    {2270, 3560},       // SuperASuperAA4
    {3050, 4870},       // SuperBSuperBA3
    {2159, 3223},       // LetterPlus
    {2100, 3300},       // A4Plus
    {2100, 1480},       // A5Trans
    {2570, 1820},       // B5Trans
    {3220, 4450},       // A3Extra
    {1740, 2350},       // A5Extra
    {2010, 2760},       // B5Extra
    {4200, 5940},       // A2
    {4200, 2970},       // A3Trans
    {4450, 3220},       // A3ExtraTrans
    {0, 0},             // Custom
};

} // namespace

bool TRepPaperTable::HasDimensions(TRepPaperSize size)
{
    return size != TRepPaperSize::Default && size != TRepPaperSize::Custom
        && static_cast<int>(size) > 0 && static_cast<int>(size) < Count;
}

bool TRepPaperTable::Dimensions(TRepPaperSize size, double &width, double &length)
{
    if (!HasDimensions(size))
        return false;
    width = kPaper[static_cast<int>(size)].width;
    length = kPaper[static_cast<int>(size)].length;
    return true;
}

bool TRepPaperTable::DimensionsMM(TRepPaperSize size, double &width, double &length)
{
    if (!Dimensions(size, width, length))
        return false;
    width /= 10;
    length /= 10;
    return true;
}

int TRepPaperTable::PaperCode(TRepPaperSize size)
{
    return size == TRepPaperSize::Custom ? CustomPaperCode : static_cast<int>(size);
}

std::optional<TRepPaperSize> TRepPaperTable::FromPaperCode(int code)
{
    if (code == CustomPaperCode)
        return TRepPaperSize::Custom;
    if (code >= 0 && code < static_cast<int>(TRepPaperSize::Custom))
        return static_cast<TRepPaperSize>(code);
    return std::nullopt;
}

QString TRepPaperTable::Name(TRepPaperSize size)
{
    return TRepEnumName(size);
}

std::optional<TRepPaperSize> TRepPaperTable::FromName(const QString &name)
{
    return TRepEnumFromName<TRepPaperSize>(name);
}
