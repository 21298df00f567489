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

class QNetworkAccessManager;

// Thrown by HttpClient::get when a request is already outstanding. Callers
// that may run nested inside another request check isBusy() first.
class HttpBusy : public TavikError
{
public:
    using TavikError::TavikError;
};

// The program's one HTTP client (IdHTTP1). It owns the network access manager
// and applies every request setting; get() blocks its caller in a local event
// loop, so the window keeps painting and its timers keep ticking meanwhile.
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

    // Sends one GET and returns the body decoded by the character set the answer
    // declares. Throws TavikError when the request fails: an answer status
    // outside 200..299 (redirects included) gives a message holding its status
    // line, such as "HTTP/1.1 404 Not Found"; anything else Qt's own text.
    // Throws HttpBusy, without sending anything, while a request is outstanding.
    // The request is given up after the deadline however the answer trickles
    // in, and after the inactivity timeout of silence.
    QString get(const QUrl &url, std::chrono::milliseconds deadline = defaultDeadline);

    bool isBusy() const { return m_busy; }

    // Gives the outstanding request up at once (its get() throws); nothing
    // when none is outstanding.
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

private:
    QNetworkAccessManager *m_nam;
    QList<QSslCertificate> m_caCertificates;
    QString m_caError;
    std::chrono::milliseconds m_timeout = defaultTimeout;
    qint64 m_maxBodySize = defaultMaxBodySize;
    bool m_busy = false;
    std::function<void()> m_abort; // set while a request is outstanding
};

// The body decoded by the charset parameter of a Content-Type value; without
// one, or with one Qt does not know, as UTF-8 with each byte that is not part
// of valid UTF-8 taken as Latin-1 (as the program reads its files).
QString decodeHttpBody(const QByteArray &body, const QByteArray &contentType);
