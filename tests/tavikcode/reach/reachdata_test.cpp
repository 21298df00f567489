#include "geo/locator.h"
#include "reach/reachdata.h"

#include "../../testsupport.h"
#include "reachfixture.h"

#include <QLineF>

using namespace reachfixture;

namespace {
// From the centre of IO91wm; GeodSolve -i -p 3 on the centres:
//   51.520833333333336 -0.125 52.520833333333336 13.375         -> 77.85489146 88.51515934 931984.692
//   51.520833333333336 -0.125 -33.854166666666664 151.20833333333331 -> 60.32338806 139.33427217 16987098.216
const double kToBerlinKm = 931.984692, kToBerlinBearing = 77.85489146;
const double kToSydneyKm = 16987.098216, kToSydneyBearing = 60.32338806;
} // namespace

TEST(ReachData, PerBandRowsCountTheFarthestAndTheReceiversWithoutLocator)
{
    const ReachData data = prepareReach(snapshot(), locatorPosition(kHome));

    struct Expected {
        const char *band;
        qint64 reports, receivers, dxcc;
        std::optional<int> bestSnr;
        qint64 lastHeard;
        const char *farthest, *locator;
        double km, bearing;
        qint64 farthestHeard, withoutLocator;
    };
    const Expected expected[] = {
        {"40m", 12, 3, 2, -5, kEvening + 600, "DL1XYZ", "JO62qm", kToBerlinKm, kToBerlinBearing, kEvening + 600, 1},
        {"20m", 30, 5, 4, 3, kEvening + 3000, "VK2DEF", "QF56od", kToSydneyKm, kToSydneyBearing, kEvening + 2500, 1},
        {"10m", 2, 1, 1, std::nullopt, kEvening + 1200, "VK2DEF", "QF56od", kToSydneyKm, kToSydneyBearing,
         kEvening + 1200, 0},
        // Heard from Sydney on two bands: the total names the later.
        {"", 44, 7, 5, 3, kEvening + 3000, "VK2DEF", "QF56od", kToSydneyKm, kToSydneyBearing, kEvening + 2500, 2},
    };
    ASSERT_EQ(data.bands.size(), 3);
    for (qsizetype i = 0; i < 4; ++i) {
        const Expected &e = expected[i];
        const BandRow &row = i < 3 ? data.bands[i] : data.total;
        EXPECT_EQ(row.counts.band, QString::fromLatin1(e.band));
        EXPECT_EQ(row.counts.reports, e.reports) << e.band;
        EXPECT_EQ(row.counts.receivers, e.receivers) << e.band;
        EXPECT_EQ(row.counts.dxcc, e.dxcc) << e.band;
        EXPECT_EQ(row.counts.bestSnr, e.bestSnr) << e.band;
        EXPECT_EQ(row.counts.lastHeard, e.lastHeard) << e.band;
        ASSERT_TRUE(row.farthest) << e.band;
        EXPECT_EQ(row.farthest->callsign, QString::fromLatin1(e.farthest)) << e.band;
        EXPECT_EQ(row.farthest->locator, QString::fromLatin1(e.locator)) << e.band;
        EXPECT_NEAR(row.farthest->path.distanceKm, e.km, 1e-5) << e.band;
        EXPECT_NEAR(row.farthest->path.bearingDegrees, e.bearing, 1e-7) << e.band;
        EXPECT_EQ(row.farthest->lastHeard, e.farthestHeard) << e.band;
        EXPECT_EQ(row.withoutLocator, e.withoutLocator) << e.band;
    }
}

TEST(ReachData, NoLocatorCountsOnlyReceiversThatAreNowhereOnTheMap)
{
    ReachSnapshot s;
    s.bands = {{"40m"_qs, 2, 2, 0, std::nullopt, kEvening}, {"20m"_qs, 2, 1, 0, std::nullopt, kEvening}};
    s.setReceivers({
        heard("DL1XYZ", "", "40m", 1, std::nullopt, kEvening),       // on the map on 20m only
        heard("F5NOL", "", "40m", 1, std::nullopt, kEvening),        // nowhere on the map
        heard("DL1XYZ", "JO62qm", "20m", 1, std::nullopt, kEvening), // on the map on 20m ...
        heard("DL1XYZ", "", "20m", 1, std::nullopt, kEvening),       // ... though once without locator
    });
    for (const auto &home : {locatorPosition(kHome), std::optional<GeoPosition>()}) {
        const ReachData data = prepareReach(s, home);
        ASSERT_EQ(data.bands.size(), 2);
        EXPECT_EQ(data.bands[0].withoutLocator, 2); // 40m
        EXPECT_EQ(data.bands[1].withoutLocator, 0); // 20m
        EXPECT_EQ(data.total.withoutLocator, 1);
    }
}

TEST(ReachData, WithoutTheOperatorsLocatorReceiversGoOnTheWorldMapAndNothingIsFarthest)
{
    const ReachData data = prepareReach(snapshot(), std::nullopt);
    EXPECT_FALSE(data.home);
    EXPECT_FALSE(data.total.farthest);
    for (const BandRow &row : data.bands)
        EXPECT_FALSE(row.farthest) << row.counts.band.toStdString();
    EXPECT_EQ(data.total.withoutLocator, 2);

    ASSERT_EQ(data.receiverCount(), snapshot().rows.size());
    for (const PlacedReceiver &r : data.receivers()) {
        EXPECT_FALSE(r.path);
        const auto position = locatorPosition(r.heard.locator);
        EXPECT_EQ(r.position.has_value(), position.has_value()) << r.heard.callsign.toStdString();
        if (position) {
            EXPECT_EQ(r.mapPoint, QPointF(position->longitude, position->latitude));
        }
    }
}

TEST(ReachData, OnTheMapAroundTheOperatorReceiversLieAtTheirDistance)
{
    const ReachData data = prepareReach(snapshot(), locatorPosition(kHome));
    for (const PlacedReceiver &r : data.receivers()) {
        const double fromCentre = QLineF(QPointF(), r.mapPoint).length();
        if (r.heard.callsign == "VK2DEF"_qs) {
            EXPECT_NEAR(fromCentre, kToSydneyKm, 1e-6);
        } else if (r.heard.callsign == "G4ABC"_qs) {
            EXPECT_NEAR(fromCentre, 0, 1e-9);
        }
        EXPECT_EQ(r.path.has_value(), r.position.has_value()) << r.heard.callsign.toStdString();
    }
}

TEST(ReachData, ASetCancelFlagStopsTheWork)
{
    CancelFlag cancel;
    EXPECT_EQ(prepareReach(snapshot(), locatorPosition(kHome), &cancel).receiverCount(), 9);
    cancel.cancel();
    EXPECT_THROW(prepareReach(snapshot(), locatorPosition(kHome), &cancel), QueryCancelled);
}

TEST(ReachData, AnEmptyPeriodGivesATotalRowOfZeros)
{
    const ReachData data = prepareReach(ReachSnapshot{}, locatorPosition(kHome));
    EXPECT_TRUE(data.bands.isEmpty());
    EXPECT_EQ(data.receiverCount(), 0);
    EXPECT_EQ(data.total.counts.reports, 0);
    EXPECT_FALSE(data.total.farthest);
    EXPECT_EQ(data.total.withoutLocator, 0);
    EXPECT_TRUE(data.chart.bands.isEmpty());
    EXPECT_EQ(data.chart.maximum(), 0);
}
