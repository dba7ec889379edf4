#pragma once

#include <QString>

// File steps whose result survives a crash or a power cut: a file is on the disk before it
// takes another's place, and the new name is on the disk too.
namespace DurableFiles {

// Writes what the system still holds of the file to the disk.
bool flush(const QString &path, QString *error);
// Writes the folder's list of names to the disk (after a rename in it).
bool flushFolder(const QString &folder, QString *error);
// Gives the file from the name to, replacing a file of that name in one step: whoever opens
// to sees the old file or the new one, never neither.
bool replace(const QString &from, const QString &to, QString *error);
// Makes keep hold what path holds now: a second name of the same file where the file system
// allows it, else a copy on the disk. A file named keep before is replaced.
bool keepAs(const QString &path, const QString &keep, QString *error);
// Removes the file if it is there; a missing file is no failure.
void removeIfPresent(const QString &path);

} // namespace DurableFiles
