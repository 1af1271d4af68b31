#pragma once
// The list screens are never minimised: the minimise command hands the
// screen to the main window's window bar instead, which hides it and shows a
// button to bring it back. Every other window command (maximise, move, size,
// close) keeps its ordinary handling.
#include <QObject>

class QWidget;

class TWindowBarHook : public QObject
{
    Q_OBJECT
public:
    // Watches `screen` (a top-level window) for as long as it lives.
    explicit TWindowBarHook(QWidget *screen);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_screen;
    bool m_handing = false;
};
