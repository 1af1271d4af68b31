#pragma once

#include "report/model/treptypes.h"

#include <QPointer>
#include <QScrollArea>

class TRepPreviewImage;
class TRepPrinter;

// The preview control: a scroll box holding one page image of a page
// store. It knows the page shown, the zoom (2 to 2000 %) and how it was
// chosen, and turns the store's notifications into PageAvailable and
// ProgressUpdate.
class TRepPreview : public QScrollArea
{
    Q_OBJECT
public:
    static constexpr int MinZoom = 2;
    static constexpr int MaxZoom = 2000;

    explicit TRepPreview(QWidget *parent = nullptr);
    ~TRepPreview() override;

    // The store shown; attaching marks its preview-open flag and makes this
    // control its viewing window. The store is not owned.
    TRepPrinter *Store() const { return m_store; }
    void AttachStore(TRepPrinter *store);
    // Pages that can be shown now (complete pages of the store).
    int PageTotal() const;

    int PageNumber() const { return m_pageNumber; }
    // Shows page n (1-based): ignored when n is shown already, or outside
    // 1..PageTotal. Returns whether the page changed.
    bool GotoPage(int n);
    // Shows page 1 again from the store, whatever was shown (after a load).
    void Reload();
    TRepPreviewImage *Image() const { return m_image; }

    int Zoom() const { return m_zoom; }
    // Direct zoom: 2 to 2000, other values ignored; state rzZoomOther.
    void SetZoom(int zoom);
    TRepZoomState ZoomState() const { return m_zoomState; }
    void ZoomToFit();
    void ZoomToWidth();
    void Zoom100();
    // The zoom that fits the page or its width into a box of this outer
    // size, kept within MinZoom..MaxZoom.
    int FitZoom(QSize box) const;
    int WidthZoom(int boxWidth) const;
    // The page at 100 % without its border, in screen pixels.
    QSize PagePixels() const;
    // The image's size at the current zoom (page plus 4-pixel border).
    QSize ImageSize() const;
    // Places the image (centred when smaller than the box) and scrolls to
    // the top-left.
    void LayoutImage();

    // Up and Down keys: scroll by one step, crossing to the previous or
    // next page at the top or bottom.
    void ScrollUpStep();
    void ScrollDownStep();

signals:
    void PageAvailable(int pageNum);
    void ProgressUpdate(int progress);

protected:
    bool event(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void LoadPage(int n);
    void ApplyZoom(int zoom, TRepZoomState state);

    QPointer<TRepPrinter> m_store;
    TRepPreviewImage *m_image;
    int m_pageNumber = 1;
    int m_zoom = 100;
    TRepZoomState m_zoomState = rzZoomOther;
};
