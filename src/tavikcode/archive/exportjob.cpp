#include "exportjob.h"

#include "archiveworker.h"
#include "parts/exportfile.h"

#include <QMetaObject>

void submitExport(ArchiveWorker &worker, QObject *context, const QString &fileName,
                  std::function<qint64(ArchiveReader &, const CancelFlag &, QIODevice &)> write,
                  std::function<void(qint64 rows)> done, std::function<void(const QString &error)> failed)
{
    worker.submit({[context, fileName, write = std::move(write), done = std::move(done)](ArchiveReader &reader,
                                                                                         const CancelFlag &cancel) {
                       const qint64 rows = writeExportFile(
                           fileName, [&](QIODevice &file) { return write(reader, cancel, file); });
                       QMetaObject::invokeMethod(context, [done, rows] { done(rows); }, Qt::QueuedConnection);
                   },
                   [context, failed = std::move(failed)](const QString &error) {
                       QMetaObject::invokeMethod(context, [failed, error] { failed(error); }, Qt::QueuedConnection);
                   }});
}
