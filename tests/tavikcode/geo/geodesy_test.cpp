#include "geo/geodesy.h"
#include "geo/locator.h"

#include "../../testsupport.h"

#include <QLineF>

#include <cmath>
#include <numbers>

namespace {

// Distances and initial bearings between the centres of these locators, from
// GeographicLib's GeodSolve (Debian geographiclib-tools 2.1.2), given the
// centres as "lat1 lon1 lat2 lon2" lines:
//
//   $ GeodSolve -i -p 3 <<EOF
//   51.520833333333336 -0.12500000000000008 41.72916666666667 -72.70833333333333
//   52.520833333333336 13.375 -33.854166666666664 151.20833333333331
//   35.6875 139.79166666666666 48.145833333333336 11.625
//   32.5 -97.0 21.5 -157.0
//   -89.5 -179.0 89.5 179.0
//   51.054774305555554 0.017534722222222222 51.05494791666666 0.017534722222222222
//   60.5 25.0 60.1875 24.958333333333336
//   51.5 -1.0 -51.5 179.0
//   EOF
//   -71.38909421 -127.75784799 5429609.736
//   74.71498540 134.96522588 16089145.976
//   -31.81201203 -140.11826047 9394572.855
//   -85.73684334 -115.25400634 6002305.412
//   -1.00008415 -1.00008415 19892254.520
//   0.00000000 0.00000000 19.314
//   -176.20119351 -176.23740237 34894.096
//   0.00000000 180.00000000 20003931.459
//
// (azi1 azi2 s12: the bearing below is azi1 taken into [0, 360), the
// distance s12 in kilometres.)
struct Pair
{
    const char *from, *to;
    double km, bearing;
};
const Pair kPairs[] = {
    {"IO91wm", "FN31pr", 5429.609736, 360 - 71.38909421},
    {"JO62qm", "QF56od", 16089.145976, 74.71498540},
    {"PM95vq", "JN58td", 9394.572855, 360 - 31.81201203},
    {"EM12", "BL11", 6002.305412, 360 - 85.73684334},
    {"AA00", "RR99", 19892.254520, 360 - 1.00008415},
    {"JO01ab23cd", "JO01ab23ce", 0.019314, 0},
    {"KP20", "KP20le", 34.894096, 360 - 176.20119351},
    {"IO91", "RD98", 20003.931459, 0}, // antipodes: the path over the pole
};

} // namespace

TEST(Geodesy, DistanceAndBearingOfKnownLocatorPairs)
{
    for (const Pair &p : kPairs) {
        const auto a = locatorPosition(QString::fromLatin1(p.from));
        const auto b = locatorPosition(QString::fromLatin1(p.to));
        ASSERT_TRUE(a && b) << p.from << " " << p.to;
        const GeoPath path = geodesicPath(*a, *b);
        EXPECT_NEAR(path.distanceKm, p.km, 1e-5) << p.from << " " << p.to;
        EXPECT_NEAR(path.bearingDegrees, p.bearing, 1e-7) << p.from << " " << p.to;
        EXPECT_GE(path.bearingDegrees, 0) << p.from;
        EXPECT_LT(path.bearingDegrees, 360) << p.from;
    }
}

TEST(Geodesy, TheMapKeepsDistanceFromTheCentreAndTheBearing)
{
    // The azimuthal equidistant map puts a point at its distance from the
    // centre in the direction of its bearing (x east, y north).
    for (const Pair &p : kPairs) {
        if (p.km < 1 || p.km > 20000)
            continue;
        const AzimuthalProjection map(*locatorPosition(QString::fromLatin1(p.from)));
        const QPointF point = map.toMap(*locatorPosition(QString::fromLatin1(p.to)));
        const double bearing = p.bearing * std::numbers::pi / 180;
        EXPECT_NEAR(point.x(), p.km * std::sin(bearing), 1e-4) << p.from << " " << p.to;
        EXPECT_NEAR(point.y(), p.km * std::cos(bearing), 1e-4) << p.from << " " << p.to;
    }
    const AzimuthalProjection map(*locatorPosition(u"IO91wm"));
    EXPECT_NEAR(QLineF(QPointF(), map.toMap(*locatorPosition(u"IO91wm"))).length(), 0, 1e-9);
}

TEST(Geodesy, TheSphericalDistanceStaysWithinItsErrorOfTheGeodesic)
{
    // Every pair of a coarse grid, poles and antipodes among them.
    double worst = 0;
    for (double lat1 = -90; lat1 <= 90; lat1 += 15) {
        for (double lat2 = -90; lat2 <= 90; lat2 += 15) {
            for (double lon = -180; lon <= 180; lon += 20) {
                const GeoPosition a{lat1, 0.5}, b{lat2, lon};
                const double geodesic = geodesicPath(a, b).distanceKm;
                if (geodesic > 1)
                    worst = std::max(worst, std::abs(sphericalKm(a, b) / geodesic - 1));
            }
        }
    }
    EXPECT_LT(worst, kSphereError);
    EXPECT_GT(worst, 0.001) << "the sphere is not the ellipsoid";
}
