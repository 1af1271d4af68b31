#include "report/generate/trepgenerator.h"

#include "report/generate/trepbandplacement.h"
#include "report/generate/trepelementprinter.h"
#include "report/generate/trepexportfilter.h"
#include "report/generate/treplinebreaker.h"
#include "report/model/ereperror.h"
#include "report/model/trepchildband.h"
#include "report/model/trepband.h"
#include "report/model/trepcustomband.h"
#include "report/model/trepcustomlabel.h"
#include "report/model/trepdbcalc.h"
#include "report/model/trepdataset.h"
#include "report/model/trepdbtext.h"
#include "report/model/treppapertable.h"
#include "report/model/trepreport.h"
#include "report/model/trepshape.h"
#include "report/model/trepsysdata.h"
#include "report/print/trepnotifyevent.h"
#include "report/print/trepprinter.h"
#include "report/print/trepprogressform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include <cmath>
#include <optional>

std::function<QWidget *(TRepReport *, TRepPrinter *)> TRepGenerator::PreviewWindowFactory;
std::function<bool(QPrintDialog &)> TRepGenerator::ExecPrintDialog;

namespace {

// A preview is open somewhere in the application (ShowPreview has not returned).
bool g_previewRunning = false;

TRepBandType RoleOf(const TRepCustomBand *band)
{
    if (auto *child = qobject_cast<const TRepChildBand *>(band)) {
        const TRepCustomBand *root = child->RootBand();
        return root ? root->BandType() : rbChild;
    }
    return band->BandType();
}

// Ends a local event loop when the watched window is hidden.
class WindowWatch : public QObject
{
public:
    explicit WindowWatch(QEventLoop *loop) : m_loop(loop) {}
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Hide || e->type() == QEvent::Close)
            m_loop->quit();
        return false;
    }

private:
    QEventLoop *m_loop;
};

bool CanStretch(const TRepCustomBand *band)
{
    for (TRepPrintable *e : band->Elements())
        if (auto *label = qobject_cast<TRepCustomLabel *>(e); label && label->Enabled && label->AutoStretch)
            return true;
    return false;
}

bool IsPageBand(TRepBandType t)
{
    return t == rbTitle || t == rbPageHeader || t == rbPageFooter || t == rbOverlay;
}

double ChainHeight(const TRepCustomBand *band)
{
    double h = 0;
    for (const TRepCustomBand *b = band; b; b = b->ChildBand())
        h += b->HeightNative();
    return h;
}

} // namespace

TRepGenerator::TRepGenerator(TRepReport *report)
    : QObject(report)
    , m_report(report)
{
    setObjectName(QStringLiteral("TRepGenerator"));
}

TRepGenerator *TRepGenerator::Of(TRepReport *report)
{
    if (!report)
        return nullptr;
    if (auto *g = report->findChild<TRepGenerator *>(QString(), Qt::FindDirectChildrenOnly))
        return g;
    return new TRepGenerator(report);
}

void TRepGenerator::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TRepGenerator::Cancel()
{
    m_cancelled = true;
    if (m_store)
        m_store->Cancel();
}

double TRepGenerator::PaperLengthForSpace() const
{
    return m_store ? m_store->PaperLength() : m_report->Page().NativeValue(TRepPage::LengthIndex);
}

int TRepGenerator::SpaceLeft() const
{
    if (!m_generating || m_pagesGenerated == 0)
        return 0;
    return TRepBandPlacement::SpaceLeft(PaperLengthForSpace(), m_report->Page().NativeValue(TRepPage::BottomMarginIndex),
                                        m_footerReserve, m_cursorY);
}

bool TRepGenerator::CanGrow(const TRepCustomBand *band, double amount) const
{
    return band->HeightNative() + band->ExtraHeight + amount <= SpaceLeft();
}

double TRepGenerator::NeededSpace(TRepCustomBand *band, int depth) const
{
    double needed = band->HeightNative();
    // Linked bands must fit together; a chain cannot loop (the model
    // refuses it), the depth limit only guards against damaged layouts.
    if (band->LinkBand() && depth < 64)
        needed += NeededSpace(band->LinkBand(), depth + 1);
    return needed;
}

double TRepGenerator::StretchedHeight(TRepCustomBand *band) const
{
    constexpr double px = 96.0 / 254.0;   // screen pixels per native unit
    const double bandPx = band->HeightNative() * px;
    double needPx = 0;
    const int zoom = m_report->Zoom();
    for (TRepPrintable *e : band->Elements()) {
        auto *db = qobject_cast<TRepDBText *>(e);
        if (!db || !db->Enabled)
            continue;
        const TRepFont font = db->Font();
        bool memo = false;
        const QString value = TRepElementPrinter::FieldText(*db, &memo);
        auto measure = [&](const QString &s) { return TRepElementPrinter::DesignTextWidth(font, s, zoom); };
        TRepLineBreaker breaker(measure, db->WidthNative() * px * zoom / 100.0, db->AutoSize, db->WordWrap);
        const int lines = int((memo ? breaker.FormatMemo(value) : breaker.FormatText(value)).size());
        const double lineH = TRepElementPrinter::DesignTextHeight(font);
        const double topPx = db->TopNative() * px;
        const double gap = std::max(0.0, bandPx - (db->TopNative() + db->HeightNative()) * px);
        needPx = std::max(needPx, topPx + lines * lineH + gap);
    }
    return std::max(band->HeightNative(), needPx / px);
}

bool TRepGenerator::NeedsPageCount() const
{
    for (TRepPrintable *e : m_report->AllElements())
        if (auto *sys = qobject_cast<TRepSysData *>(e); sys && sys->Enabled && sys->NeedsPageCount())
            return true;
    return false;
}

void TRepGenerator::CountPages()
{
    // The same pass, drawing nothing and feeding no filter, into a store of
    // its own: the pages break exactly as in the real pass.
    struct Restore
    {
        TRepGenerator *g;
        TRepPrinter *store;
        TRepExportFilter *filter;
        bool drawPass;
        ~Restore()
        {
            g->m_store = store;
            g->m_exportFilter = filter;
            g->m_drawPass = drawPass;
            g->m_counting = false;
        }
    } restore{this, m_store, m_exportFilter, m_drawPass};
    TRepPrinter scratch(m_report);
    m_store = &scratch;
    m_exportFilter = nullptr;
    m_drawPass = false;
    m_counting = true;
    m_pageTotal = 0;
    GenerateReport();
    m_pageTotal = std::max(1, m_pagesGenerated);
}

void TRepGenerator::GenerateReport()
{
    if (!m_available)
        return;
    if (!m_counting) {
        m_pageTotal = 0;
        if (NeedsPageCount()) {
            CountPages();
            if (m_cancelled)
                return;
        }
    }
    m_cancelled = false;
    m_lastPage = false;
    m_noForcedPage = false;
    m_forcedColumn = false;
    m_inBegin = false;
    m_available = false;

    TRepReport &r = *m_report;
    TRepPage &page = r.Page();
    bool printReport = true;
    try {
        r.CheckMargins();
        if (r.BeforePrint)
            r.BeforePrint(&r, printReport);
    } catch (...) {
        m_available = true;
        throw;
    }
    if (!printReport) {
        m_available = true;
        return;
    }

    std::unique_ptr<TRepPrinter> ownStore;
    if (!m_store) {
        ownStore = std::make_unique<TRepPrinter>(m_report);
        m_store = ownStore.get();
    }
    TRepPrinter &store = *m_store;
    const TRepUnit oldUnits = r.Units();
    const QList<TRepPrintable *> elements = r.AllElements();
    bool prepared = false, functionsPrepared = false, started = false;

    auto restore = [&] {
        r.SetUnits(oldUnits);
        if (prepared)
            for (TRepPrintable *e : elements)
                e->UnprepareAfterPrint();
        if (functionsPrepared)
            r.Functions().Unprepare();
        for (TRepCustomBand *b : r.BandList())
            b->ExtraHeight = 0;
        store.CanBandGrow = nullptr;
        m_generating = false;
    };
    auto close = [&] {
        if (!started)
            return;
        if (m_cancelled || store.Cancelled())
            store.AbortDocument();
        else if (m_drawPass)
            store.FinishDocument();
        else
            store.AbortDocument();
    };

    try {
        r.SetUnits(TRepUnit::Native);
        store.CopyReportSettings();
        store.SetTitle(r.ReportTitle);
        store.SetCompression(r.Options.testFlag(TRepReportOption::Compression));
        store.SetDrawPass(m_drawPass);
        store.SetExportFilter(m_exportFilter);
        store.SetExportActive(m_exportFilter != nullptr);
        store.CanBandGrow = [this](const TRepCustomBand *band, double amount) { return CanGrow(band, amount); };
        store.StartDocument();
        started = true;
        m_generating = true;
        m_cursorY = -1;
        m_pagesGenerated = 0;
        m_columnIndex = page.Columns();
        m_recordNo = 0;
        if (m_exportFilter && !m_exportFilter->Started()) {
            m_exportFilter->Attach(m_report, &store);
            m_exportFilter->Begin(store.PaperWidth(), store.PaperLength(), r.Font());
        }

        m_footerReserve = 0;
        for (TRepCustomBand *b : r.BandList())
            if (b->BandType() == rbPageFooter && b->Enabled)
                m_footerReserve += ChainHeight(b);
        m_cursorX = TRepDeviceMap::RoundHalfEven(page.NativeValue(TRepPage::LeftMarginIndex));

        r.Functions().Prepare(r.ReportTitle);
        functionsPrepared = true;
        for (TRepPrintable *e : elements) {
            e->AllLinesPrinted = true;
            e->PrepareForPrint(&store);
            if (auto *calc = qobject_cast<TRepDBCalc *>(e))
                calc->Reset();
        }
        prepared = true;

        RunDetailLoop();

        m_cursorX = TRepDeviceMap::RoundHalfEven(page.NativeValue(TRepPage::LeftMarginIndex));
        m_lastPage = true;
        if (store.Cancelled())
            m_cancelled = true;
        if (!m_cancelled)
            FinishPage();
        if (m_exportFilter) {
            if (m_cancelled)
                m_exportFilter->Abort();
            else
                m_exportFilter->End();
        }
    } catch (...) {
        // A failed pass leaves no document started in its filter.
        if (m_exportFilter)
            m_exportFilter->Abort();
        restore();
        try {
            close();
        } catch (...) {
        }
        m_available = true;
        throw;
    }
    restore();
    close();
    m_available = true;
}

void TRepGenerator::PrintEmpty()
{
    TRepReport &r = *m_report;
    PlaceBand(r.TitleBand());
    PlaceBand(r.DetailBand());
    PlaceBand(r.SummaryBand());
}

void TRepGenerator::RunDetailLoop()
{
    TRepReport &r = *m_report;
    TRepDataSet *ds = r.DataSet;
    const bool usable = ds && ds->IsOpen();
    int count = 1;
    bool more = false;
    if (usable) {
        ds->First();
        more = !ds->Eof();
        try {
            count = ds->RecordCount();
        } catch (...) {
            count = 1;
        }
        if (count < 1)
            count = 1;
        if (!more) {
            if (r.PrintIfEmpty)
                PrintEmpty();
            return;
        }
    } else if (r.OnNeedData) {
        r.OnNeedData(&r, more);
        if (!more)
            return;
    } else {
        if (r.PrintIfEmpty)
            PrintEmpty();
        return;
    }

    ProcessMessages();
    if (m_cancelled || m_store->Cancelled())
        return;
    if (TRepCustomBand *title = r.TitleBand()) {
        PlaceBand(title);
        m_noForcedPage = true;
    }
    TRepCustomBand *colHeader = r.ColumnHeaderBand();
    if (m_pagesGenerated < 2 && colHeader && colHeader->Enabled) {
        PlaceBand(colHeader);
        m_noForcedPage = true;
    }
    // Group headers nest in band list order; each has its footer.
    struct Level
    {
        TRepBand *header;
        TRepCustomBand *footer;
        int field;
        QString key;
    };
    std::vector<Level> levels;
    for (TRepCustomBand *b : r.BandList()) {
        auto *band = qobject_cast<TRepBand *>(b);
        if (!band || band->BandType() != rbGroupHeader)
            continue;
        TRepCustomBand *footer = band->GroupFooter.isEmpty() ? nullptr : r.FindBandByName(band->GroupFooter);
        if (footer && footer->BandType() != rbGroupFooter)
            footer = nullptr;
        const int field = usable && !band->GroupField.isEmpty() ? ds->FieldIndex(band->GroupField) : -1;
        levels.push_back({band, footer, field, QString()});
    }
    std::vector<std::pair<TRepDBCalc *, int>> calcs;   // and the level that starts it again (-1: none)
    for (TRepPrintable *e : r.AllElements()) {
        auto *calc = qobject_cast<TRepDBCalc *>(e);
        if (!calc)
            continue;
        int level = -1;
        for (int i = 0; i < int(levels.size()); ++i)
            if (!calc->ResetGroup.isEmpty() && levels[size_t(i)].header->Name() == calc->ResetGroup)
                level = i;
        calcs.emplace_back(calc, level);
    }
    // The headers of the groups open down to `level` (exclusive), those
    // that are printed again on a new page.
    auto reprintUpTo = [&](int level) {
        m_openGroupHeaders.clear();
        for (int i = 0; i < level && i < int(levels.size()); ++i)
            if (levels[size_t(i)].header->ReprintOnNewPage)
                m_openGroupHeaders.push_back(levels[size_t(i)].header);
    };
    struct ClearOpenGroups
    {
        std::vector<TRepCustomBand *> &open;
        ~ClearOpenGroups() { open.clear(); }
    } clearOpenGroups{m_openGroupHeaders};
    // The footers of the groups that end are printed with the next record
    // already read: a header printed again over them would show the next
    // group's values. Only the groups that go on are headed again.
    auto closeGroups = [&](int from) {
        reprintUpTo(from);
        for (int j = int(levels.size()) - 1; j >= from; --j)
            PlaceBand(levels[size_t(j)].footer);
    };
    bool firstRecord = true;
    TRepCustomBand *detail = r.DetailBand();
    while (more) {
        ProcessMessages();
        if (m_cancelled || m_store->Cancelled()) {
            m_cancelled = true;
            return;
        }
        ++m_recordNo;
        if (!levels.empty()) {
            int changed = firstRecord ? 0 : int(levels.size());
            std::vector<QString> keys(levels.size());
            for (size_t i = 0; i < levels.size(); ++i) {
                keys[i] = levels[i].field >= 0 ? ds->FieldDisplayText(levels[i].field) : QString();
                if (changed == int(levels.size()) && keys[i] != levels[i].key)
                    changed = int(i);
            }
            if (!firstRecord)
                closeGroups(changed);
            for (int j = changed; j < int(levels.size()); ++j) {
                levels[size_t(j)].key = keys[size_t(j)];
                for (auto &[calc, level] : calcs)
                    if (level == j)
                        calc->Reset();
                // A header that itself starts a new page is not printed twice.
                reprintUpTo(j);
                PlaceBand(levels[size_t(j)].header);
            }
            reprintUpTo(int(levels.size()));
        }
        firstRecord = false;
        for (auto &[calc, level] : calcs)
            calc->Accumulate();
        PlaceBand(detail);
        if (usable) {
            ds->Next();
            more = !ds->Eof();
            m_store->SetProgress(int(qint64(m_recordNo) * 100 / count));
        } else {
            more = false;
            r.OnNeedData(&r, more);
        }
    }
    if (!firstRecord)
        closeGroups(0);
    if (TRepCustomBand *summary = r.SummaryBand()) {
        if (m_pagesGenerated == 0)
            BeginNewPage();
        if (summary->HeightNative() > SpaceLeft())
            BeginNewColumn();
        PlaceBand(summary);
    }
}

void TRepGenerator::PlaceBand(TRepCustomBand *band)
{
    if (!band)
        return;
    if (band->AlignToBottom) {
        const TRepPage &page = m_report->Page();
        if (band->BandType() == rbSummary && !m_report->Options.testFlag(TRepReportOption::LastPageFooter))
            m_footerReserve = 0;
        m_cursorY = TRepBandPlacement::AlignToBottomY(PaperLengthForSpace(), m_cursorY, band->HeightNative(),
                                                      page.NativeValue(TRepPage::BottomMarginIndex), m_footerReserve);
    }
    OutputBand(band);
}

void TRepGenerator::ForcedPageBreak()
{
    if (m_noForcedPage) {
        m_noForcedPage = false;
        return;
    }
    do {
        BeginNewColumn();
    } while (m_columnIndex != 1);
}

void TRepGenerator::ForcedColumnBreak()
{
    if (m_forcedColumn || m_columnIndex > 1)
        BeginNewColumn();
    else
        m_forcedColumn = true;
}

void TRepGenerator::EnsureBandSpace(TRepCustomBand *band)
{
    const TRepPage &page = m_report->Page();
    const bool footer = RoleOf(band) == rbPageFooter || m_inFooter;
    const bool fits = TRepBandPlacement::Fits(footer, SpaceLeft(), NeededSpace(band),
                                              page.NativeValue(TRepPage::LengthIndex),
                                              page.NativeValue(TRepPage::TopMarginIndex),
                                              page.NativeValue(TRepPage::BottomMarginIndex),
                                              m_cursorY <= m_columnTop);
    const bool detail = band->BandType() == rbDetail;
    if (fits && m_pagesGenerated > 0) {
        if (detail)
            m_inBegin = false;
        return;
    }
    if (detail)
        m_inBegin = true;
    BeginNewColumn();
}

void TRepGenerator::OutputBand(TRepCustomBand *band)
{
    TRepReport &r = *m_report;
    TRepPrinter &store = *m_store;
    const TRepPage &page = r.Page();
    bool printBand = band->Enabled;
    if (band->Enabled && band->BeforePrint)
        band->BeforePrint(band, printBand);
    const TRepBandType role = RoleOf(band);
    if (band->BandType() == rbSummary)
        m_cursorX = TRepDeviceMap::RoundHalfEven(page.NativeValue(TRepPage::LeftMarginIndex));

    if (printBand) {
        const bool pageExists = m_pagesGenerated > 0;
        if (band->ForceNewPage && !IsPageBand(role) && pageExists) {
            if (!m_inBegin) {
                ForcedPageBreak();
                m_inBegin = false;
            }
        } else if (band->ForceNewColumn) {
            if (IsPageBand(role) || !pageExists)
                EnsureBandSpace(band);
            else
                ForcedColumnBreak();
        } else {
            EnsureBandSpace(band);
        }

        if (band->KeepOnOnePage && StretchedHeight(band) > SpaceLeft())
            BeginNewColumn();

        const double width = band->WidthNative();
        const double height = band->HeightNative();
        const double startY = m_cursorY;
        if (band->Enabled && !band->TransparentBand) {
            const double bgHeight = band->PreCaluculateBandHeight ? StretchedHeight(band) : height;
            const int l = store.ToDeviceX(m_cursorX), t = store.ToDeviceY(m_cursorY);
            const int rr = store.ToDeviceX(m_cursorX + width), b = store.ToDeviceY(m_cursorY + bgHeight);
            if (m_exportFilter) {
                TRepExportGraphic g;
                g.kind = TRepExportGraphic::Rectangle;
                g.X = l;
                g.Y = t;
                g.Width = rr - l;
                g.Height = b - t;
                g.PenStyle = psClear;
                g.BrushColor = band->Color;
                m_exportFilter->AcceptGraphic(g);
            }
            if (m_drawPass && height != 0 && store.Canvas()) {
                TRepBrush brush;
                brush.Color = band->Color;
                store.Canvas()->SetBrush(brush);
                store.Canvas()->FillRect(l, t, rr, b);
            }
        }
        double extra = 0;
        // Counting pages, a band none of whose texts can grow takes its
        // designed height whatever its elements hold: they are not printed.
        const bool fixedHeight = m_counting && !band->KeepOnOnePage && !CanStretch(band);
        if (band->Enabled && height != 0 && !fixedHeight) {
            band->ExtraHeight = 0;
            bool first = true;
            for (;;) {
                for (TRepPrintable *e : band->Elements())
                    if (e->Enabled && (first || !e->AllLinesPrinted))
                        TRepElementPrinter::Print(*e, m_cursorX, m_cursorY);
                if (m_drawPass || m_exportFilter) {
                    const int l = store.ToDeviceX(m_cursorX), t = store.ToDeviceY(m_cursorY);
                    const int rr = store.ToDeviceX(m_cursorX + width);
                    const int b = store.ToDeviceY(m_cursorY + height + band->ExtraHeight + 1);
                    TRepElementPrinter::DrawFrame(store, band->Frame, QRect(QPoint(l, t), QPoint(rr - 1, b - 1)));
                    for (TRepPrintable *e : band->Elements()) {
                        auto *shape = qobject_cast<TRepShape *>(e);
                        if (!shape || shape->Shape != rsVertLine || shape->Tag != 1000 || !shape->Enabled)
                            continue;
                        const int x = store.ToDeviceX(m_cursorX + shape->LeftNative() + shape->WidthNative() / 2.0);
                        if (m_drawPass && store.Canvas()) {
                            store.Canvas()->SetPen(shape->Pen);
                            store.Canvas()->MoveTo(x, t);
                            store.Canvas()->LineTo(x, b);
                        }
                        if (m_exportFilter) {
                            TRepExportGraphic g;
                            g.kind = TRepExportGraphic::VertLine;
                            g.X = x;
                            g.Y = t;
                            g.Width = 0;
                            g.Height = b - t;
                            g.PenWidth = shape->Pen.Width;
                            g.PenColor = shape->Pen.Color;
                            g.PenStyle = shape->Pen.Style;
                            g.BrushStyle = bsClear;
                            m_exportFilter->AcceptGraphic(g);
                        }
                    }
                }
                bool remaining = false;
                for (TRepPrintable *e : band->Elements())
                    if (e->Enabled && !e->AllLinesPrinted)
                        remaining = true;
                if (!remaining || m_cancelled)
                    break;
                m_inBegin = true;
                BeginNewColumn();
                band->ExtraHeight = 0;
                first = false;
            }
            extra = band->ExtraHeight;
        }
        m_cursorY = TRepBandPlacement::Advance(m_cursorY, height, extra);
        if (m_exportFilter)
            m_exportFilter->BandComplete(band, extra, startY);
    }
    m_inBegin = false;
    if (band->AfterPrint)
        band->AfterPrint(band, printBand);
    if (TRepCustomBand *child = band->ChildBand()) {
        const bool wasFooter = m_inFooter;
        if (role == rbPageFooter)
            m_inFooter = true;
        PlaceBand(child);
        m_inFooter = wasFooter;
    }
}

void TRepGenerator::BeginNewColumn()
{
    TRepReport &r = *m_report;
    const TRepPage &page = r.Page();
    if (m_columnIndex >= page.Columns()) {
        m_columnIndex = 1;
        m_cursorX = TRepDeviceMap::RoundHalfEven(page.NativeValue(TRepPage::LeftMarginIndex));
        BeginNewPage();
    } else {
        TRepCustomBand *detail = r.DetailBand();
        const double colWidth = detail
            ? detail->WidthNative()
            : TRepBandPlacement::ColumnWidth(page.NativeValue(TRepPage::WidthIndex),
                                             page.NativeValue(TRepPage::LeftMarginIndex),
                                             page.NativeValue(TRepPage::RightMarginIndex),
                                             page.NativeValue(TRepPage::ColumnSpaceIndex), page.Columns());
        m_cursorX = TRepDeviceMap::RoundHalfEven(m_cursorX + page.NativeValue(TRepPage::ColumnSpaceIndex) + colWidth);
        m_cursorY = m_columnTop;
        ++m_columnIndex;
    }
    r.Functions().SetIntegerConstant(QStringLiteral("COLUMNNUMBER"), m_columnIndex);
    if (!(m_columnIndex == 1 && m_pagesGenerated == 1))
        PlaceBand(r.ColumnHeaderBand());
    // Once: a header too high for a whole page would start page after page.
    if (!m_reprinting) {
        struct Reprinting
        {
            bool &on;
            ~Reprinting() { on = false; }
        } reprinting{m_reprinting = true};
        const std::vector<TRepCustomBand *> reprint = m_openGroupHeaders;
        for (TRepCustomBand *header : reprint)
            PlaceBand(header);
    }
}

void TRepGenerator::BeginNewPage()
{
    TRepReport &r = *m_report;
    const TRepPage &page = r.Page();
    FinishPage();
    if (m_exportFilter)
        m_exportFilter->NewPage();
    ++m_pagesGenerated;
    r.Functions().SetIntegerConstant(QStringLiteral("PAGENUMBER"), m_pagesGenerated);
    if (m_drawPass || m_pagesGenerated == 1) {
        m_store->NewPage();
        // The page just finished shows in the preview before the next one
        // is drawn.
        if (m_pagesGenerated > 1 && m_store == m_previewStore.get() && m_store->ViewingWindow())
            ProcessMessages();
    }
    m_cursorY = TRepDeviceMap::RoundHalfEven(page.NativeValue(TRepPage::TopMarginIndex));
    if (r.OnStartPage)
        r.OnStartPage(&r);
    if (m_pagesGenerated > 1 || r.Options.testFlag(TRepReportOption::FirstPageHeader))
        PlaceBand(r.PageHeaderBand());
    m_columnTop = m_cursorY;
    m_columnIndex = 1;
    if (m_pagesGenerated == 1)
        if (TRepCustomBand *title = r.TitleBand())
            m_columnTop = TRepDeviceMap::RoundHalfEven(m_columnTop + title->HeightNative());
}

void TRepGenerator::FinishPage()
{
    if (m_pagesGenerated == 0)
        return;
    TRepReport &r = *m_report;
    TRepPrinter &store = *m_store;
    const TRepPage &page = r.Page();
    m_cursorY = TRepBandPlacement::FooterTop(page.NativeValue(TRepPage::LengthIndex),
                                             page.NativeValue(TRepPage::BottomMarginIndex), m_footerReserve);
    m_cursorX = TRepDeviceMap::RoundHalfEven(page.NativeValue(TRepPage::LeftMarginIndex));
    if (!m_lastPage || r.Options.testFlag(TRepReportOption::LastPageFooter)) {
        const bool was = m_inFooter;
        m_inFooter = true;
        PlaceBand(r.PageFooterBand());
        m_inFooter = was;
    }
    for (TRepPrintable *e : r.Elements())
        TRepElementPrinter::Print(*e, 0, 0);
    if (m_drawPass || m_exportFilter) {
        const int l = store.ToDeviceX(page.NativeValue(TRepPage::LeftMarginIndex));
        const int t = store.ToDeviceY(page.NativeValue(TRepPage::TopMarginIndex));
        const int rr = store.ToDeviceX(page.NativeValue(TRepPage::WidthIndex) - page.NativeValue(TRepPage::RightMarginIndex));
        const int b = store.ToDeviceY(page.NativeValue(TRepPage::LengthIndex) - page.NativeValue(TRepPage::BottomMarginIndex));
        TRepElementPrinter::DrawFrame(store, r.Frame, QRect(QPoint(l, t), QPoint(rr - 1, b - 1)));
    }
    if (r.OnEndPage)
        r.OnEndPage(&r);
    if (m_exportFilter)
        m_exportFilter->EndPage();
}

TRepPrinter *TRepGenerator::CreatePreviewStore()
{
    m_previewStore = std::make_unique<TRepPrinter>(m_report);
    m_previewStore->SetRequestTarget(this);
    m_previewStore->SetTitle(m_report->ReportTitle);
    m_previewStore->CopyReportSettings();
    return m_previewStore.get();
}

void TRepGenerator::FreePreviewStore()
{
    if (m_store == m_previewStore.get())
        m_store = nullptr;
    m_previewStore.reset();
}

bool TRepGenerator::PreviewRunning()
{
    return g_previewRunning;
}

void TRepGenerator::ShowPreview()
{
    ProcessMessages();
    // One preview at a time: a second one would replace the page store the
    // open window still shows.
    if (!m_available || g_previewRunning)
        return;
    g_previewRunning = true;
    struct Running
    {
        ~Running() { g_previewRunning = false; }
    } running;
    TRepReport &r = *m_report;
    TRepPrinter *store = CreatePreviewStore();
    if (r.OnPreview)
        r.OnPreview(&r);
    else if (PreviewWindowFactory)
        m_previewWindow = PreviewWindowFactory(&r, store);
    GenerateInto(store);
    store->SetPagesFinal(true);
    if (r.AfterPreview)
        r.AfterPreview(&r);
    if (m_cancelled || store->Cancelled()) {
        FreePreviewStore();
        return;
    }
    if (m_previewWindow) {
        // Until the window is closed (hidden or freed) or the application
        // ends.
        QEventLoop loop;
        connect(m_previewWindow.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
        connect(qApp, &QCoreApplication::aboutToQuit, &loop, &QEventLoop::quit);
        WindowWatch watch(&loop);
        m_previewWindow->installEventFilter(&watch);
        if (m_previewWindow->isVisible())
            loop.exec();
        if (m_previewWindow)
            m_previewWindow->removeEventFilter(&watch);
        FreePreviewStore();
    }
}

void TRepGenerator::PrintToPrinter()
{
    if (!m_available || !TRepPrinter::PrintersExist())
        return;
    auto store = std::make_unique<TRepPrinter>(m_report);
    store->SetOutputTarget(TRepPrinter::Printer);
    const auto progress = ShowProgressFor(store.get(), false);
    GenerateInto(store.get());
}

void TRepGenerator::ExportWithFilter(TRepExportFilter *filter)
{
    if (!m_available || !filter)
        return;
    m_exportFilter = filter;
    m_drawPass = false;
    auto store = std::make_unique<TRepPrinter>(m_report);
    filter->Attach(m_report, store.get());
    const auto progress = ShowProgressFor(store.get(), true);
    // The filter is detached and drawing restored however the pass ends.
    struct Detach
    {
        TRepGenerator *g;
        TRepExportFilter *f;
        ~Detach()
        {
            f->Attach(nullptr, nullptr);
            g->m_exportFilter = nullptr;
            g->m_drawPass = true;
        }
    } detach{this, filter};
    GenerateInto(store.get());
}

void TRepGenerator::GenerateInto(TRepPrinter *store)
{
    // The previous store is put back however the pass ends.
    struct PutBack
    {
        TRepPrinter *&slot;
        TRepPrinter *previous;
        ~PutBack() { slot = previous; }
    } putBack{m_store, m_store};
    m_store = store;
    GenerateReport();
}

std::unique_ptr<TRepProgressForm> TRepGenerator::ShowProgressFor(TRepPrinter *store, bool exporting)
{
    if (!m_report->ShowProgress)
        return nullptr;
    auto progress = std::make_unique<TRepProgressForm>(store, exporting);
    store->SetViewingWindow(progress.get());
    progress->show();
    return progress;
}

void TRepGenerator::RunPrinterSetup()
{
    TRepReport &r = *m_report;
    QPrinter *printer = TRepPrinter::StandardPrinter();
    const QStringList names = QPrinterInfo::availablePrinterNames();
    const int index = r.PrinterSettings.PrinterIndex;
    if (index >= 0 && index < names.size())
        printer->setPrinterName(names.at(index));
    printer->setPageOrientation(r.Page().Orientation() == poLandscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
    printer->setCopyCount(std::max(1, r.PrinterSettings.Copies));
    // The dialog offers the report's own paper; another one chosen there is
    // the paper the report prints on from then on.
    if (const int code = TRepPaperTable::PaperCode(r.Page().PaperSize()); code > 0) {
        const QPageSize::PageSizeId id = QPageSize::id(code);
        if (id != QPageSize::Custom)
            printer->setPageSize(QPageSize(id));
    }
    const QPageSize offered = printer->pageLayout().pageSize();

    QPrintDialog dialog(printer);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    TRepPrinter *store = m_previewStore.get();
    if (store && store->StoreState() == TRepPrinter::Ready && store->PageTotal() > 0) {
        dialog.setMinMax(1, store->PageTotal());
        printer->setFromTo(1, store->PageTotal());
    } else {
        dialog.setMinMax(0, 9999);
    }
    const bool ok = ExecPrintDialog ? ExecPrintDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) {
        r.Tag = 1;
        return;
    }
    r.Tag = 0;
    const int chosen = int(QPrinterInfo::availablePrinterNames().indexOf(printer->printerName()));
    r.PrinterSettings.Copies = std::max(1, printer->copyCount());
    r.PrinterSettings.PrinterIndex = chosen;
    r.Page().SetOrientation(printer->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape
                                                                                            : poPortrait);
    const QPageSize chosenPaper = printer->pageLayout().pageSize();
    if (chosenPaper.isValid() && !chosenPaper.isEquivalentTo(offered)) {
        const std::optional<TRepPaperSize> size = TRepPaperTable::FromPaperCode(chosenPaper.windowsId());
        if (size && *size != TRepPaperSize::Custom && *size != TRepPaperSize::Default) {
            r.Page().SetPaperSize(*size);
        } else {
            const QSizeF mm = chosenPaper.size(QPageSize::Millimeter);
            const bool landscape = r.Page().Orientation() == poLandscape;
            r.Page().SetPaperSize(TRepPaperSize::Custom);
            r.Page().SetWidth(std::round((landscape ? mm.height() : mm.width()) * 10.0));
            r.Page().SetLength(std::round((landscape ? mm.width() : mm.height()) * 10.0));
        }
    }
    TPrinterSettings read;
    read.ReadFrom(*printer);
    TRepReportPrinterSettings &choice = r.PrinterSetupSettings;
    choice.CustomBinCode = TPrinterSettings::BinCodeFromQt(int(printer->paperSource()));
    if (auto bin = TRepReportPrinterSettings::BinFromCode(choice.CustomBinCode))
        choice.OutputBin = *bin;
    choice.ExtendedDuplex = read.ExtendedDuplex;
    choice.Duplex = read.Duplex;
    choice.PrintQuality = read.PrintQuality;
    choice.Collate = printer->collateCopies() ? 1 : 0;
    choice.ColorOption = read.ColorOption;
    choice.Copies = r.PrinterSettings.Copies;
    choice.Orientation = r.Page().Orientation();
    choice.PrinterIndex = chosen;
    choice.CustomPaperCode = printer->pageLayout().pageSize().windowsId();
    const bool pageRange = printer->printRange() == QPrinter::PageRange;
    choice.FirstPage = pageRange ? printer->fromPage() : 0;
    choice.LastPage = pageRange ? printer->toPage() : 0;
    r.PrinterSettings.FirstPage = choice.FirstPage;
    r.PrinterSettings.LastPage = choice.LastPage;
}

bool TRepGenerator::event(QEvent *e)
{
    if (e->type() == TRepNotifyEvent::PrintRequest) {
        PrintToPrinter();
        return true;
    }
    if (e->type() == TRepNotifyEvent::PreviewClosed) {
        if (!m_available)
            Cancel();
        return true;
    }
    return QObject::event(e);
}
