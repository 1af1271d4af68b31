#pragma once
// What a clerk reads when a row the action needs is being changed on another
// computer at that moment. The engine says it in English ("deadlock", "lock
// conflict on no wait transaction", "update conflicts with concurrent
// update"); the clerk gets what happened and what to do in Portuguese, and
// the engine's text after it for whoever gives support. Code that has words
// of its own for the case (a record's save) checks the code and says them.
#include <QString>

class TFbConflictMessage
{
public:
    // The engine's first error code says another transaction holds the row.
    static bool IsConflict(long gdsCode);
    // ... because the wait for it ran out: the row is still held, and
    // nothing can be told of what the other computer will do with it.
    static bool IsLockTimeout(long gdsCode);
    // The message for such an error whose engine text is `engineText`.
    static QString For(const QString &engineText);
};
