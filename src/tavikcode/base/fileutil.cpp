#include "fileutil.h"

#include "clock.h"
#include "tavikerror.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace fileutil {

qint64 FileSize64(const QString &name)
{
    const QFileInfo info(name);
    if (!info.exists())
        return -1;
    return info.isDir() ? 0 : info.size();
}

bool fileExists(const QString &name)
{
    const QFileInfo info(name);
    return info.exists() && !info.isDir();
}

bool isPresent(const QString &name)
{
    return fileExists(name) && FileSize64(name) > 0;
}

qint64 fileAge(const QString &name)
{
    const QFileInfo info(name);
    if (!info.exists())
        return -1;
    const QDateTime t = info.lastModified().toLocalTime();
    const QDate d = t.date();
    const QTime tm = t.time();
    return (qint64(d.year() - 1980) << 25) | (qint64(d.month()) << 21) | (qint64(d.day()) << 16)
        | (qint64(tm.hour()) << 11) | (qint64(tm.minute()) << 5) | qint64(tm.second() / 2);
}

void deleteFile(const QString &name)
{
    QFile file(name);
    if (!file.exists())
        return;
    if (!file.remove())
        throw TavikError(QStringLiteral("Cannot delete %1: %2").arg(name, file.errorString()));
}

void writeFileAtomically(const QString &name, const QByteArray &bytes)
{
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        throw TavikError(QStringLiteral("Cannot create file \"%1\". %2").arg(name, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw TavikError(QStringLiteral("Cannot write file \"%1\". %2").arg(name, file.errorString()));
    // A fixed clock is the file system's clock too: a file written by the
    // program then ages with the program's time.
    if (Clock::isFixed())
        file.setFileTime(Clock::nowUtc(), QFileDevice::FileModificationTime);
    if (!file.commit())
        throw TavikError(QStringLiteral("Cannot write file \"%1\". %2").arg(name, file.errorString()));
}

QByteArray readFile(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw TavikError(QStringLiteral("Cannot open file \"%1\". %2").arg(name, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TavikError(QStringLiteral("Cannot read file \"%1\". %2").arg(name, file.errorString()));
    return bytes;
}

} // namespace fileutil
