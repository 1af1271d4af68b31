#pragma once

#include "report/model/treptypes.h"

#include <QList>
#include <QString>

#include <functional>

class QPrinter;
class TRepPage;
class TRepReportPrinterSettings;

// The printer settings of one pass of the page store: what the printer
// driver reports (resolution, physical offsets and page, supported papers)
// and what the report asks of it (paper, bin, copies, duplex...), read from
// and written to a QPrinter. Lengths in native units (tenths of a mm).
class TPrinterSettings
{
public:
    // Field numbers of the driver as a print system names them.
    static constexpr int DuplexSimplex = 1;
    static constexpr int DuplexVertical = 2;     // long edge
    static constexpr int DuplexHorizontal = 3;   // short edge
    static constexpr int ColorMonochrome = 1;
    static constexpr int ColorColor = 2;

    QString Device;     // printer name
    QString Driver;     // make and model
    QString Port;       // where jobs go (the device URI)

    int Copies = 1;
    bool Duplex = false;
    int ExtendedDuplex = 0;
    TRepBin OutputBin = TRepBin::First;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    TRepPaperSize PaperSize = TRepPaperSize::A4;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    TRepOrientation Orientation = poPortrait;
    double PaperWidth = 2100;       // physical page, or the report's for Custom
    double PaperLength = 2970;
    int PixelsPerInchX = 96;
    int PixelsPerInchY = 96;
    double PhysicalOffsetX = 0;
    double PhysicalOffsetY = 0;
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
    int MemoryLimit = 250000;
    bool PrintMetaFile = false;
    bool UseStandardPrinter = false;
    int FirstPage = 0;
    int LastPage = 0;
    // Paper sizes the printer offers (driver codes); empty when unknown.
    QList<int> SupportedPapers;
    // The paper the printer has loaded (its default): a table size, or
    // Default when the table has none, then with its extent (portrait).
    TRepPaperSize LoadedPaper = TRepPaperSize::Default;
    double LoadedPaperWidth = 0;
    double LoadedPaperLength = 0;

    // Driver capabilities read with the settings.
    bool SupportsCopies = false;
    bool SupportsDuplex = false;

    // The report's hooks: setting `cancel` suppresses the engine's own
    // reading or applying; the printer object stands for the driver's
    // device mode.
    std::function<void(bool &cancel, QPrinter *printer)> OnGetPrinterSettings;
    std::function<void(bool &cancel, QPrinter *printer)> OnApplyPrinterSettings;

    // Reads the driver's values from a printer that names a real queue.
    void ReadFrom(QPrinter &printer);
    // Writes paper, copies, duplex, bin, orientation and collate to it.
    void ApplyTo(QPrinter &printer) const;
    // Takes over what the report asks for (printer selection is the
    // store's). A paper the printer does not offer gives way to the one it
    // has loaded.
    void CopyFrom(const TRepReportPrinterSettings &report, const TRepPage &page);

    bool Supports(TRepPaperSize size) const;
    // Paper extent of the pass: the table's dimensions for a standard
    // size, the held values for Default and Custom; landscape-aware.
    double ExtentWidth() const;
    double ExtentLength() const;

    // Paper sources: the printer system's list position and the driver's
    // bin number both ways.
    static int BinCodeFromQt(int qtPaperSource);
    static int QtPaperSourceFromBinCode(int code);
    // Duplex: the driver's code (the extended code when non-zero, else
    // short edge for duplex and simplex otherwise) as the printer system's
    // mode (a QPrinter::DuplexMode), and a mode back as a driver code.
    static int QtDuplexFromCode(bool duplex, int extendedDuplex);
    static int DuplexCodeFromQt(int qtDuplex);
};
