#pragma once

#include "report/model/trepevenvironment.h"
#include "report/model/trepfont.h"
#include "report/model/trepframe.h"
#include "report/model/treppage.h"
#include "report/model/trepreportbands.h"
#include "report/model/trepreportprintersettings.h"
#include "report/model/treptypes.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

class TRepBand;
class TRepChildBand;
class TRepCustomBand;
class TRepDataSet;
class TRepPrintable;
class QPrinter;

// A banded report: page setup, an ordered list of bands holding elements,
// options, printer settings and named functions. A stored layout builds one
// (TRepLayout); generation, preview and printing work on it.
class TRepReport : public QObject
{
    Q_OBJECT

public:
    explicit TRepReport(QObject *parent = nullptr);
    ~TRepReport() override;

    QString Name() const { return objectName(); }

    TRepPage &Page() { return FPage; }
    const TRepPage &Page() const { return FPage; }

    // Display unit of the page, band and element sizes.
    TRepUnit Units() const { return FUnits; }
    void SetUnits(TRepUnit units);

    // Band switches (HasTitle ...).
    TRepReportBands &Bands() { return FBands; }
    const TRepReportBands &Bands() const { return FBands; }

    // The band list in design order (the order bands stack in the design view).
    const QList<TRepCustomBand *> &BandList() const { return FBandList; }
    // Creates a band at the end of the list (or at index); the report owns it.
    // An empty name gets a free "RepBandN" name.
    TRepBand *AddBand(TRepBandType type, const QString &name = QString(), int index = -1);
    // Creates a child band of parent, placed after the parent's chain of children.
    TRepChildBand *AddChildBand(TRepCustomBand *parent, const QString &name = QString());
    // Moves a band to another place of the list (design order only).
    void MoveBand(TRepCustomBand *band, int index);
    // Frees the band and its elements. Bands linking to it lose the link; a
    // child band of it is freed too.
    void RemoveBand(TRepCustomBand *band);

    // Band lookup by role: the first band of the type, or none.
    TRepCustomBand *FindBand(TRepBandType type) const;
    TRepCustomBand *TitleBand() const { return FindBand(rbTitle); }
    TRepCustomBand *PageHeaderBand() const { return FindBand(rbPageHeader); }
    TRepCustomBand *ColumnHeaderBand() const { return FindBand(rbColumnHeader); }
    TRepCustomBand *DetailBand() const { return FindBand(rbDetail); }
    TRepCustomBand *PageFooterBand() const { return FindBand(rbPageFooter); }
    TRepCustomBand *SummaryBand() const { return FindBand(rbSummary); }

    // Elements placed directly on the report (printed at the end of each page).
    const QList<TRepPrintable *> &Elements() const { return FElements; }
    void InsertElement(TRepPrintable *element, int index = -1);
    void RemoveElement(TRepPrintable *element);
    // Every element: band by band in list order, then those on the report.
    QList<TRepPrintable *> AllElements() const;

    // Lookup by name among bands and elements.
    TRepCustomBand *FindBandByName(const QString &name) const;
    TRepPrintable *FindElement(const QString &name) const;
    // True when no band or element already has this name.
    bool IsNameFree(const QString &name) const;

    // Data source of the detail loop (not owned). A stored layout names it in
    // DataSetName; BindDataSet sets the report's and every data text's source
    // whose name matches, and returns how many it bound.
    TRepDataSet *DataSet = nullptr;
    QString DataSetName;
    int BindDataSet(const QString &name, TRepDataSet *dataSet);

    // Plain persisted fields.
    TRepReportOptions Options = TRepReportOption::FirstPageHeader | TRepReportOption::LastPageFooter;
    bool PrintIfEmpty = true;
    QString ReportTitle;
    QStringList Description;
    TRepFrame Frame;                    // around the margin rectangle of each page
    bool ShowProgress = true;
    bool SnapToGrid = true;
    TRepWindowState PreviewInitialState = wsNormal;
    TRepFormStyle PrevFormStyle = fsNormal;
    bool PrevShowThumbs = true;
    bool PrevShowSearch = true;
    TRepZoomState PrevInitialZoom = rzZoomToFit;
    QString BackImageControl;           // no picture element exists: never applies
    int Tag = 0;                        // 1 after a cancelled printer setup dialog

    // Default font of the bands.
    TRepFont Font() const { return FFont; }
    void SetFont(const TRepFont &font) { FFont = font; }

    TRepEvEnvironment &Functions() { return FFunctions; }
    const TRepEvEnvironment &Functions() const { return FFunctions; }

    // The persisted printer settings, and the choices of the last printer
    // setup dialog.
    TRepReportPrinterSettings PrinterSettings;
    TRepReportPrinterSettings PrinterSetupSettings;

    // Design view scale: only 1 to 300 is accepted.
    int Zoom() const { return FZoom; }
    void SetZoom(int zoom);

    // Size of the standard preview window: 0 or less reads as 500.
    int PreviewWidth() const { return FPreviewWidth > 0 ? FPreviewWidth : 500; }
    void SetPreviewWidth(int w) { FPreviewWidth = w; }
    int PreviewHeight() const { return FPreviewHeight > 0 ? FPreviewHeight : 500; }
    void SetPreviewHeight(int h) { FPreviewHeight = h; }

    // Events (none is assigned by default).
    std::function<void(TRepReport *sender, bool &printReport)> BeforePrint;
    std::function<void(TRepReport *sender)> AfterPrint;
    std::function<void(TRepReport *sender)> AfterPreview;
    std::function<void(TRepReport *sender)> OnPreview;
    std::function<void(TRepReport *sender)> OnStartPage;
    std::function<void(TRepReport *sender)> OnEndPage;
    std::function<void(TRepReport *sender, bool &moreData)> OnNeedData;
    std::function<void(TRepReport *sender, bool &cancel, QPrinter *devMode)> OnGetPrinterSettings;
    std::function<void(TRepReport *sender, bool &cancel, QPrinter *devMode)> OnApplyPrinterSettings;

    // Band layout: every band at the left margin, stacked from the top margin
    // in list order; widths by role (printable width for title, page header,
    // page footer, summary and overlay, column width for the others; a child
    // takes the rule of its first non-child ancestor). Runs after every change
    // of page, columns, zoom or band list.
    void LayoutBands();
    // Printable width and column width as laid out, in tenths of a millimetre
    // (whole design pixels).
    double PrintableWidthNative() const;
    double ColumnWidthNative() const;
    // The width the layout rule gives a band, in tenths of a millimetre.
    double BandWidthNative(const TRepCustomBand *band) const;

    // Margin sanity at the start of generation (see TRepPage::CheckMargins).
    bool CheckMargins();

private:
    friend class TRepCustomBand;
    friend class TRepPrintable;
    void AttachBand(TRepCustomBand *band, int index);
    void AttachSize(TRepUnitBase &size) const;
    void ApplyUnitsAndZoom();
    QString FreeName(const QString &prefix) const;
    double ToDesignPixels(double native) const;
    double FromDesignPixels(double pixels) const;

    TRepPage FPage;
    TRepUnit FUnits = TRepUnit::MM;
    TRepReportBands FBands;
    QList<TRepCustomBand *> FBandList;
    QList<TRepPrintable *> FElements;
    TRepFont FFont;
    TRepEvEnvironment FFunctions;
    int FZoom = 100;
    int FPreviewWidth = 500;
    int FPreviewHeight = 500;
    bool FLayingOut = false;
};
