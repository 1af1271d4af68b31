#pragma once

#include "report/page/trepmetafile.h"

#include <QWidget>

class TRepPrinter;

// The page inside the preview's scroll box: the current page's record
// stretched over the widget, with a one-pixel outline and a two-pixel
// shadow on the right and bottom. Only the exposed part is painted, so a
// page at 2000 % costs what the visible window costs.
class TRepPreviewImage : public QWidget
{
    Q_OBJECT
public:
    explicit TRepPreviewImage(QWidget *parent = nullptr);

    const TRepMetafile &Metafile() const { return m_page; }
    void SetMetafile(const TRepMetafile &page);
    void Clear() { SetMetafile(TRepMetafile()); }
    bool Loaded() const { return !m_page.IsNull(); }

    // Paints a page into a w x h rectangle at `origin` the way the image
    // shows it (white sheet, page, outline, shadow); the thumbnails use it
    // too. `clip` limits the painting; an empty clip paints it all.
    static void PaintPage(QPainter &painter, const TRepMetafile &page, const QRect &rect,
                          const QRect &clip = QRect());

    // Page n of a store, or a null page when there is none or its record
    // cannot be read (it then shows as nothing).
    static TRepMetafile ReadPage(const TRepPrinter *store, int n);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    TRepMetafile m_page;
};
