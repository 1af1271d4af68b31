#pragma once

#include <QEvent>

// A notification the page store posts to the window that shows it, and the
// requests it posts to its report: progress, page available, print request,
// preview closed. Value is the percentage or the page number.
class TRepNotifyEvent : public QEvent
{
public:
    static constexpr QEvent::Type Progress = QEvent::Type(QEvent::User + 100);
    static constexpr QEvent::Type PageAvailable = QEvent::Type(QEvent::User + 101);
    static constexpr QEvent::Type PrintRequest = QEvent::Type(QEvent::User + 102);
    static constexpr QEvent::Type PreviewClosed = QEvent::Type(QEvent::User + 104);

    TRepNotifyEvent(QEvent::Type type, int value)
        : QEvent(type), Value(value)
    {
    }

    static bool IsNotify(const QEvent *e)
    {
        return e->type() == Progress || e->type() == PageAvailable || e->type() == PrintRequest
            || e->type() == PreviewClosed;
    }

    int Value;
};
