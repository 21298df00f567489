#include "autostart.h"

// Q_OS_WIN comes from Qt's headers: the test must follow one.
#include <QtGlobal>

#ifdef Q_OS_WIN

#include "base/tavikerror.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kValue = QStringLiteral("TavikRepView");

} // namespace

bool autostartEnabled()
{
    return QSettings(kRunKey, QSettings::NativeFormat).contains(kValue);
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
}

#endif
