#include "alerts/noticeplan.h"

#include "alertfixture.h"

using namespace alertfixture;

namespace {

QList<Alert> alerts(int n, qint64 time = kStart)
{
    QList<Alert> list;
    for (int i = 0; i < n; ++i)
        list << Alert{time + i, AlertRule::WatchedStation, "20m"_qs, "VK%1"_qs.arg(i), "VK%1 hears you"_qs.arg(i)};
    return list;
}

QDateTime local(int hour, int minute = 0, int day = 7)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute), Qt::LocalTime);
}

QStringList summaries(const NoticePlan &plan)
{
    QStringList s;
    for (const Notice &n : plan.notices)
        s << n.summary;
    return s;
}

} // namespace

TEST(NoticePlan, SixInTenMinutesAndTheRestFoldedIntoOne)
{
    const AlertSettings settings;
    NoticeState s;
    EXPECT_EQ(planNotices(settings, s, alerts(6), false, local(12)).notices.size(), 6);

    NoticeState t;
    const NoticePlan seven = planNotices(settings, t, alerts(7), false, local(12));
    ASSERT_EQ(seven.notices.size(), 6);
    EXPECT_EQ(seven.notices[0].summary, "Watched station on 20m"_qs);
    EXPECT_EQ(seven.notices[0].body, "VK0 hears you"_qs);
    EXPECT_EQ(seven.notices[5].summary, "and 2 more alerts"_qs);
    EXPECT_EQ(seven.notices[5].body, "VK5 hears you\nVK6 hears you"_qs);
    EXPECT_TRUE(seven.notices[5].fold);

    // Later alerts of the same ten minutes go into that notification, shown again in its place.
    const NoticePlan more = planNotices(settings, t, alerts(3), false, local(12, 9));
    ASSERT_EQ(summaries(more), QStringList{"and 5 more alerts"_qs});
    EXPECT_TRUE(more.notices[0].fold);
    EXPECT_EQ(more.notices[0].body, "VK5 hears you\nVK6 hears you\nVK0 hears you"_qs);
    // Ten minutes on, each is shown again.
    EXPECT_EQ(planNotices(settings, t, alerts(2), false, local(12, 10)).notices.size(), 2);
}

TEST(NoticePlan, AlertsPastSixSeparateOnesWaitForAPlace)
{
    const AlertSettings settings;
    NoticeState s;
    for (int minute = 0; minute < 6; ++minute)
        ASSERT_EQ(planNotices(settings, s, alerts(1), false, local(12, minute)).notices.size(), 1);
    const NoticePlan full = planNotices(settings, s, alerts(2), false, local(12, 7));
    EXPECT_TRUE(full.notices.isEmpty());
    EXPECT_EQ(full.wakeAt, local(12, 10).toSecsSinceEpoch());
    const NoticePlan woken = planNotices(settings, s, {}, false, local(12, 10));
    EXPECT_EQ(summaries(woken), QStringList{"and 2 more alerts"_qs});
    EXPECT_EQ(woken.wakeAt, 0);
}

TEST(NoticePlan, APassThatCaughtUpIsToldInOneNotification)
{
    const AlertSettings settings;
    NoticeState s;
    const NoticePlan plan = planNotices(settings, s, alerts(12), true, local(12));
    ASSERT_EQ(plan.notices.size(), 1);
    EXPECT_EQ(plan.notices[0].summary, "12 alerts since 12:00 UTC"_qs);
    EXPECT_EQ(plan.notices[0].body, "VK0 hears you\nVK1 hears you\nVK2 hears you\nand 9 more alerts"_qs);
    EXPECT_EQ(plan.notices[0].band, QString());
    EXPECT_EQ(plan.notices[0].time, kStart);
    // One alert alone is told as it is.
    EXPECT_EQ(summaries(planNotices(settings, s, alerts(1), true, local(12, 5))),
              QStringList{"Watched station on 20m"_qs});
}

TEST(NoticePlan, QuietHoursHoldNotificationsBackUntilTheyEnd)
{
    AlertSettings settings;
    settings.quiet = true; // 22:00 to 07:00
    NoticeState s;
    const NoticePlan night = planNotices(settings, s, alerts(2), false, local(23));
    EXPECT_TRUE(night.notices.isEmpty());
    EXPECT_EQ(night.wakeAt, local(7, 0, 8).toSecsSinceEpoch());
    EXPECT_TRUE(planNotices(settings, s, alerts(1), false, local(6, 59, 8)).notices.isEmpty());
    const NoticePlan morning = planNotices(settings, s, {}, false, local(7, 0, 8));
    ASSERT_EQ(summaries(morning), QStringList{"3 alerts during quiet hours"_qs});

    // Quiet hours within a day; the same from and to is never quiet.
    settings.quietFrom = QTime(13, 0);
    settings.quietTo = QTime(14, 30);
    EXPECT_FALSE(settings.isQuietAt(QTime(12, 59)));
    EXPECT_TRUE(settings.isQuietAt(QTime(13, 0)));
    EXPECT_FALSE(settings.isQuietAt(QTime(14, 30)));
    settings.quietTo = settings.quietFrom;
    EXPECT_FALSE(settings.isQuietAt(QTime(13, 0)));

    // Notifications off: the alert list alone.
    settings.notify = false;
    EXPECT_TRUE(planNotices(settings, s, alerts(1), false, local(12)).notices.isEmpty());
}
