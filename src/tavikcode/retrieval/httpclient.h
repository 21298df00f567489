#pragma once

#include "base/tavikerror.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

class QNetworkAccessManager;

// Thrown by HttpClient::get, without sending anything, when a request is
// already outstanding. Callers check isBusy() first.
class HttpBusy : public TavikError
{
public:
    using TavikError::TavikError;
};

// How a request ended: the decoded body, or the reason it failed.
struct HttpResult
{
    QString body;
    QString error; // empty when the request succeeded

    bool ok() const { return error.isEmpty(); }
};

// The program's one HTTP client (IdHTTP1). It owns the network access manager
// and applies every request setting. get() only starts a request; its caller
// continues in the completion, which runs from the event loop, so nothing
// waits on the network inside a handler.
class HttpClient : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds defaultTimeout { 60'000 };
    static constexpr std::chrono::milliseconds defaultDeadline { 120'000 };
    static constexpr qint64 defaultMaxBodySize = 64 * 1024 * 1024;

    // Trusts the system's certificate authorities plus those in the file named
    // by TAVIK_CA_FILE, when it is set.
    explicit HttpClient(QObject *parent = nullptr);
    ~HttpClient() override;

    using Done = std::function<void(const HttpResult &)>;

    // Sends one GET; done gets the body decoded by the character set the
    // answer declares, or the failure: an answer status outside 200..299
    // (redirects included) gives a message holding its status line, such as
    // "HTTP/1.1 404 Not Found"; anything else Qt's own text. The request is
    // given up after the deadline however the answer trickles in, and after
    // the inactivity timeout of silence.
    // done is called exactly once, later, from the event loop (never from
    // inside get() or abort()), unless the client is destroyed first: then
    // it is never called, so it may safely use whatever owns the client.
    // Throws HttpBusy, without sending anything, while a request is outstanding.
    void get(const QUrl &url, std::chrono::milliseconds deadline, Done done);

    // From get() until done has been called.
    bool isBusy() const { return m_pending != nullptr; }

    // Gives the outstanding request up at once: its done gets "The request
    // was abandoned". Nothing when none is outstanding.
    void abort();

    // The longest silence allowed while connecting or waiting for the answer.
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    std::chrono::milliseconds timeout() const { return m_timeout; }

    // Answers larger than this are abandoned as soon as they pass it.
    void setMaxBodySize(qint64 bytes) { m_maxBodySize = bytes; }
    qint64 maxBodySize() const { return m_maxBodySize; }

    // Trusts the certificates of a PEM file besides the system's; an empty name
    // trusts the system's only. A file that cannot be read, or holds no
    // certificate, makes every later get() fail with a message that names it.
    void setCaFile(const QString &fileName);

signals:
    // A request goes out now (diagnostics and tests see the order of requests).
    void requestStarted(const QUrl &url);

private:
    struct Pending;
    void giveUp(const QString &why);
    void finish();
    void deliver(HttpResult result);

    QNetworkAccessManager *m_nam;
    QList<QSslCertificate> m_caCertificates;
    QString m_caError;
    std::chrono::milliseconds m_timeout = defaultTimeout;
    qint64 m_maxBodySize = defaultMaxBodySize;
    std::unique_ptr<Pending> m_pending; // the outstanding request
};

// The body decoded by the charset parameter of a Content-Type value; without
// one, or with one Qt does not know, as UTF-8 with each byte that is not part
// of valid UTF-8 taken as Latin-1 (as the program reads its files).
QString decodeHttpBody(const QByteArray &body, const QByteArray &contentType);
