#include "callsignfile.h"

#include "textops.h"

namespace {

QString lastValue(const QStringList &lines, const QString &key)
{
    QString value;
    for (const QString &line : lines) {
        if (!line.startsWith(key))
            continue;
        const qsizetype equals = textops::pos(u"=", line);
        value = textops::upperAscii(textops::trim(textops::copy(line, equals + 1, 20)));
    }
    return value;
}

} // namespace

QString callsignFromLines(const QStringList &lines)
{
    return lastValue(lines, QStringLiteral("MyCall="));
}

QString gridFromLines(const QStringList &lines)
{
    return lastValue(lines, QStringLiteral("MyGrid="));
}

QString callsignFileLine(const QString &callsign)
{
    return QStringLiteral("MyCall=") + textops::upperAscii(textops::trim(callsign));
}
