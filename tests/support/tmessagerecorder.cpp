#include "tests/support/tmessagerecorder.h"

TMessageRecorder::TMessageRecorder()
{
    m_previous = TMessages::SetPresenter([this](const TMessageBoxRequest &r) { return Answer(r); });
}

TMessageRecorder::~TMessageRecorder()
{
    TMessages::SetPresenter(std::move(m_previous));
}

void TMessageRecorder::QueueAnswer(int button)
{
    m_answers.append(button);
}

void TMessageRecorder::SetOnShow(std::function<void(const TMessageBoxRequest &)> onShow)
{
    m_onShow = std::move(onShow);
}

QStringList TMessageRecorder::Texts() const
{
    QStringList texts;
    for (const TMessageBoxRequest &box : m_boxes)
        texts.append(box.text);
    return texts;
}

int TMessageRecorder::Answer(const TMessageBoxRequest &request)
{
    m_boxes.append(request);
    int answer = request.buttons & TMessages::Ok         ? TMessages::Ok
                 : request.buttons & TMessages::Cancel ? TMessages::Cancel
                                                       : TMessages::No;
    if (!m_answers.isEmpty())
        answer = m_answers.takeFirst();
    if (m_onShow)
        m_onShow(request);
    return answer;
}
