#include "reportgenerator.h"
#include "retrieval/httpclient.h"
#include "standinserver.h"

#include "../httpwait.h"
#include "../testsupport.h"

#include <QRegularExpression>

namespace {

constexpr qint64 now = 1'796'000'000;

QList<QByteArray> reportLines(const QByteArray &answer)
{
    QList<QByteArray> reports;
    for (const QByteArray &line : answer.split('\n'))
        if (line.startsWith("<receptionReport "))
            reports += line;
    return reports;
}

QByteArray value(const QByteArray &line, const char *attribute)
{
    const QByteArray key = QByteArray(" ") + attribute + "=\"";
    const qsizetype at = line.indexOf(key);
    if (at < 0)
        return QByteArray();
    const qsizetype start = at + key.size();
    return line.mid(start, line.indexOf('"', start) - start);
}

} // namespace

TEST(ReportGenerator, AnswerIsAReportDocumentOfTheQueriedCallsign)
{
    const QByteArray answer = ReportGenerator::answer("G4XYZ/P"_qs, QString(), now);
    EXPECT_EQ(answer, ReportGenerator::answer("G4XYZ/P"_qs, QString(), now)) << "the same every time";
    const QList<QByteArray> lines = answer.split('\n');
    EXPECT_EQ(lines.first(), R"(<?xml version="1.0" encoding="UTF-8"?>)");
    EXPECT_EQ(lines.last(), "</receptionReports>");
    const QByteArray sequence
        = "<lastSequenceNumber value=\"" + QByteArray::number(ReportGenerator::lastSequenceAt(now)) + "\" />";
    EXPECT_TRUE(answer.contains(sequence));
    EXPECT_TRUE(answer.contains("<activeReceiver callsign=\""));

    const QList<QByteArray> reports = reportLines(answer);
    ASSERT_EQ(reports.size(), ReportGenerator::newestReports);
    const QRegularExpression locator(u"^[A-R]{2}[0-9]{2}[a-x]{2}$"_qs);
    for (const QByteArray &r : reports) {
        EXPECT_EQ(value(r, "senderCallsign"), "G4XYZ/P");
        const qint64 seconds = value(r, "flowStartSeconds").toLongLong();
        EXPECT_LE(seconds, now);
        EXPECT_GT(seconds, now - 3600);
        EXPECT_TRUE(locator.match(QString::fromLatin1(value(r, "receiverLocator"))).hasMatch())
            << r.constData();
        const int snr = value(r, "sNR").toInt();
        EXPECT_TRUE(snr >= -25 && snr <= 15) << snr;
        EXPECT_FALSE(value(r, "receiverDXCC").isEmpty());
    }
}

TEST(ReportGenerator, LastSeqNoGivesOnlyNewerReports)
{
    const qint64 last = ReportGenerator::lastSequenceAt(now);
    EXPECT_EQ(reportLines(ReportGenerator::answer("K1ABC"_qs, QString::number(last - 3), now)).size(), 3);
    EXPECT_EQ(reportLines(ReportGenerator::answer("K1ABC"_qs, QString::number(last), now)).size(), 0);
    EXPECT_EQ(
        reportLines(ReportGenerator::answer("K1ABC"_qs, "0"_qs, now)).size(), ReportGenerator::mostReports);
    EXPECT_EQ(ReportGenerator::lastSequenceAt(now + 10 * ReportGenerator::interval), last + 10);
}

TEST(StandInFault, ParsesTheCommandLineForm)
{
    const auto f = StandInFault::parse("status:404,sticky,path=/query"_qs);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->kind, StandInFault::Status);
    EXPECT_EQ(f->value, 404);
    EXPECT_TRUE(f->sticky);
    EXPECT_EQ(f->path, "/query"_qs);
    EXPECT_EQ(StandInFault::parse("redirect:https://elsewhere/"_qs)->location, "https://elsewhere/");
    EXPECT_EQ(StandInFault::parse("large:3"_qs)->value, 3);
    EXPECT_FALSE(StandInFault::parse("explode"_qs));
    EXPECT_FALSE(StandInFault::parse("delay:soon"_qs));
}

class StandInServerTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        ASSERT_TRUE(server.listen());
        client.setCaFile(StandInServer::testCaFile());
        server.setNow([] { return now; });
    }
    QString get(const char *path, bool tls = true)
    {
        return getNow(client, QUrl((tls ? server.httpsBase() : server.httpBase()) + QString::fromUtf8(path)));
    }

    StandInServer server;
    HttpClient client;
};

TEST_F(StandInServerTest, ServesEchoVersionPageAndDownloadOnBothPorts)
{
    EXPECT_EQ(get("/", false), "127.0.0.1"_qs);
    server.setEchoText("203.0.113.7");
    EXPECT_EQ(get("/"), "203.0.113.7"_qs);
    server.setVersionPage("TavikRepView Version: 2.0.0.1, Build: 02Jan2027 09:15:40");
    EXPECT_EQ(get("/web/images/UserFiles/File/TavikRepView/TavikRepVersion.htm", false),
        "TavikRepView Version: 2.0.0.1, Build: 02Jan2027 09:15:40"_qs);
    EXPECT_TRUE(get("/web/images/UserFiles/File/TavikRepView/TavikRepView.zip").startsWith(u"PK"));
    EXPECT_THROW(get("/nothing/here"), TavikError);
    EXPECT_NE(server.httpPort(), server.httpsPort());
    ASSERT_EQ(server.requests().size(), 5);
    EXPECT_FALSE(server.requests().at(0).tls);
    EXPECT_TRUE(server.requests().at(1).tls);
}

TEST_F(StandInServerTest, ScriptedAnswersComeFirstThenTheAnswerFileThenGeneratedReports)
{
    EXPECT_EQ(
        get("/query?senderCallsign=G4XYZ").toUtf8(), ReportGenerator::answer("G4XYZ"_qs, QString(), now));
    writeBytes("answer.txt"_qs, "from the file\n");
    server.setAnswerFile(path("answer.txt"_qs));
    StandInAnswer scripted;
    scripted.body = "scripted";
    server.enqueueAnswer(scripted);
    EXPECT_EQ(get("/query?senderCallsign=G4XYZ"), "scripted"_qs);
    EXPECT_EQ(get("/query?senderCallsign=G4XYZ"), "from the file\n"_qs);
}

TEST_F(StandInServerTest, FaultAppliesOnceOrStickyAndOnlyToItsPath)
{
    StandInFault oneLine;
    oneLine.kind = StandInFault::OneLine;
    server.setFault(oneLine);
    EXPECT_EQ(get("/query?senderCallsign=G4XYZ"), R"(<?xml version="1.0" encoding="UTF-8"?>)"_qs);
    EXPECT_NE(get("/query?senderCallsign=G4XYZ").count(u'\n'), 0);

    StandInFault empty;
    empty.kind = StandInFault::EmptyBody;
    empty.sticky = true;
    empty.path = "/query"_qs;
    server.setFault(empty);
    EXPECT_EQ(get("/", false), "127.0.0.1"_qs);
    EXPECT_EQ(get("/query?senderCallsign=G4XYZ"), QString());
    EXPECT_EQ(get("/query?senderCallsign=G4XYZ"), QString());
    EXPECT_EQ(server.maxOutstanding(), 1);
}
