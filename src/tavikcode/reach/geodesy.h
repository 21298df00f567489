#pragma once

#include <QPointF>

// Positions, distances and the map projection of the Reach window, on the
// WGS84 ellipsoid through GeographicLib.

struct GeoPosition
{
    double latitude = 0;   // degrees north
    double longitude = 0;  // degrees east
};

// The shortest path from one position to another.
struct GeoPath
{
    double distanceKm = 0;
    double bearingDegrees = 0; // initial bearing, clockwise from true north, in [0, 360)
};

GeoPath geodesicPath(GeoPosition from, GeoPosition to);

// The distance from the centre of an azimuthal equidistant map to its rim,
// where the centre's antipode lies: half a meridian (the longest such path).
inline constexpr double kMapRimKm = 20003.93;

// The azimuthal equidistant projection around a centre: distance from the
// centre is the true distance and the angle from north the bearing, so every
// point of the earth lies within kMapRimKm of the centre.
class AzimuthalProjection
{
public:
    explicit AzimuthalProjection(GeoPosition centre) : m_centre(centre) {}

    GeoPosition centre() const { return m_centre; }
    // Kilometres east (x) and north (y) of the centre.
    QPointF toMap(GeoPosition position) const;

private:
    GeoPosition m_centre;
};
