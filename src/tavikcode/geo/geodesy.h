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

// The great-circle distance on a sphere of the earth's mean radius: a
// fraction of geodesicPath's time, and within kSphereError of its distance
// (relative), so it can tell most comparisons alone.
double sphericalKm(GeoPosition from, GeoPosition to);
inline constexpr double kSphereError = 0.01;

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
