#pragma once

#include "geo/geodesy.h"
#include "geo/distancetext.h"

#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QSizeF>
#include <QTransform>

#include <optional>

class QPainter;

// What lies under the dots of the Reach and Compare maps: around the
// operator's locator in the azimuthal equidistant projection, with distance
// rings, the rim and the compass points, or a plain world map without a
// locator. The land is projected as a path in map units once per centre.
class MapBackdrop
{
public:
    void setCentre(const std::optional<GeoPosition> &centre);
    bool centred() const { return m_centre.has_value(); }

    // Map units (km east and north of the centre, else degrees of longitude
    // and latitude) to pixels of a widget of that size, with room at the
    // edges for the compass letters.
    double scale(QSizeF size) const;
    QTransform toPixels(QSizeF size) const;

    // The sea and the land.
    void paintGround(QPainter &painter, QSizeF size);
    // Centred only: dashed rings at those distances with their labels in the
    // unit, the rim, and the compass lines and letters.
    void paintRings(QPainter &painter, QSizeF size, const QFont &font, const QList<double> &ringsKm,
                    DistanceUnit unit) const;
    // Centred only: a cross at the operator's place.
    void paintCentre(QPainter &painter, QSizeF size) const;

private:
    void buildLand();

    std::optional<GeoPosition> m_centre;
    bool m_landBuilt = false;
    std::optional<GeoPosition> m_landCentre;
    QPainterPath m_land; // in map units
};
