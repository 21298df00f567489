#include "httpclient.h"

#include "endpoints.h"
#include "base/textlines.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
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

// One request under way: what has come in so far and why it was given up, if it was.
struct HttpClient::Pending
{
    QPointer<QNetworkReply> reply;
    QByteArray body;
    QString failure; // the first reason to give up
    QTimer idle;
    QTimer overall;
    QString host;
    qint64 limit = 0;
    bool finished = false; // the result is on its way to done
    Done done;
};

HttpClient::~HttpClient()
{
    // The owner's completion is not called: it may be going away itself.
    if (m_pending && m_pending->reply) {
        QNetworkReply *reply = m_pending->reply;
        reply->disconnect(this);
        reply->abort();
        delete reply;
    }
}

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
    giveUp(u"The request was abandoned"_s);
}

void HttpClient::giveUp(const QString &why)
{
    // The first reason to give up wins; abort() then finishes the reply at once.
    if (!m_pending || m_pending->finished)
        return;
    if (m_pending->failure.isEmpty())
        m_pending->failure = why;
    if (m_pending->reply)
        m_pending->reply->abort();
    else
        finish();
}

void HttpClient::get(const QUrl &url, std::chrono::milliseconds deadline, Done done)
{
    if (m_pending)
        throw HttpBusy(u"The HTTP client is busy with another request"_s);
    m_pending = std::make_unique<Pending>();
    Pending &p = *m_pending;
    p.done = std::move(done);
    p.host = url.host();
    p.limit = m_maxBodySize;
    if (!m_caError.isEmpty())
        p.failure = m_caError;
    else if (!url.isValid() || url.host().isEmpty() || (url.scheme() != u"http" && url.scheme() != u"https"))
        p.failure = u"Invalid address: "_s + url.toString();
    if (!p.failure.isEmpty()) {
        finish();
        return;
    }

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

    QNetworkReply *reply = m_nam->get(request);
    p.reply = reply;
    emit requestStarted(url);
    // Qt reads the answer on a thread of its own; a bounded buffer holds it
    // there until the client takes it, so an answer too large is refused
    // after about the bound, not after whatever the network delivered meanwhile.
    reply->setReadBufferSize(std::min<qint64>(p.limit + 1, 1024 * 1024));
    p.idle.setSingleShot(true);
    p.idle.setTimerType(Qt::PreciseTimer);
    p.idle.setInterval(m_timeout);
    // The inactivity timeout starts over with every byte; a server that sends
    // one now and then would hold the client without this limit.
    p.overall.setSingleShot(true);
    p.overall.setInterval(deadline);

    const auto tooLarge = [this] {
        giveUp(u"Answer refused: larger than "_s + QString::number(m_pending->limit) + u" bytes"_s);
    };
    connect(&p.idle, &QTimer::timeout, this, [this] { giveUp(u"Read timed out"_s); });
    connect(&p.overall, &QTimer::timeout, this, [this, deadline] {
        giveUp(u"No complete answer within "_s + QString::number(deadline.count() / 1000.0) + u" s"_s);
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply, tooLarge] {
        m_pending->idle.start();
        bool known = false;
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known) > m_pending->limit && known)
            tooLarge();
    });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply, tooLarge] {
        m_pending->idle.start();
        m_pending->body += reply->readAll();
        if (m_pending->body.size() > m_pending->limit)
            tooLarge();
    });
    connect(reply, &QNetworkReply::finished, this, [this] { finish(); });
    p.idle.start();
    p.overall.start();
}

void HttpClient::finish()
{
    Pending &p = *m_pending;
    if (p.finished)
        return;
    p.finished = true;
    p.idle.stop();
    p.overall.stop();

    HttpResult result;
    if (QNetworkReply *reply = p.reply) {
        reply->disconnect(this);
        reply->deleteLater();
        if (p.failure.isEmpty()) {
            p.body += reply->readAll();
            if (p.body.size() > p.limit)
                p.failure = u"Answer refused: larger than "_s + QString::number(p.limit) + u" bytes"_s;
        }
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!p.failure.isEmpty())
            result.error = p.failure;
        else if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299))
            result.error = statusLine(
                status.toInt(), reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
        else if (reply->error() != QNetworkReply::NoError)
            result.error = reply->errorString();
        else if (!status.isValid())
            result.error = u"No HTTP answer from "_s + p.host;
        else
            result.body = decodeHttpBody(p.body, reply->rawHeader("Content-Type"));
    } else {
        result.error = p.failure.isEmpty() ? u"The request was abandoned"_s : p.failure;
    }
    // The caller goes on from the event loop, never from inside get(), abort()
    // or the reply's own signal; a client destroyed meanwhile calls nobody.
    QMetaObject::invokeMethod(this, [this, result] { deliver(result); }, Qt::QueuedConnection);
}

void HttpClient::deliver(HttpResult result)
{
    // A request every few minutes never finds the last one's connection still
    // open, so none is kept: a kept connection held its buffers and TLS state
    // until it expired, and a fast-driven day piled them up.
    m_nam->clearConnectionCache();
    const Done done = std::move(m_pending->done);
    m_pending.reset();
    if (done)
        done(result);
}
