#include "report/model/ereperror.h"

ERepError::ERepError(const QString &message)
    : std::runtime_error(message.toStdString())
{
}

ERepError::ERepError(const char *message)
    : std::runtime_error(message)
{
}

QString ERepError::Message() const
{
    return QString::fromUtf8(what());
}
