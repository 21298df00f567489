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

std::optional<std::pair<QString, quint16>> udpServerFromLines(const QStringList &lines)
{
    std::optional<QString> server, port;
    for (const QString &line : lines) {
        if (line.startsWith(u"UDPServer="))
            server = line.mid(10).trimmed();
        else if (line.startsWith(u"UDPServerPort="))
            port = line.mid(14).trimmed();
    }
    quint16 number = 2237;
    if (port) {
        bool ok = false;
        const uint n = port->toUInt(&ok);
        if (!ok || n == 0 || n > 65535)
            return std::nullopt;
        number = quint16(n);
    }
    return std::pair{server ? *server : QStringLiteral("127.0.0.1"), number};
}

QString callsignFileLine(const QString &callsign)
{
    return QStringLiteral("MyCall=") + textops::upperAscii(textops::trim(callsign));
}
