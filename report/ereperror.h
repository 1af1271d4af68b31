#pragma once

#include <QString>
#include <stdexcept>

// The report engine's own error: what() is the UTF-8 message text, which the
// application's error box shows as it stands.
class ERepError : public std::runtime_error
{
public:
    explicit ERepError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }
    explicit ERepError(const char *message)
        : std::runtime_error(message)
    {
    }

    QString Message() const { return QString::fromUtf8(what()); }
};
