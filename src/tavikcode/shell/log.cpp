#include "log.h"

#include "base/clock.h"
#include "base/datetime.h"
#include "base/filenames.h"
#include "base/tavikerror.h"

#include <QFile>

void LogLine(const QString &message)
{
    QFile file(files::kLog);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw TavikError(QStringLiteral("I/O error: cannot open %1: %2").arg(files::kLog, file.errorString()));
    const QByteArray line = (datetime::dateTimeText(Clock::nowLocal()) + u' ' + message).toUtf8() + "\r\n";
    if (file.write(line) != line.size() || !file.flush())
        throw TavikError(QStringLiteral("I/O error: cannot write %1: %2").arg(files::kLog, file.errorString()));
}
