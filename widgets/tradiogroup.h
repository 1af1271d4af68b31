#pragma once
// A captioned group of mutually exclusive choices laid out in columns, with
// the chosen item as an index. Changing the index, by a click or by the
// program, announces it with Click(): a screen that sets the choice from a
// record gets the same reaction as the user's click.
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

class TRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget *parent = nullptr);

    // Replaces the choices; none is chosen afterwards (index -1). Items fill
    // the columns one after the other, each column as tall as needed.
    void SetItems(const QStringList &items, int columns = 1);
    QStringList Items() const { return m_items; }
    int Columns() const { return m_columns; }

    int ItemIndex() const { return m_index; }
    void SetItemIndex(int index);

    QRadioButton *Button(int index) const;

signals:
    void Click();

private:
    void Choose(int index);

    QStringList m_items;
    int m_columns = 1;
    int m_index = -1;
    QButtonGroup *m_group;
    QGridLayout *m_layout;
};
