#include "demoday.h"
#include "maidenhead.h"
#include "processing/reportline.h"
#include "reportgenerator.h"
#include "retrieval/httpclient.h"
#include "standinserver.h"

#include "../httpwait.h"
#include "../testsupport.h"

#include <GeographicLib/Geodesic.hpp>

#include <QCryptographicHash>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <numeric>

namespace {

// 15 July 2026 00:00:00 UTC, a day of the demo station's summer.
constexpr qint64 midnight = 1'784'073'600;

const QString station = u"IO91wm"_qs; // central London, longitude -0.125
const QString callsign = u"N0CALL"_qs;

const demo::Day &day()
{
    static const demo::Day d = *demo::Day::forLocator(station);
    return d;
}

// One report as the program reads it from the answer.
struct Served
{
    QString line;
    QString receiver;
    QString locator;
    QString band;
    QString mode;
    qint64 seconds = 0;
    int snr = 0;
    double km = -1; // from the station, for a receiver whose locator is one
};

double kmFromStation(const QString &locator)
{
    static QHash<QString, double> known;
    if (const auto it = known.constFind(locator); it != known.constEnd())
        return *it;
    const auto from = maidenhead::centreOf(station);
    const auto to = maidenhead::centreOf(locator);
    double metres = -1000;
    if (to)
        GeographicLib::Geodesic::WGS84().Inverse(
            from->latitude, from->longitude, to->latitude, to->longitude, metres);
    return known[locator] = metres / 1000;
}

QList<Served> reportsOf(const QByteArray &answer)
{
    QList<Served> reports;
    for (const QByteArray &bytes : answer.split('\n')) {
        const QString line = QString::fromUtf8(bytes);
        if (!line.contains(search::kSenderMarker))
            continue;
        Served r;
        r.line = line;
        r.receiver = ReadAttribute(line, search::kReceiverCallsign);
        r.locator = ReadAttribute(line, search::kReceiverLocator);
        r.band = FrequencyToBand(ReadAttribute(line, search::kFrequency));
        r.mode = ReadAttribute(line, search::kMode);
        r.seconds = ReadAttribute(line, search::kFlowStartSeconds).toLongLong();
        r.snr = ReadAttribute(line, search::kSnr).toInt();
        r.km = kmFromStation(r.locator);
        reports += r;
    }
    return reports;
}

QString lastSequenceOf(const QByteArray &answer)
{
    const qsizetype at = answer.indexOf("<lastSequenceNumber value=\"");
    const qsizetype start = at + 27;
    return QString::fromUtf8(answer.mid(start, answer.indexOf('"', start) - start));
}

bool inDaylight(qint64 seconds)
{
    const double hour = day().localSolarHour(seconds);
    return hour >= 6 && hour < 18;
}

// A day as the program sees it: the first query at midnight, then one every
// five minutes asking for what came since.
const QList<Served> &servedDay()
{
    static const QList<Served> all = [] {
        QList<Served> reports;
        QString last;
        for (qint64 now = midnight; now <= midnight + 86400; now += 300) {
            const QByteArray answer = day().answer(callsign, last, now);
            reports += reportsOf(answer);
            last = lastSequenceOf(answer);
        }
        return reports;
    }();
    return all;
}

double shareOf(const QList<Served> &reports, const std::function<bool(const Served &)> &test)
{
    return double(std::count_if(reports.begin(), reports.end(), test)) / double(reports.size());
}

QList<Served> only(const QList<Served> &reports, const std::function<bool(const Served &)> &test)
{
    QList<Served> chosen;
    std::copy_if(reports.begin(), reports.end(), std::back_inserter(chosen), test);
    return chosen;
}

} // namespace

TEST(DemoDay, TakesALocatorOfFourToTenCharacters)
{
    EXPECT_EQ(demo::Day::forLocator(u"io91WM"_qs)->locator(), "IO91wm");
    EXPECT_EQ(demo::Day::forLocator(u"FN31"_qs)->locator(), "FN31");
    EXPECT_FALSE(demo::Day::forLocator(u"IO"_qs)) << "a field is too vague for a station";
    EXPECT_FALSE(demo::Day::forLocator(u"London"_qs));
    EXPECT_FALSE(demo::Day::forLocator(QString()));
}

TEST(DemoDay, ReceiversAreAWorldOfThemWithSomeNearAndSomeOddLocators)
{
    const QList<demo::Receiver> &pool = day().receivers();
    EXPECT_GE(pool.size(), 200);
    EXPECT_LE(pool.size(), 600);

    QSet<QByteArray> callsigns;
    std::map<qsizetype, int> byLength;
    int noLocator = 0;
    int near = 0;
    QHash<QByteArray, int> byContinent;
    for (const demo::Receiver &r : pool) {
        callsigns.insert(r.callsign);
        if (maidenhead::centreOf(QString::fromLatin1(r.locator)))
            ++byLength[r.locator.size()];
        else
            ++noLocator;
        near += r.distanceKm <= 300;
        ++byContinent[r.continent];
        EXPECT_FALSE(r.dxcc.isEmpty());
        EXPECT_LT(r.dxcc.size(), 43) << "the longest DXCC value the program reads";
    }
    EXPECT_EQ(callsigns.size(), pool.size()) << "every callsign once";
    EXPECT_GT(byLength[6], pool.size() * 3 / 4);
    EXPECT_GE(byLength[4], 5);
    EXPECT_GE(byLength[8] + byLength[10], 2);
    EXPECT_GE(noLocator, 1);
    EXPECT_LE(noLocator, 2);
    EXPECT_GE(near, 20);
    EXPECT_GT(byContinent["Europe"], byContinent["Asia"]);
    EXPECT_GT(byContinent["North America"], byContinent["South America"]);
    for (const char *continent : { "Africa", "Asia", "Oceania", "South America" })
        EXPECT_GT(byContinent[continent], 0) << continent;
}

TEST(DemoDay, ADayOfAnswersLooksLikeOneOnTheAir)
{
    const QList<Served> &all = servedDay();
    ASSERT_GT(all.size(), 10'000);

    // Most on 20 m and 40 m; FT8 the usual mode, with some of the others.
    EXPECT_GT(shareOf(all, [](const Served &r) { return r.band == u"20m" || r.band == u"40m"; }), 0.5);
    EXPECT_GT(shareOf(all, [](const Served &r) { return r.mode == u"FT8"; }), 0.6);
    for (const char *mode : { "FT4", "WSPR", "CW" })
        EXPECT_GT(shareOf(all, [&](const Served &r) { return r.mode == QLatin1StringView(mode); }), 0.005)
            << mode;
    EXPECT_LT(shareOf(all, [](const Served &r) { return r.mode == u"CW"; }), 0.1);

    // 6 m and up only from receivers a few hundred kilometres away.
    const QList<Served> vhf = only(all, [](const Served &r) {
        return bandRank(r.band) >= bandRank(u"6m") && bandRank(r.band) <= bandRank(u"3cm");
    });
    EXPECT_GT(vhf.size(), 50);
    for (const Served &r : vhf) {
        ASSERT_GE(r.km, 0) << r.line.toStdString();
        ASSERT_LE(r.km, 500) << r.line.toStdString();
    }

    // 10 m to 15 m from far away: by the station's daylight.
    const QList<Served> farHigh = only(all, [](const Served &r) {
        return (r.band == u"10m" || r.band == u"12m" || r.band == u"15m") && r.km > 3000;
    });
    EXPECT_GT(farHigh.size(), 100);
    EXPECT_GT(shareOf(farHigh, [](const Served &r) { return inDaylight(r.seconds); }), 0.85);

    // 80 m and 160 m mostly at night, and nearer than 20 m.
    const QList<Served> low
        = only(all, [](const Served &r) { return r.band == u"80m" || r.band == u"160m"; });
    EXPECT_GT(shareOf(low, [](const Served &r) { return !inDaylight(r.seconds); }), 0.6);
    const auto medianKm = [](QList<Served> reports) {
        std::sort(reports.begin(), reports.end(),
            [](const Served &a, const Served &b) { return a.km < b.km; });
        return reports.at(reports.size() / 2).km;
    };
    EXPECT_LT(medianKm(low), medianKm(only(all, [](const Served &r) { return r.band == u"20m"; })) / 2);

    // Weaker with distance, and varied.
    const auto meanSnr = [](const QList<Served> &reports) {
        double sum = 0;
        for (const Served &r : reports)
            sum += r.snr;
        return sum / double(reports.size());
    };
    const auto ft8 = [](const Served &r) { return r.mode == u"FT8"; };
    const QList<Served> nearFt8
        = only(all, [&](const Served &r) { return ft8(r) && r.km >= 0 && r.km < 1000; });
    const QList<Served> farFt8 = only(all, [&](const Served &r) { return ft8(r) && r.km > 5000; });
    EXPECT_GT(meanSnr(nearFt8), meanSnr(farFt8) + 5);
    QSet<int> snrs;
    for (const Served &r : farFt8)
        snrs.insert(r.snr);
    EXPECT_GT(snrs.size(), 15);
    for (const Served &r : all)
        ASSERT_TRUE(r.snr >= -31 && r.snr <= 45) << r.line.toStdString();

    // Far more reports an hour in the station's day than in its night.
    const auto perHour = [&all](int from, int to) {
        return shareOf(all, [from, to](const Served &r) {
            const double hour = day().localSolarHour(r.seconds);
            return hour >= from && hour < to;
        }) / (to - from);
    };
    EXPECT_GT(perHour(10, 14), 3 * perHour(0, 2));

    // The program reads every report whole, and receivers are many.
    QSet<QString> receivers;
    for (const Served &r : all) {
        receivers.insert(r.receiver);
        ASSERT_EQ(FormatReport(r.line).count(u','), 7) << r.line.toStdString();
        ASSERT_FALSE(r.receiver.isEmpty());
        ASSERT_NE(r.band, u"0m");
    }
    EXPECT_GT(receivers.size(), 200);
}

TEST(DemoDay, TheDayFollowsTheSunAtTheStationsLongitude)
{
    // In Connecticut, local noon comes at about five in the afternoon UTC.
    const demo::Day connecticut = *demo::Day::forLocator(u"FN31pr"_qs);
    EXPECT_NEAR(connecticut.localSolarHour(midnight + 17 * 3600), 17 - 72.7083333 / 15, 1e-6);
    EXPECT_NEAR(connecticut.localSolarHour(midnight + 3600), 24 + 1 - 72.7083333 / 15, 1e-6);

    std::array<int, 24> perUtcHour {};
    std::array<int, 24> farHighPerUtcHour {};
    const qint64 firstSlot = (midnight - demo::firstSeconds) / demo::slotSeconds;
    for (qint64 slot = firstSlot; slot < firstSlot + 86400 / demo::slotSeconds; ++slot) {
        for (const demo::Report &r : connecticut.reportsOfSlot(callsign, slot)) {
            const int hour = int((r.flowStartSeconds - midnight) / 3600);
            ++perUtcHour[size_t(hour)];
            farHighPerUtcHour[size_t(hour)] += r.band >= demo::B15m && r.band <= demo::B10m
                && connecticut.receivers().at(r.receiver).distanceKm > 3000;
        }
    }
    const auto sum = [](const std::array<int, 24> &hours, int from, int to) {
        return std::accumulate(hours.begin() + from, hours.begin() + to, 0);
    };
    EXPECT_GT(sum(perUtcHour, 15, 19), 3 * sum(perUtcHour, 3, 7));
    // Local daylight, 6 to 18, is 11 to 23 UTC.
    EXPECT_GT(sum(farHighPerUtcHour, 12, 22), 10 * (sum(farHighPerUtcHour, 0, 10) + 1));
}

TEST(DemoDay, LastSeqNoGivesOnlyTheReportsMadeSince)
{
    // A query every five minutes over 90 minutes gets, all told, exactly what
    // the first query at the end of them gets.
    const qint64 end = midnight + 13 * 3600;
    QString last = lastSequenceOf(day().answer(callsign, QString(), end - demo::firstWindowSeconds));
    QStringList chained;
    for (qint64 now = end - demo::firstWindowSeconds + 300; now <= end; now += 300) {
        const QByteArray answer = day().answer(callsign, last, now);
        for (const Served &r : reportsOf(answer))
            chained += r.line;
        EXPECT_GT(lastSequenceOf(answer).toLongLong(), last.toLongLong()) << "the sequence grows with time";
        last = lastSequenceOf(answer);
    }
    QStringList first;
    for (const Served &r : reportsOf(day().answer(callsign, QString(), end)))
        first += r.line;
    EXPECT_EQ(chained, first);

    EXPECT_TRUE(reportsOf(day().answer(callsign, last, end)).isEmpty());
    EXPECT_TRUE(reportsOf(day().answer(callsign, u"999999999999999999"_qs, end)).isEmpty());
    // A number from long ago gets the newest reports that fit in one answer.
    const QList<Served> caughtUp = reportsOf(day().answer(callsign, u"0"_qs, end));
    EXPECT_EQ(caughtUp.size(), demo::mostReports);
    EXPECT_GE(caughtUp.last().seconds, end - 30);
    EXPECT_EQ(reportsOf(day().answer(callsign, u"soon"_qs, end)).size(), first.size())
        << "a number that is none counts as none";
}

TEST(DemoDay, TheFirstAnswerHoldsTheLastHourOrTwo)
{
    for (const qint64 now : { midnight + 3 * 3600, midnight + 12 * 3600 + 7 }) {
        const QByteArray answer = day().answer(callsign, QString(), now);
        EXPECT_EQ(answer, day().answer(callsign, QString(), now)) << "the same at the same instant";
        EXPECT_NE(answer, day().answer(callsign, QString(), now + 15));
        const QList<Served> reports = reportsOf(answer);
        ASSERT_FALSE(reports.isEmpty());
        const auto [oldest, newest] = std::minmax_element(reports.begin(), reports.end(),
            [](const Served &a, const Served &b) { return a.seconds < b.seconds; });
        EXPECT_GE(newest->seconds - oldest->seconds, 3600);
        EXPECT_LE(newest->seconds - oldest->seconds, 7200);
        EXPECT_LE(newest->seconds, now);
        EXPECT_LT(reports.size(), demo::mostReports);
        EXPECT_TRUE(answer.startsWith(R"(<?xml version="1.0" encoding="UTF-8"?>)"));
        EXPECT_TRUE(answer.endsWith("\n</receptionReports>"));
        EXPECT_TRUE(answer.contains("<activeReceiver callsign=\""));
        EXPECT_TRUE(reports.first().line.contains(u"senderLocator=\"IO91wm\""));
    }
    EXPECT_NE(day().answer(callsign, QString(), midnight), day().answer(u"G4XYZ"_qs, QString(), midnight));
}

TEST(DemoDay, AReferenceStationBesideTheDemosIsHeardByTheSameReceivers)
{
    // The station's own answers are those they were before the reference came.
    const auto sha256 = [](const QByteArray &bytes) {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    };
    EXPECT_EQ(sha256(day().answer(callsign, QString(), midnight + 12 * 3600)),
        "2dd4d806eef668c58609db66ec661e4ffbe8bb978bb5152c64bf13dd39569ac6");
    EXPECT_EQ(sha256(day().answer(callsign, u"30000900000"_qs, midnight + 12 * 3600)),
        "eb049a3ac5364fa3d15b726a3e6557e857b568266c39df3b69ebda35f8df9169");

    const QString reference = u"N0CALL/P"_qs;
    EXPECT_NEAR(kmFromStation(QString::fromLatin1(day().referenceLocator())), 30, 5);
    QHash<QString, const Served *> mineAt; // by receiver, band, mode and time
    const auto key = [](const Served &r) -> QString {
        return r.receiver + u' ' + r.band + u' ' + r.mode + u' ' + QString::number(r.seconds);
    };
    for (const Served &r : servedDay())
        mineAt.insert(key(r), &r);
    QList<Served> theirs;
    QString last;
    for (qint64 now = midnight; now <= midnight + 86400; now += 900) {
        const QByteArray answer = day().referenceAnswer(callsign, reference, last, now);
        theirs += reportsOf(answer);
        last = lastSequenceOf(answer);
    }
    ASSERT_GT(theirs.size(), 5000);
    EXPECT_TRUE(theirs.first().line.contains(u"senderCallsign=\"N0CALL/P\""));
    EXPECT_TRUE(theirs.first().line.contains(u"senderLocator=\"" + QString::fromLatin1(day().referenceLocator())));
    // Mostly in the same cycles at the same receivers; a few heard only it.
    double east = 0, west = 0;
    int eastPairs = 0, westPairs = 0, alone = 0;
    const auto from = maidenhead::centreOf(station);
    for (const Served &r : theirs) {
        const Served *mine = mineAt.value(key(r));
        if (!mine) {
            ++alone;
            continue;
        }
        const auto to = maidenhead::centreOf(r.locator);
        if (!to)
            continue;
        double metres = 0, bearing = 0, back = 0;
        GeographicLib::Geodesic::WGS84().Inverse(
            from->latitude, from->longitude, to->latitude, to->longitude, metres, bearing, back);
        if (bearing > 45 && bearing < 135) {
            east += r.snr - mine->snr;
            ++eastPairs;
        } else if (bearing < -45 && bearing > -135) {
            west += r.snr - mine->snr;
            ++westPairs;
        }
    }
    EXPECT_GT(alone, 20);
    EXPECT_LT(alone, theirs.size() / 10);
    ASSERT_GT(eastPairs, 300);
    ASSERT_GT(westPairs, 300);
    EXPECT_LT(east / eastPairs, -1.5) << "weaker to the east";
    EXPECT_GT(west / westPairs, 1.5) << "stronger to the west";
}

// What the plain generator answered before the demo's day existed; the stress
// test and the stand-in tests rely on every byte of it.
TEST(DemoDay, WithoutALocatorTheGeneratorAnswersAsBefore)
{
    const struct
    {
        const char *callsign;
        const char *lastSeqNo;
        const char *sha256;
    } before[] = {
        { "N0CALL", "", "6853ae6394afb6b4d468eef0bf2e764d586172997a63249c3e319d3e56195b28" },
        { "N0CALL", "0", "f093ceab4712b57bffe6e792ac8782f02473e62a8f767b27dee46ab9bc231834" },
        { "G4XYZ/P", "", "a78def4501d93445b527e494d633548386d6e942cac0da40f3d97f1166f466db" },
        { "K1ABC", "19999999990", "ea539a7d480bfedab9e66dc52c81235a2f150d7e618a9828e2b16a997de18e20" },
    };
    for (const auto &b : before) {
        const QByteArray answer = ReportGenerator::answer(
            QString::fromLatin1(b.callsign), QString::fromLatin1(b.lastSeqNo), 1'796'000'000);
        EXPECT_EQ(QCryptographicHash::hash(answer, QCryptographicHash::Sha256).toHex(), b.sha256)
            << b.callsign << ' ' << b.lastSeqNo;
    }
}

class DemoServerTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        ASSERT_TRUE(server.listen());
        client.setCaFile(StandInServer::testCaFile());
        server.setNow([] { return midnight + 600; });
    }
    QByteArray query()
    {
        return getNow(client, QUrl(server.httpsBase() + u"/query?senderCallsign=N0CALL"_qs)).toUtf8();
    }

    StandInServer server;
    HttpClient client;
};

TEST_F(DemoServerTest, ServesTheDemoDayOnlyWhileALocatorIsSet)
{
    EXPECT_FALSE(server.setDemoLocator(u"nowhere"_qs));
    EXPECT_EQ(query(), ReportGenerator::answer(callsign, QString(), midnight + 600));
    ASSERT_TRUE(server.setDemoLocator(station));
    EXPECT_EQ(query(), day().answer(callsign, QString(), midnight + 600));
    EXPECT_FALSE(server.setDemoLocator(u"nowhere"_qs));
    EXPECT_EQ(query(), day().answer(callsign, QString(), midnight + 600))
        << "a refused locator changes nothing";
    ASSERT_TRUE(server.setDemoLocator(QString()));
    EXPECT_EQ(query(), ReportGenerator::answer(callsign, QString(), midnight + 600));
}

TEST_F(DemoServerTest, AnswersForAReferenceAsTheSecondStation)
{
    ASSERT_TRUE(server.setDemoLocator(station));
    server.setReportCallsign(callsign);
    server.setReferenceCallsigns({ u"N0CALL/P"_qs });
    const auto ask = [this](const QString &who) {
        return getNow(client, QUrl(server.httpsBase() + u"/query?senderCallsign="_qs + who)).toUtf8();
    };
    EXPECT_EQ(ask(u"n0call/p"_qs), day().referenceAnswer(callsign, u"n0call/p"_qs, QString(), midnight + 600));
    EXPECT_EQ(query(), day().answer(callsign, QString(), midnight + 600));
    EXPECT_EQ(ask(u"G4XYZ"_qs), day().answer(callsign, QString(), midnight + 600)) << "any other, as ever";
}

TEST(DemoDay, AnExpeditionBringsANewEntityFromItsInstantOnAndChangesNothingBefore)
{
    const qint64 from = midnight + 3 * 3600 + 60; // three in the morning: 20 m and 17 m mostly closed
    demo::Day expedition = day();
    expedition.setExpedition(from);
    EXPECT_EQ(expedition.answer(callsign, QString(), from), day().answer(callsign, QString(), from));

    const QString seq = lastSequenceOf(day().answer(callsign, QString(), from));
    const QList<Served> later = reportsOf(expedition.answer(callsign, seq, from + 600));
    QStringList heard;
    for (const Served &r : later) {
        if (r.receiver == u"ZL7X"_qs) {
            heard += r.band + u' ' + QString::number(r.seconds - from);
            EXPECT_GT(kmFromStation(r.locator), 18000) << "the far side of the earth";
        }
    }
    // Once a minute on 20 m, on 17 m too from six minutes on; the day's own reports as before.
    EXPECT_EQ(heard, (QStringList{ u"20m 0"_qs, u"20m 60"_qs, u"20m 120"_qs, u"20m 180"_qs, u"20m 240"_qs,
        u"20m 300"_qs, u"20m 360"_qs, u"17m 360"_qs, u"20m 420"_qs, u"17m 420"_qs, u"20m 480"_qs, u"17m 480"_qs,
        u"20m 540"_qs, u"17m 540"_qs }));
    EXPECT_EQ(later.size() - heard.size(), reportsOf(day().answer(callsign, seq, from + 600)).size());
}

// The reference beside the station is heard by the expedition too, in the
// same cycles, most of the time.
TEST(DemoDay, TheReferenceIsHeardByTheExpeditionToo)
{
    const qint64 from = midnight + 3 * 3600 + 60;
    demo::Day expedition = day();
    expedition.setExpedition(from);
    const QString seq = lastSequenceOf(day().answer(callsign, QString(), from));
    QSet<qint64> stationHeard;
    for (const Served &r : reportsOf(expedition.answer(callsign, seq, from + 600))) {
        if (r.receiver == u"ZL7X"_qs)
            stationHeard.insert(r.seconds);
    }
    qsizetype referenceHeard = 0;
    for (const Served &r : reportsOf(expedition.referenceAnswer(callsign, u"N0CALL/P"_qs, seq, from + 600))) {
        if (r.receiver == u"ZL7X"_qs) {
            ++referenceHeard;
            EXPECT_TRUE(stationHeard.contains(r.seconds)) << r.seconds - from;
        }
    }
    EXPECT_GE(referenceHeard, 8);
    EXPECT_LE(referenceHeard, 14);
}

// With the digital-mode program on the air, 20 m and 40 m hear only it:
// several receivers each of its 20 m transmissions at the cycle's start,
// nobody on 40 m, nothing while it pauses; the hours before as they were.
TEST(DemoDay, TwentyAndFortyMetresFollowTheStationsTransmissions)
{
    const qint64 start = midnight + 12 * 3600 + 7; // noon: 20 m open
    const demo::OnAir onAir = demo::OnAir::startingAt(start);
    ASSERT_EQ(onAir.fromSeconds(), midnight + 12 * 3600 + 30);
    demo::Day playing = day();
    playing.setOnAir(onAir);
    EXPECT_EQ(playing.answer(callsign, QString(), start), day().answer(callsign, QString(), start));

    const QString seq = lastSequenceOf(day().answer(callsign, QString(), start));
    const qint64 round = demo::OnAir::roundMinutes * 60;
    const QList<Served> later = reportsOf(playing.answer(callsign, seq, onAir.fromSeconds() + round));
    QMap<qint64, int> heardAt; // seconds after the first cycle: 20 m receivers
    for (const Served &r : later) {
        if ((r.band != u"20m"_qs && r.band != u"40m"_qs) || r.seconds < onAir.fromSeconds())
            continue;
        EXPECT_EQ(r.band, u"20m"_qs) << "nobody hears 40 m";
        EXPECT_EQ(r.mode, u"FT8"_qs);
        ++heardAt[r.seconds - onAir.fromSeconds()];
    }
    QList<qint64> expected; // every 30 s through the first six minutes
    for (qint64 s = 0; s < 360; s += 30)
        expected += s;
    EXPECT_EQ(heardAt.keys(), expected);
    for (const int receivers : heardAt)
        EXPECT_GE(receivers, 3);
    EXPECT_TRUE(std::any_of(later.begin(), later.end(), [](const Served &r) { return r.band == u"17m"_qs; }))
        << "the other bands as on any day";

    // The rounds: 20 m, 40 m, the pause on 20 m, again.
    const qint64 ms = onAir.fromSeconds() * 1000;
    EXPECT_EQ(onAir.stateAt(ms - 1), (demo::OnAirState { demo::B20m, false, false }));
    EXPECT_EQ(onAir.stateAt(ms), (demo::OnAirState { demo::B20m, true, true }));
    EXPECT_EQ(onAir.stateAt(ms + 12'600), (demo::OnAirState { demo::B20m, true, false }));
    EXPECT_EQ(onAir.stateAt(ms + 390'000), (demo::OnAirState { demo::B40m, true, true }));
    EXPECT_EQ(onAir.stateAt(ms + 750'000), (demo::OnAirState { demo::B20m, false, false }));
    EXPECT_EQ(onAir.stateAt(ms + round * 1000), (demo::OnAirState { demo::B20m, true, true }));
    EXPECT_EQ(onAir.nextChangeAfter(ms), ms + 12'600);
    EXPECT_EQ(onAir.nextChangeAfter(ms + 12'600), ms + 30'000);
}
