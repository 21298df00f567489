#include "callsignfile.h"

#include "textops.h"

QString callsignFromLines(const QStringList &lines)
{
    QString callsign;
    for (const QString &line : lines) {
        if (!line.startsWith(QStringLiteral("MyCall=")))
            continue;
        const qsizetype equals = textops::pos(u"=", line);
        callsign = textops::upperAscii(textops::trim(textops::copy(line, equals + 1, 20)));
    }
    return callsign;
}

QString callsignFileLine(const QString &callsign)
{
    return QStringLiteral("MyCall=") + textops::upperAscii(textops::trim(callsign));
}
