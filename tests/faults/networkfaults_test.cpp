// Answers that go wrong on the way: one of 100 MB, one that never comes, one
// whose server closes in the middle of the body. Each ends in its own log
// line and the one message; the histories stay as they were, and the next
// query brings every report that the failed one would have brought.
#include "servedanswers.h"

#include "../networkfixture.h"

#include "base/filenames.h"

#include <QElapsedTimer>

namespace {

struct Snapshot
{
    QByteArray reports, calls, grids, response;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot()
{
    const auto bytes = [](const QString &name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
    };
    return {bytes(files::kReports), bytes(files::kCalls), bytes(files::kGrids), bytes(files::kResponse)};
}

} // namespace

struct NetworkFault
{
    const char *name;
    StandInFault::Kind kind;
    int value;
    const char *logged; // the reason in the "Exception error: " line
};

void PrintTo(const NetworkFault &fault, std::ostream *os)
{
    *os << fault.name;
}

class NetworkFaultTest : public NetworkTest, public ::testing::WithParamInterface<NetworkFault>
{
protected:
    ServedAnswers service{server};
};

TEST_P(NetworkFaultTest, ChangesNoHistoryAndTheNextAnswerBringsItsReports)
{
    const NetworkFault &fault = GetParam();
    TForm1 &f = online();
    f.IdHTTP1->setMaxBodySize(1024 * 1024);
    // Only the stall waits for the inactivity limit; the others have room on
    // a busy machine.
    if (fault.kind != StandInFault::Stall)
        f.IdHTTP1->setTimeout(std::chrono::milliseconds(3000));
    f.runTick();
    settle();
    ASSERT_EQ(service.queries(), 1);
    const Snapshot before = snapshot();
    ASSERT_NE(before.reports, QByteArray("<absent>"));

    Clock::advance(301);
    service.plan(1, ServedAnswers::Plan::Fault, fault.kind, fault.value);
    QElapsedTimer took;
    took.start();
    f.runTick();
    settle();
    EXPECT_LT(took.elapsed(), 5000);
    EXPECT_EQ(service.queries(), 2);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(dialogTexts(), QStringList{"Web error: TavikReporter site not accessible"_qs});
    const QByteArray log = readBytes(files::kLog);
    EXPECT_EQ(log.count("Exception error: "), 1) << log.constData();
    EXPECT_TRUE(log.contains(fault.logged)) << log.constData();
    EXPECT_LT(server.requests().constLast().bodyBytesSent, 16 * 1024 * 1024);

    // Five minutes on, the same sequence number is asked for again.
    Clock::advance(301);
    f.runTick();
    settle();
    const QStringList asked = service.sequenceNumbersAsked();
    ASSERT_EQ(asked.size(), 3);
    EXPECT_FALSE(asked.at(1).isEmpty());
    EXPECT_EQ(asked.at(2), asked.at(1));
    EXPECT_EQ(served::checkReportHistory(served::fileLines(files::kReports),
                                         service.reports()),
              QString());
    EXPECT_EQ(server.maxOutstanding(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NetworkFaultTest,
    ::testing::Values(
        NetworkFault{"OfAHundredMegabytes", StandInFault::LargeBody, 100,
                     "Exception error: Answer refused: larger than 1048576 bytes"},
        NetworkFault{"ThatNeverComes", StandInFault::Stall, 0, "Exception error: Read timed out"},
        NetworkFault{"CutInTheMiddleOfTheBody", StandInFault::CloseMidBody, 0, "Exception error: Connection closed"}),
    [](const ::testing::TestParamInfo<NetworkFault> &info) { return std::string(info.param.name); });
