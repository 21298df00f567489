#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPair>
#include <QQueue>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace demo {
class Day;
class OnAir;
}
class QSslServer;
class QTcpServer;
class QTcpSocket;

using StandInHeaders = QList<QPair<QByteArray, QByteArray>>;

// Something going wrong on purpose, for the next request or for every one.
struct StandInFault
{
    enum Kind {
        None,
        Delay, // answer after value milliseconds
        Status, // answer with status value (404, 503, ...)
        Redirect, // answer 302 with a Location header
        Drop, // close the connection without answering
        CloseMidBody, // send the headers and half the body, then close
        EmptyBody, // an answer without a body
        OneLine, // only the first line of the body
        Stall, // never answer
        LargeBody, // a body of value megabytes, its length not announced
        Drip, // the headers, then the body one byte every value milliseconds
    };
    Kind kind = None;
    int value = 0;
    QByteArray location = "/moved"; // the Location of a redirect
    bool sticky = false; // otherwise only the next matching request
    QString path; // only requests whose path begins so (ends with '$': is so); empty for all

    // "kind[:value][,sticky][,path=/query]": delay:1500, status:503,
    // redirect[:location], drop, midbody, empty, oneline, stall, large:70,
    // drip:200.
    // Nothing for an unknown kind or option.
    static std::optional<StandInFault> parse(const QString &text);
};

// A scripted answer to the next report query.
struct StandInAnswer
{
    QByteArray body;
    int status = 200;
    StandInHeaders headers; // Content-Type defaults to text/xml; charset=UTF-8
    StandInFault fault;
};

struct StandInRequest
{
    QByteArray method;
    QByteArray target; // path with query, as sent
    QByteArray version; // "HTTP/1.1"
    StandInHeaders headers;
    bool tls = false;
    QDateTime started; // when the request had arrived
    QDateTime finished; // when its connection closed; invalid while outstanding
    qint64 bodyBytesSent = 0; // handed to the connection, not necessarily received

    // The first header of that name (any case), empty when there is none.
    QByteArray header(const QByteArray &name) const;
};

// A local stand-in for the report service, the address echo and the maker's
// web site, listening on 127.0.0.1 only: HTTPS and plain HTTP on separate
// ports, every route on both. A test tool; the program never needs it.
//   GET /query?senderCallsign=X[&lastseqno=N]  scripted answers, else the
//       answer file, else generated reports (ReportGenerator, or the demo's
//       day of demo::Day once a demo locator is set; a reference station's
//       for a reference callsign)
//   GET /                                       the client's address
//   GET /web/images/UserFiles/File/TavikRepView/TavikRepVersion.htm  the version page
//   GET /web/images/UserFiles/File/TavikRepView/TavikRepView.zip     some bytes
class StandInServer : public QObject
{
    Q_OBJECT

public:
    explicit StandInServer(QObject *parent = nullptr);
    ~StandInServer() override;

    // The committed test certificates (tools/certs).
    static QString certFile(const QString &name);
    static QString serverCertFile() { return certFile(QStringLiteral("server.pem")); }
    static QString serverKeyFile() { return certFile(QStringLiteral("server.key")); }
    static QString testCaFile() { return certFile(QStringLiteral("test-ca.pem")); }
    static QString untrustedCertFile() { return certFile(QStringLiteral("untrusted.pem")); }
    static QString untrustedKeyFile() { return certFile(QStringLiteral("untrusted.key")); }

    // The certificate and key of the HTTPS port (before listen); the server
    // certificate signed by the test CA unless set.
    bool setCertificate(const QString &certFile, const QString &keyFile);

    // Port 0 takes any free port. False, with errorString(), when either fails.
    bool listen(quint16 httpsPort = 0, quint16 httpPort = 0);
    QString errorString() const { return m_error; }
    quint16 httpsPort() const;
    quint16 httpPort() const;
    QString httpsBase() const; // "https://127.0.0.1:port"
    QString httpBase() const;

    void enqueueAnswer(const StandInAnswer &answer);
    void setAnswerFile(const QString &fileName); // read at every query; empty for none
    void setEchoText(const QByteArray &text); // empty: the client's address
    void setVersionPage(const QByteArray &page);
    void setFault(const StandInFault &fault); // replaces the one set before
    void setNow(std::function<qint64()> nowSeconds); // the generator's clock
    // Generated reports name this sender whatever the query asks; empty: the
    // queried callsign.
    void setReportCallsign(const QString &callsign);
    // Queries for these callsigns (any letter case) are answered as a
    // reference station's: with the demo's day, the second station beside the
    // demo's (demo::Day::referenceAnswer, made from the reports of the report
    // callsign, else N0CALL); otherwise the generator's reports of that
    // callsign, whatever the report callsign.
    void setReferenceCallsigns(const QStringList &callsigns);
    // Generated reports follow a plausible day of a station at this locator
    // (4 to 10 characters); empty for the plain generator again. False, with
    // the generator unchanged, for text that is no locator.
    bool setDemoLocator(const QString &locator);
    // The demo day's DXpedition from that instant on (demo::Day::setExpedition);
    // set after the locator.
    void setDemoExpedition(qint64 fromSeconds);
    // The demo day's reports on 20 m and 40 m follow the station's
    // digital-mode program (demo::Day::setOnAir); set after the locator.
    void setDemoOnAir(const demo::OnAir &onAir);

    QList<StandInRequest> requests() const { return m_requests; }
    int outstanding() const { return m_outstanding; }
    int maxOutstanding() const { return m_maxOutstanding; }
    void clearRecords();

signals:
    void requestReceived(const StandInRequest &request);

private:
    struct Answer
    {
        int status = 200;
        StandInHeaders headers;
        QByteArray body;
    };

    void accept(QTcpServer *server, bool tls);
    void handle(QTcpSocket *socket, qsizetype record);
    Answer route(QTcpSocket *socket, const StandInRequest &request, StandInFault &fault);
    void send(QTcpSocket *socket, qsizetype record, Answer answer, const StandInFault &fault);
    void noteSent(qsizetype record, qint64 bytes);
    void finish(qsizetype record);

    QSslServer *m_https;
    QTcpServer *m_http;
    QSslCertificate m_certificate;
    QSslKey m_key;
    QString m_error;
    QQueue<StandInAnswer> m_answers;
    QString m_answerFile;
    QByteArray m_echoText;
    QByteArray m_versionPage;
    StandInFault m_fault;
    std::function<qint64()> m_now;
    QString m_reportCallsign;
    QStringList m_referenceCallsigns;
    std::shared_ptr<const demo::Day> m_demo;
    QList<StandInRequest> m_requests;
    qsizetype m_firstRecord = 0; // record number of m_requests[0]
    int m_outstanding = 0;
    int m_maxOutstanding = 0;
};
