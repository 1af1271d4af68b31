#pragma once
// For tests: while it lives, every message box is recorded instead of shown
// and answered from a queue of answers.
#include "app/tmessages.h"

#include <QList>
#include <QStringList>

class TMessageRecorder
{
public:
    TMessageRecorder();   // installs itself as the presenter
    ~TMessageRecorder();  // puts back the presenter it found
    TMessageRecorder(const TMessageRecorder &) = delete;
    TMessageRecorder &operator=(const TMessageRecorder &) = delete;

    // The answer to the next box (TMessages::Ok, Yes or No). Without a queued
    // answer an OK box answers Ok, a Yes/No box No and a Yes/No/Cancel box
    // Cancel, the answer that changes nothing.
    void QueueAnswer(int button);
    // Runs when a box is shown, after it has been recorded; it may act on the
    // screen (a box shown in the middle of a handler) or throw.
    void SetOnShow(std::function<void(const TMessageBoxRequest &)> onShow);

    const QList<TMessageBoxRequest> &Boxes() const { return m_boxes; }
    int Count() const { return m_boxes.size(); }
    TMessageBoxRequest Last() const { return m_boxes.isEmpty() ? TMessageBoxRequest{} : m_boxes.last(); }
    QStringList Texts() const;
    void Clear() { m_boxes.clear(); }

private:
    int Answer(const TMessageBoxRequest &request);

    QList<TMessageBoxRequest> m_boxes;
    QList<int> m_answers;
    std::function<void(const TMessageBoxRequest &)> m_onShow;
    TMessages::Presenter m_previous;
};
