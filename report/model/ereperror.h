#pragma once

#include <QString>
#include <stdexcept>

// The report engine's error type: what() is the UTF-8 message text, so the
// application's guard can show it as it stands.
class ERepError : public std::runtime_error
{
public:
    explicit ERepError(const QString &message);
    explicit ERepError(const char *message);

    QString Message() const;
};
