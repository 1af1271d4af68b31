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

signals:
    void requested(int signal);

private:
    void Drain();
    QSocketNotifier *m_notifier = nullptr;
};
