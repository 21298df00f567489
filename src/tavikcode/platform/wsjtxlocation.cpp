#include "wsjtxlocation.h"

#include <QDir>

QString GetEnvironmentText(const QString &name)
{
    return qEnvironmentVariable(name.toLocal8Bit().constData());
}

QString wsjtxSettingsFolder()
{
#if defined(Q_OS_WIN)
    return GetEnvironmentText(QStringLiteral("LOCALAPPDATA")) + QStringLiteral("\\WSJT-X\\");
#elif defined(Q_OS_MACOS)
    return QDir::homePath() + QStringLiteral("/Library/Preferences/");
#else
    QString folder = GetEnvironmentText(QStringLiteral("XDG_CONFIG_HOME"));
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + u'/';
#endif
}

QString wsjtxSettingsFileName()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("WSJT-X.INI");
#else
    return QStringLiteral("WSJT-X.ini");
#endif
}
