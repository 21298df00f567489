#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// The addresses the program talks to: the report service, the public-address
// echo and the maker's web site. The defaults live in endpoints.cpp only; the
// environment may point any of them elsewhere (a local stand-in, a test server).
struct Endpoints
{
    QString reportBase; // scheme, host and port of the report service, no trailing "/"
    QString echoAddress; // the whole echo address
    QString siteBase; // scheme, host and port of the maker's web site, no trailing "/"
    QString siteName; // the site's name as the operator reads it in messages
    QString caFile; // a PEM file of certificates trusted instead of the system's; empty for the system's

    // The addresses built into the program (set when it is configured).
    static Endpoints defaults();

    // In rising precedence: the built-in addresses, the values of the
    // settings store (stored(ident) gives one, empty for none; see the
    // idents below), and the environment variables TAVIK_REPORT_URL,
    // TAVIK_ECHO_URL, TAVIK_SITE_URL and TAVIK_CA_FILE; each where set and
    // not empty. A report service or web site address that does not begin
    // with https:// is refused: the one below it stays, and a message for the
    // operator, naming where the address came from, goes to refused.
    static Endpoints resolve(const std::function<QString(const QString &ident)> &stored,
                             QStringList *refused = nullptr);

    // The built-in addresses and the environment, without the settings store.
    static Endpoints fromEnvironment();
};

// The values of the settings store (section "Orlix") that point the program
// at other addresses.
namespace storedaddress {
inline const QString kReport = QStringLiteral("TavikViewReportUrl");
inline const QString kEcho = QStringLiteral("TavikViewEchoUrl");
inline const QString kSite = QStringLiteral("TavikViewSiteUrl");
} // namespace storedaddress

// "/query?senderCallsign=" + callsign, then "&lastseqno=" + lastSeqNo when it
// is not empty, on the report service. Characters that would change the
// meaning of the address are percent-encoded (as UTF-8); letters, digits and
// "/" stand as they are, so G4XYZ/P goes out exactly as typed.
QUrl queryUrl(const Endpoints &endpoints, const QString &callsign, const QString &lastSeqNo);

QUrl echoUrl(const Endpoints &endpoints);

// The version page and the download on the maker's web site.
QUrl versionPageUrl(const Endpoints &endpoints);
QUrl downloadUrl(const Endpoints &endpoints);

// The percent-encoded form of one query value, as queryUrl inserts it.
QByteArray encodeQueryValue(const QString &value);
