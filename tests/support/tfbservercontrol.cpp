#include "tests/support/tfbservercontrol.h"
#include "data/tdmschema.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

namespace {
QString Services()
{
    return qEnvironmentVariable("OS_SERVICES_DIR");
}
QString Root()
{
    return Services() + QStringLiteral("/firebird");
}
QString PidFile()
{
    return Services() + QStringLiteral("/firebird.pid");
}
// Whether the server of OS_FB_SERVER ("127.0.0.1/PORT") accepts a TCP
// connection: tried before attaching, so that the test process meets no
// refused attachment while the server is still starting (the leak
// checker's tracer crashes at exit after one).
bool Listening()
{
    const QString server = qEnvironmentVariable("OS_FB_SERVER");
    const QByteArray host = server.section(QLatin1Char('/'), 0, 0).toLatin1();
    const int port = server.section(QLatin1Char('/'), 1, 1).toInt();
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(quint16(port));
    if (port <= 0 || ::inet_pton(AF_INET, host.constData(), &a.sin_addr) != 1)
        return true;   // not a form known here: the attachment tells
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}
} // namespace

QString TFbServerControl::Missing()
{
    if (qEnvironmentVariable("OS_FB_SERVER").isEmpty())
        return QStringLiteral("needs the private Firebird server (OS_FB_SERVER is not set)");
    if (Services().isEmpty() || !QFile::exists(PidFile()))
        return QStringLiteral("the private server's process is not known (OS_SERVICES_DIR/firebird.pid)");
    if (!QFile::exists(QStringLiteral("/usr/sbin/firebird")))
        return QStringLiteral("/usr/sbin/firebird is missing");
    if (QStandardPaths::findExecutable(QStringLiteral("isql-fb")).isEmpty())
        return QStringLiteral("isql-fb is missing (package firebird3.0-utils)");
    return QString();
}

bool TFbServerControl::Stop()
{
    QFile f(PidFile());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const pid_t pid = pid_t(f.readAll().trimmed().toLongLong());
    // Only the session the run started: its leader is the server.
    if (pid <= 1 || ::kill(-pid, SIGKILL) != 0)
        return false;
    for (int i = 0; i < 500 && ::kill(-pid, 0) == 0; ++i)
        QThread::msleep(20);
    return ::kill(-pid, 0) != 0;
}

bool TFbServerControl::Start()
{
    QProcess p;
    p.setProgram(QStringLiteral("setsid"));
    p.setArguments({QStringLiteral("env"), QStringLiteral("FIREBIRD=") + Root(),
                    QStringLiteral("FIREBIRD_LOCK=") + Root() + QStringLiteral("/lock"),
                    QStringLiteral("/usr/sbin/firebird")});
    const QString log = Services() + QStringLiteral("/firebird.log");
    p.setStandardOutputFile(log, QIODevice::Append);
    p.setStandardErrorFile(log, QIODevice::Append);
    qint64 pid = 0;
    if (!p.startDetached(&pid))
        return false;
    QFile f(PidFile());
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(QByteArray::number(pid)) > 0;
}

bool TFbServerControl::WaitUntilAnswering(const QString &database)
{
    // Attached from a child process, as the run's set-up probes it: the
    // test process meets no refused attachment while the server is still
    // starting (the leak checker's tracer crashes at exit after one).
    const QByteArray script = "connect '" + database.toUtf8() + "' user '" + TDmSchema::UserName + "' password '"
                              + TDmSchema::Password + "';\nquit;\n";
    for (int i = 0; i < 300; ++i) {
        if (Listening()) {
            QProcess isql;
            isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q")});
            if (!isql.waitForStarted(10000))
                return false;
            isql.write(script);
            isql.closeWriteChannel();
            isql.waitForFinished(20000);
            const QByteArray out = isql.readAllStandardOutput() + isql.readAllStandardError();
            if (isql.exitStatus() == QProcess::NormalExit && isql.exitCode() == 0 && !out.contains("Statement failed"))
                return true;
        }
        QThread::msleep(100);
    }
    return false;
}
