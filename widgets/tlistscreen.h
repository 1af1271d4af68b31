#pragma once
// What every list screen shares: a top-level window owned by the main
// window that destroys itself when closed, is centred on the desktop when
// first shown (a second screen of the same kind a step down and right of
// the first, not hiding it exactly), previews keys, and goes to the window
// bar instead of being minimised.
#include <QWidget>

class TKeyPreview;

class TListScreen : public QWidget
{
    Q_OBJECT
public:
    explicit TListScreen(QWidget *owner = nullptr);

    TKeyPreview *KeyPreview() const { return m_keyPreview; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    TKeyPreview *m_keyPreview;
    bool m_placed = false;
};
