#include "standinserver.h"

#include "demoday.h"
#include "reportgenerator.h"

#include <QFile>
#include <QSslConfiguration>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>
#include <QUrlQuery>

#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QByteArray pathOf(const QByteArray &target)
{
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? target : target.left(mark);
}

constexpr qsizetype maxHeaderBytes = 64 * 1024;
const QByteArray versionPath = "/web/images/UserFiles/File/TavikRepView/TavikRepVersion.htm";
const QByteArray downloadPath = "/web/images/UserFiles/File/TavikRepView/TavikRepView.zip";

QByteArray reasonOf(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Status";
    }
}

StandInHeaders contentType(const QByteArray &type)
{
    return { { "Content-Type", type } };
}

bool hasHeader(const StandInHeaders &headers, const QByteArray &name)
{
    for (const auto &h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

std::optional<StandInRequest> parseHead(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || !first.at(2).startsWith("HTTP/"))
        return std::nullopt;
    StandInRequest request;
    request.method = first.at(0);
    request.target = first.at(1);
    request.version = first.at(2);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers += { line.left(colon).trimmed(), line.mid(colon + 1).trimmed() };
    }
    return request;
}

} // namespace

std::optional<StandInFault> StandInFault::parse(const QString &text)
{
    static const QList<QPair<QString, Kind>> kinds {
        { u"delay"_s, Delay },
        { u"status"_s, Status },
        { u"redirect"_s, Redirect },
        { u"drop"_s, Drop },
        { u"midbody"_s, CloseMidBody },
        { u"empty"_s, EmptyBody },
        { u"oneline"_s, OneLine },
        { u"stall"_s, Stall },
        { u"large"_s, LargeBody },
        { u"drip"_s, Drip },
        { u"none"_s, None },
    };
    const QStringList parts = text.split(u',');
    const QString name = parts.value(0).section(u':', 0, 0).trimmed().toLower();
    StandInFault fault;
    bool found = false;
    for (const auto &k : kinds)
        if (k.first == name) {
            fault.kind = k.second;
            found = true;
        }
    if (!found)
        return std::nullopt;
    if (const QString value = parts.value(0).section(u':', 1); !value.isEmpty()) {
        bool ok = false;
        fault.value = value.toInt(&ok);
        if (!ok && fault.kind == Redirect) {
            fault.value = 302;
            fault.location = value.toUtf8();
        } else if (!ok) {
            return std::nullopt;
        }
    }
    if (fault.kind == Status && fault.value == 0)
        fault.value = 503;
    if (fault.kind == LargeBody && fault.value == 0)
        fault.value = 70;
    if (fault.kind == Drip && fault.value == 0)
        fault.value = 200;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString option = parts.at(i).trimmed();
        if (option == u"sticky")
            fault.sticky = true;
        else if (option.startsWith(u"path="))
            fault.path = option.mid(5);
        else
            return std::nullopt;
    }
    return fault;
}

QByteArray StandInRequest::header(const QByteArray &name) const
{
    for (const auto &h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return QByteArray();
}

StandInServer::StandInServer(QObject *parent)
    : QObject(parent)
    , m_https(new QSslServer(this))
    , m_http(new QTcpServer(this))
    , m_versionPage("TavikRepView Version: 1.0.0.1, Build: 01Dec2026 12:00:00\r\n")
    , m_now([] { return QDateTime::currentSecsSinceEpoch(); })
{
    // An HTTPS connection becomes pending only after its handshake, which
    // newConnection does not wait for.
    connect(m_https, &QTcpServer::pendingConnectionAvailable, this, [this] { accept(m_https, true); });
    connect(m_http, &QTcpServer::pendingConnectionAvailable, this, [this] { accept(m_http, false); });
    setCertificate(serverCertFile(), serverKeyFile());
}

StandInServer::~StandInServer()
{
    // Closes the connections while the records are still there.
    delete m_https;
    delete m_http;
}

QString StandInServer::certFile(const QString &name)
{
    return QStringLiteral(TAVIK_STANDIN_CERT_DIR "/") + name;
}

bool StandInServer::setCertificate(const QString &certFile, const QString &keyFile)
{
    QFile cert(certFile);
    QFile key(keyFile);
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) {
        m_error = u"Cannot read "_s + certFile + u" or "_s + keyFile;
        return false;
    }
    m_certificate = QSslCertificate(cert.readAll(), QSsl::Pem);
    m_key = QSslKey(key.readAll(), QSsl::Rsa, QSsl::Pem);
    if (m_certificate.isNull() || m_key.isNull()) {
        m_error = u"No certificate or RSA key in "_s + certFile + u" or "_s + keyFile;
        return false;
    }
    return true;
}

bool StandInServer::listen(quint16 httpsPort, quint16 httpPort)
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(m_certificate);
    tls.setPrivateKey(m_key);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_https->setSslConfiguration(tls);
    if (!m_https->listen(QHostAddress::LocalHost, httpsPort)) {
        m_error = u"HTTPS port: "_s + m_https->errorString();
        return false;
    }
    if (!m_http->listen(QHostAddress::LocalHost, httpPort)) {
        m_error = u"HTTP port: "_s + m_http->errorString();
        m_https->close();
        return false;
    }
    return true;
}

quint16 StandInServer::httpsPort() const
{
    return m_https->serverPort();
}

quint16 StandInServer::httpPort() const
{
    return m_http->serverPort();
}

QString StandInServer::httpsBase() const
{
    return u"https://127.0.0.1:"_s + QString::number(httpsPort());
}

QString StandInServer::httpBase() const
{
    return u"http://127.0.0.1:"_s + QString::number(httpPort());
}

void StandInServer::enqueueAnswer(const StandInAnswer &answer)
{
    m_answers.enqueue(answer);
}

void StandInServer::setAnswerFile(const QString &fileName)
{
    m_answerFile = fileName;
}

void StandInServer::setEchoText(const QByteArray &text)
{
    m_echoText = text;
}

void StandInServer::setVersionPage(const QByteArray &page)
{
    m_versionPage = page;
}

void StandInServer::setFault(const StandInFault &fault)
{
    m_fault = fault;
}

void StandInServer::setNow(std::function<qint64()> nowSeconds)
{
    m_now = std::move(nowSeconds);
}

void StandInServer::setReportCallsign(const QString &callsign)
{
    m_reportCallsign = callsign;
}

void StandInServer::setReferenceCallsigns(const QStringList &callsigns)
{
    m_referenceCallsigns = callsigns;
}

bool StandInServer::setDemoLocator(const QString &locator)
{
    if (locator.isEmpty()) {
        m_demo.reset();
        return true;
    }
    std::optional<demo::Day> day = demo::Day::forLocator(locator);
    if (!day)
        return false;
    m_demo = std::make_shared<const demo::Day>(std::move(*day));
    return true;
}

void StandInServer::setDemoExpedition(qint64 fromSeconds)
{
    if (!m_demo)
        return;
    auto day = std::make_shared<demo::Day>(*m_demo);
    day->setExpedition(fromSeconds);
    m_demo = std::move(day);
}

void StandInServer::setDemoOnAir(const demo::OnAir &onAir)
{
    if (!m_demo)
        return;
    auto day = std::make_shared<demo::Day>(*m_demo);
    day->setOnAir(onAir);
    m_demo = std::move(day);
}

void StandInServer::clearRecords()
{
    m_firstRecord += m_requests.size();
    m_requests.clear();
    m_maxOutstanding = m_outstanding;
}

void StandInServer::accept(QTcpServer *server, bool tls)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        auto taken = std::make_shared<bool>(false);
        const auto onData = [this, socket, buffer, taken, tls] {
            if (*taken) { // one request a connection; ignore what follows
                socket->readAll();
                return;
            }
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) {
                if (buffer->size() > maxHeaderBytes)
                    socket->abort();
                return;
            }
            std::optional<StandInRequest> request = parseHead(buffer->left(end));
            buffer->clear();
            *taken = true;
            if (!request) {
                socket->abort();
                return;
            }
            request->tls = tls;
            request->started = QDateTime::currentDateTimeUtc();
            const qsizetype record = m_firstRecord + m_requests.size();
            m_requests += *request;
            m_maxOutstanding = std::max(m_maxOutstanding, ++m_outstanding);
            // A request ends when its connection closes: after the whole answer
            // has gone out, or when the client gave up.
            auto done = std::make_shared<bool>(false);
            const auto close = [this, record, done] {
                if (!std::exchange(*done, true))
                    finish(record);
            };
            connect(socket, &QTcpSocket::disconnected, this, close);
            connect(socket, &QObject::destroyed, this, close);
            emit requestReceived(*request);
            handle(socket, record);
        };
        connect(socket, &QTcpSocket::readyRead, this, onData);
        // An HTTPS connection is handed over after its handshake, when the
        // request may have come in already.
        if (socket->bytesAvailable() > 0)
            onData();
    }
}

void StandInServer::finish(qsizetype record)
{
    --m_outstanding;
    const qsizetype i = record - m_firstRecord;
    if (i >= 0 && i < m_requests.size())
        m_requests[i].finished = QDateTime::currentDateTimeUtc();
}

void StandInServer::handle(QTcpSocket *socket, qsizetype record)
{
    const StandInRequest request = m_requests.at(record - m_firstRecord);
    const QByteArray path = pathOf(request.target);
    StandInFault fault;
    // "path=/web" takes every path that begins so; "path=/$" the one path "/".
    const QByteArray faultPath = m_fault.path.toUtf8();
    const bool matches = faultPath.endsWith('$') ? path == faultPath.chopped(1) : path.startsWith(faultPath);
    if (m_fault.kind != StandInFault::None && matches) {
        fault = m_fault;
        if (!fault.sticky)
            m_fault = StandInFault();
    }
    StandInFault scripted;
    const Answer answer = route(socket, request, scripted);
    if (fault.kind == StandInFault::None)
        fault = scripted;
    if (fault.kind == StandInFault::Delay) {
        QTimer::singleShot(fault.value, socket,
            [this, socket, record, answer] { send(socket, record, answer, StandInFault()); });
        return;
    }
    send(socket, record, answer, fault);
}

StandInServer::Answer StandInServer::route(
    QTcpSocket *socket, const StandInRequest &request, StandInFault &fault)
{
    const qsizetype mark = request.target.indexOf('?');
    const QByteArray path = pathOf(request.target);
    if (request.method != "GET")
        return { 405, contentType("text/plain"), "Only GET is served here\n" };
    if (path == "/query") {
        if (!m_answers.isEmpty()) {
            StandInAnswer scripted = m_answers.dequeue();
            fault = scripted.fault;
            if (!hasHeader(scripted.headers, "Content-Type"))
                scripted.headers += contentType("text/xml; charset=UTF-8");
            return { scripted.status, scripted.headers, scripted.body };
        }
        if (!m_answerFile.isEmpty()) {
            QFile file(m_answerFile);
            if (!file.open(QIODevice::ReadOnly))
                return { 500, contentType("text/plain"), "Cannot read the answer file\n" };
            return { 200, contentType("text/xml; charset=UTF-8"), file.readAll() };
        }
        const QUrlQuery query(QString::fromUtf8(mark < 0 ? QByteArray() : request.target.mid(mark + 1)));
        const QString asked = query.queryItemValue(u"senderCallsign"_s, QUrl::FullyDecoded);
        const QString lastSeqNo = query.queryItemValue(u"lastseqno"_s, QUrl::FullyDecoded);
        if (m_referenceCallsigns.contains(asked, Qt::CaseInsensitive)) {
            const QString station = m_reportCallsign.isEmpty() ? u"N0CALL"_s : m_reportCallsign;
            return { 200, contentType("text/xml; charset=UTF-8"),
                m_demo ? m_demo->referenceAnswer(station, asked, lastSeqNo, m_now())
                       : ReportGenerator::answer(asked, lastSeqNo, m_now()) };
        }
        const QString callsign = m_reportCallsign.isEmpty() ? asked : m_reportCallsign;
        return { 200, contentType("text/xml; charset=UTF-8"),
            m_demo ? m_demo->answer(callsign, lastSeqNo, m_now())
                   : ReportGenerator::answer(callsign, lastSeqNo, m_now()) };
    }
    if (path == "/") {
        QByteArray text = m_echoText;
        if (text.isEmpty())
            text = socket->peerAddress().toString().toUtf8();
        return { 200, contentType("text/plain"), text };
    }
    if (path == versionPath)
        return { 200, contentType("text/html"), m_versionPage };
    if (path == downloadPath) {
        QByteArray emptyZip("PK\x05\x06", 4);
        emptyZip += QByteArray(18, '\0');
        return { 200, contentType("application/zip"), emptyZip };
    }
    return { 404, contentType("text/html"), "<html><body>Not Found</body></html>\n" };
}

void StandInServer::send(QTcpSocket *socket, qsizetype record, Answer answer, const StandInFault &fault)
{
    switch (fault.kind) {
    case StandInFault::Drop:
        socket->disconnectFromHost();
        return;
    case StandInFault::Stall:
        return;
    case StandInFault::Status:
        answer.status = fault.value;
        answer.headers = contentType("text/html");
        answer.body = "<html><body>" + reasonOf(fault.value) + "</body></html>\n";
        break;
    case StandInFault::Redirect:
        answer.status = fault.value ? fault.value : 302;
        answer.headers = contentType("text/html");
        answer.headers += { "Location", fault.location };
        answer.body = "<html><body>Moved</body></html>\n";
        break;
    case StandInFault::EmptyBody:
        answer.body.clear();
        break;
    case StandInFault::OneLine:
        if (const qsizetype eol = answer.body.indexOf('\n'); eol >= 0)
            answer.body.truncate(eol > 0 && answer.body.at(eol - 1) == '\r' ? eol - 1 : eol);
        break;
    case StandInFault::CloseMidBody:
        if (answer.body.size() < 2)
            answer.body = QByteArray(4096, 'x');
        break;
    default:
        break;
    }

    const bool large = fault.kind == StandInFault::LargeBody;
    QByteArray head
        = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonOf(answer.status) + "\r\n";
    for (const auto &h : std::as_const(answer.headers))
        head += h.first + ": " + h.second + "\r\n";
    // A large body has no length given beforehand: it ends when the connection does.
    if (!large)
        head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";

    if (fault.kind == StandInFault::CloseMidBody)
        answer.body.truncate(answer.body.size() / 2);
    if (fault.kind == StandInFault::Drip) {
        // Just inside any inactivity limit longer than the interval, the
        // answer never stops arriving and never ends in time.
        socket->write(head);
        auto *drip = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(drip, &QTimer::timeout, socket, [this, socket, record, drip, sent, body = answer.body] {
            if (*sent >= body.size()) {
                drip->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(body.constData() + (*sent)++, 1);
            noteSent(record, 1);
        });
        drip->start(fault.value);
        return;
    }
    if (!large) {
        socket->write(head + answer.body);
        noteSent(record, answer.body.size());
        socket->disconnectFromHost();
        return;
    }

    // A large body goes out in pieces as the client takes them, so the stand-in
    // does not hold it all at once.
    QByteArray piece;
    for (qint64 k = 0; piece.size() < 64 * 1024; ++k)
        piece += ReportGenerator::reportLine(u"N0CALL"_s, k) + '\n';
    auto remaining = std::make_shared<qint64>(qint64(fault.value) * 1024 * 1024);
    auto *tlsSocket = qobject_cast<QSslSocket *>(socket);
    const auto pump = [this, record, socket, tlsSocket, remaining, piece] {
        const auto pending
            = [&] { return socket->bytesToWrite() + (tlsSocket ? tlsSocket->encryptedBytesToWrite() : 0); };
        while (*remaining > 0 && pending() < 256 * 1024) {
            const qint64 n = std::min<qint64>(*remaining, piece.size());
            socket->write(piece.constData(), n);
            noteSent(record, n);
            *remaining -= n;
        }
        if (*remaining == 0) {
            *remaining = -1;
            socket->disconnectFromHost();
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, pump);
    if (tlsSocket)
        connect(tlsSocket, &QSslSocket::encryptedBytesWritten, socket, pump);
    socket->write(head);
}

void StandInServer::noteSent(qsizetype record, qint64 bytes)
{
    const qsizetype i = record - m_firstRecord;
    if (i >= 0 && i < m_requests.size())
        m_requests[i].bodyBytesSent += bytes;
}
