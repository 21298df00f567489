#include "geodesy.h"

#include <GeographicLib/AzimuthalEquidistant.hpp>
#include <GeographicLib/Geodesic.hpp>

#include <cmath>

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
