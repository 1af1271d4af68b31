#include "report/preview/treppreview.h"

#include "report/model/trepreport.h"
#include "report/preview/treppreviewimage.h"
#include "report/print/trepnotifyevent.h"
#include "report/print/trepprinter.h"

#include <QResizeEvent>
#include <QScrollBar>

#include <cmath>

TRepPreview::TRepPreview(QWidget *parent)
    : QScrollArea(parent)
    , m_image(new TRepPreviewImage)
{
    setObjectName(QStringLiteral("TRepPreview"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignCenter);
    setWidget(m_image);
    setFocusPolicy(Qt::StrongFocus);
}

TRepPreview::~TRepPreview()
{
    if (m_store && m_store->ViewingWindow() == this)
        m_store->SetViewingWindow(nullptr);
}

void TRepPreview::AttachStore(TRepPrinter *store)
{
    m_store = store;
    m_image->Clear();
    m_pageNumber = 1;
    if (!store)
        return;
    store->SetPreviewOpen(true);
    store->SetViewingWindow(this);
    if (PageTotal() >= 1)
        LoadPage(1);
}

int TRepPreview::PageTotal() const
{
    return m_store ? m_store->PageCount() : 0;
}

void TRepPreview::LoadPage(int n)
{
    const TRepMetafile page = TRepPreviewImage::ReadPage(m_store, n);
    const QSize before = PagePixels();
    m_image->SetMetafile(page);
    if (PagePixels() != before)
        ApplyZoom(m_zoom, m_zoomState);
}

bool TRepPreview::GotoPage(int n)
{
    if (n <= 0 || n > PageTotal())
        return false;
    if (n == m_pageNumber && m_image->Loaded())
        return false;
    LoadPage(n);
    m_pageNumber = n;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    return true;
}

void TRepPreview::Reload()
{
    m_image->Clear();
    m_pageNumber = 1;
    if (PageTotal() >= 1)
        LoadPage(1);
    ApplyZoom(m_zoom, m_zoomState);
}

QSize TRepPreview::PagePixels() const
{
    // The page shown knows its own size; before a page is there the
    // store's paper stands for it.
    if (m_image->Loaded())
        return QSize(m_image->Metafile().Width(), m_image->Metafile().Height());
    if (!m_store)
        return QSize(794, 1123);
    return QSize(int(std::lround(m_store->PaperWidth() * m_store->ScaleX())),
                 int(std::lround(m_store->PaperLength() * m_store->ScaleY())));
}

QSize TRepPreview::ImageSize() const
{
    const QSize page = PagePixels();
    return QSize(int(std::lround(page.width() / 100.0 * m_zoom)) + 4,
                 int(std::lround(page.height() / 100.0 * m_zoom)) + 4);
}

int TRepPreview::FitZoom(QSize box) const
{
    const QSize page = PagePixels();
    if (page.width() <= 0 || page.height() <= 0)
        return 100;
    const int zw = int(std::lround(double(box.width()) / page.width() * 95));
    const int zh = int(std::lround(double(box.height()) / page.height() * 95));
    return std::clamp(std::min(zw, zh), MinZoom, MaxZoom);
}

int TRepPreview::WidthZoom(int boxWidth) const
{
    const QSize page = PagePixels();
    if (page.width() <= 0)
        return 100;
    return std::clamp(int(std::lround(double(boxWidth) / page.width() * 90)), MinZoom, MaxZoom);
}

void TRepPreview::ApplyZoom(int zoom, TRepZoomState state)
{
    m_zoom = std::clamp(zoom, MinZoom, MaxZoom);
    m_zoomState = state;
    LayoutImage();
}

void TRepPreview::SetZoom(int zoom)
{
    if (zoom < MinZoom || zoom > MaxZoom)
        return;
    ApplyZoom(zoom, rzZoomOther);
}

void TRepPreview::ZoomToFit()
{
    ApplyZoom(FitZoom(size()), rzZoomToFit);
}

void TRepPreview::ZoomToWidth()
{
    ApplyZoom(WidthZoom(width()), rzZoomToWidth);
}

void TRepPreview::Zoom100()
{
    ApplyZoom(100, rzZoomOther);
}

void TRepPreview::LayoutImage()
{
    // The box centres an image smaller than itself ((box - image) div 2)
    // and places a larger one at 0.
    m_image->resize(ImageSize());
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TRepPreview::resizeEvent(QResizeEvent *e)
{
    QScrollArea::resizeEvent(e);
    switch (m_zoomState) {
    case rzZoomToFit: ApplyZoom(FitZoom(size()), rzZoomToFit); break;
    case rzZoomToWidth: ApplyZoom(WidthZoom(width()), rzZoomToWidth); break;
    default: LayoutImage(); break;
    }
}

void TRepPreview::ScrollUpStep()
{
    QScrollBar *bar = verticalScrollBar();
    const int step = bar->singleStep();
    const int pos = bar->value() - step;
    if (pos <= 0 && m_pageNumber > 1) {
        GotoPage(m_pageNumber - 1);
        bar->setValue(bar->maximum() - step);
        return;
    }
    bar->setValue(pos);
}

void TRepPreview::ScrollDownStep()
{
    QScrollBar *bar = verticalScrollBar();
    const int pos = bar->value() + bar->singleStep();
    if (pos >= bar->maximum() && m_pageNumber < PageTotal()) {
        GotoPage(m_pageNumber + 1);
        return;
    }
    bar->setValue(pos);
}

bool TRepPreview::event(QEvent *e)
{
    if (e->type() == TRepNotifyEvent::PageAvailable) {
        const int n = static_cast<TRepNotifyEvent *>(e)->Value;
        if (n == m_pageNumber && !m_image->Loaded() && n <= PageTotal()) {
            LoadPage(n);
            TRepReport *report = m_store ? m_store->Report() : nullptr;
            if (report && report->PrevInitialZoom == rzZoomToWidth)
                ZoomToWidth();
        }
        emit PageAvailable(n);
        return true;
    }
    if (e->type() == TRepNotifyEvent::Progress) {
        emit ProgressUpdate(static_cast<TRepNotifyEvent *>(e)->Value);
        return true;
    }
    return QScrollArea::event(e);
}
