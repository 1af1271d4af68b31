#pragma once
// The data layer's one error type. what() is the UTF-8 message text that the
// application's error box shows as it stands.
#include <QString>
#include <stdexcept>

class EFbError : public std::runtime_error
{
public:
    explicit EFbError(const QString &message, long sqlCode = 0, long gdsCode = 0);

    QString Message() const { return QString::fromUtf8(what()); }
    long SqlCode() const { return m_sqlCode; }   // isc_sqlcode of a server error, 0 for layer errors
    long GdsCode() const { return m_gdsCode; }   // first error code of the status vector, 0 for layer errors

private:
    long m_sqlCode;
    long m_gdsCode;
};
