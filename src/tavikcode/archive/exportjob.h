#pragma once

#include <QString>

#include <functional>

class ArchiveReader;
class ArchiveWorker;
class CancelFlag;
class QIODevice;
class QObject;

// Runs writeExportFile on the worker's thread, write reading the archive
// there; the rows written, or the error, come back on context's thread to
// done or failed (not at all once context is gone).
void submitExport(ArchiveWorker &worker, QObject *context, const QString &fileName,
                  std::function<qint64(ArchiveReader &, const CancelFlag &, QIODevice &)> write,
                  std::function<void(qint64 rows)> done, std::function<void(const QString &error)> failed);
