#include "exportfile.h"

#include "archive/archiveworker.h"
#include "base/tavikerror.h"

#include <QDir>
#include <QMetaObject>
#include <QSaveFile>

qint64 writeExportFile(const QString &fileName, const std::function<qint64(QIODevice &)> &write)
{
    QSaveFile file(fileName);
    const auto failure = [&] {
        return TavikError(QStringLiteral("Cannot write ") + QDir::toNativeSeparators(fileName) + QStringLiteral(": ")
                          + file.errorString());
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failure();
    const qint64 rows = write(file);
    if (!file.commit())
        throw failure();
    return rows;
}

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
