#pragma once

#include "report/model/treptypes.h"

#include <QString>

// Printer settings a report carries. The persisted fields come first; the
// page store copies them before each pass and reads or applies the driver's
// values itself.
class TRepReportPrinterSettings
{
public:
    // Persisted.
    int Copies = 1;
    TRepBin OutputBin = TRepBin::Auto;
    bool Duplex = false;
    int FirstPage = 0;          // 0 = no limit
    int LastPage = 0;           // 0 = no limit
    bool UseStandardprinter = false;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    int ExtendedDuplex = 0;     // raw duplex code, 0 = derive from Duplex
    bool PrintMetaFile = false;
    int MemoryLimit = 250000;   // bytes the page store keeps in memory
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;

    // Not persisted.
    int PrinterIndex = -1;      // -1 = the default printer
    TRepOrientation Orientation = poPortrait;
    TRepPaperSize PaperSize = TRepPaperSize::A4;
    QString Title;

    // Driver code of a paper source (First 1 ... Cassette 14, Last 14).
    static int BinCode(TRepBin bin);
    // The first bin whose code is this one; nothing when none has it.
    static std::optional<TRepBin> BinFromCode(int code);
};
