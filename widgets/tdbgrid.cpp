#include "widgets/tdbgrid.h"

#include "app/tguard.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "widgets/tdbgrid_p.h"
#include "widgets/tfbquerymodel.h"
#include "widgets/trowcolors.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

TDBGridDelegate::TDBGridDelegate(TDBGrid *grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
{
}

void TDBGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    const QRect cell = option.rect;
    painter->save();
    painter->setClipRect(cell);
    painter->fillRect(cell, m_grid->RowBackground(index.row()));
    painter->setPen(m_grid->RowTextColor(index.row()));
    painter->setFont(option.font);
    painter->drawText(cell.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

TDBGrid::TDBGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new TFbQueryModel(this))
{
    // While the model changes its rows, the view and its selection move the
    // current index by themselves (off a row being removed). That is no
    // choice of the user and must not move the dataset, which is in the
    // middle of the change; the grid follows the dataset once the change is
    // done. Connected before setModel so that it runs before their handlers.
    for (auto changing : {&QAbstractItemModel::rowsAboutToBeRemoved, &QAbstractItemModel::rowsAboutToBeInserted})
        connect(m_model, changing, this, [this] { m_modelChanging = true; });
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_modelChanging = true; });
    setModel(m_model);
    setItemDelegate(new TDBGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    // Rows as high as a line of text, as the desktop grids have them.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this] { emit DblClick(); });
    // A screen at a shop's size shows a few dozen rows of a table that may
    // hold a million: a new row set reads what the grid shows, the rest as
    // the user scrolls.
    m_model->SetViewRows([this] { return RowsShown(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, &TDBGrid::FollowDataSet);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &TDBGrid::FollowDataSet);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &TDBGrid::FollowDataSet);
}

TDBGrid::~TDBGrid()
{
    // The model outlives the grid's own part: it must not ask it anything.
    m_model->SetViewRows({});
}

void TDBGrid::SetDataSet(TFbQuery *query)
{
    for (const auto &c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_model->SetDataSet(query);
    if (query) {
        m_connections << connect(query, &TFbQuery::currentRowChanged, this, &TDBGrid::FollowDataSet);
        // The selected row's colour goes with the current row; repaint on
        // every move and state change.
        m_connections << connect(query, &TFbQuery::stateChanged, viewport(),
                                 qOverload<>(&QWidget::update));
    }
    ApplyWidths();
    FollowDataSet();
}

TFbQuery *TDBGrid::DataSet() const
{
    return m_model->DataSet();
}

void TDBGrid::SetColumns(const QList<TGridColumn> &columns)
{
    m_model->SetColumns(columns);
    ApplyWidths();
    FollowDataSet();
}

void TDBGrid::ApplyWidths()
{
    const auto &columns = m_model->Columns();
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns.at(i).width > 0 ? columns.at(i).width : DefaultWidth(i));
}

int TDBGrid::DefaultWidth(int column) const
{
    // As wide as the field's usual text or the title, whichever is wider,
    // within reason: a 300-character note does not get a 2000-pixel column.
    const TGridColumn &c = m_model->Columns().at(column);
    const TFbQuery *q = DataSet();
    const TFbField *f = q ? q->FindField(c.fieldName) : nullptr;
    int chars = 10;
    if (f) {
        switch (f->Kind()) {
        case TFbFieldKind::String: chars = f->Size(); break;
        case TFbFieldKind::DateTime: chars = 10; break;
        default: chars = 10; break;
        }
    }
    chars = qBound(4, chars, 40);
    const QFontMetrics fm = fontMetrics();
    const QString title = c.title.isEmpty() ? c.fieldName : c.title;
    return qMax(chars * fm.horizontalAdvance(QLatin1Char('0')) + 4,
                fm.horizontalAdvance(title) + 12);
}

void TDBGrid::FollowDataSet()
{
    const TFbQuery *q = DataSet();
    const int row = q && q->Active() ? q->RecNo() : -1;
    m_modelChanging = false;
    // Scrolling to the row may read more rows, whose arrival calls this
    // again: the inner call must not end the outer one's following, or the
    // view's own adjustments afterwards are taken for the user's move.
    const bool wasFollowing = m_following;
    m_following = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const int column = qMax(0, currentIndex().column());
        const QModelIndex target = m_model->index(row, qMin(column, m_model->columnCount() - 1));
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect
                                                      | QItemSelectionModel::Rows);
        scrollTo(target);
    } else {
        selectionModel()->clear();
    }
    m_following = wasFollowing;
    viewport()->update();
}

void TDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || m_modelChanging || !current.isValid())
        return;
    TFbQuery *q = DataSet();
    if (!q || !q->Active() || current.row() == q->RecNo())
        return;
    // Moving posts a pending edit first, which may fail: the error is shown
    // and the grid goes back to the dataset's row.
    const int row = current.row();
    if (!Guard([q, row] { q->SetRecNo(row); }))
        FollowDataSet();
    viewport()->update();
}

QColor TDBGrid::RowBackground(int row) const
{
    const TFbQuery *q = DataSet();
    if (q && q->Active() && row == q->RecNo())
        return TRowColors::SkyBlue();
    return palette().color(QPalette::Active, QPalette::Base);
}

QColor TDBGrid::RowTextColor(int row) const
{
    if (m_rule) {
        if (const TFbQuery *q = DataSet(); q && q->Active() && row >= 0 && row < q->FetchedCount()) {
            if (const std::optional<QColor> color = m_rule(q, row))
                return *color;
        }
    }
    return palette().color(QPalette::Active, QPalette::Text);
}

std::optional<int> TDBGrid::IntAt(const TFbQuery *query, int row, const QString &fieldName)
{
    const TFbField *f = query ? query->FindField(fieldName) : nullptr;
    if (!f || row < 0 || row >= query->FetchedCount() || f->IsNullAt(row))
        return std::nullopt;
    bool ok = false;
    const int value = f->ValueAt(row).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString TDBGrid::TextAt(const TFbQuery *query, int row, const QString &fieldName)
{
    const TFbField *f = query ? query->FindField(fieldName) : nullptr;
    if (!f || row < 0 || row >= query->FetchedCount())
        return QString();
    return f->AsStringAt(row);
}

int TDBGrid::RowsShown() const
{
    if (!isVisible() && !testAttribute(Qt::WA_Resized))
        return 0;
    const int rowHeight = qMax(1, verticalHeader()->defaultSectionSize());
    // A grid laid out before it is shown gets its viewport's size only when
    // it is shown: until then the rows are counted from the grid's own size.
    int height = viewport()->height();
    if (testAttribute(Qt::WA_PendingResizeEvent)) {
        const int titles = horizontalHeader()->isHidden() ? 0 : horizontalHeader()->sizeHint().height();
        height = this->height() - 2 * frameWidth() - titles;
    }
    return qMax(1, (height + rowHeight - 1) / rowHeight);
}

void TDBGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    // Grown, or shown for the first time: the rows that came into view.
    m_model->FillView();
}

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    // The grid's delete-record key: deleting goes through the screen's
    // button, never straight from the grid.
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first click of the pair has already moved the current row.
    QTableView::mouseDoubleClickEvent(event);
    emit DblClick();
}

void TDBGrid::keyboardSearch(const QString &)
{
    // Typing letters in the grid does not jump between rows.
}
