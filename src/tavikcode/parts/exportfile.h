#pragma once

#include <QString>

#include <functional>

class ArchiveReader;
class ArchiveWorker;
class CancelFlag;
class QIODevice;
class QObject;

// Writes an export the operator asked for, whole or not at all: a failure,
// a cancelled job or a close leaves no half file. write fills the file and
// returns how many rows it wrote; a file that cannot be written throws
// TavikError naming it ("Cannot write FILE: why").
qint64 writeExportFile(const QString &fileName, const std::function<qint64(QIODevice &)> &write);

// Runs writeExportFile on the worker's thread, write reading the archive
// there; the rows written, or the error, come back on context's thread to
// done or failed (not at all once context is gone).
void submitExport(ArchiveWorker &worker, QObject *context, const QString &fileName,
                  std::function<qint64(ArchiveReader &, const CancelFlag &, QIODevice &)> write,
                  std::function<void(qint64 rows)> done, std::function<void(const QString &error)> failed);
