#include "app/tquitsignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <memory>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};

extern "C" void OnQuitSignal(int sig)
{
    const int saved = errno;
    const char byte = char(sig);
    // Nothing else is safe here; a full pipe already holds a request.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}
} // namespace

TQuitSignals::TQuitSignals(QObject *parent) : QObject(parent)
{
    if (g_pipe[0] >= 0)
        return;
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    for (int fd : fds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    g_pipe[0] = fds[0];
    g_pipe[1] = fds[1];
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TQuitSignals::Drain);
}

TQuitSignals::~TQuitSignals()
{
    if (!m_notifier)
        return;
    struct sigaction dfl = {};
    dfl.sa_handler = SIG_DFL;
    ::sigaction(SIGTERM, &dfl, nullptr);
    ::sigaction(SIGINT, &dfl, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool TQuitSignals::Install()
{
    if (!m_notifier)
        return false;
    struct sigaction sa = {};
    sa.sa_handler = OnQuitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &sa, nullptr) == 0 && ::sigaction(SIGINT, &sa, nullptr) == 0;
}

void TQuitSignals::Drain()
{
    char bytes[16];
    ssize_t n;
    int last = 0;
    while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0)
        last = bytes[n - 1];
    // Several signals in a row ask for one close.
    if (last)
        emit requested(last);
}

void TQuitSignals::AskOrGiveUp(const std::function<void()> &ask, const std::function<void()> &giveUp, int waitMs)
{
    if (QApplication::activeModalWidget()) {
        giveUp();
        return;
    }
    // Only the question `ask` opens: once it is answered, a dialog opened
    // later is none of the signal's business.
    const auto asking = std::make_shared<bool>(true);
    QTimer::singleShot(waitMs, qApp, [asking, giveUp] {
        if (*asking && QApplication::activeModalWidget())
            giveUp();
    });
    ask();
    *asking = false;
}
