#include "httpclient.h"

#include "endpoints.h"
#include "base/textlines.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QScopeGuard>
#include <QSslConfiguration>
#include <QStringDecoder>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray charsetOf(const QByteArray &contentType)
{
    const QList<QByteArray> parts = contentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray part = parts.at(i).trimmed();
        const qsizetype eq = part.indexOf('=');
        if (eq < 0 || part.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QByteArray();
}

QString statusLine(int code, const QByteArray &reason)
{
    QString line = u"HTTP/1.1 "_s + QString::number(code);
    if (!reason.isEmpty())
        line += u' ' + QString::fromLatin1(reason);
    return line;
}

struct DeleteLater
{
    void operator()(QObject *object) const { object->deleteLater(); }
};

} // namespace

QString decodeHttpBody(const QByteArray &body, const QByteArray &contentType)
{
    if (const QByteArray charset = charsetOf(contentType); !charset.isEmpty()) {
        QStringDecoder declared(charset.constData());
        if (declared.isValid())
            return declared.decode(body);
    }
    return TextLines::decode(body);
}

HttpClient::HttpClient(QObject *parent)
    : QObject(parent)
    , m_nam(new QNetworkAccessManager(this))
{
    m_nam->setProxy(QNetworkProxy::NoProxy);
    // Cookies live in memory for the run and go back to the site that set them.
    m_nam->setCookieJar(new QNetworkCookieJar(m_nam));
    setCaFile(Endpoints::fromEnvironment().caFile);
}

HttpClient::~HttpClient() = default;

void HttpClient::setCaFile(const QString &fileName)
{
    m_caCertificates.clear();
    m_caError.clear();
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        m_caCertificates = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    // The file's certificates are trusted instead of the system's: it names
    // the test CA of a stand-in, and the system's store read whole would
    // cost the program about 3 MB for the run (left alone, the TLS library
    // reads from it only the root a handshake needs).
    if (m_caCertificates.isEmpty())
        m_caError = u"No certificate could be read from "_s + fileName;
}

void HttpClient::abort()
{
    if (m_abort)
        m_abort();
}

QString HttpClient::get(const QUrl &url, std::chrono::milliseconds deadline)
{
    if (m_busy)
        throw HttpBusy(u"The HTTP client is busy with another request"_s);
    if (!m_caError.isEmpty())
        throw TavikError(m_caError);
    if (!url.isValid() || url.host().isEmpty() || (url.scheme() != u"http" && url.scheme() != u"https"))
        throw TavikError(u"Invalid address: "_s + url.toString());

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader(
        "User-Agent", "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0; MAAU)");
    request.setRawHeader("Content-Type", "text/html");
    // Qt names the operator's locale here unless the request names something:
    // "*" asks for any language and tells the servers nothing.
    request.setRawHeader("Accept-Language", "*");
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!m_caCertificates.isEmpty())
        tls.setCaCertificates(m_caCertificates);
    request.setSslConfiguration(tls);

    const QPointer<HttpClient> self(this);
    const qint64 limit = m_maxBodySize;
    m_busy = true;
    const QPointer<QNetworkReply> reply = m_nam->get(request);
    // Qt reads the answer on a thread of its own; a bounded buffer holds it
    // there until this loop takes it, so an answer too large is refused
    // after about the bound, not after whatever the network delivered meanwhile.
    reply->setReadBufferSize(std::min<qint64>(limit + 1, 1024 * 1024));
    QByteArray body;
    QString failure;
    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    idle.setTimerType(Qt::PreciseTimer);
    idle.setInterval(m_timeout);
    // The inactivity timeout starts over with every byte; a server that sends
    // one now and then would hold the client without this limit.
    QTimer overall;
    overall.setSingleShot(true);
    overall.setInterval(deadline);

    // The first reason to give up wins; abort() then finishes the reply at once.
    const auto giveUp = [&](const QString &why) {
        if (failure.isEmpty())
            failure = why;
        if (reply)
            reply->abort();
    };
    const auto tooLarge
        = [&] { giveUp(u"Answer refused: larger than "_s + QString::number(limit) + u" bytes"_s); };
    connect(&idle, &QTimer::timeout, &loop, [&] { giveUp(u"Read timed out"_s); });
    connect(&overall, &QTimer::timeout, &loop, [&] {
        giveUp(u"No complete answer within "_s + QString::number(deadline.count() / 1000.0) + u" s"_s);
    });
    m_abort = [&] { giveUp(u"The request was abandoned"_s); };
    const auto noAbort = qScopeGuard([this, self] {
        if (self)
            m_abort = nullptr;
    });
    connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        idle.start();
        bool known = false;
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known) > limit && known)
            tooLarge();
    });
    connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        idle.start();
        body += reply->readAll();
        if (body.size() > limit)
            tooLarge();
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(reply, &QObject::destroyed, &loop, &QEventLoop::quit);
    idle.start();
    overall.start();
    if (!reply->isFinished())
        loop.exec();

    // The client may have been deleted, or the application told to quit, while
    // the loop ran.
    if (!self)
        throw TavikError(u"The request was abandoned"_s);
    m_busy = false;
    if (!reply)
        throw TavikError(u"The request was abandoned"_s);
    // A request every few minutes never finds the last one's connection still
    // open, so none is kept: a kept connection held its buffers and TLS state
    // until it expired, and a fast-driven day piled them up.
    const auto dropConnections = qScopeGuard([this] { m_nam->clearConnectionCache(); });
    const std::unique_ptr<QNetworkReply, DeleteLater> owner(reply.data());
    if (!reply->isFinished())
        giveUp(u"The request was abandoned"_s);
    if (failure.isEmpty()) {
        body += reply->readAll();
        if (body.size() > limit)
            tooLarge();
    }
    if (!failure.isEmpty())
        throw TavikError(failure);

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
        throw TavikError(statusLine(
            status.toInt(), reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray()));
    if (reply->error() != QNetworkReply::NoError)
        throw TavikError(reply->errorString());
    if (!status.isValid())
        throw TavikError(u"No HTTP answer from "_s + url.host());
    return decodeHttpBody(body, reply->rawHeader("Content-Type"));
}
