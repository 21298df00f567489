#include "alertfixture.h"
#include "alerts/alertmonitor.h"

using namespace alertfixture;

namespace {

// An FT8 transmission of 13 s on 20m, from the given second.
Transmission tx(qint64 start, const char *band = "20m")
{
    return {QDateTime::fromSecsSinceEpoch(start, Qt::UTC), QDateTime::fromSecsSinceEpoch(start + 13, Qt::UTC),
            14074000, QString::fromLatin1(band), "FT8"_qs, 1500};
}

QList<FollowedTransmission> followed(const QList<Transmission> &list)
{
    QList<FollowedTransmission> f;
    for (const Transmission &t : list)
        f << FollowedTransmission{t, false, false};
    return f;
}

Judge quietJudge()
{
    Judge j;
    j.settings.newEntity = j.settings.record = j.settings.opening = j.settings.watch = false;
    j.learn({report(kStart - 3600, kBerlin)});
    return j;
}

} // namespace

TEST(Unheard, TellsNUnsettledOrHeardTransmissionsOnlyWhenAllAreSettledAndUnheard)
{
    // Ten transmissions a minute apart from 12:01; the last ends at 12:10:13.
    QList<Transmission> ten;
    for (int i = 0; i < 10; ++i)
        ten << tx(kStart + 60 + i * 60);
    const qint64 settled = kStart + 60 + 9 * 60 + 13 + kSettleSeconds;
    struct Case
    {
        const char *name;
        QList<ArchivedReport> reports;
        qint64 now;
        QList<ReferenceHeard> references;
        const char *text; // empty: no alert
    };
    const ReferenceHeard ref{"N0REF"_qs, "20m"_qs, "K1AAA"_qs, kStart + 120};
    const auto refBy = [&](const char *receiver, const char *call = "N0REF", qint64 t = kStart + 200) {
        return ReferenceHeard{QString::fromLatin1(call), "20m"_qs, QString::fromLatin1(receiver), t};
    };
    const Case cases[] = {
        {"none heard", {}, settled, {}, "20m: 10 transmissions since 12:01 UTC, nobody heard you"},
        {"one heard", {report(kStart + 60 + 4 * 60 + 5, kBoston)}, settled, {}, ""},
        {"heard on another band", {report(kStart + 60 + 4 * 60 + 5, kBoston, k40m)}, settled, {},
         "20m: 10 transmissions since 12:01 UTC, nobody heard you"},
        {"last not yet settled", {}, settled - 1, {}, ""},
        {"with references", {}, settled,
         {ref, refBy("K1AAA"), refBy("W1AW"), refBy("JA1ABC", "N1OTHER"), refBy("VK2XYZ", "N1OTHER", kStart - 60),
          refBy("ZL1ABC", "N1OTHER", kStart + 1000), ReferenceHeard{"N1OTHER"_qs, "40m"_qs, "DL1ABC"_qs, kStart + 200}},
         "20m: 10 transmissions since 12:01 UTC, nobody heard you; N0REF was heard by 2 receivers"},
    };
    for (const Case &c : cases) {
        Judge j = quietJudge();
        PassInput pass{c.reports, j.at, c.now, false, false};
        pass.transmissions = followed(ten);
        pass.references = c.references;
        const Judgement got = judgePass(j.settings, j.state, pass);
        QList<Alert> unheard;
        for (const Alert &a : got.alerts)
            if (a.rule == AlertRule::Unheard)
                unheard << a;
        if (*c.text == 0) {
            EXPECT_TRUE(unheard.isEmpty()) << c.name;
            continue;
        }
        ASSERT_EQ(unheard.size(), 1) << c.name;
        EXPECT_EQ(unheard[0].text, QString::fromLatin1(c.text)) << c.name;
        EXPECT_EQ(unheard[0].band, "20m"_qs);
        EXPECT_EQ(ruleName(unheard[0].rule), "Nobody heard"_qs);
        EXPECT_EQ(ruleFromKey("unheard"_qs), AlertRule::Unheard);
    }

    // N within M minutes: the first of eleven starts 30 minutes before the last ends, or a second earlier.
    for (const qint64 early : {0, 1}) {
        Judge j = quietJudge();
        j.settings.unheardCount = 11;
        PassInput pass{{}, j.at, settled + 600, false, false};
        pass.transmissions = followed(QList{tx(kStart + 60 + 9 * 60 + 13 - 30 * 60 - early)} + ten);
        EXPECT_EQ(judgePass(j.settings, j.state, pass).alerts.size(), early ? 0 : 1) << early;
    }
}

TEST(Unheard, ThroughTheMonitorARunIsToldOnceAnHourAndOnlyWhenMoreSettles)
{
    AlertMonitor monitor;
    Judge j = quietJudge();
    const auto passAt = [&](qint64 now) {
        const auto judge = monitor.judge(j.settings, j.at, false);
        QList<Alert> alerts = judge->judge(j.state, {{}, 0, now});
        judge->committed();
        return alerts;
    };
    qint64 t = kStart;
    const auto send = [&](int n) {
        for (int i = 0; i < n; ++i, t += 30)
            monitor.transmissionEnded(tx(t));
    };
    send(10);
    const qint64 lastEnd = t - 30 + 13;
    EXPECT_EQ(passAt(lastEnd + kSettleSeconds).size(), 1);
    EXPECT_TRUE(passAt(lastEnd + kSettleSeconds + 300).isEmpty()) << "nothing newly settled";
    send(10);
    EXPECT_TRUE(passAt(t + kSettleSeconds).isEmpty()) << "within the hour";
    t = lastEnd + kSettleSeconds + 3600;
    send(10);
    const QList<Alert> again = passAt(t + kSettleSeconds);
    ASSERT_EQ(again.size(), 1);
    EXPECT_TRUE(again[0].text.startsWith("20m: 10 transmissions since 13:"_qs)) << again[0].text.toStdString();
}

TEST(Unheard, SilenceWithTheLinkLiveCountsOnlyTimeSpentTransmitting)
{
    Judge j = quietJudge();
    j.settings.silence = true;
    j.settings.unheard = false;
    j.pass({report(kStart, kBerlin), report(kStart + 120, kBerlin)}, kStart + 300);
    // Three hours later, 59 minutes on the air (a minute every three), then one still running.
    QList<Transmission> sent;
    for (int i = 0; i < 59; ++i)
        sent << Transmission{QDateTime::fromSecsSinceEpoch(kStart + 180 + i * 180, Qt::UTC),
                             QDateTime::fromSecsSinceEpoch(kStart + 240 + i * 180, Qt::UTC), 14074000, "20m"_qs,
                             "WSPR"_qs, 1500};
    const qint64 now = kStart + 3 * 3600 + 600;
    j.state.lastPass = now - 300; // passes went on all the while
    struct Case
    {
        bool live;
        std::optional<qint64> running;
        bool told;
    };
    for (const Case &c : {Case{true, std::nullopt, false}, Case{true, now - 59, false}, Case{true, now - 60, true},
                          Case{false, std::nullopt, true}}) {
        PassInput pass{{}, j.at, now, false, false};
        pass.transmissions = followed(sent);
        pass.linkLive = c.live;
        pass.transmittingSince = c.running;
        const Judgement got = judgePass(j.settings, j.state, pass);
        ASSERT_EQ(got.alerts.size(), c.told ? 1 : 0) << c.live << c.running.value_or(0);
        if (c.told) {
            EXPECT_EQ(got.alerts[0].text,
                      c.live ? "No report for 60 minutes of transmitting: the last was at 12:02 UTC"_qs
                             : "No report for 60 minutes: the last was at 12:02 UTC"_qs);
        }
    }
}
