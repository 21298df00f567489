#include "geo/landoutlines.h"
#include "geo/locator.h"

#include "../../testsupport.h"

#include <QtEndian>

#include <QLineF>

#include <cmath>

namespace {

// A land file as tools/landoutlines/convert.py writes it.
QByteArray landFile(const QList<QList<QPoint>> &rings, quint16 version = 1)
{
    QByteArray bytes("TLND");
    const auto put16 = [&](quint16 v) { bytes.append(char(v & 0xFF)).append(char(v >> 8)); };
    const auto put32 = [&](quint32 v) { put16(quint16(v & 0xFFFF)); put16(quint16(v >> 16)); };
    put16(version);
    put16(100);
    put32(quint32(rings.size()));
    for (const QList<QPoint> &ring : rings) {
        put32(quint32(ring.size()));
        for (const QPoint &p : ring) {
            put16(quint16(qint16(p.x())));
            put16(quint16(qint16(p.y())));
        }
    }
    return bytes;
}

// A square of the given half-size around a point, in degrees, as a ring.
LandRing square(double lat, double lon, double half)
{
    return {QPointF(lon - half, lat - half), QPointF(lon + half, lat - half), QPointF(lon + half, lat + half),
            QPointF(lon - half, lat + half)};
}

int ringsAroundAntipode(const QList<MapRing> &rings)
{
    int n = 0;
    for (const MapRing &r : rings)
        n += r.aroundAntipode;
    return n;
}

} // namespace

TEST(LandOutlines, TheCompiledInLandIsNaturalEarths)
{
    const LandOutlines &land = naturalEarthLand();
    ASSERT_EQ(land.size(), 126);
    qsizetype points = 0;
    for (const LandRing &ring : land) {
        points += ring.size();
        for (const QPointF &p : ring) {
            ASSERT_LE(std::abs(p.x()), 180);
            ASSERT_LE(std::abs(p.y()), 90);
        }
    }
    EXPECT_EQ(points, 4995);
    EXPECT_EQ(&naturalEarthLand(), &land); // read once
}

TEST(LandOutlines, AFileReadsBackAndADamagedOneGivesNoLand)
{
    const QList<QList<QPoint>> rings = {{{100, 200}, {-17999, 200}, {300, -8999}}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    const LandOutlines land = decodeLandOutlines(landFile(rings));
    ASSERT_EQ(land.size(), 2);
    EXPECT_EQ(land[0], (LandRing{QPointF(1, 2), QPointF(-179.99, 2), QPointF(3, -89.99)}));
    EXPECT_EQ(land[1].size(), 4);

    const QByteArray good = landFile(rings);
    QByteArray badMagic = good;
    badMagic[0] = 'X';
    const QByteArray damaged[] = {
        QByteArray(), good.left(11), good.chopped(1), good + QByteArray(1, '\0'), badMagic,
        landFile(rings, 2), landFile({{{18001, 0}, {0, 0}, {1, 1}}}), landFile({{{0, -9001}, {0, 0}, {1, 1}}}),
    };
    for (const QByteArray &bytes : damaged)
        EXPECT_TRUE(decodeLandOutlines(bytes).isEmpty()) << bytes.size();
}

TEST(LandOutlines, OnlyARingAroundTheAntipodeIsFilledWithTheRim)
{
    const GeoPosition home{51.5, -0.1};
    const AzimuthalProjection map(home);
    // Around the antipode (-51.5, 179.9), around home, and elsewhere; in
    // either direction of travel.
    LandOutlines land = {square(-51.5, 179.9, 2), square(51.5, -0.1, 2), square(10, 40, 2)};
    for (qsizetype i = 0; i < 3; ++i)
        land.append(LandRing(land[i].crbegin(), land[i].crend()));

    const QList<MapRing> rings = projectLand(land, map);
    ASSERT_EQ(rings.size(), 6);
    for (qsizetype i = 0; i < 6; ++i)
        EXPECT_EQ(rings[i].aroundAntipode, i % 3 == 0) << i;
    // Near the antipode every coast point lies close to the rim, and the
    // edges are split finely enough to follow it.
    for (qsizetype i = 0; i < rings[0].points.size(); ++i) {
        const QPointF &a = rings[0].points[i];
        const QPointF &b = rings[0].points[(i + 1) % rings[0].points.size()];
        EXPECT_GT(QLineF(QPointF(), a).length(), kMapRimKm - 400);
        EXPECT_LE(QLineF(a, b).length(), 250.0 + 1e-6);
    }
}

TEST(LandOutlines, NaturalEarthAroundTheAntipodeOfSpainAndOfNorthernGreenland)
{
    struct Case { GeoPosition home; int around; };
    // Spain's antipode lies in New Zealand's North Island, northern
    // Greenland's in Antarctica, London's at sea.
    for (const Case &c : {Case{*locatorPosition(u"IM79"), 1}, Case{{80, -40}, 1}, Case{{51.5, -0.1}, 0}}) {
        const QList<MapRing> rings = projectLand(naturalEarthLand(), AzimuthalProjection(c.home));
        EXPECT_EQ(ringsAroundAntipode(rings), c.around) << c.home.latitude << " " << c.home.longitude;
    }
}

TEST(LandOutlines, TheWorldMapShowsARingAcrossTheDateLineFromBothSidesAndClosesOneAroundAPole)
{
    const LandRing acrossDateLine = {QPointF(178, 60), QPointF(-178, 60), QPointF(-178, 62), QPointF(178, 62)};
    const LandRing aroundSouthPole = {QPointF(-180, -70), QPointF(-60, -72), QPointF(60, -70), QPointF(179, -71)};
    const LandRing plain = square(10, 40, 2);

    const QList<QList<QPointF>> world = worldLand({acrossDateLine, aroundSouthPole, plain});
    ASSERT_EQ(world.size(), 2 + 1 + 1);
    EXPECT_EQ(world[0].at(1), QPointF(182 - 360, 60));
    EXPECT_EQ(world[1].at(1), QPointF(182, 60));
    // Along the pole back to the start.
    const QList<QPointF> &pole = world[2];
    EXPECT_EQ(pole.size(), 4 + 3);
    EXPECT_EQ(pole.at(4), QPointF(180, -70));
    EXPECT_EQ(pole.at(5), QPointF(180, -90));
    EXPECT_EQ(pole.at(6), QPointF(-180, -90));
    EXPECT_EQ(world[3], plain);
}
