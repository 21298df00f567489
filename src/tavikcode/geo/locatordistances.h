#pragma once

#include "geodesy.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// Where the receivers of a pass lie from the operator: each locator's quick
// distance on a sphere first, its true path (on the ellipsoid, GeographicLib)
// only once a comparison or a text needs it. A pass of thousands of reports
// decides nearly all of them by the quick distance alone.
class LocatorDistances
{
public:
    explicit LocatorDistances(std::optional<GeoPosition> home = std::nullopt, qsizetype expected = 0);

    // A place of the operator's locator and the report's; -1 for none (no
    // home, or no locator), which has no distance.
    int place(const QString &locator);
    // Whether the place lies farther than km (the true distance).
    bool farther(int place, double km);
    GeoPath path(int place);
    // The quick distance, within kSphereError of the true one.
    double sphereKm(int place) const;

private:
    struct Place
    {
        GeoPosition at;
        double sphereKm = 0;
        std::optional<GeoPath> path;
    };

    std::optional<GeoPosition> m_home;
    QHash<QString, int> m_index; // -1: no place
    std::vector<Place> m_places;
};
