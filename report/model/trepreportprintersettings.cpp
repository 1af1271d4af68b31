#include "report/model/trepreportprintersettings.h"

int TRepReportPrinterSettings::BinCode(TRepBin bin)
{
    switch (bin) {
    case TRepBin::First: return 1;
    case TRepBin::Upper: return 1;
    case TRepBin::Lower: return 2;
    case TRepBin::Middle: return 3;
    case TRepBin::Manual: return 4;
    case TRepBin::Envelope: return 5;
    case TRepBin::EnvManual: return 6;
    case TRepBin::Auto: return 7;
    case TRepBin::Tractor: return 8;
    case TRepBin::SmallFormat: return 9;
    case TRepBin::LargeFormat: return 10;
    case TRepBin::LargeCapacity: return 11;
    case TRepBin::Cassette: return 14;
    case TRepBin::Last: return 14;
    }
    return 7;
}

std::optional<TRepBin> TRepReportPrinterSettings::BinFromCode(int code)
{
    for (int i = 0; i <= static_cast<int>(TRepBin::Last); ++i) {
        const auto bin = static_cast<TRepBin>(i);
        if (BinCode(bin) == code)
            return bin;
    }
    return std::nullopt;
}
