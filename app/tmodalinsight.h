#pragma once
// A modal window never goes out of sight: the windows under it wait for its
// answer, so a minimise that reaches it anyway (a window manager's key, its
// window list, or the family of a minimised owner) is undone at once.
#include <QObject>

class TModalInSight : public QObject
{
    Q_OBJECT
public:
    // Watches every window of the running application, once.
    static void Install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
