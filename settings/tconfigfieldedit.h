#pragma once
// A one-line editor bound to a text field of a dataset: it shows the field of
// the current row, writes what the user types into it (putting the dataset
// into editing when it was browsing), accepts at most the column's size, and
// is either locked (disabled, 3-D light) or open (enabled, white).
#include <QLineEdit>

class TFbField;

class TConfigFieldEdit : public QLineEdit
{
    Q_OBJECT
public:
    TConfigFieldEdit(TFbField *field, QWidget *parent = nullptr);

    TFbField *Field() const { return m_field; }
    void SetOpen(bool open);
    bool IsOpen() const { return isEnabled(); }
    // The colour an editor shows while locked: the system's 3-D light.
    static QColor LockedColor();

public slots:
    void Refresh();

private:
    void Write(const QString &text);

    TFbField *m_field;
    bool m_refreshing = false;
    bool m_writing = false;
};
