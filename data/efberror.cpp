#include "data/efberror.h"

EFbError::EFbError(const QString &message, long sqlCode, long gdsCode)
    : std::runtime_error(message.toUtf8().toStdString()), m_sqlCode(sqlCode), m_gdsCode(gdsCode)
{
}
