#include "widgets/tkeypreview.h"

#include "app/tguard.h"

#include <QApplication>
#include <QKeyEvent>

TKeyPreview::TKeyPreview(QWidget *window)
    : QObject(window)
    , m_window(window ? window->window() : nullptr)
{
    // Keys go to the focused control first; only an application-wide filter
    // sees them before it does.
    qApp->installEventFilter(this);
}

TKeyPreview::~TKeyPreview()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void TKeyPreview::Bind(int key, std::function<void()> action, KeyPlace place)
{
    m_bindings.push_back({key, place, std::move(action)});
}

void TKeyPreview::SetHandler(std::function<bool(QKeyEvent *)> handler)
{
    m_handler = std::move(handler);
}

bool TKeyPreview::IsFirstReceiver(QWidget *receiver) const
{
    // A key the focused control does not accept travels up to its parents,
    // passing this filter again; only its first delivery counts.
    QWidget *focus = QApplication::focusWidget();
    if (focus && focus->window() == m_window)
        return receiver == focus;
    return receiver == m_window;
}

bool TKeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_window || !watched->isWidgetType())
        return false;
    auto *receiver = static_cast<QWidget *>(watched);
    if (receiver->window() != m_window)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // An action may open a modal form; when it closes, the focus may have
    // moved, so the first-receiver rule alone cannot tell the key, now
    // travelling up from the control that ignored it, from a new one.
    if (event == m_lastEvent && key->timestamp() == m_lastTimestamp && key->key() == m_lastKey
        && m_lastReceiver && receiver->isAncestorOf(m_lastReceiver)) {
        m_lastReceiver = receiver;
        return false;
    }
    if (!IsFirstReceiver(receiver))
        return false;
    m_lastEvent = event;
    m_lastTimestamp = key->timestamp();
    m_lastKey = key->key();
    m_lastReceiver = receiver;
    // The window may close and be destroyed while an action runs.
    QPointer<TKeyPreview> self(this);
    bool consume = false;
    if (m_handler) {
        Guard([&] { consume = m_handler(key); });
        if (!self)
            return consume;
    }
    const bool keypad = key->modifiers().testFlag(Qt::KeypadModifier);
    // Copy: an action may add or drop bindings.
    const auto bindings = m_bindings;
    for (const Binding &b : bindings) {
        if (b.key != key->key() || (b.place == KeypadKey && !keypad))
            continue;
        Guard(b.action);
        if (!self)
            break;
    }
    return consume;
}
