#pragma once

#include "report/page/trepdevicemap.h"
#include "report/page/trepmetafile.h"
#include "report/print/tprintersettings.h"
#include "report/print/trepprintrange.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTransform>

#include <functional>
#include <memory>

class QPainter;
class QPrinter;
class TRepCanvas;
class TRepCustomBand;
class TRepExportFilter;
class TRepEmfCanvas;
class TRepPageList;
class TRepReport;

// The page store: what a generation pass draws into. With target PageStore
// every page is recorded (a metafile in the page list, held in memory and
// spilled to a temporary file when it grows) so that a preview can show
// pages while the pass still runs, print them later and save them; with
// target Printer each page in the print range is drawn straight on the
// printer. It converts native units (tenths of a millimetre) to device
// pixels, owns the printer settings of the pass and posts its progress and
// page-available notifications to its viewing window.
class TRepPrinter : public QObject
{
    Q_OBJECT
public:
    enum TStoreState { Idle, Busy, Ready };
    enum TOutputTarget { PageStore, Printer };

    // A new store for a preview, print or export of `report` (may be none:
    // a store that only loads saved files). Reads the printer's settings
    // when a printer is installed.
    explicit TRepPrinter(TRepReport *report = nullptr, QObject *parent = nullptr);
    ~TRepPrinter() override;

    TStoreState StoreState() const { return m_state; }
    TOutputTarget OutputTarget() const { return m_target; }
    void SetOutputTarget(TOutputTarget target);     // only while Idle

    // Unit conversion of the current page.
    double ScaleX() const { return m_map.ScaleX; }
    double ScaleY() const { return m_map.ScaleY; }
    double PrinterOffsetX() const { return m_map.PrinterOffsetX; }
    double PrinterOffsetY() const { return m_map.PrinterOffsetY; }
    int ToDeviceX(double x) const { return m_map.ToDeviceX(x); }
    int ToDeviceY(double y) const { return m_map.ToDeviceY(y); }
    int ToDeviceWidth(double w) const { return m_map.ToDeviceWidth(w); }
    int ToDeviceHeight(double h) const { return m_map.ToDeviceHeight(h); }
    const TRepDeviceMap &DeviceMap() const { return m_map; }

    TPrinterSettings &Settings() { return m_settings; }
    const TPrinterSettings &Settings() const { return m_settings; }
    // Paper extent of the pass (native units, landscape-aware).
    // A recorded page keeps the report's own paper when the printer does
    // not offer it, so that nothing of the page is cut off in the preview,
    // the saved file and the stored pages printed later.
    double PaperWidth() const;
    double PaperLength() const;

    QString Title() const { return m_title; }
    void SetTitle(const QString &title) { m_title = title; }
    TRepPrintRange PrintRange() const { return {m_settings.FirstPage, m_settings.LastPage}; }
    void SetPrintRange(int firstPage, int lastPage);
    bool Compression() const { return m_compression; }
    void SetCompression(bool on) { m_compression = on; }
    // While an export filter receives the pass, an aborted page is not kept.
    bool ExportActive() const { return m_exportActive; }
    void SetExportActive(bool on) { m_exportActive = on; }

    // What the elements need of the running pass: whether it draws on the
    // page canvases, the export filter it feeds, and whether a band may
    // still grow by an amount on the current page.
    bool DrawPass() const { return m_drawPass; }
    void SetDrawPass(bool on) { m_drawPass = on; }
    TRepExportFilter *ExportFilter() const { return m_filter; }
    void SetExportFilter(TRepExportFilter *filter) { m_filter = filter; }
    std::function<bool(const TRepCustomBand *band, double amount)> CanBandGrow;

    bool Cancelled() const { return m_cancelled; }
    void Cancel() { m_cancelled = true; }
    int Progress() const { return m_progress; }
    // Keeps the percentage and posts it to the viewing window.
    void SetProgress(int percent);

    // The window that receives the notifications (may be none).
    QObject *ViewingWindow() const { return m_viewer; }
    void SetViewingWindow(QObject *window) { m_viewer = window; }
    TRepReport *Report() const { return m_report; }
    // Who regenerates the report for the print request (the report's
    // generator); none after a load.
    QObject *RequestTarget() const { return m_requestTarget; }
    void SetRequestTarget(QObject *target) { m_requestTarget = target; }
    bool PreviewOpen() const { return m_previewOpen; }
    void SetPreviewOpen(bool open) { m_previewOpen = open; }
    bool PagesFinal() const { return m_pagesFinal; }
    void SetPagesFinal(bool final) { m_pagesFinal = final; }
    static bool PrintersExist();
    // True once a saved file has been loaded in this process, until a
    // report is created again.
    static bool LoadedFileFlag();
    static void SetLoadedFileFlag(bool on);

    int PageTotal() const { return m_pageTotal; }
    int AvailablePages() const { return m_availablePages; }
    // Pages in the page list (complete pages of a recorded document).
    int PageCount() const;
    // The page list itself (none before the first document or load).
    const TRepPageList *PageList() const { return m_pages.get(); }
    // The canvas of the current page (none between pages).
    TRepCanvas *Canvas() const { return m_canvas.get(); }

    // Document.
    void StartDocument();
    void NewPage();
    void FinishDocument();
    void AbortDocument();

    // The metafile of page n while Busy or Ready and 1 <= n <= page total;
    // a null metafile otherwise.
    TRepMetafile PageMetafile(int n) const;

    // The report's settings into the store before a pass: selects the
    // printer the report names, then takes paper, orientation, copies...
    void CopyReportSettings();
    // Selects a printer by its position in the printer list (-1 = the
    // default printer) and reads its settings.
    void SelectPrinter(int index);
    QPrinter *QtPrinter() const { return m_printer; }
    // The process-wide printer object (the report's UseStandardprinter).
    static QPrinter *StandardPrinter();

    // Prints the recorded pages (or asks the report to print itself).
    void PrintStoredPages();
    // Where a recorded page of W x L (native) lands on a printer of the
    // given resolution and physical offsets (native): the rectangle that
    // makes the paper's corner meet the printable area's origin.
    static QRect StoredPageRect(double width, double length, double offsetX, double offsetY, double dpiX,
                                double dpiY);

    // A page of W x L (native) on a paper of paperW x paperL: the scale
    // that fits it whole, keeping its proportions (1 when it fits as it is;
    // never enlarged).
    static double FitScale(double width, double length, double paperWidth, double paperLength);
    // The page rectangle of StoredPageRect, shrunk by FitScale and centred
    // across the paper when the page does not fit the printer's paper.
    static QRect FittedPageRect(double width, double length, double paperWidth, double paperLength,
                                double offsetX, double offsetY, double dpiX, double dpiY);
    // For pages drawn straight on the printer: the device transform that
    // shrinks a W x L page onto the paper the same way (identity when it
    // fits). Device pixels are those of the store's unit conversion.
    static QTransform FitTransform(double width, double length, double paperWidth, double paperLength,
                                   double offsetX, double offsetY, double dpiX, double dpiY);

    // Saved report files.
    void SaveToFile(const QString &fileName) const;
    void LoadFromFile(const QString &fileName);

private:
    void ClosePage(bool keep);
    void OpenPage();
    void Post(QObject *to, int type, int value) const;
    void SetScaleFromPrinter();
    void ResetScaleToScreen();
    void EndJob();

    TRepReport *m_report;
    TStoreState m_state = Idle;
    TOutputTarget m_target = PageStore;
    TRepDeviceMap m_map;
    TPrinterSettings m_settings;
    QString m_title;
    bool m_compression = false;
    bool m_exportActive = false;
    bool m_drawPass = true;
    TRepExportFilter *m_filter = nullptr;
    bool m_cancelled = false;
    int m_progress = 0;
    QPointer<QObject> m_viewer;
    QPointer<QObject> m_requestTarget;
    bool m_previewOpen = false;
    bool m_pagesFinal = false;
    bool m_loaded = false;          // the pages come from a saved file
    bool m_keepReportPaper = false;
    double m_reportPaperWidth = 0;
    double m_reportPaperLength = 0;

    int m_pageTotal = 0;
    int m_pagesSinceStart = 0;
    int m_availablePages = 0;
    bool m_pageOpen = false;
    bool m_pageRecorded = false;    // the open page goes to a metafile

    std::unique_ptr<TRepCanvas> m_canvas;
    TRepEmfCanvas *m_emf = nullptr;     // m_canvas when it records
    std::unique_ptr<TRepPageList> m_pages;

    QPrinter *m_printer = nullptr;
    std::unique_ptr<QPrinter> m_ownPrinter;
    std::unique_ptr<QPainter> m_painter;
    bool m_jobOpen = false;
};
