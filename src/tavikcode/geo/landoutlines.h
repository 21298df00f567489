#pragma once

#include "geodesy.h"

#include <QByteArrayView>
#include <QList>
#include <QPointF>

// The land of the world map: Natural Earth's 1:110m land outlines, compiled
// into the program (data/land-110m.bin, made by tools/landoutlines/convert.py).
// Each ring is a closed list of points, x longitude and y latitude in degrees;
// consecutive points are joined the short way round, also across the 180th
// meridian. Outer rings and holes alike: they are filled even-odd.
using LandRing = QList<QPointF>;
using LandOutlines = QList<LandRing>;

// Reads the land file; nothing at all when it is damaged.
LandOutlines decodeLandOutlines(QByteArrayView bytes);

// The compiled-in land, read at the first call (the first map drawn).
const LandOutlines &naturalEarthLand();

// A land ring on the azimuthal map, in kilometres east and north of the
// centre. The rim of the map is the centre's antipode: a ring around the
// antipode is projected as a curve around the centre with the land outside
// it, so it is to be filled together with the rim circle (kMapRimKm).
struct MapRing
{
    QList<QPointF> points;
    bool aroundAntipode = false;
};

// Long edges are split until no piece spans more than maxStepKm on the map,
// so that coasts near the antipode follow their true course.
QList<MapRing> projectLand(const LandOutlines &land, const AzimuthalProjection &projection,
                           double maxStepKm = 250);

// The land on a plain world map, x longitude from -180 to 180 and y
// latitude: rings that cross the 180th meridian come once from each side
// (the painter clips them), and a ring around a pole is closed along it.
QList<QList<QPointF>> worldLand(const LandOutlines &land);
