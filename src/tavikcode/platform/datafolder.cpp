#include "datafolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString dataFolderPath()
{
#if defined(Q_OS_WIN)
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/TavikRepView"));
#else
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/TavikRepView"));
#endif
}

QString enterDataFolder()
{
    const QString folder = dataFolderPath();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return QStringLiteral("Cannot create the data folder ") + QDir::toNativeSeparators(folder);
    if (!QDir::setCurrent(folder))
        return QStringLiteral("Cannot work in the data folder ") + QDir::toNativeSeparators(folder);
    return {};
}
