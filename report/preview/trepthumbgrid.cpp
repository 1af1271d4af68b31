#include "report/preview/trepthumbgrid.h"

#include "report/preview/treppreviewimage.h"
#include "report/print/trepprinter.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCache>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>

#include <cmath>

class TRepThumbGrid::Model : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DisplayRole && index.isValid())
            return index.row() + 1;
        return QVariant();
    }
    void SetRows(int n)
    {
        if (n == rows)
            return;
        beginResetModel();
        rows = n;
        endResetModel();
    }
    int rows = 0;
};

class TRepThumbGrid::Cache
{
public:
    QCache<quint64, QPixmap> pixmaps{TRepThumbGrid::CacheSize};
    static quint64 KeyOf(int page, QSize s)
    {
        return (quint64(quint32(page)) << 32) | (quint64(quint16(s.width())) << 16) | quint16(s.height());
    }
};

// Draws a row: the page like the page image, then its number at the
// cell's top-left corner on the button face.
class TRepThumbDelegate : public QStyledItemDelegate
{
public:
    explicit TRepThumbDelegate(TRepThumbGrid *grid)
        : QStyledItemDelegate(grid), m_grid(grid)
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QRect cell = option.rect;
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        painter->fillRect(cell, selected ? option.palette.highlight() : option.palette.base());
        const int colWidth = m_grid->width() - 4;
        const int t = colWidth - 20;
        const QRect page(QPoint(cell.left() + (colWidth - t) / 2, cell.top() + 10),
                         QPoint(cell.right() + 1 - 30, cell.bottom() + 1 - 10));
        if (page.width() > 4 && page.height() > 4)
            painter->drawPixmap(page.topLeft(), m_grid->Thumbnail(index.row() + 1, page.size()));
        const QString number = QString::number(index.row() + 1);
        const QFontMetrics fm(option.font);
        const QRect box(cell.topLeft(), QSize(fm.horizontalAdvance(number) + 4, fm.height()));
        painter->fillRect(box, option.palette.button());
        painter->setPen(option.palette.buttonText().color());
        painter->drawText(box, Qt::AlignCenter, number);
    }

private:
    TRepThumbGrid *m_grid;
};

TRepThumbGrid::TRepThumbGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new Model(this))
    , m_cache(std::make_unique<Cache>())
{
    setObjectName(QStringLiteral("ThumbGrid"));
    setModel(m_model);
    setItemDelegate(new TRepThumbDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(false);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &current) {
        if (!m_selecting && current.isValid())
            emit PageSelected(current.row() + 1);
    });
}

TRepThumbGrid::~TRepThumbGrid() = default;

void TRepThumbGrid::SetStore(TRepPrinter *store)
{
    m_store = store;
    m_cache->pixmaps.clear();
}

int TRepThumbGrid::PageCount() const
{
    return m_model->rows;
}

void TRepThumbGrid::SetPageCount(int pages, bool pagesReplaced)
{
    if (pagesReplaced)
        m_cache->pixmaps.clear();
    m_model->SetRows(std::max(0, pages));
    UpdateRowHeight();
}

void TRepThumbGrid::SelectPage(int n)
{
    if (n < 1 || n > m_model->rows)
        return;
    m_selecting = true;
    const QModelIndex index = m_model->index(n - 1, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    m_selecting = false;
}

int TRepThumbGrid::CachedThumbnails() const
{
    return int(m_cache->pixmaps.count());
}

int TRepThumbGrid::ThumbRowHeight() const
{
    double w = 2100, l = 2970;
    if (m_store) {
        w = m_store->PaperWidth();
        l = m_store->PaperLength();
    }
    const int h = QFontMetrics(font()).height();
    const int t = width() - 4 - 20;
    if (w <= 0 || t <= 0)
        return std::max(1, h);
    return std::max(h + 1, int(std::lround(t * l / w - h)));
}

void TRepThumbGrid::UpdateRowHeight()
{
    verticalHeader()->setDefaultSectionSize(ThumbRowHeight());
}

void TRepThumbGrid::resizeEvent(QResizeEvent *e)
{
    QTableView::resizeEvent(e);
    UpdateRowHeight();
}

QPixmap TRepThumbGrid::Thumbnail(int page, QSize size)
{
    const quint64 key = Cache::KeyOf(page, size);
    if (QPixmap *hit = m_cache->pixmaps.object(key))
        return *hit;
    auto pix = std::make_unique<QPixmap>(size);
    pix->fill(Qt::transparent);
    const TRepMetafile mf = TRepPreviewImage::ReadPage(m_store, page);
    {
        QPainter p(pix.get());
        TRepPreviewImage::PaintPage(p, mf, QRect(QPoint(0, 0), size));
    }
    ++m_painted;
    QPixmap out = *pix;
    if (!mf.IsNull())
        m_cache->pixmaps.insert(key, pix.release());
    return out;
}
