#include "widgets/tdbcombobox.h"

#include "app/tguard.h"
#include "data/tfbfield.h"
#include "widgets/tdbfieldlink.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {
class TComboItemDelegate : public QStyledItemDelegate
{
public:
    explicit TComboItemDelegate(TDBComboBox *box)
        : QStyledItemDelegate(box), m_box(box)
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const bool highlighted = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
        painter->save();
        painter->setFont(option.font);
        m_box->PaintItem(painter, option.rect, index.row(), highlighted);
        painter->restore();
    }

private:
    TDBComboBox *m_box;
};
} // namespace

TDBComboBox::TDBComboBox(QWidget *parent)
    : TDBControl(parent)
{
    setEditable(false);
    connect(m_link, &TDBFieldLink::Refresh, this, &TDBComboBox::ShowField);
    connect(this, &QComboBox::activated, this, &TDBComboBox::OnActivated);
}

TDBComboBox::TDBComboBox(const QString &objectName, TFbQuery *query, const QString &fieldName,
                         QWidget *parent)
    : TDBComboBox(parent)
{
    Bind(objectName, query, fieldName);
}

void TDBComboBox::SetItems(const QStringList &items)
{
    m_showing = true;
    clear();
    addItems(items);
    m_showing = false;
    ShowField();
}

void TDBComboBox::SetItemColorRule(ItemColorRule rule)
{
    m_rule = std::move(rule);
    view()->setItemDelegate(new TComboItemDelegate(this));
    update();
}

void TDBComboBox::ShowField()
{
    const TFbField *f = m_link->Field();
    const int index = f ? findText(f->AsString(), Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
    if (index != currentIndex()) {
        m_showing = true;
        setCurrentIndex(index);
        m_showing = false;
    }
}

void TDBComboBox::OnActivated(int index)
{
    if (m_showing)
        return;
    if (!m_link->BeginEdit()) {
        ShowField();
        return;
    }
    const QString text = index >= 0 ? itemText(index) : QString();
    if (!Guard([this, text] { m_link->Write(text); }))
        ShowField();
}

QColor TDBComboBox::ItemBackground(int index, bool highlighted) const
{
    Q_UNUSED(index);
    if (highlighted && m_rule)
        return QColor(255, 255, 255);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    return highlighted ? palette().color(group, QPalette::Highlight) : palette().color(group, QPalette::Base);
}

QColor TDBComboBox::ItemTextColor(int index) const
{
    if (m_rule) {
        if (const std::optional<QColor> c = m_rule(index))
            return *c;
    }
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    return palette().color(group, QPalette::Text);
}

void TDBComboBox::PaintItem(QPainter *painter, const QRect &rect, int index, bool highlighted) const
{
    painter->fillRect(rect, ItemBackground(index, highlighted));
    if (index < 0 || index >= count())
        return;
    painter->setPen(ItemTextColor(index));
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, itemText(index));
}

void TDBComboBox::paintEvent(QPaintEvent *event)
{
    if (!m_rule) {
        QComboBox::paintEvent(event);
        return;
    }
    // The frame and the arrow as the style draws them; the chosen item as
    // the list paints it, highlighted while the box has the focus.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                QStyle::SC_ComboBoxEditField, this);
    PaintItem(&painter, field, currentIndex(), hasFocus());
}
