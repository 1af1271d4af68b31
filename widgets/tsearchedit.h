#pragma once
// The search box of a list screen: Enter (either key) asks for the search
// and is consumed, so the text box never sees it.
#include <QLineEdit>

class TSearchEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TSearchEdit(QWidget *parent = nullptr);

signals:
    void SearchRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
