#pragma once

#include <QString>

class QIODevice;
class QSaveFile;

// Puts a file written through QSaveFile in its place only when every byte
// reached the disk. QSaveFile::commit() alone renames the temporary file even
// when the bytes still in its buffer could not be written (a full disk, a
// file-size limit), so an earlier file would be replaced by a cut one.
class TRepFileCommit
{
public:
    // Empty when the file took its place; else the reason (ReasonText), and the
    // target is as it was (the temporary file goes with the QSaveFile).
    static QString Commit(QSaveFile &file);

    // Why a write to the device failed (ReasonText). Qt loses the system's reason when a
    // write is cut short (its text is then "Unknown error"); for a QSaveFile
    // the system is asked again with one more byte, which its temporary
    // file, given up after a failed write, can take.
    static QString WriteFailure(QIODevice &device);

    // The reason a file could not be created or written as the user reads
    // it: the system's text of a common failure (a full disk, no
    // permission, a missing folder...) in Portuguese; any other text as the
    // system gave it.
    static QString ReasonText(const QString &systemText);
};
