#include "report/print/trepprinter.h"

#include "report/model/ereperror.h"
#include "report/model/treppapertable.h"
#include "report/model/trepreport.h"
#include "report/page/trepemfcanvas.h"
#include "report/page/treppaintercanvas.h"
#include "report/print/trepnotifyevent.h"
#include "report/print/trepprogressform.h"
#include "report/store/treppagelist.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace {

// Pages are recorded at the resolution text is measured at.
constexpr double ScreenDpi = 96.0;

bool g_loadedFile = false;

} // namespace

TRepPrinter::TRepPrinter(TRepReport *report, QObject *parent)
    : QObject(parent)
    , m_report(report)
{
    if (m_report) {
        m_settings.UseStandardPrinter = m_report->PrinterSettings.UseStandardprinter;
        m_settings.MemoryLimit = m_report->PrinterSettings.MemoryLimit;
    }
    if (m_settings.UseStandardPrinter) {
        m_printer = StandardPrinter();
    } else {
        m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer = m_ownPrinter.get();
    }
    if (PrintersExist()) {
        // The store starts on the printer the report names.
        const int index = m_report ? m_report->PrinterSettings.PrinterIndex : -1;
        SelectPrinter(m_settings.UseStandardPrinter ? -2 : index);
        if (!m_settings.UseStandardPrinter)
            StandardPrinter()->setPrinterName(m_printer->printerName());
    }
    ResetScaleToScreen();
}

TRepPrinter::~TRepPrinter()
{
    if (m_jobOpen && m_painter && m_painter->isActive()) {
        m_printer->abort();
        m_painter->end();
    }
    m_canvas.reset();
}

QPrinter *TRepPrinter::StandardPrinter()
{
    static QPrinter *printer = new QPrinter(QPrinter::HighResolution);
    return printer;
}

bool TRepPrinter::PrintersExist()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool TRepPrinter::LoadedFileFlag()
{
    return g_loadedFile;
}

void TRepPrinter::SetLoadedFileFlag(bool on)
{
    g_loadedFile = on;
}

void TRepPrinter::SetOutputTarget(TOutputTarget target)
{
    if (m_state == Idle)
        m_target = target;
}

void TRepPrinter::SetPrintRange(int firstPage, int lastPage)
{
    m_settings.FirstPage = firstPage;
    m_settings.LastPage = lastPage;
}

void TRepPrinter::SelectPrinter(int index)
{
    if (!PrintersExist())
        return;
    if (index != -2) {
        // -2: keep the printer object's own choice (the standard printer).
        const QStringList names = QPrinterInfo::availablePrinterNames();
        QString name;
        if (index >= 0 && index < names.size())
            name = names.at(index);
        else
            name = QPrinterInfo::defaultPrinterName();
        if (name.isEmpty())
            name = names.first();
        if (m_printer->printerName() != name)
            m_printer->setPrinterName(name);
    } else if (m_printer->printerName().isEmpty()) {
        const QString def = QPrinterInfo::defaultPrinterName();
        m_printer->setPrinterName(def.isEmpty() ? QPrinterInfo::availablePrinterNames().first() : def);
    }
    if (m_report) {
        TRepReport *report = m_report;
        m_settings.OnGetPrinterSettings = report->OnGetPrinterSettings
            ? std::function<void(bool &, QPrinter *)>(
                [report](bool &cancel, QPrinter *p) { report->OnGetPrinterSettings(report, cancel, p); })
            : nullptr;
    }
    m_settings.ReadFrom(*m_printer);
}

void TRepPrinter::CopyReportSettings()
{
    if (!m_report)
        return;
    const TRepReportPrinterSettings &rs = m_report->PrinterSettings;
    if (PrintersExist() && !m_settings.UseStandardPrinter)
        SelectPrinter(rs.PrinterIndex);
    const TRepPage &page = m_report->Page();
    m_settings.CopyFrom(rs, page);
    m_keepReportPaper = !m_settings.Supports(page.PaperSize());
    m_reportPaperWidth = page.NativeValue(TRepPage::WidthIndex);
    m_reportPaperLength = page.NativeValue(TRepPage::LengthIndex);
    TRepReport *report = m_report;
    m_settings.OnGetPrinterSettings = report->OnGetPrinterSettings
        ? std::function<void(bool &, QPrinter *)>(
            [report](bool &cancel, QPrinter *p) { report->OnGetPrinterSettings(report, cancel, p); })
        : nullptr;
    m_settings.OnApplyPrinterSettings = report->OnApplyPrinterSettings
        ? std::function<void(bool &, QPrinter *)>(
            [report](bool &cancel, QPrinter *p) { report->OnApplyPrinterSettings(report, cancel, p); })
        : nullptr;
}

void TRepPrinter::ResetScaleToScreen()
{
    m_map.ScaleX = m_map.ScaleY = TRepDeviceMap::ScaleFor(ScreenDpi);
}

void TRepPrinter::SetScaleFromPrinter()
{
    m_map.ScaleX = TRepDeviceMap::ScaleFor(m_settings.PixelsPerInchX);
    m_map.ScaleY = TRepDeviceMap::ScaleFor(m_settings.PixelsPerInchY);
    if (m_map.ScaleX < 0.1)
        m_map.ScaleX = TRepDeviceMap::ScaleFor(ScreenDpi);
    if (m_map.ScaleY < 0.1)
        m_map.ScaleY = TRepDeviceMap::ScaleFor(ScreenDpi);
}

void TRepPrinter::Post(QObject *to, int type, int value) const
{
    if (to)
        QCoreApplication::postEvent(to, new TRepNotifyEvent(QEvent::Type(type), value));
}

void TRepPrinter::SetProgress(int percent)
{
    m_progress = percent;
    Post(m_viewer, TRepNotifyEvent::Progress, percent);
}

// A pass on a printer without the report's paper lays the page out on the
// report's paper too, and OpenPage shrinks it onto the printer's paper: the
// whole page prints, footer included.
double TRepPrinter::PaperWidth() const
{
    if (m_keepReportPaper)
        return m_reportPaperWidth;
    return m_settings.ExtentWidth();
}

double TRepPrinter::PaperLength() const
{
    if (m_keepReportPaper)
        return m_reportPaperLength;
    return m_settings.ExtentLength();
}

int TRepPrinter::PageCount() const
{
    return m_pages ? m_pages->PageCount() : 0;
}

void TRepPrinter::StartDocument()
{
    if (m_state != Idle)
        throw ERepError("Report printer not ready");
    m_canvas.reset();
    m_emf = nullptr;
    m_availablePages = 0;
    m_progress = 0;
    m_cancelled = false;
    m_pageOpen = false;
    if (m_target == Printer) {
        if (PrintersExist()) {
            m_settings.ApplyTo(*m_printer);
            m_settings.ReadFrom(*m_printer);
        }
        m_map.PrinterOffsetX = m_settings.PhysicalOffsetX;
        m_map.PrinterOffsetY = m_settings.PhysicalOffsetY;
    } else {
        m_map.PrinterOffsetX = m_map.PrinterOffsetY = 0;
    }
    m_pageTotal = 0;
    m_pagesSinceStart = 0;
    m_state = Busy;
    if (m_target == PageStore) {
        m_pages = std::make_unique<TRepPageList>(m_settings.MemoryLimit);
        m_pages->SetCompression(m_compression);
        ResetScaleToScreen();
    } else {
        SetScaleFromPrinter();
    }
}

void TRepPrinter::ClosePage(bool keep)
{
    if (!m_pageOpen)
        return;
    m_pageOpen = false;
    if (m_pageRecorded) {
        TRepMetafile page;
        if (m_emf)
            page = m_emf->FinishMetafile();
        m_canvas.reset();
        m_emf = nullptr;
        if (keep && m_target == PageStore)
            m_pages->AddPage(page);
    } else {
        m_canvas.reset();
    }
}

void TRepPrinter::OpenPage()
{
    const bool inRange = PrintRange().Contains(m_pageTotal);
    if (m_target == PageStore || !inRange) {
        ResetScaleToScreen();
        const int w = TRepDeviceMap::RoundHalfEven(PaperWidth() * m_map.ScaleX);
        const int h = TRepDeviceMap::RoundHalfEven(PaperLength() * m_map.ScaleY);
        auto emf = std::make_unique<TRepEmfCanvas>(std::max(1, w), std::max(1, h));
        m_emf = emf.get();
        m_canvas = std::move(emf);
        m_pageRecorded = true;
    } else {
        if (!m_jobOpen) {
            m_printer->setDocName(m_title);
            m_painter = std::make_unique<QPainter>();
            if (!m_painter->begin(m_printer)) {
                m_painter.reset();
                throw ERepError(QStringLiteral("Could not start the print job on %1").arg(m_printer->printerName()));
            }
            m_jobOpen = true;
        }
        SetScaleFromPrinter();
        m_painter->setWorldTransform(
            m_keepReportPaper ? FitTransform(m_reportPaperWidth, m_reportPaperLength, m_settings.ExtentWidth(),
                                             m_settings.ExtentLength(), m_map.PrinterOffsetX, m_map.PrinterOffsetY,
                                             m_settings.PixelsPerInchX, m_settings.PixelsPerInchY)
                              : QTransform());
        m_canvas = std::make_unique<TRepPainterCanvas>(m_painter.get(), m_settings.PixelsPerInchY);
        m_emf = nullptr;
        m_pageRecorded = false;
    }
    m_pageOpen = true;
}

void TRepPrinter::NewPage()
{
    if (m_state != Busy)
        throw ERepError("Illegal call to NewPage");
    if (m_pageOpen) {
        const int closing = m_pageTotal;
        const bool wasPrinted = m_target == Printer && !m_pageRecorded;
        ClosePage(true);
        if (wasPrinted && PrintRange().Contains(closing + 1))
            m_printer->newPage();
        ++m_availablePages;
        Post(m_viewer, TRepNotifyEvent::PageAvailable, closing);
    }
    ++m_pageTotal;
    ++m_pagesSinceStart;
    OpenPage();
}

void TRepPrinter::EndJob()
{
    if (m_jobOpen) {
        m_jobOpen = false;
        m_canvas.reset();
        if (m_painter && m_painter->isActive())
            m_painter->end();
        m_painter.reset();
    }
}

void TRepPrinter::FinishDocument()
{
    if (m_state != Busy)
        return;
    if (m_target == Printer) {
        ClosePage(false);
        EndJob();
    } else if (m_pageOpen) {
        ClosePage(true);
    }
    m_availablePages = m_pageTotal;
    m_state = Ready;
    Post(m_viewer, TRepNotifyEvent::PageAvailable, m_availablePages);
    QCoreApplication::processEvents();
    if (m_target == PageStore && m_pages)
        m_pages->Finish();
    if (m_target == Printer && m_report && m_report->AfterPrint)
        m_report->AfterPrint(m_report);
}

void TRepPrinter::AbortDocument()
{
    if (m_target == Printer) {
        ClosePage(false);
        if (m_jobOpen) {
            m_printer->abort();
            EndJob();
        }
    } else if (m_pageOpen) {
        ClosePage(!m_exportActive);
    }
    // The page list keeps a header that matches its pages, so that an
    // aborted document can still be shown and saved.
    if (m_target == PageStore && m_pages && m_pages->PageCount() > 0)
        m_pages->Finish();
    m_availablePages = PageCount();
    m_state = Ready;
}

TRepMetafile TRepPrinter::PageMetafile(int n) const
{
    if ((m_state != Busy && m_state != Ready) || !m_pages)
        return TRepMetafile();
    if (n < 1 || n > std::max(m_pageTotal, m_pages->PageCount()))
        return TRepMetafile();
    return m_pages->ReadPage(n);
}

QRect TRepPrinter::StoredPageRect(double width, double length, double offsetX, double offsetY, double dpiX,
                                  double dpiY)
{
    const int left = -TRepDeviceMap::RoundHalfEven(offsetX * dpiX / 254.0);
    const int top = -TRepDeviceMap::RoundHalfEven(offsetY * dpiY / 254.0);
    const int right = TRepDeviceMap::RoundHalfEven((width - offsetX) * dpiX / 254.0);
    const int bottom = TRepDeviceMap::RoundHalfEven((length - offsetY) * dpiY / 254.0);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

double TRepPrinter::FitScale(double width, double length, double paperWidth, double paperLength)
{
    if (!(width > 0) || !(length > 0) || !(paperWidth > 0) || !(paperLength > 0))
        return 1.0;
    return std::min({1.0, paperWidth / width, paperLength / length});
}

QRect TRepPrinter::FittedPageRect(double width, double length, double paperWidth, double paperLength,
                                  double offsetX, double offsetY, double dpiX, double dpiY)
{
    const double s = FitScale(width, length, paperWidth, paperLength);
    if (s >= 1.0)
        return StoredPageRect(width, length, offsetX, offsetY, dpiX, dpiY);
    const double left = (paperWidth - width * s) / 2.0;
    const int l = TRepDeviceMap::RoundHalfEven((left - offsetX) * dpiX / 254.0);
    const int t = TRepDeviceMap::RoundHalfEven(-offsetY * dpiY / 254.0);
    const int r = TRepDeviceMap::RoundHalfEven((left + width * s - offsetX) * dpiX / 254.0);
    const int b = TRepDeviceMap::RoundHalfEven((length * s - offsetY) * dpiY / 254.0);
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

QTransform TRepPrinter::FitTransform(double width, double length, double paperWidth, double paperLength,
                                     double offsetX, double offsetY, double dpiX, double dpiY)
{
    const double s = FitScale(width, length, paperWidth, paperLength);
    if (s >= 1.0)
        return QTransform();
    // A native x lands at (x - offset) * dpi / 254 device pixels; shrunk and
    // centred it lands at (x * s + left - offset) * dpi / 254.
    const double left = (paperWidth - width * s) / 2.0;
    const double dx = ((s - 1.0) * offsetX + left) * dpiX / 254.0;
    const double dy = (s - 1.0) * offsetY * dpiY / 254.0;
    return QTransform(s, 0, 0, s, dx, dy);
}

void TRepPrinter::PrintStoredPages()
{
    if (m_report && m_requestTarget && !m_pagesFinal && !m_settings.PrintMetaFile && m_state == Ready) {
        Post(m_requestTarget, TRepNotifyEvent::PrintRequest, 0);
        return;
    }
    if (m_state != Ready || !PrintersExist() || !m_pages)
        return;
    const int total = m_pages->PageCount();
    const TRepPrintRange range = PrintRange();
    const int first = range.FirstOf(total);
    const int last = range.LastOf(total);
    if (first < 1 || last < first)
        return;

    if (m_jobOpen)
        EndJob();
    m_printer->setDocName(m_title);
    m_settings.ApplyTo(*m_printer);
    m_settings.ReadFrom(*m_printer);
    std::unique_ptr<TRepProgressForm> progress;
    if (m_report && m_report->ShowProgress) {
        progress = std::make_unique<TRepProgressForm>(this);
        progress->show();
    }
    QObject *oldViewer = m_viewer;
    if (progress)
        m_viewer = progress.get();
    m_cancelled = false;

    // The printer's own paper, as it took the settings.
    const double paperW = m_settings.ExtentWidth(), paperL = m_settings.ExtentLength();
    auto targetOf = [&](const TRepMetafile &mf) {
        double w = paperW, l = paperL;
        if (m_report && !m_loaded) {
            w = m_report->Page().NativeValue(TRepPage::WidthIndex);
            l = m_report->Page().NativeValue(TRepPage::LengthIndex);
        } else if (!mf.IsNull() && mf.Width() > 0 && mf.Height() > 0) {
            // A loaded page has the size it was recorded with.
            w = mf.Width() * 254.0 / ScreenDpi;
            l = mf.Height() * 254.0 / ScreenDpi;
        }
        return FittedPageRect(w, l, paperW, paperL, m_settings.PhysicalOffsetX, m_settings.PhysicalOffsetY,
                              m_settings.PixelsPerInchX, m_settings.PixelsPerInchY);
    };
    QPainter painter;
    auto finish = [&] {
        if (painter.isActive())
            painter.end();
        m_viewer = oldViewer;
        if (progress)
            progress->hide();
    };
    try {
        if (!painter.begin(m_printer))
            throw ERepError(QStringLiteral("Could not start the print job on %1").arg(m_printer->printerName()));
        const int count = last - first + 1;
        for (int page = first; page <= last; ++page) {
            QCoreApplication::processEvents();
            SetProgress(int(std::lround(double(page - first + 1) / count * 100.0)));
            const TRepMetafile mf = m_pages->ReadPage(page);
            if (!mf.IsNull())
                mf.Draw(painter, QRectF(targetOf(mf)));
            if (m_cancelled) {
                m_printer->abort();
                break;
            }
            if (page < last)
                m_printer->newPage();
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    if (m_report && m_report->AfterPrint)
        m_report->AfterPrint(m_report);
}

void TRepPrinter::SaveToFile(const QString &fileName) const
{
    if (m_state != Ready || !m_pages)
        return;
    m_pages->SaveToFile(fileName);
}

void TRepPrinter::LoadFromFile(const QString &fileName)
{
    if (m_state == Busy)
        throw ERepError("Report printer not ready");
    auto pages = std::make_unique<TRepPageList>(m_settings.MemoryLimit);
    pages->LoadFromFile(fileName);
    m_canvas.reset();
    m_emf = nullptr;
    m_pageOpen = false;
    m_pages = std::move(pages);
    m_pageTotal = m_availablePages = m_pages->PageCount();
    ResetScaleToScreen();
    if (m_pageTotal >= 1) {
        const TRepMetafile first = m_pages->ReadPage(1);
        // The page's size in whole 4-mm steps against the standard papers;
        // the last match wins.
        const int w4 = int(std::trunc(first.Width() * 25.4 / ScreenDpi / 4.0));
        const int l4 = int(std::trunc(first.Height() * 25.4 / ScreenDpi / 4.0));
        for (int s = int(TRepPaperSize::Letter); s <= int(TRepPaperSize::ESheet); ++s) {
            double pw = 0, pl = 0;
            if (!TRepPaperTable::DimensionsMM(TRepPaperSize(s), pw, pl))
                continue;
            const int pw4 = int(std::trunc(pw / 4.0));
            const int pl4 = int(std::trunc(pl / 4.0));
            if (pw4 == w4 && pl4 == l4) {
                m_settings.PaperSize = TRepPaperSize(s);
                m_settings.Orientation = poPortrait;
            } else if (pw4 == l4 && pl4 == w4) {
                m_settings.PaperSize = TRepPaperSize(s);
                m_settings.Orientation = poLandscape;
            }
        }
    }
    m_state = Ready;
    m_pagesFinal = true;
    m_loaded = true;
    m_requestTarget = nullptr;
    SetLoadedFileFlag(true);
}
