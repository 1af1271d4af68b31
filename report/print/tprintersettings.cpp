#include "report/print/tprintersettings.h"

#include "report/model/treppage.h"
#include "report/model/treppapertable.h"
#include "report/model/trepreportprintersettings.h"
#include "report/page/trepdevicemap.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace {

int Native(double mm)
{
    return int(std::lround(mm * 10.0));
}

} // namespace

int TPrinterSettings::BinCodeFromQt(int s)
{
    // Qt's paper sources follow the driver's bin numbers one below them,
    // up to the large-capacity tray; then cassette 14 and form source 15.
    if (s >= QPrinter::OnlyOne && s <= QPrinter::LargeCapacity)
        return s + 1;
    if (s == QPrinter::Cassette)
        return 14;
    if (s == QPrinter::FormSource)
        return 15;
    return 7;   // automatic
}

int TPrinterSettings::QtPaperSourceFromBinCode(int code)
{
    if (code >= 1 && code <= 11)
        return code - 1;
    if (code == 14)
        return QPrinter::Cassette;
    if (code == 15)
        return QPrinter::FormSource;
    return QPrinter::Auto;
}

void TPrinterSettings::ReadFrom(QPrinter &printer)
{
    const QPrinterInfo info(printer);
    Device = printer.printerName();
    Driver = info.makeAndModel();
    Port = info.location();

    bool cancel = false;
    if (OnGetPrinterSettings)
        OnGetPrinterSettings(cancel, &printer);
    if (cancel)
        return;

    const int dpi = printer.resolution() > 0 ? printer.resolution() : 96;
    PixelsPerInchX = PixelsPerInchY = dpi;

    SupportsCopies = printer.supportsMultipleCopies();
    Copies = SupportsCopies ? std::max(1, printer.copyCount()) : 1;

    const std::optional<TRepBin> bin
        = TRepReportPrinterSettings::BinFromCode(BinCodeFromQt(int(printer.paperSource())));
    OutputBin = bin ? *bin : TRepBin::First;

    const QList<QPrinter::DuplexMode> modes = info.supportedDuplexModes();
    SupportsDuplex = modes.contains(QPrinter::DuplexLongSide) || modes.contains(QPrinter::DuplexShortSide)
        || modes.contains(QPrinter::DuplexAuto);
    ExtendedDuplex = DuplexCodeFromQt(int(printer.duplex()));
    Duplex = ExtendedDuplex != DuplexSimplex;

    // The printable area starts at the printer's smallest margins; the
    // physical offsets are those margins.
    QPageLayout layout = printer.pageLayout();
    const QMarginsF minimum = layout.minimumMargins();
    printer.setPageMargins(minimum, layout.units());
    layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    PhysicalOffsetX = TRepDeviceMap::NativeFromPixels(paint.left() - full.left(), dpi);
    PhysicalOffsetY = TRepDeviceMap::NativeFromPixels(paint.top() - full.top(), dpi);

    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    PaperWidth = Native(mm.width());
    PaperLength = Native(mm.height());
    Orientation = layout.orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
    const std::optional<TRepPaperSize> size = TRepPaperTable::FromPaperCode(layout.pageSize().windowsId());
    PaperSize = size && *size != TRepPaperSize::Custom ? *size : TRepPaperSize::Default;

    SupportedPapers.clear();
    for (const QPageSize &ps : info.supportedPageSizes()) {
        const int code = ps.windowsId();
        if (code > 0 && !SupportedPapers.contains(code))
            SupportedPapers << code;
    }
    // The printer object keeps the paper it had before when the printer
    // offers it too: what is loaded is the printer's own default.
    const QPageSize loaded = info.defaultPageSize();
    LoadedPaper = TRepPaperSize::Default;
    LoadedPaperWidth = LoadedPaperLength = 0;
    if (loaded.isValid()) {
        const std::optional<TRepPaperSize> table = TRepPaperTable::FromPaperCode(loaded.windowsId());
        if (table && *table != TRepPaperSize::Custom)
            LoadedPaper = *table;
        const QSizeF loadedMm = loaded.size(QPageSize::Millimeter);
        LoadedPaperWidth = Native(std::min(loadedMm.width(), loadedMm.height()));
        LoadedPaperLength = Native(std::max(loadedMm.width(), loadedMm.height()));
    }
    PrintQuality = dpi;
    Collate = printer.collateCopies() ? 1 : 0;
    ColorOption = printer.colorMode() == QPrinter::Color ? ColorColor : ColorMonochrome;
}

int TPrinterSettings::QtDuplexFromCode(bool duplex, int extendedDuplex)
{
    const int code = extendedDuplex != 0 ? extendedDuplex : (duplex ? DuplexHorizontal : DuplexSimplex);
    return code == DuplexSimplex    ? QPrinter::DuplexNone
           : code == DuplexVertical ? QPrinter::DuplexLongSide
                                    : QPrinter::DuplexShortSide;
}

int TPrinterSettings::DuplexCodeFromQt(int qtDuplex)
{
    switch (QPrinter::DuplexMode(qtDuplex)) {
    case QPrinter::DuplexNone: return DuplexSimplex;
    case QPrinter::DuplexShortSide: return DuplexHorizontal;
    default: return DuplexVertical;
    }
}

void TPrinterSettings::ApplyTo(QPrinter &printer) const
{
    bool cancel = false;
    if (OnApplyPrinterSettings)
        OnApplyPrinterSettings(cancel, &printer);
    if (cancel)
        return;

    if (PaperSize != TRepPaperSize::Default) {
        const int code = UseCustomPaperCode ? CustomPaperCode : TRepPaperTable::PaperCode(PaperSize);
        QPageSize ps;
        if (code == TRepPaperTable::CustomPaperCode || PaperSize == TRepPaperSize::Custom) {
            ps = QPageSize(QSizeF(PaperWidth / 10.0, PaperLength / 10.0), QPageSize::Millimeter, QString(),
                           QPageSize::ExactMatch);
        } else {
            const QPageSize::PageSizeId id = QPageSize::id(code);
            if (id != QPageSize::Custom) {
                ps = QPageSize(id);
            } else {
                double w = 0, l = 0;
                if (TRepPaperTable::Dimensions(PaperSize, w, l))
                    ps = QPageSize(QSizeF(w / 10.0, l / 10.0), QPageSize::Millimeter, QString(),
                                   QPageSize::ExactMatch);
            }
        }
        if (ps.isValid())
            printer.setPageSize(ps);
    }
    printer.setCopyCount(std::max(1, Copies));
    if (SupportsDuplex) {
        printer.setDuplex(QPrinter::DuplexMode(QtDuplexFromCode(Duplex, ExtendedDuplex)));
    }
    const int bin = UseCustomBinCode ? CustomBinCode : TRepReportPrinterSettings::BinCode(OutputBin);
    printer.setPaperSource(QPrinter::PaperSource(QtPaperSourceFromBinCode(bin)));
    printer.setPageOrientation(Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setCollateCopies(Collate != 0);
    if (ColorOption == ColorMonochrome)
        printer.setColorMode(QPrinter::GrayScale);
    else if (ColorOption == ColorColor)
        printer.setColorMode(QPrinter::Color);
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}

void TPrinterSettings::CopyFrom(const TRepReportPrinterSettings &report, const TRepPage &page)
{
    const TRepPaperSize wanted = page.PaperSize();
    if (wanted == TRepPaperSize::Default) {
        PaperSize = TRepPaperSize::Default;
    } else if (Supports(wanted)) {
        PaperSize = wanted;
    } else if (LoadedPaper != TRepPaperSize::Default) {
        // The printer lacks the report's paper: the page goes on the paper
        // it has, not on whatever size the printer object last held, which
        // the printer would print on its own paper, scaled or cut.
        PaperSize = LoadedPaper;
    } else if (LoadedPaperWidth > 0 && LoadedPaperLength > 0) {
        PaperSize = TRepPaperSize::Custom;
        PaperWidth = LoadedPaperWidth;
        PaperLength = LoadedPaperLength;
    }
    Orientation = page.Orientation();
    if (PaperSize == TRepPaperSize::Custom && wanted == TRepPaperSize::Custom) {
        // The page holds its extent as laid out; keep it portrait here.
        const double w = page.NativeValue(TRepPage::WidthIndex);
        const double l = page.NativeValue(TRepPage::LengthIndex);
        PaperWidth = Orientation == poLandscape ? l : w;
        PaperLength = Orientation == poLandscape ? w : l;
    }
    if (SupportsCopies || Device.isEmpty())
        Copies = std::max(1, report.Copies);
    OutputBin = report.OutputBin;
    if (SupportsDuplex || Device.isEmpty())
        Duplex = report.Duplex;
    FirstPage = report.FirstPage;
    LastPage = report.LastPage;
    PrintMetaFile = report.PrintMetaFile;
    UseCustomBinCode = report.UseCustomBinCode;
    CustomBinCode = report.CustomBinCode;
    UseCustomPaperCode = report.UseCustomPaperCode;
    CustomPaperCode = report.CustomPaperCode;
    PrintQuality = report.PrintQuality;
    Collate = report.Collate;
    ColorOption = report.ColorOption;
    ExtendedDuplex = report.ExtendedDuplex;
}

bool TPrinterSettings::Supports(TRepPaperSize size) const
{
    if (size == TRepPaperSize::Default || size == TRepPaperSize::Custom)
        return true;
    // Without a printer to ask, every size is taken.
    if (Device.isEmpty() || SupportedPapers.isEmpty())
        return true;
    return SupportedPapers.contains(TRepPaperTable::PaperCode(size));
}

double TPrinterSettings::ExtentWidth() const
{
    double w = PaperWidth, l = PaperLength;
    TRepPaperTable::Dimensions(PaperSize, w, l);
    return Orientation == poLandscape ? l : w;
}

double TPrinterSettings::ExtentLength() const
{
    double w = PaperWidth, l = PaperLength;
    TRepPaperTable::Dimensions(PaperSize, w, l);
    return Orientation == poLandscape ? w : l;
}
