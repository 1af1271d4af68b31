#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class TRepPrinter;

// The small stay-on-top window shown while a report prints or exports: a
// progress bar, an information line and a Cancel button that cancels the
// page store's pass. It is the store's viewing window meanwhile.
class TRepProgressForm : public QDialog
{
    Q_OBJECT
public:
    explicit TRepProgressForm(TRepPrinter *store, bool exporting = false, QWidget *parent = nullptr);

    QProgressBar *ProgressBar() const { return m_bar; }
    QLabel *InfoLabel() const { return m_info; }
    QPushButton *CancelButton() const { return m_cancel; }

    // Shows a percentage (only multiples of 5 move the bar).
    void ShowProgress(int percent);

protected:
    bool event(QEvent *e) override;

private:
    TRepPrinter *m_store;
    QProgressBar *m_bar;
    QLabel *m_info;
    QPushButton *m_cancel;
};
