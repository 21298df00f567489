#include "exportfile.h"

#include "base/tavikerror.h"

#include <QDir>
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
