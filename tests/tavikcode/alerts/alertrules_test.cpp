#include "alertfixture.h"

using namespace alertfixture;

TEST(AlertRules, AFirstRunWithADaysBacklogLearnsSilentlyAndSaysOneFirstLook)
{
    Judge j;
    QList<ArchivedReport> day;
    for (qint64 t = kStart - 86400; t < kStart; t += 600) {
        day << report(t, kBerlin, k40m) << report(t, kBoston) << report(t + 15, kSydney, k10m);
        day << report(t + 30, kTokyo, k10m); // 10m wide open all day long
    }
    const Judgement first = j.pass(day, kStart);
    ASSERT_EQ(first.alerts.size(), 1);
    EXPECT_EQ(first.alerts[0].rule, AlertRule::FirstLook);
    EXPECT_EQ(first.alerts[0].text, "First look: 576 reports from 4 receivers in 4 DXCC entities on 3 bands; "
                                    "farthest VK2XYZ 16,987 km on 10m"_qs);
    EXPECT_TRUE(first.backlog);
    EXPECT_EQ(j.state.lastJudged, kStart - 600 + 30);

    // What it learnt holds: the same stations again tell nothing.
    const Judgement next = j.pass({report(kStart + 60, kSydney, k10m), report(kStart + 60, kBoston)}, kStart + 300);
    EXPECT_TRUE(next.alerts.isEmpty()) << texts(next.alerts).join(u'|').toStdString();
    EXPECT_FALSE(next.backlog);
}

TEST(AlertRules, ARestartOrClrFilesJudgesOnlyWhatIsNewerThanTheLastJudged)
{
    Judge j;
    j.settings.record = j.settings.opening = false;
    j.learn({report(kStart, kBerlin)});
    const QList<ArchivedReport> pass = {report(kStart + 60, kTokyo), report(kStart + 120, kBoston)};
    ASSERT_EQ(j.pass(pass, kStart + 300).alerts.size(), 2);

    // After a start the service sends everything again, and one new report.
    const AlertState before = j.state;
    const Judgement again = j.pass(pass + QList{report(kStart + 120, kSydney)}, kStart + 600, true);
    EXPECT_TRUE(again.alerts.isEmpty()) << "the same second as the last judged is not newer";
    EXPECT_TRUE(again.backlog);
    const Judgement newer = j.pass(pass + QList{report(kStart + 121, kSydney)}, kStart + 900, true);
    EXPECT_EQ(texts(newer.alerts), QStringList{"New DXCC entity: Australia, VK2XYZ on 20m, 16,987 km (60°)"_qs});

    // So does a long time offline (more than 20 minutes without a pass), but not 20 minutes.
    Judge k;
    k.state = before;
    EXPECT_FALSE(k.pass({report(kStart + 100, kSydney)}, kStart + 300 + 20 * 60).backlog);
    EXPECT_EQ(k.state.entities.contains("Australia"_qs), true);
    k.state = before;
    const Judgement offline = k.pass({report(kStart + 100, kSydney)}, kStart + 301 + 20 * 60);
    EXPECT_TRUE(offline.backlog);
    EXPECT_TRUE(offline.alerts.isEmpty()) << "older than the last judged";
}

TEST(AlertRules, NewEntitiesAndOptionallyTheFirstOnEachBand)
{
    for (const bool perBand : {false, true}) {
        Judge j;
        j.settings.entityPerBand = perBand;
        j.settings.record = j.settings.opening = false;
        j.learn({report(kStart, kBoston)});
        const Judgement pass = j.pass({report(kStart + 60, kBoston, k40m), report(kStart + 60, kTokyo, k40m),
                                       report(kStart + 90, kTokyo)},
                                      kStart + 300);
        QStringList expected{"New DXCC entity: Japan, JA1ABC on 40m, 9,5"_qs};
        if (perBand) {
            expected.prepend("United States on 40m for the first time: W1AW, 5,"_qs);
            expected << "Japan on 20m for the first time: JA1ABC, 9,5"_qs;
        }
        ASSERT_EQ(pass.alerts.size(), expected.size()) << perBand;
        for (qsizetype i = 0; i < expected.size(); ++i)
            EXPECT_TRUE(pass.alerts[i].text.startsWith(expected[i])) << pass.alerts[i].text.toStdString();
        EXPECT_EQ(pass.alerts.last().subject, "Japan"_qs);

        // Switched off, the rule tells nothing, but still learns.
        j.settings.newEntity = false;
        EXPECT_TRUE(j.pass({report(kStart + 400, kCape)}, kStart + 600).alerts.isEmpty());
        EXPECT_TRUE(j.state.entities.contains("South Africa"_qs));
    }
}

TEST(AlertRules, ADistanceRecordNeedsAFartherReceiverThanAnyBeforeOnItsBand)
{
    Judge j;
    j.settings.newEntity = j.settings.opening = false;
    j.learn({report(kStart, kTokyo), report(kStart, kBerlin, k40m)});

    // As far as the record, a first report on another band, nearer: silent.
    EXPECT_TRUE(j.pass({report(kStart + 60, kTokyo), report(kStart + 60, kBoston, k10m),
                        report(kStart + 60, kBoston)},
                       kStart + 300)
                    .alerts.isEmpty());
    EXPECT_EQ(j.state.records.value("10m"_qs).receiver, "W1AW"_qs);

    // Farther: the farthest of the pass, with the record it beat.
    const Judgement record = j.pass({report(kStart + 400, kCape, k40m), report(kStart + 420, kSydney, k40m)},
                                    kStart + 600);
    ASSERT_EQ(record.alerts.size(), 1);
    EXPECT_EQ(record.alerts[0].rule, AlertRule::DistanceRecord);
    EXPECT_EQ(record.alerts[0].time, kStart + 420);
    EXPECT_EQ(record.alerts[0].text, "40m distance record: VK2XYZ 16,987 km (60°), before 932 km (DL1ABC)"_qs);

    // Without the operator's locator there are no distances.
    j.at.reset();
    EXPECT_TRUE(j.pass({report(kStart + 700, kSydney, k10m)}, kStart + 900).alerts.isEmpty());
}

TEST(AlertRules, ABandOpensWithNReceiversBeyondDAfterHHoursWithoutAny)
{
    struct Case
    {
        const char *what;
        qint64 quietSeconds;  // since the last far report of a told opening
        QList<Station> heard; // in the pass
        bool opens;
    };
    const qint64 h = 3 * 3600;
    const Case cases[] = {
        {"two far receivers", h, {kSydney, kTokyo}, true},
        {"one far receiver", h, {kSydney}, false},
        {"one far, one near", h, {kSydney, kBerlin}, false},
        {"one far receiver twice", h, {kSydney, kSydney}, false},
        {"still the opening before", h - 1, {kSydney, kTokyo, kCape}, false},
    };
    for (const Case &c : cases) {
        Judge j;
        j.settings.newEntity = j.settings.record = false;
        // The first run learns an opening that was told (or is no news).
        const qint64 last = kStart - c.quietSeconds;
        j.learn({report(last - 60, kBoston, k10m), report(last, kCape, k10m)}, kStart - 60);
        QList<ArchivedReport> pass;
        for (const Station &s : c.heard)
            pass << report(kStart + 10 * pass.size(), s, k10m);
        const Judgement opened = j.pass(pass, kStart + 300);
        EXPECT_EQ(opened.alerts.size(), c.opens ? 1 : 0) << c.what;
        if (c.opens) {
            EXPECT_EQ(opened.alerts[0].text,
                      "10m open: 2 receivers beyond 3,000 km, farthest VK2XYZ 16,987 km (60°)"_qs);
            EXPECT_EQ(opened.alerts[0].time, kStart + 10);
            // Open it stays: more far receivers tell nothing.
            EXPECT_TRUE(j.pass({report(kStart + 400, kCape, k10m)}, kStart + 600).alerts.isEmpty()) << c.what;
        }
    }

    // N and D are the operator's: three beyond 10,000 km.
    Judge j;
    j.settings.openingReceivers = 3;
    j.settings.openingKm = 10000;
    j.settings.newEntity = j.settings.record = false;
    j.learn({report(kStart - 86400, kBerlin, k10m)}, kStart - 86000);
    EXPECT_TRUE(j.pass({report(kStart, kSydney, k10m), report(kStart, kTokyo, k10m), report(kStart, kBoston, k10m)},
                       kStart + 300)
                    .alerts.isEmpty());
    const Judgement third = j.pass({report(kStart + 400, kCape, k10m)}, kStart + 600);
    ASSERT_EQ(third.alerts.size(), 0) << "Cape Town is within 10,000 km too";
    const Judgement later = j.pass({report(kStart + 700, kSydney, k10m), report(kStart + 710, {"VK3ABC", "QF22", "Australia"}, k10m),
                                    report(kStart + 720, {"ZL1ABC", "RF80", "New Zealand"}, k10m)},
                                   kStart + 900);
    ASSERT_EQ(later.alerts.size(), 1);
    EXPECT_TRUE(later.alerts[0].text.startsWith("10m open: 3 receivers beyond 10,000 km"_qs));
}

TEST(AlertRules, WatchedStationsMatchCallsignsAndPrefixesOnceAnHour)
{
    Judge j;
    j.settings.newEntity = j.settings.record = j.settings.opening = false;
    j.settings.watchList = watchListFromText("vk*, ZL1ABC"_qs);
    EXPECT_EQ(j.settings.watchList, (QStringList{"VK*"_qs, "ZL1ABC"_qs}));
    j.learn({report(kStart - 60, kBerlin)});
    const Station zl{"ZL1ABC", "RF80", "New Zealand"}, zlLonger{"ZL1ABCD", "RF80", "New Zealand"};
    const Judgement heard = j.pass({report(kStart, kSydney, k20m, "-7"), report(kStart, zl, k40m),
                                    report(kStart, zlLonger), report(kStart, kBerlin)},
                                   kStart + 300);
    ASSERT_EQ(texts(heard.alerts).size(), 2);
    EXPECT_EQ(heard.alerts[0].text, "VK2XYZ hears you on 20m: -7 dB, 16,987 km (60°)"_qs);
    EXPECT_EQ(heard.alerts[1].subject, "ZL1ABC"_qs);

    // The same station on the same band: again only after an hour; on another band at once.
    EXPECT_TRUE(j.pass({report(kStart + 600, kSydney)}, kStart + 300 + 3599).alerts.isEmpty());
    EXPECT_EQ(j.pass({report(kStart + 700, kSydney, k40m)}, kStart + 300 + 3599).alerts.size(), 1);
    EXPECT_EQ(j.pass({report(kStart + 800, kSydney)}, kStart + 300 + 3600).alerts.size(), 1);

    EXPECT_TRUE(matchesWatch(u"vk2xyz", u"VK*"));
    EXPECT_TRUE(matchesWatch(u"G4XYZ/P", u"*/P"));
    EXPECT_TRUE(matchesWatch(u"DL1ABC", u"D*1*C"));
    EXPECT_FALSE(matchesWatch(u"DL1ABD", u"D*1*C"));
    EXPECT_FALSE(matchesWatch(u"VK2XYZ", u""));
}

TEST(AlertRules, SilenceIsToldOnceAfterMMinutesWithoutAReportFollowingReportsBeforeIt)
{
    Judge j;
    j.settings.silence = true;
    j.settings.newEntity = j.settings.record = j.settings.opening = false;
    j.learn({report(kStart, kBerlin)});
    j.pass({report(kStart + 120, kBerlin), report(kStart + 120, kBoston)}, kStart + 300);
    const qint64 last = kStart + 120;
    EXPECT_TRUE(j.pass({}, last + 3599).alerts.isEmpty());
    const Judgement silent = j.pass({}, last + 3600);
    ASSERT_EQ(silent.alerts.size(), 1);
    EXPECT_EQ(silent.alerts[0].text, "No report for 60 minutes: the last was at 12:02 UTC"_qs);
    EXPECT_TRUE(j.pass({}, last + 4000).alerts.isEmpty()) << "once";

    // One lone transmission, more than M minutes after the one before, is no sign of a station at work.
    j.pass({report(last + 3601 + 3600, kBerlin)}, last + 3601 + 3600 + 60);
    EXPECT_TRUE(j.pass({}, last + 3601 + 3600 + 3600).alerts.isEmpty());

    // A silence found by the first pass after a start began while no one looked.
    Judge k;
    k.settings.silence = true;
    k.learn({report(kStart, kBerlin), report(kStart + 120, kBerlin)});
    EXPECT_TRUE(k.pass({}, kStart + 5 * 3600, true).alerts.isEmpty());
    EXPECT_TRUE(k.pass({}, kStart + 5 * 3600 + 300).alerts.isEmpty());
}

TEST(AlertRules, AlertsOpenTheShortestReachPeriodThatHoldsThem)
{
    EXPECT_EQ(reachPeriodFor(kStart - 3599, kStart), ReachPeriod::LastHour);
    EXPECT_EQ(reachPeriodFor(kStart - 3600, kStart), ReachPeriod::Last6Hours);
    EXPECT_EQ(reachPeriodFor(kStart - 40 * 86400, kStart), ReachPeriod::All);
    for (AlertRule r : {AlertRule::NewEntity, AlertRule::Silence, AlertRule::FirstLook})
        EXPECT_EQ(ruleFromKey(ruleKey(r)), r);
}
