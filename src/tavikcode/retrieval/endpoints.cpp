#include "endpoints.h"

#include "tavikendpoints.h"

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

bool isHttps(const QString &address)
{
    return address.startsWith(u"https://", Qt::CaseInsensitive) && address.size() > 8;
}

// One address and where it may come from.
struct Source
{
    QString Endpoints::*field;
    QString storedIdent;
    const char *variable;
    bool httpsOnly;
    QString what;
};

} // namespace

Endpoints Endpoints::defaults()
{
    return Endpoints {
        QStringLiteral(TAVIK_DEFAULT_REPORT_URL),
        QStringLiteral(TAVIK_DEFAULT_ECHO_URL),
        QStringLiteral(TAVIK_DEFAULT_SITE_URL),
        QStringLiteral(TAVIK_DEFAULT_SITE_NAME),
        QString(),
    };
}

Endpoints Endpoints::resolve(const std::function<QString(const QString &ident)> &stored, QStringList *refused)
{
    const Source sources[] = {
        {&Endpoints::reportBase, storedaddress::kReport, "TAVIK_REPORT_URL", true, QStringLiteral("report service")},
        {&Endpoints::echoAddress, storedaddress::kEcho, "TAVIK_ECHO_URL", false, QStringLiteral("address echo")},
        {&Endpoints::siteBase, storedaddress::kSite, "TAVIK_SITE_URL", true, QStringLiteral("web site")},
    };
    Endpoints e = defaults();
    for (const Source &source : sources) {
        QString &address = e.*source.field;
        const auto offer = [&](const QString &value, const QString &origin) {
            if (value.isEmpty())
                return;
            if (source.httpsOnly && !isHttps(value)) {
                if (refused)
                    *refused << QStringLiteral("The %1 address \"%2\" given by %3 is refused: it must begin "
                                               "with https://. The program uses %4 instead.")
                                    .arg(source.what, value, origin, address);
                return;
            }
            // The echo is named whole; the others are bases that paths follow.
            address = source.field == &Endpoints::echoAddress ? value : withoutTrailingSlash(value);
        };
        if (stored)
            offer(stored(source.storedIdent).trimmed(), QStringLiteral("the setting ") + source.storedIdent);
        offer(environment(source.variable), QString::fromLatin1(source.variable));
    }
    e.caFile = environment("TAVIK_CA_FILE");
    return e;
}

Endpoints Endpoints::fromEnvironment()
{
    return resolve({});
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
