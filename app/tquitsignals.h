#pragma once
// SIGTERM (the desktop logging out or shutting down) and SIGINT (Ctrl+C in a
// terminal) end the program the way "Sair" does. The handler itself only
// writes a byte to a pipe; requested() is emitted from the event loop, where
// closing the database is safe.
//
// The database client library sets handlers of its own for both signals (it
// shuts its engine down and lets the program run on a dead connection), so
// Install() must run after it has: once the library is loaded and again each
// time a connection is made.
#include <QObject>

#include <functional>

class QSocketNotifier;

class TQuitSignals : public QObject
{
    Q_OBJECT
public:
    // One per process.
    explicit TQuitSignals(QObject *parent = nullptr);
    ~TQuitSignals() override;

    // Makes our handler the one for SIGTERM and SIGINT. False when the
    // pipe could not be made (the signals then keep their handlers).
    bool Install();

    // How long a question asked because of a signal stays open before the
    // program takes it that no one is there to answer (a logout does not
    // wait for the user).
    static constexpr int AnswerWait = 5000;   // ms
    // For a signal: runs `ask`, which may ask whether to save what is being
    // typed and wait for the answer. When a question is already open as the
    // signal comes, or one is still open `waitMs` after it, `giveUp` runs
    // instead of waiting further.
    static void AskOrGiveUp(const std::function<void()> &ask, const std::function<void()> &giveUp,
                            int waitMs = AnswerWait);

signals:
    void requested(int signal);

private:
    void Drain();
    QSocketNotifier *m_notifier = nullptr;
};
