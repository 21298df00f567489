#pragma once

#include <QString>
#include <QUrl>

// The addresses the program talks to: the report service, the public-address
// echo and the maker's web site. The defaults live in endpoints.cpp only; the
// environment may point any of them elsewhere (a local stand-in, a test server).
struct Endpoints
{
    QString reportBase; // scheme, host and port of the report service, no trailing "/"
    QString echoAddress; // the whole echo address
    QString siteBase; // scheme, host and port of the maker's web site, no trailing "/"
    QString siteName; // the site's name as the operator reads it in messages
    QString caFile; // an extra PEM file of trusted certificates; empty for none

    // The program's own hosts, without regard to the environment.
    static Endpoints defaults();

    // The defaults, overridden by TAVIK_REPORT_URL, TAVIK_ECHO_URL,
    // TAVIK_SITE_URL and TAVIK_CA_FILE where those are set and not empty.
    static Endpoints fromEnvironment();
};

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
