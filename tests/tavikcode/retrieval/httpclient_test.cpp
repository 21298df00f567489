#include "retrieval/httpclient.h"
#include "standinserver.h"

#include "../../httpwait.h"
#include "../../testsupport.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>
#include <QtTest/QTest>

#include <memory>

#include <optional>

using namespace std::chrono_literals;

namespace {

StandInFault fault(StandInFault::Kind kind, int value = 0)
{
    StandInFault f;
    f.kind = kind;
    f.value = value;
    return f;
}

StandInAnswer answer(const QByteArray &body, const QByteArray &contentType = "text/html")
{
    StandInAnswer a;
    a.body = body;
    a.headers = { { "Content-Type", contentType } };
    return a;
}

// The failure of a request run to its end, or nothing when it succeeds.
std::optional<QString> failureOf(HttpClient &client, const QUrl &url)
{
    try {
        getNow(client, url);
    } catch (const TavikError &e) {
        return e.message();
    }
    return std::nullopt;
}

} // namespace

class HttpClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen()) << server.errorString().toStdString();
        client.setCaFile(StandInServer::testCaFile());
        client.setTimeout(5s); // a test that hangs fails in seconds, not minutes
    }

    QUrl https(const char *path) const { return QUrl(server.httpsBase() + QString::fromUtf8(path)); }
    QUrl query() const { return https("/query?senderCallsign=G4XYZ"); }

    StandInServer server;
    HttpClient client;
};

// "Grüße" in UTF-8 and in Latin-1.
const QByteArray utf8Text = QString::fromUtf8("Grüße").toUtf8();
const QByteArray latin1Text = QString::fromUtf8("Grüße").toLatin1();

TEST(HttpBodyDecoding, FollowsTheDeclaredCharsetElseUtf8ElseLatin1)
{
    struct Case
    {
        QByteArray body;
        QByteArray contentType;
    };
    const Case cases[] = {
        { utf8Text, "text/html; charset=UTF-8" },
        { latin1Text, "text/html; charset=ISO-8859-1" },
        { latin1Text, "text/html;Charset=\"iso-8859-1\"" },
        { utf8Text, "text/xml" },
        { latin1Text, "text/xml" },
        { latin1Text, "text/xml; charset=x-no-such-set" },
        { utf8Text, "" },
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeHttpBody(c.body, c.contentType), "Grüße"_qs) << c.contentType.constData();
    EXPECT_EQ(decodeHttpBody("", "text/html; charset=UTF-8"), QString());
}

// An undeclared answer in UTF-8 with one stray byte: the rest stays UTF-8, so
// its reports equal those already stored and fall out as duplicates.
TEST(HttpBodyDecoding, AStrayByteInAnUndeclaredAnswerSpoilsOnlyItself)
{
    EXPECT_EQ(decodeHttpBody(utf8Text + " \x96\n" + utf8Text, "text/xml"), "Grüße \u0096\nGrüße"_qs);
}

TEST_F(HttpClientTest, BodyIsDecodedByTheCharsetTheAnswerDeclares)
{
    server.enqueueAnswer(answer(utf8Text + "\n73", "text/plain; charset=UTF-8"));
    server.enqueueAnswer(answer(latin1Text + "\n73", "text/plain; charset=ISO-8859-1"));
    EXPECT_EQ(getNow(client, query()), "Grüße\n73"_qs);
    EXPECT_EQ(getNow(client, query()), "Grüße\n73"_qs);
}

TEST_F(HttpClientTest, SendsTheProgramsHeadersOverHttp11WithoutRedirectsOrProxy)
{
    qputenv("https_proxy", "http://127.0.0.1:9"); // would break the request if it were used
    const QString body = getNow(client, query());
    qunsetenv("https_proxy");
    EXPECT_TRUE(body.startsWith(u"<?xml"));

    ASSERT_EQ(server.requests().size(), 1);
    const StandInRequest r = server.requests().at(0);
    EXPECT_TRUE(r.tls);
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.version, "HTTP/1.1");
    EXPECT_EQ(r.target, "/query?senderCallsign=G4XYZ");
    EXPECT_EQ(r.header("Accept"), "text/html, */*");
    EXPECT_EQ(r.header("User-Agent"),
        "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0; MAAU)");
    EXPECT_EQ(r.header("Content-Type"), "text/html");
    // Qt would name the operator's locale; the program asks for any language.
    EXPECT_EQ(r.header("Accept-Language"), "*");
}

TEST_F(HttpClientTest, CookiesSetByTheSiteGoBackOnLaterRequests)
{
    StandInAnswer first = answer("one");
    first.headers.emplaceBack("Set-Cookie", "session=4f2a; Path=/");
    server.enqueueAnswer(first);
    getNow(client, query());
    getNow(client, query());
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.requests().at(0).header("Cookie").isEmpty());
    EXPECT_EQ(server.requests().at(1).header("Cookie"), "session=4f2a");
}

TEST_F(HttpClientTest, ErrorStatusAndRedirectFailWithTheStatusLine)
{
    struct Case
    {
        StandInFault fault;
        const char *message;
    };
    const Case cases[] = {
        { fault(StandInFault::Status, 404), "HTTP/1.1 404 Not Found" },
        { fault(StandInFault::Status, 503), "HTTP/1.1 503 Service Unavailable" },
        { fault(StandInFault::Status, 199), "HTTP/1.1 199" },
        { fault(StandInFault::Redirect, 302), "HTTP/1.1 302 Found" },
        { fault(StandInFault::Redirect, 301), "HTTP/1.1 301 Moved Permanently" },
    };
    for (const Case &c : cases) {
        server.clearRecords();
        server.setFault(c.fault);
        const std::optional<QString> failure = failureOf(client, query());
        ASSERT_TRUE(failure) << c.message;
        EXPECT_TRUE(failure->contains(QString::fromUtf8(c.message))) << failure->toStdString();
        EXPECT_EQ(server.requests().size(), 1) << "a redirect is not followed";
    }
    EXPECT_FALSE(failureOf(client, query())) << "the client works on after failures";
}

TEST_F(HttpClientTest, StalledAnswerIsGivenUpAfterTheTimeout)
{
    client.setTimeout(300ms);
    server.setFault(fault(StandInFault::Stall));
    QElapsedTimer clock;
    clock.start();
    const std::optional<QString> failure = failureOf(client, query());
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Read timed out"_qs);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_FALSE(client.isBusy());
}

TEST_F(HttpClientTest, AnAnswerThatTricklesInIsGivenUpAtTheDeadline)
{
    client.setTimeout(400ms);
    StandInFault drip = fault(StandInFault::Drip, 100); // every byte well inside the timeout
    server.setFault(drip);
    try {
        getNow(client, query(), 1000ms);
        ADD_FAILURE() << "the whole answer would take minutes";
    } catch (const TavikError &e) {
        EXPECT_EQ(e.message(), "No complete answer within 1 s"_qs);
    }
    EXPECT_FALSE(client.isBusy());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_GT(server.requests().at(0).bodyBytesSent, 3) << "bytes kept arriving";
    EXPECT_FALSE(failureOf(client, query())) << "the next request works";
}

TEST_F(HttpClientTest, AbortGivesTheOutstandingRequestUp)
{
    server.setFault(fault(StandInFault::Stall));
    QTimer::singleShot(50, &client, [this] { client.abort(); });
    EXPECT_EQ(failureOf(client, query()).value_or(QString()), "The request was abandoned"_qs);
    EXPECT_FALSE(client.isBusy());
    client.abort(); // nothing outstanding: nothing happens
    EXPECT_FALSE(failureOf(client, query()));
}

TEST_F(HttpClientTest, AnswerSlowerThanNothingButWithinTheTimeoutArrives)
{
    client.setTimeout(1000ms);
    server.setFault(fault(StandInFault::Delay, 150));
    EXPECT_FALSE(failureOf(client, query()));
}

TEST_F(HttpClientTest, RefusedConnectionFailsWithQtsText)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    const std::optional<QString> failure
        = failureOf(client, QUrl(u"http://127.0.0.1:"_qs + QString::number(port) + u"/"_qs));
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Connection refused"_qs);
}

TEST_F(HttpClientTest, CertificateOutsideTheTrustedAuthoritiesIsRefused)
{
    StandInServer untrusted;
    ASSERT_TRUE(
        untrusted.setCertificate(StandInServer::untrustedCertFile(), StandInServer::untrustedKeyFile()));
    ASSERT_TRUE(untrusted.listen());
    const std::optional<QString> failure
        = failureOf(client, QUrl(untrusted.httpsBase() + u"/query?senderCallsign=G4XYZ"_qs));
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->contains(u"HTTP/1.1"));
    EXPECT_TRUE(untrusted.requests().isEmpty());

    HttpClient systemOnly;
    systemOnly.setCaFile(QString());
    EXPECT_TRUE(failureOf(systemOnly, query())) << "the test CA is trusted only when named";
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(HttpClientTest, UnreadableCaFileFailsEveryRequestAndNamesTheFile)
{
    client.setCaFile(u"/no/such/ca.pem"_qs);
    const std::optional<QString> failure = failureOf(client, query());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(u"/no/such/ca.pem"));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(HttpClientTest, AnswerLargerThanTheBoundIsRefused)
{
    client.setMaxBodySize(1000);
    server.enqueueAnswer(answer(QByteArray(1000, 'a')));
    server.enqueueAnswer(answer(QByteArray(1001, 'a')));
    EXPECT_EQ(getNow(client, query()).size(), 1000);
    const std::optional<QString> failure = failureOf(client, query());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(u"larger than 1000 bytes"));

    // Without a length announced, the bound holds while the body arrives.
    client.setMaxBodySize(1024 * 1024);
    server.setFault(fault(StandInFault::LargeBody, 64));
    EXPECT_TRUE(failureOf(client, query()).value_or(QString()).contains(u"larger than 1048576 bytes"));
    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_LT(server.requests().at(2).bodyBytesSent, 16 * 1024 * 1024) << "given up at once, not after 64 MB";
}

TEST_F(HttpClientTest, CompressedAnswerIsMeasuredAsItUnpacks)
{
    // The length announced is that of the packed body; the bound is on the text.
    client.setMaxBodySize(100'000);
    StandInAnswer packed
        = answer(qCompress(QByteArray(300'000, 'a')).mid(4)); // zlib stream without Qt's prefix
    packed.headers.emplaceBack("Content-Encoding", "deflate");
    server.enqueueAnswer(packed);
    const std::optional<QString> failure = failureOf(client, query());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->contains(u"larger than 100000 bytes")) << failure->toStdString();
}

TEST_F(HttpClientTest, ConnectionClosedEarlyFails)
{
    server.setFault(fault(StandInFault::CloseMidBody));
    EXPECT_EQ(failureOf(client, query()), "Connection closed"_qs);

    StandInFault drop = fault(StandInFault::Drop);
    drop.sticky = true;
    server.setFault(drop);
    const std::optional<QString> failure = failureOf(client, query());
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Connection closed"_qs);
    EXPECT_EQ(server.maxOutstanding(), 1) << "Qt may send the request again, but never alongside";
}

TEST_F(HttpClientTest, NoSecondRequestStartsWhileOneIsOutstanding)
{
    server.setFault(fault(StandInFault::Delay, 300));
    bool busyMeanwhile = false;
    bool refused = false;
    // Runs while the first request is outstanding, as a timer tick would.
    QTimer::singleShot(20, [&] {
        busyMeanwhile = client.isBusy();
        try {
            client.get(https("/"), 1s, [](const HttpResult &) {});
        } catch (const HttpBusy &) {
            refused = true;
        }
    });
    EXPECT_FALSE(failureOf(client, query()));
    EXPECT_TRUE(busyMeanwhile);
    EXPECT_TRUE(refused);
    EXPECT_FALSE(client.isBusy());
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().at(0).target, "/query?senderCallsign=G4XYZ");
    EXPECT_EQ(server.maxOutstanding(), 1);
}

TEST_F(HttpClientTest, AddressThatIsNotHttpIsAnErrorWithoutARequest)
{
    EXPECT_TRUE(failureOf(client, QUrl()));
    EXPECT_TRUE(failureOf(client, QUrl(u"ftp://127.0.0.1/"_qs)));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(HttpClientTest, CompletionComesLaterFromTheEventLoopAndNotAfterTheClientIsGone)
{
    int calls = 0;
    client.get(https("/"), 5s, [&](const HttpResult &) { ++calls; });
    client.abort();
    EXPECT_EQ(calls, 0) << "neither get() nor abort() calls it";
    EXPECT_TRUE(client.isBusy());
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 5000));
    EXPECT_FALSE(client.isBusy());

    server.setFault(fault(StandInFault::Stall));
    auto gone = std::make_unique<HttpClient>();
    gone->setCaFile(StandInServer::testCaFile());
    gone->get(query(), 5s, [&](const HttpResult &) { ++calls; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().isEmpty(); }, 5000));
    gone->abort(); // its completion is on its way
    gone.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
}
