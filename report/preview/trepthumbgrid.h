#pragma once

#include <QPointer>
#include <QTableView>

#include <functional>

class TRepPrinter;

// The preview's thumbnail grid: one column, one row per page. Rows are
// painted only when they are visible, each from its page record, and a
// small cache keeps the last few thumbnails drawn, so that a report of ten
// thousand pages scrolls without holding its pages.
class TRepThumbGrid : public QTableView
{
    Q_OBJECT
public:
    static constexpr int CacheSize = 32;

    explicit TRepThumbGrid(QWidget *parent = nullptr);
    ~TRepThumbGrid() override;

    void SetStore(TRepPrinter *store);
    TRepPrinter *Store() const { return m_store; }
    // One row per page; the cache is dropped when the pages are replaced.
    void SetPageCount(int pages, bool pagesReplaced = false);
    int PageCount() const;
    // Selects row n - 1 without telling PageSelected.
    void SelectPage(int n);
    // Thumbnails painted so far and those held now.
    int PaintedThumbnails() const { return m_painted; }
    int CachedThumbnails() const;
    // Row height for the grid's width (thumbnail in the page's proportions).
    int ThumbRowHeight() const;

signals:
    // The user picked a row: its page.
    void PageSelected(int page);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    friend class TRepThumbDelegate;
    class Model;
    class Cache;
    QPixmap Thumbnail(int page, QSize size);
    void UpdateRowHeight();

    QPointer<TRepPrinter> m_store;
    Model *m_model;
    std::unique_ptr<Cache> m_cache;
    bool m_selecting = false;
    int m_painted = 0;
};
