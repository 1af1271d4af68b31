#include "data/tfbconnectmessage.h"

#include <cerrno>
#include <cstring>

namespace {

// The engine's codes for the failures a shop meets when opening its data.
constexpr long IoError = 335544344;        // the file could not be opened
constexpr long NetworkError = 335544721;   // the server could not be reached
constexpr long Unavailable = 335544375;    // no engine or server to talk to
constexpr long LoginRefused = 335544472;   // user name or password refused

} // namespace

QString TFbConnectMessage::For(long gdsCode, const QString &engineText, const QString &database)
{
    // Already told in Portuguese by the layer (a damaged or read-only file).
    if (engineText.contains(DetailMarker()))
        return engineText;
    QString head;
    switch (gdsCode) {
    case NetworkError:
    case Unavailable:
        head = QStringLiteral("Não foi possível conectar ao servidor do banco de dados (%1). "
                              "Verifique se o servidor está ligado e com o Firebird em execução, "
                              "e se a rede está funcionando.").arg(database);
        break;
    case IoError:
        if (engineText.contains(QLatin1String("No such file"), Qt::CaseInsensitive)
            || engineText.contains(QLatin1String("cannot find"), Qt::CaseInsensitive))
            head = QStringLiteral("O arquivo do banco de dados não foi encontrado (%1). "
                                  "Verifique o caminho configurado ou se o arquivo foi movido ou apagado.")
                       .arg(database);
        else if (engineText.contains(QLatin1String("Permission denied"), Qt::CaseInsensitive)
                 || engineText.contains(QLatin1String("Access is denied"), Qt::CaseInsensitive))
            head = QStringLiteral("Sem permissão para abrir o arquivo do banco de dados (%1). "
                                  "Peça ao responsável pelo computador acesso de leitura e escrita ao arquivo.")
                       .arg(database);
        else
            head = QStringLiteral("Não foi possível abrir o arquivo do banco de dados (%1). "
                                  "Verifique se o arquivo existe, se o disco está acessível e se há permissão "
                                  "para usá-lo.").arg(database);
        break;
    case LoginRefused:
        head = QStringLiteral("O banco de dados recusou o usuário ou a senha configurados (%1). "
                              "Verifique o usuário e a senha na configuração.").arg(database);
        break;
    default:
        return engineText;
    }
    return head + DetailMarker() + engineText;
}

bool TFbConnectMessage::IsDiskFull(const QString &text)
{
    // ENOSPC: the disk is full; EDQUOT: the user's share of it; EFBIG: a
    // file larger than the system lets this user write.
    for (const int code : {ENOSPC, EDQUOT, EFBIG}) {
        if (text.contains(QString::fromLocal8Bit(std::strerror(code)), Qt::CaseInsensitive))
            return true;
    }
    for (const char *english : {"No space left on device", "Disk quota exceeded", "File too large"}) {
        if (text.contains(QLatin1String(english), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString TFbConnectMessage::ForFileState(const QString &engineText)
{
    QString head;
    for (const char *damaged : {"page appears encrypted", "database file appears corrupt", "file is not a valid database",
                                "wrong page type", "checksum error", "internal Firebird consistency check"}) {
        if (engineText.contains(QLatin1String(damaged), Qt::CaseInsensitive))
            head = QStringLiteral("O arquivo do banco de dados está danificado: o sistema não consegue ler parte dele. "
                                  "Não grave nada nele; restaure o último backup (Configurações, página Backup, "
                                  "\"Restaurar Backup\") ou peça ajuda ao suporte.");
    }
    if (engineText.contains(QLatin1String("no permission for read-write access"), Qt::CaseInsensitive)
        || engineText.contains(QLatin1String("read-only database"), Qt::CaseInsensitive))
        head = QStringLiteral("O arquivo do banco de dados só pode ser lido, não alterado: falta permissão de escrita "
                              "no arquivo ou na sua pasta, ou o disco é somente leitura. Peça ao responsável pelo "
                              "computador acesso de leitura e escrita ao arquivo e à pasta.");
    return head.isEmpty() ? QString() : head + DetailMarker() + engineText;
}

QString TFbConnectMessage::WithDetail(const QString &head, const QString &detail)
{
    if (detail.contains(DetailMarker()))
        return head + QStringLiteral("\n\n") + detail;
    return head + DetailMarker() + detail;
}
