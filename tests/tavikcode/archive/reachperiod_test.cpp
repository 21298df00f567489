#include "archive/reachperiod.h"

#include "../../testsupport.h"

TEST(ReachPeriod, EachPeriodEndsNowAndIsStoredByItsKey)
{
    const qint64 now = 1796637600;
    struct Case { ReachPeriod period; const char *key; qint64 length; };
    const Case cases[] = {
        {ReachPeriod::LastHour, "1h", 3600},          {ReachPeriod::Last6Hours, "6h", 6 * 3600},
        {ReachPeriod::Last24Hours, "24h", 86400},      {ReachPeriod::Last7Days, "7d", 7 * 86400},
        {ReachPeriod::Last30Days, "30d", 30 * 86400},
    };
    ASSERT_EQ(reachPeriods().size(), 6);
    for (const Case &c : cases) {
        const ArchivePeriod p = archivePeriod(c.period, now);
        EXPECT_EQ(p.toSeconds, now + 1) << c.key;
        EXPECT_EQ(p.toSeconds - p.fromSeconds, c.length) << c.key;
        EXPECT_EQ(periodKey(c.period), QString::fromLatin1(c.key));
        EXPECT_EQ(periodFromKey(QString::fromLatin1(c.key)), c.period);
    }
    // "All" has no bound: a report stamped ahead of a slow clock is in it; its chart ends now.
    const ArchivePeriod all = archivePeriod(ReachPeriod::All, now);
    EXPECT_LE(all.fromSeconds, 0);
    EXPECT_GT(all.toSeconds, now + 365 * 86400);
    EXPECT_EQ(all.chartEndSeconds, now + 1);
    EXPECT_EQ(periodFromKey("all"_qs), ReachPeriod::All);
    EXPECT_FALSE(periodFromKey("24H"_qs));
    EXPECT_FALSE(periodFromKey(QString()));
}
