#include "widgets/tradiogroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(QWidget *parent)
    : QGroupBox(parent)
    , m_group(new QButtonGroup(this))
    , m_layout(new QGridLayout(this))
{
    m_layout->setContentsMargins(8, 4, 8, 4);
    m_layout->setVerticalSpacing(2);
    connect(m_group, &QButtonGroup::idClicked, this, &TRadioGroup::Choose);
}

void TRadioGroup::SetItems(const QStringList &items, int columns)
{
    for (QAbstractButton *b : m_group->buttons()) {
        m_group->removeButton(b);
        delete b;
    }
    m_items = items;
    m_columns = qMax(1, columns);
    m_index = -1;
    const int rows = (items.size() + m_columns - 1) / m_columns;
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        button->setObjectName(QStringLiteral("Item%1").arg(i));
        m_group->addButton(button, i);
        // Column by column: the first column takes the first items.
        m_layout->addWidget(button, i % qMax(1, rows), i / qMax(1, rows));
    }
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < -1 || index >= m_items.size())
        index = -1;
    Choose(index);
}

QRadioButton *TRadioGroup::Button(int index) const
{
    return qobject_cast<QRadioButton *>(m_group->button(index));
}

void TRadioGroup::Choose(int index)
{
    const bool changed = index != m_index;
    m_index = index;
    if (index >= 0) {
        if (QAbstractButton *b = m_group->button(index))
            b->setChecked(true);
    } else if (QAbstractButton *b = m_group->checkedButton()) {
        m_group->setExclusive(false);
        b->setChecked(false);
        m_group->setExclusive(true);
    }
    // A click on the chosen item changes nothing but still counts as a click.
    if (changed || sender() == m_group)
        emit Click();
}
