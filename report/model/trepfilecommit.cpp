#include "report/model/trepfilecommit.h"

#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <unistd.h>
#endif

QString TRepFileCommit::ReasonText(const QString &systemText)
{
    if (systemText.isEmpty() || systemText == QLatin1String("Unknown error"))
        return QStringLiteral("erro desconhecido");
#ifdef Q_OS_UNIX
    // The system's texts are those of its error numbers, in whatever
    // language it speaks: compared with them, not with English words.
    struct Known
    {
        int code;
        const char *text;
    };
    static const Known known[] = {
        {ENOSPC, "não há espaço livre no disco"},
        {EDQUOT, "a cota de espaço em disco do usuário acabou"},
        {EFBIG, "o arquivo ficou maior do que o disco ou o sistema permite"},
        {EACCES, "sem permissão para gravar nesse local"},
        {EPERM, "sem permissão para gravar nesse local"},
        {EROFS, "o disco é somente para leitura"},
        {ENOENT, "a pasta não existe"},
        {ENOTDIR, "a pasta não existe"},
        {EISDIR, "o nome escolhido é de uma pasta"},
        {ENAMETOOLONG, "o nome do arquivo é longo demais"},
        {EIO, "erro de leitura ou gravação no disco"},
        {ETXTBSY, "o arquivo está em uso"},
        {EBUSY, "o arquivo está em uso"},
    };
    for (const Known &k : known)
        if (systemText == QString::fromLocal8Bit(std::strerror(k.code)))
            return QString::fromUtf8(k.text);
#endif
    // The toolkit's own texts for a file it refuses to replace.
    if (systemText.contains(QLatin1String("is not writable")))
        return QStringLiteral("sem permissão para gravar nesse local");
    if (systemText.contains(QLatin1String("refers to a directory")))
        return QStringLiteral("o nome escolhido é de uma pasta");
    return systemText;
}

QString TRepFileCommit::WriteFailure(QIODevice &device)
{
    const QString reason = device.errorString();
#ifdef Q_OS_UNIX
    auto *file = qobject_cast<QSaveFile *>(&device);
    if (file && file->handle() >= 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error"))) {
        if (::write(file->handle(), "", 1) < 0)
            return ReasonText(QString::fromLocal8Bit(std::strerror(errno)));
    }
#endif
    return ReasonText(reason);
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
        const QString reason = ReasonText(QString::fromLocal8Bit(std::strerror(errno)));
        file.cancelWriting();
        return reason;
    }
#endif
    if (!file.commit())
        return ReasonText(file.errorString());
    return {};
}
