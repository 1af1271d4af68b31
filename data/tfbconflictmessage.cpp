#include "data/tfbconflictmessage.h"

namespace {
constexpr long Deadlock = 335544336;        // waited, and the other transaction changed the row
constexpr long LockConflict = 335544345;    // did not wait: the row is held
constexpr long UpdateConflict = 335544451;  // changed since this transaction could see it
constexpr long LockTimeout = 335544510;     // waited as long as allowed, and the row is still held
} // namespace

bool TFbConflictMessage::IsConflict(long gdsCode)
{
    return gdsCode == Deadlock || gdsCode == LockConflict || gdsCode == UpdateConflict || gdsCode == LockTimeout;
}

bool TFbConflictMessage::IsLockTimeout(long gdsCode)
{
    return gdsCode == LockTimeout;
}

QString TFbConflictMessage::For(const QString &engineText)
{
    return QStringLiteral("O registro está sendo alterado em outro computador neste momento, e esta "
                          "alteração não pôde ser gravada. Tente de novo em instantes.\n\nDetalhe técnico: ")
           + engineText;
}
