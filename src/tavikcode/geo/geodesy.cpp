#include "geodesy.h"

#include <GeographicLib/AzimuthalEquidistant.hpp>
#include <GeographicLib/Geodesic.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

double sphericalKm(GeoPosition from, GeoPosition to)
{
    // The haversine formula, well conditioned for short and long paths alike.
    constexpr double kMeanRadiusKm = 6371.0088;
    constexpr double kRadians = std::numbers::pi / 180;
    const double dLatitude = (to.latitude - from.latitude) * kRadians;
    const double dLongitude = (to.longitude - from.longitude) * kRadians;
    const double a = std::sin(dLatitude / 2) * std::sin(dLatitude / 2)
                     + std::cos(from.latitude * kRadians) * std::cos(to.latitude * kRadians)
                           * std::sin(dLongitude / 2) * std::sin(dLongitude / 2);
    return 2 * kMeanRadiusKm * std::asin(std::sqrt(std::clamp(a, 0.0, 1.0)));
}

GeoPath geodesicPath(GeoPosition from, GeoPosition to)
{
    double metres = 0, azimuth = 0, finalAzimuth = 0;
    GeographicLib::Geodesic::WGS84().Inverse(from.latitude, from.longitude, to.latitude, to.longitude, metres,
                                             azimuth, finalAzimuth);
    double bearing = std::fmod(azimuth, 360.0);
    if (bearing < 0)
        bearing += 360.0;
    // -0.0 and rounding just below 360 both read as north.
    if (bearing >= 360.0 || bearing == 0.0)
        bearing = 0.0;
    return {metres / 1000.0, bearing};
}

QPointF AzimuthalProjection::toMap(GeoPosition position) const
{
    static const GeographicLib::AzimuthalEquidistant projection(GeographicLib::Geodesic::WGS84());
    double x = 0, y = 0;
    projection.Forward(m_centre.latitude, m_centre.longitude, position.latitude, position.longitude, x, y);
    return {x / 1000.0, y / 1000.0};
}
