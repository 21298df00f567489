#include "versioninfo.h"

#include "tavikversion.h"

#include <QFileInfo>

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <windows.h>
#include <vector>
#endif

void GetVersionNumbers(quint16 &major, quint16 &minor, quint16 &release, quint16 &build)
{
#ifdef Q_OS_WIN
    const std::wstring file = QCoreApplication::applicationFilePath().toStdWString();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0)
        return;
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data()))
        return;
    VS_FIXEDFILEINFO *info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void **>(&info), &length) || !info)
        return;
    major = HIWORD(info->dwFileVersionMS);
    minor = LOWORD(info->dwFileVersionMS);
    release = HIWORD(info->dwFileVersionLS);
    build = LOWORD(info->dwFileVersionLS);
#else
    major = TAVIK_VERSION_MAJOR;
    minor = TAVIK_VERSION_MINOR;
    release = TAVIK_VERSION_RELEASE;
    build = TAVIK_VERSION_BUILD;
#endif
}

QString GetVersionText()
{
    quint16 major = 0, minor = 0, release = 0, build = 0;
    GetVersionNumbers(major, minor, release, build);
    return QStringLiteral("%1.%2.%3.%4").arg(major).arg(minor).arg(release).arg(build);
}

QDateTime programFileTime(const QString &programFile)
{
    QDateTime t = QFileInfo(programFile).lastModified().toLocalTime();
    if (!t.isValid())
        return t;
    const QTime tm = t.time();
    // File systems of the FAT family keep even seconds only; hold every
    // platform to that so the build text is the same everywhere.
    return QDateTime(t.date(), QTime(tm.hour(), tm.minute(), tm.second() - tm.second() % 2), Qt::LocalTime);
}
