#pragma once
// End-to-end tests of a real program of the build under a virtual X server
// of the test's own. Every step waits on a condition (a window shown or
// gone, the program ended, a file written) with a time limit, never for a
// fixed time.
//
//   TXSession x;
//   if (const QString missing = TXSession::Missing(); !missing.isEmpty())
//       QSKIP(qPrintable(missing));                   // Xvfb or xdotool not installed
//   QVERIFY2(x.Start(), qPrintable(x.Error()));       // Xvfb on a free display
//   QVERIFY2(x.Launch(TXSession::ProgramPath("ordemservico"), home), qPrintable(x.Error()));
//   const QString w = x.WaitForWindow("^Caption$");   // X window id; empty on time-out
//   QVERIFY(x.Keys(w, {"Down", "Return"}));           // focuses the window, then types
//   QVERIFY(TXSession::WaitFor([&] { return QFile::exists(f); }));
//   QVERIFY(x.WaitForExit());                         // then x.App().exitCode()
//
// The destructor ends the program if it still runs, then the X server.
#include <QImage>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class TXSession
{
public:
    static constexpr int DefaultTimeout = 20000;   // ms

    TXSession() = default;
    ~TXSession();
    TXSession(const TXSession &) = delete;
    TXSession &operator=(const TXSession &) = delete;

    // The programs needed that are not installed, or an empty text.
    static QString Missing();
    // A program of this build: $OS_TEST_BINARY_DIR/bin/<name>.
    static QString ProgramPath(const QString &name);
    // Polls `condition` (handling events in between) until it holds or
    // `ms` have passed; returns whether it held.
    static bool WaitFor(const std::function<bool()> &condition, int ms = DefaultTimeout);

    // Starts Xvfb on a display it picks itself and waits until it accepts
    // clients (it never resets between clients), then openbox on it, with a
    // configuration folder of its own, and waits until it manages windows;
    // `extraArgs` go to Xvfb as they are.
    bool Start(const QStringList &extraArgs = {});
    // Gives each of `letters` (and its capital) a key of its own among the
    // spare function keys F13 to F24, through xkbcomp. Typing a letter that
    // has no key otherwise rebinds a key for the moment, and the program may
    // read the key after it is bound back, losing the letter. The binding
    // lasts as long as the server (which never resets).
    bool BindKeys(const QString &letters);
    QString Display() const { return m_display; }
    QString Error() const { return m_error; }

    // Starts `program` on this display (platform xcb) with HOME=`home`; `env`
    // adds or replaces variables. Its standard error goes to the test's.
    bool Launch(const QString &program, const QString &home, const QStringList &args = {},
                const QProcessEnvironment &env = {});
    // Sends the standard error of the next program launched to `path`
    // instead of the test's own (for what the program logs).
    void SetErrorFile(const QString &path) { m_errorFile = path; }
    QProcess &App() { return m_app; }
    bool AppRunning() const { return m_app.state() == QProcess::Running; }

    // Ids of the visible windows whose name matches the regular expression.
    QStringList Windows(const QString &namePattern) const;
    // Ids of the visible windows of the launched program.
    QStringList AppWindows() const;
    // The first visible window matching, once there; empty when none came in
    // time or the program ended first.
    QString WaitForWindow(const QString &namePattern, int ms = DefaultTimeout);
    bool WaitForNoWindow(const QString &namePattern, int ms = DefaultTimeout);
    // A visible window of the launched program that is not in `before` (a
    // menu or dialog it has just opened); empty when none came in time.
    QString WaitForNewAppWindow(const QStringList &before, int ms = DefaultTimeout);
    // The size of `window`; invalid when it cannot be read.
    QSize WindowSize(const QString &window) const;
    // What `window` shows on the screen now (the parts covered by other
    // windows included, so raise it first); a null image when it cannot be
    // read, with Error() saying why.
    QImage Grab(const QString &window);

    // Gives `window` the keyboard focus (and waits until it has it), then
    // presses each key ("Return", "ctrl+s", ...).
    bool Keys(const QString &window, const QStringList &keys);
    bool TypeText(const QString &window, const QString &text);
    // Moves the pointer to (x, y) of `window` and waits until it is there.
    bool MoveMouse(const QString &window, int x, int y);
    bool Click(const QString &window, int x, int y, int button = 1);

    bool WaitForExit(int ms = DefaultTimeout);

    // Runs xdotool on this display: whether it succeeded, and its output.
    bool XDo(const QStringList &args, QStringList *output = nullptr) const;

private:
    void Stop(QProcess &process);

    // The window manager on the test's display, as a user's desktop has one:
    // minimising, stacking and focus follow its rules.
    bool StartWindowManager();

    QProcess m_xvfb;
    QProcess m_windowManager;
    std::unique_ptr<QTemporaryDir> m_windowManagerHome;
    QProcess m_app;
    QString m_display;
    QString m_errorFile;
    QString m_error;
};
