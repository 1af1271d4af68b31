#include "tests/support/tfbtestdb.h"
#include "data/efberror.h"
#include "data/tdmschema.h"
#include "data/tfbclient.h"
#include "data/tfbdatabase.h"

#include <QDir>
#include <QFile>
#include <memory>

namespace {
// The schema is made once per process and copied for each test database.
QString TemplateFile(QString &error, bool &engineMissing)
{
    static std::unique_ptr<QTemporaryDir> dir;
    static QString file;
    static QString failure;
    static bool missing = false;
    if (file.isEmpty() && failure.isEmpty()) {
        try {
            TFbClient::Instance();
        } catch (const std::exception &e) {
            failure = QString::fromUtf8(e.what());
            missing = true;
        }
    }
    if (file.isEmpty() && failure.isEmpty()) {
        dir = std::make_unique<QTemporaryDir>();
        const QString path = dir->path() + QStringLiteral("/TEMPLATE.GDB");
        try {
            TDmSchema::CreateDatabaseFile(path);
            file = path;
        } catch (const std::exception &e) {
            failure = QString::fromUtf8(e.what());
        }
    }
    error = failure;
    engineMissing = missing;
    return file;
}
} // namespace

TFbTestDb::TFbTestDb()
{
    const QString folder = m_dir.path() + QStringLiteral("/OS - Tarvo Vodevuru");
    m_path = folder + QStringLiteral("/DADOS.GDB");
    const QString tmpl = TemplateFile(m_error, m_engineMissing);
    if (tmpl.isEmpty())
        return;
    if (!QDir().mkpath(folder) || !QFile::copy(tmpl, m_path)) {
        m_error = QStringLiteral("cannot copy the template database to %1").arg(m_path);
        return;
    }
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                      | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther);
    m_ok = true;
}

TFbTestDb::~TFbTestDb()
{
    if (m_homeSet)
        qputenv("HOME", m_oldHome);
}

void TFbTestDb::SetHome()
{
    if (!m_homeSet) {
        m_oldHome = qgetenv("HOME");
        m_homeSet = true;
    }
    qputenv("HOME", m_dir.path().toLocal8Bit());
}

std::unique_ptr<TDM> TFbTestDb::MakeDM(bool open) const
{
    auto dm = std::make_unique<TDM>();
    dm->Database->SetDatabaseName(m_path);
    if (open)
        dm->OpenAll();
    if (!DM)
        DM = dm.get();
    return dm;
}
