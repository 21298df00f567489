// The machine's clock jumps back an hour, or forward a day, while the program
// runs. The next tick queries at once (the time since the last query counts
// both ways), the cycle goes on from there, and the report history holds
// every report served once: none is lost, none doubled by the answers that
// repeat what an earlier one brought.
#include "servedanswers.h"

#include "../networkfixture.h"

#include "base/datetime.h"
#include "base/filenames.h"

#include <QLabel>

class ClockJumpTest : public NetworkTest
{
protected:
    // Runs the tick once a second for the given number of seconds, each
    // request then to its end.
    void run(TForm1 &f, int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            Clock::advance(1);
            f.runTick();
            settle();
            ASSERT_GE(f.ProgressBar1->position(), 0);
            ASSERT_LE(f.ProgressBar1->position(), 100);
        }
    }

    ServedAnswers service{server};
};

TEST_F(ClockJumpTest, BackAnHourOrForwardADayQueriesAtOnceAndLosesNoReport)
{
    writeBytes(files::kLogFlag, "");
    TForm1 &f = online();
    run(f, 1200);
    EXPECT_EQ(service.queries(), 4);

    for (const qint64 jump : {qint64(-3600), qint64(86400)}) {
        SCOPED_TRACE(jump);
        const int before = service.queries();
        Clock::set(Clock::nowUtc().addSecs(jump));
        f.runTick();
        settle();
        EXPECT_EQ(service.queries(), before + 1) << "no query at the first tick after the jump";
        EXPECT_EQ(f.state.LastGetTime, Clock::nowLocal());
        EXPECT_EQ(f.ProgressBar1->position(), 0);
        const QByteArray log = readBytes(files::kLog);
        const QByteArray line = datetime::dateTimeText(Clock::nowLocal()).toUtf8() + ' ' + server.httpsBase().toUtf8()
            + "/query?senderCallsign=G4XYZ&lastseqno=";
        EXPECT_TRUE(log.contains(line)) << log.right(400).constData();

        // The cycle goes on from the new time: a query every five minutes.
        const QDateTime jumped = Clock::nowLocal();
        run(f, 1);
        EXPECT_EQ(f.Label3->text(), datetime::timeText(jumped.time()));
        EXPECT_EQ(f.Label4->text(), datetime::timeText(jumped.addSecs(300).time()));
        run(f, 1199);
        EXPECT_EQ(service.queries(), before + 4);
    }
    EXPECT_EQ(served::checkReportHistory(served::fileLines(files::kReports),
                                         service.reports()),
              QString());
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(server.maxOutstanding(), 1);
}
