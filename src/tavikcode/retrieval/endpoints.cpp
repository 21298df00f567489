#include "endpoints.h"

#include <QtGlobal>

namespace {

QString withoutTrailingSlash(QString base)
{
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString environment(const char *name)
{
    return qEnvironmentVariable(name).trimmed();
}

QUrl strictUrl(const QByteArray &encoded)
{
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

} // namespace

Endpoints Endpoints::defaults()
{
    return Endpoints {
        QStringLiteral("https://retrieve.tavikreporter.net"),
        QStringLiteral("http://ip.orlix.net/"),
        QStringLiteral("https://www.orlix.net"),
        QStringLiteral("WWW.ORLIX.NET"),
        QString(),
    };
}

Endpoints Endpoints::fromEnvironment()
{
    Endpoints e = defaults();
    if (const QString v = environment("TAVIK_REPORT_URL"); !v.isEmpty())
        e.reportBase = withoutTrailingSlash(v);
    if (const QString v = environment("TAVIK_ECHO_URL"); !v.isEmpty())
        e.echoAddress = v;
    if (const QString v = environment("TAVIK_SITE_URL"); !v.isEmpty())
        e.siteBase = withoutTrailingSlash(v);
    e.caFile = environment("TAVIK_CA_FILE");
    return e;
}

QByteArray encodeQueryValue(const QString &value)
{
    // Everything but the unreserved characters and "/" is escaped.
    return value.toUtf8().toPercentEncoding("/");
}

QUrl queryUrl(const Endpoints &endpoints, const QString &callsign, const QString &lastSeqNo)
{
    QByteArray url = endpoints.reportBase.toUtf8() + "/query?senderCallsign=" + encodeQueryValue(callsign);
    if (!lastSeqNo.isEmpty())
        url += "&lastseqno=" + encodeQueryValue(lastSeqNo);
    return strictUrl(url);
}

QUrl echoUrl(const Endpoints &endpoints)
{
    return strictUrl(endpoints.echoAddress.toUtf8());
}

QUrl versionPageUrl(const Endpoints &endpoints)
{
    return strictUrl(
        endpoints.siteBase.toUtf8() + "/web/images/UserFiles/File/TavikRepView/TavikRepVersion.htm");
}

QUrl downloadUrl(const Endpoints &endpoints)
{
    return strictUrl(
        endpoints.siteBase.toUtf8() + "/web/images/UserFiles/File/TavikRepView/TavikRepView.zip");
}
