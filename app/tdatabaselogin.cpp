#include "app/tdatabaselogin.h"

#include "app/tmessages.h"
#include "data/efberror.h"
#include "data/tfbconnectmessage.h"
#include "data/tfbdatabase.h"
#include "data/tfbservices.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

// The engine's code for a user name or password it refuses.
constexpr long LoginRefused = 335544472;
// The engine's codes for a server that does not answer.
constexpr long NetworkError = 335544721;
constexpr long Unavailable = 335544375;

// Says that the server does not answer, with the engine's own text once.
void SayNotAnswering(const QString &server, const QString &message)
{
    const QString marker = TFbConnectMessage::DetailMarker();
    const qsizetype at = message.lastIndexOf(marker);
    const QString engine = at >= 0 ? message.mid(at + marker.size()) : message;
    TMessages::ShowError(QStringLiteral("O servidor do banco de dados em \"%1\" não responde. Verifique se o "
                                        "computador servidor está ligado, com o Firebird em execução, e se a rede "
                                        "está funcionando; depois abra o programa de novo.")
                             .arg(server)
                         + marker + engine);
}

} // namespace

void TDatabaseLogin::Protect(QSettings &settings)
{
    settings.sync();
    const QString file = settings.fileName();
    if (QFileInfo::exists(file))
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TDatabaseLogin::Remember(QSettings &settings, const TDatabaseCredentials &credentials)
{
    // The file is made owner-only before the password reaches it; a
    // rewrite of the file keeps its permissions.
    settings.setValue(UserKey(), credentials.user);
    Protect(settings);
    settings.setValue(PasswordKey(), credentials.password);
    Protect(settings);
}

bool TDatabaseLogin::Connect(TFbDatabase *db, QSettings &settings, const Asker &ask)
{
    if (!TFbDatabase::IsRemoteName(db->DatabaseName()))
        return true;
    TDatabaseCredentials credentials;
    credentials.user = settings.value(UserKey()).toString().trimmed();
    credentials.password = settings.value(PasswordKey()).toString();
    if (!credentials.password.isEmpty())
        Protect(settings);
    bool fromBox = credentials.user.isEmpty() || credentials.password.isEmpty();
    const QString server = TFbServices::ServerOf(db->DatabaseName());
    if (fromBox) {
        // Whether the server answers at all, before a password is asked
        // for nothing: an attachment without a user is refused by a server
        // that answers.
        db->SetParams({});
        try {
            db->Open();
            db->Close();
        } catch (const EFbError &e) {
            if (e.GdsCode() == NetworkError || e.GdsCode() == Unavailable) {
                SayNotAnswering(server, e.Message());
                return false;
            }
        }
    }
    QString message;
    for (;;) {
        if (fromBox) {
            if (!ask || !ask(credentials, server, message))
                return false;
            credentials.user = credentials.user.trimmed();
        }
        db->SetParams({QStringLiteral("user_name=") + credentials.user,
                       QStringLiteral("password=") + credentials.password});
        try {
            db->Open();
        } catch (const EFbError &e) {
            if (e.GdsCode() == NetworkError || e.GdsCode() == Unavailable) {
                SayNotAnswering(server, e.Message());
                return false;
            }
            if (e.GdsCode() != LoginRefused)
                return true;
            message = credentials.password.isEmpty()
                          ? QStringLiteral("O servidor exige uma senha. Digite o usuário e a senha da loja.")
                          : QStringLiteral("O servidor recusou o usuário \"%1\" ou a senha. Verifique e tente de novo.")
                                .arg(credentials.user);
            credentials.password.clear();
            fromBox = true;
            continue;
        }
        if (fromBox && credentials.remember)
            Remember(settings, credentials);
        return true;
    }
}
