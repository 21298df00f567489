#include "autostart.h"

// Q_OS_WIN comes from Qt's headers: the test must follow one.
#include <QtGlobal>

#ifdef Q_OS_WIN

#include "base/tavikerror.h"

#include <QDir>
#include <QSettings>

#include <windows.h>

namespace {

const QString kRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kValue = QStringLiteral("TavikRepView");
// Where Task Manager and the Settings app keep their switch for each Run
// value: binary, the lowest bit of its first byte set while switched off.
const wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const wchar_t kApprovedValue[] = L"TavikRepView";

bool switchedOffByDesktop()
{
    BYTE data[16] = {};
    DWORD size = sizeof(data);
    const LSTATUS status
        = RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, kApprovedValue, RRF_RT_REG_BINARY, nullptr, data, &size);
    return status == ERROR_SUCCESS && size > 0 && (data[0] & 1) != 0;
}

} // namespace

bool autostartEnabled()
{
    return QSettings(kRunKey, QSettings::NativeFormat).contains(kValue) && !switchedOffByDesktop();
}

void setAutostart(bool enabled, const QString &programFile)
{
    QSettings run(kRunKey, QSettings::NativeFormat);
    if (enabled)
        run.setValue(kValue, QString(u'"' + QDir::toNativeSeparators(programFile) + QStringLiteral("\" /DATAFOLDER")));
    else
        run.remove(kValue);
    run.sync();
    if (run.status() != QSettings::NoError)
        throw TavikError(QStringLiteral("Cannot change the Run value ") + kValue + QStringLiteral(" in ") + kRunKey);
    // Switched on here, it must not stay switched off in Task Manager.
    if (enabled) {
        const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, kApprovedValue);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            throw TavikError(QStringLiteral("Cannot switch on the start at login in Task Manager's list"));
    }
}

#endif
