#include "report/model/trepfilecommit.h"

#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

QString TRepFileCommit::WriteFailure(QIODevice &device)
{
    const QString reason = device.errorString();
#ifdef Q_OS_UNIX
    auto *file = qobject_cast<QSaveFile *>(&device);
    if (file && file->handle() >= 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error"))) {
        if (::write(file->handle(), "", 1) < 0)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
#endif
    return reason.isEmpty() ? QStringLiteral("Unknown error") : reason;
}

QString TRepFileCommit::Commit(QSaveFile &file)
{
    // A write that already failed keeps its reason in the file's error.
    if (file.error() != QFileDevice::NoError) {
        const QString reason = WriteFailure(file);
        file.cancelWriting();
        return reason;
    }
    // The buffered tail goes out here, where its failure is seen; inside
    // commit() it would be ignored.
    if (!file.flush()) {
        const QString reason = WriteFailure(file);
        file.cancelWriting();
        return reason;
    }
#ifdef Q_OS_UNIX
    // Some file systems report a lack of room only when the data is synced;
    // commit() syncs too but does not look at the answer.
    if (file.handle() >= 0 && ::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return reason;
    }
#endif
    if (!file.commit()) {
        const QString reason = file.errorString();
        return reason.isEmpty() ? QStringLiteral("Unknown error") : reason;
    }
    return {};
}
