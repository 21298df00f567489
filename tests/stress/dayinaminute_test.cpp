// A day in a minute: 86,400 ticks with the clock set a second on each time,
// against the stand-in service. A query every five minutes with the reports
// made since, some empty answers, a few failures, the address lost for twenty
// minutes and found again. Afterwards the histories hold exactly what was
// served, no request overlapped another, and memory did not grow with the
// number of cycles.
#include "../faults/servedanswers.h"
#include "../networkfixture.h"

#include "base/filenames.h"

#include <QElapsedTimer>

#include <iostream>


namespace {

// The resident memory of this process in kB, from /proc (0 where there is none).
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

constexpr int kDay = 86400;
constexpr int kAddressLost = 50000;  // 13:53:20
constexpr int kAddressBack = 51200;  // twenty minutes later
constexpr int kWarmedUp = 7200;      // two hours: the history is full by then

} // namespace

class DayInAMinuteTest : public NetworkTest
{
protected:
    ServedAnswers service{server};
};

TEST_F(DayInAMinuteTest, TheHistoriesHoldExactlyWhatWasServed)
{
    // Three one-line answers in a row (the fourth query asks for everything),
    // two more on their own, and three failures of different kinds.
    for (const int q : {20, 21, 22, 100, 230})
        service.plan(q, ServedAnswers::Plan::OneLine);
    service.plan(60, ServedAnswers::Plan::Fault, StandInFault::Status, 503);
    service.plan(61, ServedAnswers::Plan::Fault, StandInFault::Stall);
    service.plan(150, ServedAnswers::Plan::Fault, StandInFault::CloseMidBody);

    // The server's records are tallied and dropped as the day goes, so that
    // only the program's memory can grow.
    int echoes = 0;
    int maxOutstanding = 0;
    QObject::connect(&server, &StandInServer::requestReceived, &server,
                     [&echoes](const StandInRequest &r) { echoes += r.target == "/"; });

    TForm1 &f = online();
    const QDateTime start = Clock::nowUtc();
    QList<qint64> residentKbs; // after 2, 8, 14, 20 hours and at the end
    QElapsedTimer wall;
    wall.start();
    for (int tick = 1; tick <= kDay; ++tick) {
        Clock::advance(1);
        if (tick == kAddressLost) {
            localAddress.clear();
            f.IdIPWatch1->check();
        } else if (tick == kAddressBack) {
            localAddress = "10.0.0.2"_qs;
            f.IdIPWatch1->check();
        }
        f.runTick();
        settle(); // the request of the tick, if any, to its end
        // Between two ticks the program's main loop runs: it delivers what the
        // tick posted and deletes what was left to it (the finished replies,
        // the server's closed sockets).
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!server.requests().isEmpty()) {
            maxOutstanding = std::max(maxOutstanding, server.maxOutstanding());
            server.clearRecords();
        }
        if (tick >= kWarmedUp && (tick - kWarmedUp) % (6 * 3600) == 0)
            residentKbs << residentKb();
    }
    residentKbs << residentKb();
    std::cout << "A day of ticks took " << wall.elapsed() << " ms and " << service.queries()
              << " queries; resident kB after 2, 8, 14, 20 and 24 hours:";
    for (const qint64 kb : residentKbs)
        std::cout << ' ' << kb;
    std::cout << '\n';

    // A query every 301 seconds, none while the address was lost, and the
    // first after it within five minutes of its return.
    int queriesOffline = 0;
    qint64 firstBack = kDay;
    for (const QDateTime &t : service.times()) {
        const qint64 second = start.secsTo(t);
        queriesOffline += second >= kAddressLost && second <= kAddressBack;
        if (second > kAddressBack)
            firstBack = std::min(firstBack, second - kAddressBack);
    }
    EXPECT_EQ(queriesOffline, 0);
    EXPECT_LE(firstBack, 301);
    EXPECT_GE(service.queries(), 280);
    EXPECT_LE(service.queries(), 288);
    EXPECT_TRUE(service.sequenceNumbersAsked().at(23).isEmpty()) << "the query after three empty answers";

    // One echo request, when the address came back; no two requests at once.
    EXPECT_EQ(echoes, 1);
    EXPECT_EQ(maxOutstanding, 1);

    // Each failure told once, in the log and in the one message.
    EXPECT_EQ(readBytes(files::kLog).count("Exception error: "), 3);
    EXPECT_EQ(dialogTexts(), QStringList(3, "Web error: TavikReporter site not accessible"_qs));

    // The histories against the served answers.
    EXPECT_EQ(served::checkReportHistory(served::fileLines(files::kReports),
                                         service.reports()),
              QString());
    const QStringList calls = served::fileLines(files::kCalls);
    EXPECT_EQ(served::upperSet(calls), service.receivers());
    EXPECT_EQ(served::upperSet(calls).size(), calls.size());
    const QStringList grids = served::fileLines(files::kGrids);
    EXPECT_EQ(served::upperSet(grids), service.gridEntries());
    EXPECT_EQ(served::upperSet(grids).size(), grids.size());

#ifndef TAVIK_ASAN
    // Memory after two hours and after the whole day: no growth with the
    // number of cycles (a kilobyte a query would be a quarter of a megabyte),
    // beyond what the allocator and the test's own records keep.
    EXPECT_LT(residentKbs.constLast() - residentKbs.constFirst(), 1024);
#endif
}
