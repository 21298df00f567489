// tavik-standin: serves the report service, the address echo and the maker's
// web site on 127.0.0.1, for demonstrations and manual tests. Point the
// program at it with the environment lines it prints.

#include "demoday.h"
#include "reportgenerator.h"
#include "standinserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTextStream>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"tavik-standin"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Local stand-in for the report service, the address echo and the web site."_s);
    parser.addHelpOption();
    const QCommandLineOption httpsPort(
        u"https-port"_s, u"HTTPS port (0: any free port)."_s, u"port"_s, u"0"_s);
    const QCommandLineOption httpPort(
        u"http-port"_s, u"Plain HTTP port (0: any free port)."_s, u"port"_s, u"0"_s);
    const QCommandLineOption cert(
        u"cert"_s, u"Server certificate (PEM)."_s, u"file"_s, StandInServer::serverCertFile());
    const QCommandLineOption key(
        u"key"_s, u"Server RSA key (PEM)."_s, u"file"_s, StandInServer::serverKeyFile());
    const QCommandLineOption answerFile(u"answer-file"_s, u"Answer every query with this file."_s, u"file"_s);
    const QCommandLineOption versionLine(u"version-line"_s, u"First line of the version page."_s, u"text"_s);
    const QCommandLineOption echo(u"echo"_s, u"Echo this text instead of the client's address."_s, u"text"_s);
    const QCommandLineOption fault(u"fault"_s,
        u"Fault: delay:MS, status:CODE, redirect[:LOCATION], drop, midbody, empty, oneline, stall, large:MB; "
        "add ,sticky for every request and ,path=/query for one route only."_s,
        u"fault"_s);
    const QCommandLineOption now(
        u"now"_s, u"Generate reports as at this instant (seconds since 1970)."_s, u"seconds"_s);
    const QCommandLineOption callsign(
        u"callsign"_s, u"Generated reports name this sender whatever the query asks."_s, u"callsign"_s);
    const QCommandLineOption reference(u"reference"_s,
        u"Answer queries for this callsign as a reference station's (may be given three times); with "
        "--demo-locator a second station 30 km from the demo's, heard by the same receivers."_s,
        u"callsign"_s);
    const QCommandLineOption demoLocator(u"demo-locator"_s,
        u"Generated reports follow a plausible day of a station at this locator (e.g. IO91wm)."_s,
        u"locator"_s);
    const QCommandLineOption demoExpedition(u"demo-expedition"_s,
        u"With --demo-locator: a DXpedition's receiver (Chatham Islands, ZL7X) hears the station from this "
        "many seconds after the start on."_s,
        u"seconds"_s);
    const QCommandLineOption printReports(
        u"print-reports"_s, u"Print the generated answer for this callsign and exit."_s, u"callsign"_s);
    const QCommandLineOption lastSeqNo(
        u"lastseqno"_s, u"With --print-reports: only reports after this."_s, u"n"_s);
    parser.addOptions({ httpsPort, httpPort, cert, key, answerFile, versionLine, echo, fault, now, callsign,
        demoLocator, demoExpedition, reference, printReports, lastSeqNo });
    parser.process(app);

    QTextStream out(stdout);
    const auto fail = [](const QString &message) {
        QTextStream(stderr) << "tavik-standin: " << message << Qt::endl;
        return 1;
    };
    qint64 fixedNow = -1;
    if (parser.isSet(now)) {
        bool ok = false;
        fixedNow = parser.value(now).toLongLong(&ok);
        if (!ok)
            return fail(u"--now wants a number of seconds"_s);
    }

    std::optional<demo::Day> day;
    if (parser.isSet(demoLocator)) {
        day = demo::Day::forLocator(parser.value(demoLocator));
        if (!day)
            return fail(u"--demo-locator wants a locator of 4 to 10 characters, such as IO91wm"_s);
    }

    const QStringList references = parser.values(reference);
    if (parser.isSet(printReports)) {
        const qint64 at = fixedNow >= 0 ? fixedNow : QDateTime::currentSecsSinceEpoch();
        const QString asked = parser.value(printReports);
        const QString station = parser.isSet(callsign) ? parser.value(callsign) : u"N0CALL"_s;
        const QByteArray text = day && references.contains(asked, Qt::CaseInsensitive)
            ? day->referenceAnswer(station, asked, parser.value(lastSeqNo), at)
            : day ? day->answer(asked, parser.value(lastSeqNo), at)
                  : ReportGenerator::answer(asked, parser.value(lastSeqNo), at);
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fputc('\n', stdout);
        return 0;
    }

    StandInServer server;
    if (!server.setCertificate(parser.value(cert), parser.value(key)))
        return fail(server.errorString());
    if (parser.isSet(answerFile))
        server.setAnswerFile(parser.value(answerFile));
    if (parser.isSet(versionLine))
        server.setVersionPage(parser.value(versionLine).toUtf8() + "\r\n");
    if (parser.isSet(echo))
        server.setEchoText(parser.value(echo).toUtf8());
    if (parser.isSet(fault)) {
        const std::optional<StandInFault> f = StandInFault::parse(parser.value(fault));
        if (!f)
            return fail(u"unknown fault: "_s + parser.value(fault));
        server.setFault(*f);
    }
    if (parser.isSet(callsign))
        server.setReportCallsign(parser.value(callsign));
    server.setReferenceCallsigns(references);
    if (day)
        server.setDemoLocator(parser.value(demoLocator));
    if (parser.isSet(demoExpedition)) {
        bool ok = false;
        const qint64 after = parser.value(demoExpedition).toLongLong(&ok);
        if (!ok || after < 0 || !day)
            return fail(u"--demo-expedition wants --demo-locator and a number of seconds"_s);
        server.setDemoExpedition((fixedNow >= 0 ? fixedNow : QDateTime::currentSecsSinceEpoch()) + after);
    }
    if (fixedNow >= 0)
        server.setNow([fixedNow] { return fixedNow; });
    bool tlsOk = false;
    bool plainOk = false;
    const quint16 tlsPort = parser.value(httpsPort).toUShort(&tlsOk);
    const quint16 plainPort = parser.value(httpPort).toUShort(&plainOk);
    if (!tlsOk || !plainOk)
        return fail(u"a port is a number from 0 to 65535"_s);
    if (!server.listen(tlsPort, plainPort))
        return fail(server.errorString());

    out << "https port " << server.httpsPort() << "\nhttp port " << server.httpPort() << "\n\n"
        << "TAVIK_REPORT_URL=" << server.httpsBase() << '\n'
        << "TAVIK_ECHO_URL=" << server.httpBase() << "/\n"
        << "TAVIK_SITE_URL=" << server.httpsBase() << '\n'
        << "TAVIK_CA_FILE=" << StandInServer::testCaFile() << Qt::endl;
    QObject::connect(&server, &StandInServer::requestReceived, &app, [&out](const StandInRequest &request) {
        out << QDateTime::currentDateTime().toString(u"hh:mm:ss"_s) << ' '
            << (request.tls ? "https " : "http  ") << request.method << ' ' << request.target << Qt::endl;
    });
    return app.exec();
}
