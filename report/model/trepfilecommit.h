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
    // Empty when the file took its place; else the system's reason, and the
    // target is as it was (the temporary file goes with the QSaveFile).
    static QString Commit(QSaveFile &file);

    // Why a write to the device failed. Qt loses the system's reason when a
    // write is cut short (its text is then "Unknown error"); for a QSaveFile
    // the system is asked again with one more byte, which its temporary
    // file, given up after a failed write, can take.
    static QString WriteFailure(QIODevice &device);
};
