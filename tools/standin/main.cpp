// tavik-standin: serves the report service, the address echo and the maker's
// web site on 127.0.0.1, for demonstrations and manual tests. Point the
// program at it with the environment lines it prints.

#include "demoday.h"
#include "reportgenerator.h"
#include "standinserver.h"
#include "wsjtxplay.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QTextStream>
#include <QUdpSocket>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>

namespace {

int quitPipe[2] = { -1, -1 };

void quitOnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(quitPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so that what follows it (the
// WSJT-X play's Close) still happens.
void quitEventLoopOnSignals(QCoreApplication &app)
{
    if (::pipe(quitPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, quitOnSignal);
    std::signal(SIGINT, quitOnSignal);
}

} // namespace
#endif

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
    const QCommandLineOption wsjtx(u"wsjtx"_s,
        u"Play WSJT-X: send its UDP messages to this address and port (a multicast group too; port 0: "
        "a free one, printed as TAVIK_WSJTX_PORT), the demo station transmitting FT8 every other cycle: "
        "6 minutes on 20 m, 6 on 40 m, 3 paused, again and again. With --demo-locator its reports follow."_s,
        u"address:port"_s);
    const QCommandLineOption wsjtxStatusEvery(u"wsjtx-status-every"_s,
        u"With --wsjtx: a status every this many seconds besides those at each change."_s, u"seconds"_s,
        u"0"_s);
    parser.addOptions({ httpsPort, httpPort, cert, key, answerFile, versionLine, echo, fault, now, callsign,
        demoLocator, demoExpedition, reference, printReports, lastSeqNo, wsjtx, wsjtxStatusEvery });
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

    // The digital-mode program's rounds start with the first cycle on the
    // air after the stand-in starts.
    std::optional<demo::OnAir> onAir;
    QHostAddress wsjtxAddress;
    quint16 wsjtxPort = 0;
    if (parser.isSet(wsjtx)) {
        const QString text = parser.value(wsjtx);
        const qsizetype colon = text.lastIndexOf(u':');
        bool ok = false;
        wsjtxPort = text.mid(colon + 1).toUShort(&ok);
        if (!ok || colon <= 0 || !wsjtxAddress.setAddress(text.left(colon))
            || wsjtxAddress.protocol() != QAbstractSocket::IPv4Protocol)
            return fail(u"--wsjtx wants an IPv4 address and a port, such as 127.0.0.1:2237"_s);
        onAir = demo::OnAir::startingAt(fixedNow >= 0 ? fixedNow : QDateTime::currentSecsSinceEpoch());
        if (day)
            day->setOnAir(*onAir);
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
    if (onAir)
        server.setDemoOnAir(*onAir);
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

    std::optional<WsjtxPlay> play;
    if (onAir) {
        if (wsjtxPort == 0) {
            // A port no other program holds now, for the listener to take.
            QUdpSocket probe;
            if (!probe.bind(wsjtxAddress, 0))
                return fail(
                    u"no free UDP port on "_s + wsjtxAddress.toString() + u": "_s + probe.errorString());
            wsjtxPort = probe.localPort();
        }
        play.emplace(*onAir, parser.isSet(callsign) ? parser.value(callsign) : u"N0CALL"_s,
            day ? QString::fromLatin1(day->locator()) : QString());
        bool ok = false;
        const int every = parser.value(wsjtxStatusEvery).toInt(&ok);
        if (!ok || every < 0)
            return fail(u"--wsjtx-status-every wants a number of seconds"_s);
        play->setStatusEvery(every);
        if (!play->start(wsjtxAddress, wsjtxPort))
            return fail(u"WSJT-X play: "_s + play->errorString());
        out << "TAVIK_WSJTX_PORT=" << wsjtxPort << '\n';
    }
#ifdef Q_OS_UNIX
    quitEventLoopOnSignals(app);
#endif

    out << "https port " << server.httpsPort() << "\nhttp port " << server.httpPort() << "\n\n"
        << "TAVIK_REPORT_URL=" << server.httpsBase() << '\n'
        << "TAVIK_ECHO_URL=" << server.httpBase() << "/\n"
        << "TAVIK_SITE_URL=" << server.httpsBase() << '\n'
        << "TAVIK_CA_FILE=" << StandInServer::testCaFile() << Qt::endl;
    QObject::connect(&server, &StandInServer::requestReceived, &app, [&out](const StandInRequest &request) {
        out << QDateTime::currentDateTime().toString(u"hh:mm:ss"_s) << ' '
            << (request.tls ? "https " : "http  ") << request.method << ' ' << request.target << Qt::endl;
    });
    const int status = app.exec();
    if (play)
        play->close();
    return status;
}
