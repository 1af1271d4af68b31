#pragma once
// What a clerk reads when the database cannot be opened. The engine says it
// in English and in its own terms ("Unable to complete network request to
// host ...", "I/O error during open ..."); the clerk gets, first, what went
// wrong and what to do about it in Portuguese, and the engine's own text
// after it for whoever gives support.
#include <QString>

class TFbConnectMessage
{
public:
    // The message for an attachment to `database` refused with the engine's
    // first error code `gdsCode` and its text `engineText`; an error that is
    // not about reaching the database keeps the engine's text as it is.
    static QString For(long gdsCode, const QString &engineText, const QString &database);

    // A database file the engine finds damaged, or can only read: said in
    // Portuguese whatever statement met it, the engine's text under it; ""
    // for any other error.
    static QString ForFileState(const QString &engineText);

    // `head`, then the technical detail of `detail` once: a detail that is
    // already a Portuguese message with its own technical detail is put
    // under the head as it is, not headed a second time.
    static QString WithDetail(const QString &head, const QString &detail);
    static QString DetailMarker() { return QStringLiteral("\n\nDetalhe técnico: "); }

    // Whether an engine's or the system's error text says that the disk (or
    // the space the user may fill) ran out. The system's own words are in
    // the language of the program's locale, English otherwise.
    static bool IsDiskFull(const QString &text);
};
