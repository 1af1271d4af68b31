#pragma once
// A window that previews keys: it sees every key press before the focused
// control, whichever control that is, and acts on it without consuming it,
// so the control still gets the key afterwards.
//
// Bindings match the key whatever modifier keys are held; a keypad binding
// matches only the key of the numeric keypad (the "+" of the main keyboard
// is another key). Each action runs through the application's guard, so an
// error it raises is shown in the standard error box and the key goes on.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QKeyEvent;

class TKeyPreview : public QObject
{
    Q_OBJECT
public:
    enum KeyPlace { AnyKey, KeypadKey };

    // Previews the keys of the window of `window` while both live.
    explicit TKeyPreview(QWidget *window);
    ~TKeyPreview() override;

    // Runs `action` when `key` is pressed anywhere in the window.
    void Bind(int key, std::function<void()> action, KeyPlace place = AnyKey);

    // A key handler of the screen's own that sees every key first; it returns
    // true only when the screen wants the key consumed.
    void SetHandler(std::function<bool(QKeyEvent *)> handler);

    QWidget *Window() const { return m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Binding {
        int key;
        KeyPlace place;
        std::function<void()> action;
    };
    bool IsFirstReceiver(QWidget *receiver) const;

    QPointer<QWidget> m_window;
    // The key last acted on: a key travelling up to the parents of the
    // control that ignored it is the same event object, seen again.
    const QEvent *m_lastEvent = nullptr;
    quint64 m_lastTimestamp = 0;
    int m_lastKey = 0;
    QPointer<QWidget> m_lastReceiver;
    std::vector<Binding> m_bindings;
    std::function<bool(QKeyEvent *)> m_handler;
};
