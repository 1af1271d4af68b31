#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QWidget;
class TRepCustomBand;
class TRepExportFilter;
class TRepPrinter;
class TRepProgressForm;
class TRepReport;

// The generation pass of a report and its three entry points (preview,
// print, export). One generator belongs to each report (a child object of
// it, see Of); it keeps the state of the running pass: cursor, page and
// column counters, the footer reserve and the available flag that refuses
// a second pass while one runs. Lengths are native units (0.1 mm).
class TRepGenerator : public QObject
{
    Q_OBJECT
public:
    // The generator of a report, made on first use.
    static TRepGenerator *Of(TRepReport *report);

    TRepReport *Report() const { return m_report; }

    // Entry points.
    // Generates into a new recording store and shows it in the preview
    // window; returns when the window closes. The window comes from the
    // report's OnPreview or from the registered PreviewWindowFactory;
    // without either the pages are generated and the call returns.
    // While one preview is open (in any report) a second call does nothing.
    void ShowPreview();
    static bool PreviewRunning();
    // Generates straight to the printer (nothing without a printer).
    void PrintToPrinter();
    // Generates an export-only pass that feeds the filter.
    void ExportWithFilter(TRepExportFilter *filter);
    // The printer setup dialog for the report.
    void RunPrinterSetup();

    // Opens the standard preview window on a store, shows it and returns
    // it; ShowPreview returns when it is hidden, closed or freed. Registered
    // by the preview code.
    static std::function<QWidget *(TRepReport *report, TRepPrinter *store)> PreviewWindowFactory;
    // Shows the print dialog for the printer setup; returns whether the user
    // accepted. Tests replace it to answer without a dialog.
    static std::function<bool(class QPrintDialog &dialog)> ExecPrintDialog;

    // The pass itself, into the current store (see SetPrinter).
    void GenerateReport();

    // The store the pass draws into; the entry points make their own and
    // put the previous one back. A caller may generate into its own store.
    TRepPrinter *Printer() const { return m_store; }
    void SetPrinter(TRepPrinter *store) { m_store = store; }
    // The store of the running or last preview (owned by the generator).
    TRepPrinter *PreviewStore() const { return m_previewStore.get(); }
    // Makes a new recording store set up for a preview (step one of
    // ShowPreview, for a preview window that generates itself).
    TRepPrinter *CreatePreviewStore();
    void FreePreviewStore();

    bool Available() const { return m_available; }
    bool Cancelled() const { return m_cancelled; }
    void Cancel();

    // Pass state.
    int CursorX() const { return m_cursorX; }
    int CursorY() const { return m_cursorY; }
    int PagesGenerated() const { return m_pagesGenerated; }
    int ColumnIndex() const { return m_columnIndex; }
    int ColumnTop() const { return m_columnTop; }
    double FooterReserve() const { return m_footerReserve; }
    // Pages of the whole report, for a report that prints its page count
    // (known from the counting pass before the real one); otherwise the
    // pages generated so far.
    int PageTotal() const { return m_pageTotal > 0 ? m_pageTotal : m_pagesGenerated; }
    // True while the pass that only counts pages runs.
    bool CountingPass() const { return m_counting; }
    bool DrawPass() const { return m_drawPass; }
    bool ExportActive() const { return m_exportFilter != nullptr; }
    TRepExportFilter *ExportFilter() const { return m_exportFilter; }

    // Steps of the pass.
    int SpaceLeft() const;
    void PlaceBand(TRepCustomBand *band);
    void OutputBand(TRepCustomBand *band);
    void EnsureBandSpace(TRepCustomBand *band);
    void BeginNewColumn();
    void BeginNewPage();
    void FinishPage();
    // The band's height after stretching its data texts, native units.
    double StretchedHeight(TRepCustomBand *band) const;

protected:
    bool event(QEvent *e) override;

private:
    explicit TRepGenerator(TRepReport *report);

    // Runs the pass into `store`, then puts the previous store back.
    void GenerateInto(TRepPrinter *store);
    // The progress window of a print or export pass, when the report shows one.
    std::unique_ptr<TRepProgressForm> ShowProgressFor(TRepPrinter *store, bool exporting);
    void RunDetailLoop();
    // Some element prints the number of pages: a first pass counts them.
    bool NeedsPageCount() const;
    void CountPages();
    void PrintEmpty();
    void ForcedPageBreak();
    void ForcedColumnBreak();
    double NeededSpace(TRepCustomBand *band, int depth = 0) const;
    double PaperLengthForSpace() const;
    bool CanGrow(const TRepCustomBand *band, double amount) const;
    void ProcessMessages();

    TRepReport *m_report;
    TRepPrinter *m_store = nullptr;
    std::unique_ptr<TRepPrinter> m_previewStore;
    QPointer<QWidget> m_previewWindow;
    TRepExportFilter *m_exportFilter = nullptr;

    bool m_available = true;
    bool m_cancelled = false;
    bool m_lastPage = false;
    bool m_noForcedPage = false;
    // The group headers to print again at the top of a new page or column:
    // those of the groups open at the moment that ask for it, outermost
    // first.
    std::vector<TRepCustomBand *> m_openGroupHeaders;
    bool m_reprinting = false;
    bool m_forcedColumn = false;
    bool m_drawPass = true;
    bool m_inBegin = false;         // a column or page is begun on a band's behalf
    bool m_generating = false;
    bool m_inFooter = false;        // printing the page footer chain

    int m_cursorX = 0;
    int m_cursorY = -1;
    int m_pagesGenerated = 0;
    int m_columnIndex = 1;
    int m_columnTop = 0;
    double m_footerReserve = 0;
    int m_recordNo = 0;
    int m_pageTotal = 0;
    bool m_counting = false;
    TRepCustomBand *m_pageFooterOverride = nullptr;
};
