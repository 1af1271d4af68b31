#pragma once
// A small file system of the test's own (tmpfs of a few hundred KiB), for
// what a full disk does: mounted over a temporary folder and taken away
// with the object. Mounting needs the right to (root, as the tests run
// under CI); without it Mounted() is false and the test skips.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class TTinyDisk
{
public:
    explicit TTinyDisk(int kib = 1024) { m_mounted = Mount(QStringLiteral("size=%1k").arg(kib)); }
    ~TTinyDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
    }
    TTinyDisk(const TTinyDisk &) = delete;
    TTinyDisk &operator=(const TTinyDisk &) = delete;

    bool Mounted() const { return m_mounted; }
    QString Path() const { return m_dir.path(); }
    // Space freed: the same file system, grown to `kib`.
    bool Grow(int kib) { return Mount(QStringLiteral("remount,size=%1k").arg(kib)); }
    // The same file system, read-only from now on.
    bool MakeReadOnly() { return Mount(QStringLiteral("remount,ro")); }

private:
    bool Mount(const QString &options)
    {
        QProcess p;
        p.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                           options, QStringLiteral("tmpfs"), m_dir.path()});
        return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    bool m_mounted = false;
};
