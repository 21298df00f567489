#include "locatordistances.h"

#include "locator.h"

LocatorDistances::LocatorDistances(std::optional<GeoPosition> home, qsizetype expected) : m_home(home)
{
    m_index.reserve(expected);
}

int LocatorDistances::place(const QString &locator)
{
    if (!m_home)
        return -1;
    const auto known = m_index.constFind(locator);
    if (known != m_index.constEnd())
        return *known;
    int index = -1;
    if (const std::optional<GeoPosition> there = locatorPosition(locator)) {
        index = int(m_places.size());
        m_places.push_back({*there, sphericalKm(*m_home, *there), std::nullopt});
    }
    m_index.insert(locator, index);
    return index;
}

bool LocatorDistances::farther(int place, double km)
{
    const Place &p = m_places[size_t(place)];
    // The sphere is within kSphereError of the ellipsoid: only a close call needs the true distance.
    if (p.sphereKm / (1 + kSphereError) > km)
        return true;
    if (p.sphereKm / (1 - kSphereError) <= km)
        return false;
    return path(place).distanceKm > km;
}

GeoPath LocatorDistances::path(int place)
{
    Place &p = m_places[size_t(place)];
    if (!p.path)
        p.path = geodesicPath(*m_home, p.at);
    return *p.path;
}

double LocatorDistances::sphereKm(int place) const
{
    return m_places[size_t(place)].sphereKm;
}
