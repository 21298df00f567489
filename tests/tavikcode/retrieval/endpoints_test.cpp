#include "retrieval/endpoints.h"
#include "retrieval/httpclient.h"
#include "standinserver.h"

#include "../../httpwait.h"
#include "../../testsupport.h"

#include <QMap>

namespace endpointstest {

const char *const variables[] = { "TAVIK_REPORT_URL", "TAVIK_ECHO_URL", "TAVIK_SITE_URL", "TAVIK_CA_FILE" };

// Clears the program's variables for one test and puts them back afterwards.
class CleanEnvironment : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : variables) {
            m_saved.append(qgetenv(name));
            qunsetenv(name);
        }
    }
    void TearDown() override
    {
        for (qsizetype i = 0; i < m_saved.size(); ++i) {
            if (m_saved.at(i).isNull())
                qunsetenv(variables[i]);
            else
                qputenv(variables[i], m_saved.at(i));
        }
    }

private:
    QList<QByteArray> m_saved;
};

} // namespace endpointstest

using EndpointsTest = endpointstest::CleanEnvironment;

TEST_F(EndpointsTest, DefaultsAreTheProgramsOwnHosts)
{
    const Endpoints e = Endpoints::fromEnvironment();
    EXPECT_EQ(queryUrl(e, "G4XYZ"_qs, QString()).toEncoded(),
        "https://retrieve.tavikreporter.net/query?senderCallsign=G4XYZ");
    EXPECT_EQ(echoUrl(e).toEncoded(), "http://ip.orlix.net/");
    EXPECT_EQ(versionPageUrl(e).toEncoded(),
        "https://www.orlix.net/web/images/UserFiles/File/TavikRepView/TavikRepVersion.htm");
    EXPECT_EQ(downloadUrl(e).toEncoded(),
        "https://www.orlix.net/web/images/UserFiles/File/TavikRepView/TavikRepView.zip");
    EXPECT_EQ(e.siteName, "WWW.ORLIX.NET"_qs);
    EXPECT_TRUE(e.caFile.isEmpty());
}

TEST_F(EndpointsTest, EnvironmentPointsEachHostElsewhere)
{
    qputenv("TAVIK_REPORT_URL", "https://127.0.0.1:8443/");
    qputenv("TAVIK_ECHO_URL", "http://127.0.0.1:8080/ip");
    qputenv("TAVIK_SITE_URL", "https://localhost:9443");
    qputenv("TAVIK_CA_FILE", "/tmp/ca.pem");
    const Endpoints e = Endpoints::fromEnvironment();
    EXPECT_EQ(queryUrl(e, "G4XYZ"_qs, "7"_qs).toEncoded(),
        "https://127.0.0.1:8443/query?senderCallsign=G4XYZ&lastseqno=7");
    EXPECT_EQ(echoUrl(e).toEncoded(), "http://127.0.0.1:8080/ip");
    EXPECT_EQ(versionPageUrl(e).toEncoded(),
        "https://localhost:9443/web/images/UserFiles/File/TavikRepView/TavikRepVersion.htm");
    EXPECT_EQ(e.caFile, "/tmp/ca.pem"_qs);
    EXPECT_EQ(e.siteName, "WWW.ORLIX.NET"_qs);
}

TEST_F(EndpointsTest, TheStoreOverridesTheBuiltInAddressesAndTheEnvironmentTheStore)
{
    const QMap<QString, QString> stored = {
        {"TavikViewReportUrl"_qs, "https://reports.example.net/"_qs},
        {"TavikViewEchoUrl"_qs, "http://echo.example.net/ip"_qs},
        {"TavikViewSiteUrl"_qs, "https://site.example.net"_qs},
    };
    const auto store = [&](const QString &ident) { return stored.value(ident); };
    Endpoints e = Endpoints::resolve(store);
    EXPECT_EQ(e.reportBase, "https://reports.example.net"_qs);
    EXPECT_EQ(e.echoAddress, "http://echo.example.net/ip"_qs);
    EXPECT_EQ(e.siteBase, "https://site.example.net"_qs);

    qputenv("TAVIK_SITE_URL", "https://127.0.0.1:9443");
    e = Endpoints::resolve(store);
    EXPECT_EQ(e.siteBase, "https://127.0.0.1:9443"_qs);
    EXPECT_EQ(e.reportBase, "https://reports.example.net"_qs);
}

TEST_F(EndpointsTest, AReportOrSiteAddressThatIsNotHttpsIsRefusedWithAMessage)
{
    const auto store = [](const QString &ident) {
        return ident == "TavikViewSiteUrl"_qs ? "http://site.example.net"_qs : QString();
    };
    qputenv("TAVIK_REPORT_URL", "http://127.0.0.1:8443/");
    qputenv("TAVIK_ECHO_URL", "http://127.0.0.1:8080/");
    QStringList refused;
    const Endpoints e = Endpoints::resolve(store, &refused);
    EXPECT_EQ(e.reportBase, Endpoints::defaults().reportBase);
    EXPECT_EQ(e.siteBase, Endpoints::defaults().siteBase);
    EXPECT_EQ(e.echoAddress, "http://127.0.0.1:8080/"_qs) << "the echo stays plain http";
    ASSERT_EQ(refused.size(), 2);
    EXPECT_EQ(refused[0], "The report service address \"http://127.0.0.1:8443/\" given by TAVIK_REPORT_URL is "
                          "refused: it must begin with https://. The program uses https://retrieve.tavikreporter.net "
                          "instead."_qs);
    EXPECT_TRUE(refused[1].contains("given by the setting TavikViewSiteUrl"_qs)) << refused[1].toStdString();
}

TEST(QueryUrl, PlainCallsignsStandAsTheyAreAndOtherCharactersAreEscaped)
{
    struct Case
    {
        QString callsign;
        QString seq;
        QByteArray query;
    };
    const Case cases[] = {
        { "G4XYZ"_qs, ""_qs, "senderCallsign=G4XYZ" },
        { "G4XYZ/P"_qs, "20019600000"_qs, "senderCallsign=G4XYZ/P&lastseqno=20019600000" },
        { "VK2/G4XYZ/MM"_qs, ""_qs, "senderCallsign=VK2/G4XYZ/MM" },
        { "g4xyz-1"_qs, ""_qs, "senderCallsign=g4xyz-1" },
        { "G4 XYZ"_qs, ""_qs, "senderCallsign=G4%20XYZ" },
        { "X&lastseqno=1"_qs, ""_qs, "senderCallsign=X%26lastseqno%3D1" },
        { "A#B%C+D?E"_qs, ""_qs, "senderCallsign=A%23B%25C%2BD%3FE" },
        { "ÄÖ"_qs, ""_qs, "senderCallsign=%C3%84%C3%96" },
        { "G4XYZ"_qs, "12 3#"_qs, "senderCallsign=G4XYZ&lastseqno=12%203%23" },
    };
    Endpoints e = Endpoints::defaults();
    e.reportBase = "https://127.0.0.1:1234"_qs;
    for (const Case &c : cases) {
        const QUrl url = queryUrl(e, c.callsign, c.seq);
        EXPECT_TRUE(url.isValid()) << c.callsign.toStdString();
        EXPECT_EQ(url.toEncoded(), "https://127.0.0.1:1234/query?" + c.query) << c.callsign.toStdString();
    }
}

TEST(QueryUrl, ReachesTheServiceExactlyAsBuilt)
{
    StandInServer server;
    ASSERT_TRUE(server.listen());
    HttpClient client;
    client.setCaFile(StandInServer::testCaFile());
    Endpoints e = Endpoints::defaults();
    e.reportBase = server.httpsBase();
    e.siteBase = server.httpsBase();
    server.setVersionPage("TavikRepView Version: 1.0.0.9, Build: 02Jan2027 09:15:40\r\n");

    const QString answer = getNow(client, queryUrl(e, "G4XYZ/P"_qs, QString()));
    EXPECT_TRUE(answer.contains(u"senderCallsign=\"G4XYZ/P\""));
    getNow(client, queryUrl(e, "A B&C"_qs, "5"_qs));
    EXPECT_EQ(
        getNow(client, versionPageUrl(e)), "TavikRepView Version: 1.0.0.9, Build: 02Jan2027 09:15:40\r\n"_qs);

    ASSERT_EQ(server.requests().size(), 3);
    EXPECT_EQ(server.requests().at(0).target, "/query?senderCallsign=G4XYZ/P");
    EXPECT_EQ(server.requests().at(1).target, "/query?senderCallsign=A%20B%26C&lastseqno=5");
}
