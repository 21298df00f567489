#include "../../networkfixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using QueryTest = NetworkTest;

namespace {
StandInAnswer answer(const QByteArray &body)
{
    StandInAnswer a;
    a.body = body;
    return a;
}
} // namespace

TEST_F(QueryTest, TheAnswerIsStoredWithCrLfAndLaterQueriesCarryTheSequenceNumber)
{
    TForm1 &f = online();
    server.enqueueAnswer(answer("<a>\n<lastSequenceNumber value=\"123\"/>\n</a>\n"));
    f.QueryReports();
    settle();
    EXPECT_EQ(readBytes("TavikRep.txt"_qs), QByteArray("<a>\r\n<lastSequenceNumber value=\"123\"/>\r\n</a>\r\n"));
    EXPECT_EQ(f.state.LastGetTime, Clock::nowLocal());
    EXPECT_TRUE(readBytes(storeFile()).contains("TavikViewLastGet=07/12/26 12:00:00"));

    f.state.LastSeqNo = "123"_qs;
    server.enqueueAnswer(answer("x\n"));
    f.QueryReports();
    settle();
    EXPECT_EQ(targets(), (QStringList{"/query?senderCallsign=G4XYZ"_qs, "/query?senderCallsign=G4XYZ&lastseqno=123"_qs}));
    EXPECT_TRUE(f.Shape2->isHidden());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(QueryTest, AFailedSettingsWriteDoesNotStopTheLaterQueries)
{
    TForm1 &f = online();
    // A folder where the store's file should be: the save before the request fails.
    QFile::remove(storeFile());
    ASSERT_TRUE(QDir().mkpath(storeFile()));
    f.QueryReports();
    settle();
    EXPECT_TRUE(targets().isEmpty());
    EXPECT_EQ(dialogTexts(), QStringList{"Web error: TavikReporter site not accessible"_qs});

    // The file can be written again: the next query goes out and is stored.
    ASSERT_TRUE(QDir().rmdir(storeFile()));
    Clock::advance(301);
    server.enqueueAnswer(answer("x\n"));
    f.QueryReports();
    settle();
    EXPECT_EQ(targets(), QStringList{"/query?senderCallsign=G4XYZ"_qs});
    EXPECT_TRUE(readBytes(storeFile()).contains("TavikViewLastGet=07/12/26 12:05:01"));
    EXPECT_EQ(dialogs.size(), 1u);
}

TEST_F(QueryTest, AnAnswerThatTricklesInIsGivenUpAndTheNextCycleWorks)
{
    TForm1 &f = online();
    f.deadlines.query = std::chrono::milliseconds(1000);
    StandInFault drip;
    drip.kind = StandInFault::Drip;
    drip.value = 150; // well inside the client's inactivity limit of 400 ms
    drip.path = "/query"_qs;
    server.setFault(drip);
    f.QueryReports();
    settle();
    EXPECT_FALSE(f.IdHTTP1->isBusy());
    EXPECT_EQ(dialogTexts(), QStringList{"Web error: TavikReporter site not accessible"_qs});
    EXPECT_TRUE(readBytes("Taviklog.txt"_qs).contains("Exception error: No complete answer within 1 s"));

    Clock::advance(301);
    server.enqueueAnswer(answer("x\n"));
    f.runTick();
    settle();
    EXPECT_EQ(targets().size(), 2);
    EXPECT_EQ(readBytes("TavikRep.txt"_qs), QByteArray("x\r\n"));
}

TEST_F(QueryTest, TheBusyIndicatorIsLimeWhileTheQueryIsOutstanding)
{
    TForm1 &f = online();
    bool shown = false;
    QColor colour;
    QObject::connect(&server, &StandInServer::requestReceived, &f, [&] {
        shown = f.Shape2->isVisible() || !f.Shape2->isHidden();
        colour = f.Shape2->brushColour();
    });
    f.QueryReports();
    settle();
    EXPECT_TRUE(shown);
    EXPECT_EQ(colour, QColor(0x00, 0xFF, 0x00));
    EXPECT_TRUE(f.Shape2->isHidden());
    EXPECT_EQ(f.Shape2->brushColour(), f.palette().color(QPalette::Button));
}

TEST_F(QueryTest, AfterThreeOneLineAnswersTheFourthAsksForEverything)
{
    TForm1 &f = online("G4XYZ/P"_qs);
    for (int i = 0; i < 4; ++i) {
        f.state.LastSeqNo = "77"_qs;
        server.enqueueAnswer(answer("<empty/>\n"));
        f.QueryReports();
        settle();
    }
    EXPECT_EQ(f.state.EmptyReplies, 4);
    const QStringList sent = targets();
    ASSERT_EQ(sent.size(), 4);
    EXPECT_EQ(sent[2], "/query?senderCallsign=G4XYZ/P&lastseqno=77"_qs);
    EXPECT_EQ(sent[3], "/query?senderCallsign=G4XYZ/P"_qs);

    server.enqueueAnswer(answer(""));
    f.QueryReports();
    settle();
    EXPECT_EQ(f.state.EmptyReplies, 0);
    EXPECT_EQ(readBytes("TavikRep.txt"_qs), QByteArray());
}

TEST_F(QueryTest, EveryKindOfFailureKeepsTheAnswerFileLogsAndShowsTheMessageOnce)
{
    struct Case { const char *name; StandInFault::Kind kind; int value; };
    const Case cases[] = {
        {"status", StandInFault::Status, 503}, {"redirect", StandInFault::Redirect, 0},
        {"stall", StandInFault::Stall, 0},     {"midbody", StandInFault::CloseMidBody, 0},
        {"drop", StandInFault::Drop, 0},
    };
    TForm1 &f = online();
    for (const Case &c : cases) {
        writeBytes("TavikRep.txt"_qs, "old\r\n");
        dialogs.clear();
        StandInFault fault;
        fault.kind = c.kind;
        fault.value = c.value;
        fault.path = "/query"_qs;
        fault.sticky = true; // the network layer retries a dropped request by itself
        server.setFault(fault);
        f.QueryReports();
        settle();
        server.setFault({});
        EXPECT_EQ(readBytes("TavikRep.txt"_qs), QByteArray("old\r\n")) << c.name;
        EXPECT_EQ(dialogTexts(), QStringList{"Web error: TavikReporter site not accessible"_qs}) << c.name;
    }
    const QByteArray log = readBytes("Taviklog.txt"_qs);
    EXPECT_EQ(log.count("Exception error: "), 5) << log.constData();
    EXPECT_TRUE(log.contains("Exception error: HTTP/1.1 503"));
}

TEST_F(QueryTest, RefusedConnectionAndUntrustedCertificateFailAlike)
{
    StandInServer untrusted;
    ASSERT_TRUE(untrusted.setCertificate(StandInServer::untrustedCertFile(), StandInServer::untrustedKeyFile()));
    ASSERT_TRUE(untrusted.listen());
    Endpoints e = standInEndpoints();
    e.reportBase = untrusted.httpsBase();
    TForm1 &f = createWith(e);
    f.state.Callsign = "G4XYZ"_qs;
    f.state.PublicIP = "198.51.100.7"_qs;
    f.QueryReports();
    settle();
    EXPECT_FALSE(QFile::exists("TavikRep.txt"_qs));

    Endpoints closed = standInEndpoints();
    closed.reportBase = "https://127.0.0.1:1"_qs;
    TForm1 &g = createWith(closed);
    g.state.Callsign = "G4XYZ"_qs;
    g.state.PublicIP = "198.51.100.7"_qs;
    g.QueryReports();
    settle();
    EXPECT_FALSE(QFile::exists("TavikRep.txt"_qs));
    EXPECT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(readBytes("Taviklog.txt"_qs).count("Exception error: "), 2);
}

TEST_F(QueryTest, NoSecondRequestStartsWhileOneIsOutstanding)
{
    TForm1 &f = online();
    StandInAnswer slow = answer("a\nb\n");
    slow.fault.kind = StandInFault::Delay;
    slow.fault.value = 200;
    server.enqueueAnswer(slow);
    bool meanwhile = false;
    QTimer::singleShot(50, &f, [&] {
        f.Button6Click(); // "Do" pressed while the first query waits
        f.state.LastGetTime = Clock::nowLocal().addDays(-1);
        f.Timer1Timer(); // a tick that finds the query overdue
        meanwhile = true;
    });
    f.QueryReports();
    settle();
    EXPECT_TRUE(meanwhile);
    EXPECT_EQ(server.maxOutstanding(), 1);
    EXPECT_EQ(targets().size(), 1);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(QueryTest, TheOverrideAsksForItsCallsignAndGivesTheOperatorsBack)
{
    TForm1 &f = online(TForm1::kDeveloperCallsign);
    f.Edit5->setText("K1ABC"_qs);
    f.state.LastSeqNo = "55"_qs;
    server.enqueueAnswer(answer("x\ny\n"));
    f.QueryReports();
    settle();
    EXPECT_EQ(targets(), QStringList{"/query?senderCallsign=K1ABC"_qs});
    EXPECT_EQ(f.state.Callsign, TForm1::kDeveloperCallsign);
}

TEST_F(QueryTest, WithLoggingTheAddressAndTheSizeAreLogged)
{
    writeBytes("logflag.txt"_qs, "");
    TForm1 &f = online();
    server.enqueueAnswer(answer(QByteArray(2045, 'a') + "\n"));
    f.QueryReports();
    settle();
    const QByteArray log = readBytes("Taviklog.txt"_qs);
    const QByteArray url = server.httpsBase().toUtf8() + "/query?senderCallsign=G4XYZ";
    EXPECT_EQ(log, "07Dec2026 12:00:00 " + url + "\r\n07Dec2026 12:00:00 0 lines  1 KB\r\n");
}

TEST_F(QueryTest, TheTickQueriesAtTheFirstSecondPastFiveMinutes)
{
    TForm1 &f = online();
    const QDateTime last = Clock::nowLocal();
    f.state.LastGetTime = last;
    Clock::set(last.addSecs(300));
    f.Timer1Timer();
    EXPECT_TRUE(targets().isEmpty());
    Clock::set(last.addSecs(301));
    server.enqueueAnswer(answer("x\ny\n"));
    f.Timer1Timer();
    settle();
    EXPECT_EQ(targets().size(), 1);
    EXPECT_EQ(f.state.LastGetTime, last.addSecs(301));
    EXPECT_EQ(f.ProgressBar1->position(), 0);
}

TEST_F(QueryTest, EnterInTheOverrideBoxForgetsTheReportsAndQueriesAtOnce)
{
    TForm1 &f = online();
    writeBytes("TavikRpts.txt"_qs, "r\r\n");
    writeBytes("TavikRep.txt"_qs, "a\r\n");
    f.Edit5KeyPress(u'\r');
    EXPECT_FALSE(QFile::exists("TavikRpts.txt"_qs));
    EXPECT_FALSE(QFile::exists("TavikRep.txt"_qs));
    EXPECT_EQ(f.state.LastGetTime, Clock::nowLocal().addDays(-20));
}

TEST_F(QueryTest, ClosingTheWindowDuringAQueryShowsNoWebError)
{
    TForm1 &f = online();
    StandInFault stall;
    stall.kind = StandInFault::Stall;
    server.setFault(stall);
    f.QueryReports();
    ASSERT_TRUE(f.IdHTTP1->isBusy());
    f.Button1Click();
    // "Close" gave the request up at once; its end comes from the event loop.
    settle();
    EXPECT_FALSE(f.Timer1->isActive());
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(readBytes("Taviklog.txt"_qs).contains("Exception error: "));
    // exit() with no exec() running leaves every later event loop of the test
    // process returning at once (the next HTTP request "abandoned"); a short
    // exec() takes the quit back.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST_F(QueryTest, WhileTheAnswerTricklesInTheTickGoesOnAndTheAnswerIsProcessedWhenIn)
{
    TForm1 &f = online();
    f.IdHTTP1->setTimeout(std::chrono::milliseconds(5000));
    StandInAnswer slow = answer("<receptionReport receiverCallsign=\"K1ABC\" senderCallsign=\"G4XYZ\" "
                                "flowStartSeconds=\"1796644800\" frequency=\"14074000\" mode=\"FT8\" sNR=\"-5\" />\n"
                                "</receptionReports>\n");
    slow.fault.kind = StandInFault::Drip;
    slow.fault.value = 2;
    server.enqueueAnswer(slow);
    f.state.LastGetTime = Clock::nowLocal().addSecs(-301);
    f.Timer1Timer(); // starts the query and returns before any answer
    ASSERT_TRUE(f.IdHTTP1->isBusy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !targets().isEmpty(); }, 5000));
    for (int second = 1; second <= 3; ++second) {
        Clock::advance(3);
        f.Timer1Timer();
        EXPECT_TRUE(f.IdHTTP1->isBusy());
        EXPECT_FALSE(f.Shape2->isHidden());
        EXPECT_EQ(f.ProgressBar1->position(), second);
    }
    EXPECT_FALSE(QFile::exists("TavikRpts.txt"_qs));
    settle();
    EXPECT_TRUE(f.Shape2->isHidden());
    EXPECT_EQ(targets().size(), 1);
    EXPECT_TRUE(readBytes("TavikRpts.txt"_qs).contains("K1ABC"));
    EXPECT_TRUE(f.RichEdit1->toPlainText().contains("K1ABC"_qs));
}
