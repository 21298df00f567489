#pragma once

#include <QString>

// File helpers. Every data file of the program is named relative to the
// working folder.
namespace fileutil {

// Size in bytes of the entry of that name (folders count, with size 0), or -1
// when there is none.
qint64 FileSize64(const QString &name);

bool fileExists(const QString &name);

// A data file counts as present when it exists and holds at least one byte.
bool isPresent(const QString &name);

// The last-write time packed with two-second resolution (as FAT stores it),
// or -1 for a missing file. Two ages are only ever compared for equality.
qint64 fileAge(const QString &name);

// Deletes the file when it exists; throws TavikError when it cannot.
void deleteFile(const QString &name);

// Replaces the file with the given bytes: written to a temporary file in the
// same folder, then renamed over the old one. Throws TavikError.
void writeFileAtomically(const QString &name, const QByteArray &bytes);

// The whole file; throws TavikError when it cannot be opened or read.
QByteArray readFile(const QString &name);

} // namespace fileutil
