#include "landoutlines.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>

#include <QFile>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace {

// The longitude step from a to b the short way round, in (-180, 180].
double lonStep(double a, double b)
{
    double d = std::fmod(b - a, 360.0);
    if (d > 180)
        d -= 360;
    else if (d <= -180)
        d += 360;
    return d;
}

GeoPosition geo(const QPointF &p)
{
    return {p.y(), p.x()};
}

double length(const QPointF &p)
{
    return std::hypot(p.x(), p.y());
}

// Appends the map points of the edge from a to b, b itself left out.
void addEdge(QList<QPointF> &out, const AzimuthalProjection &projection, QPointF a, QPointF aMap, QPointF b,
             QPointF bMap, double maxStepKm, int depth)
{
    if (depth == 0 || length(bMap - aMap) <= maxStepKm) {
        out.append(aMap);
        return;
    }
    const QPointF middle(a.x() + lonStep(a.x(), b.x()) / 2, (a.y() + b.y()) / 2);
    const QPointF middleMap = projection.toMap(geo(middle));
    addEdge(out, projection, a, aMap, middle, middleMap, maxStepKm, depth - 1);
    addEdge(out, projection, middle, middleMap, b, bMap, maxStepKm, depth - 1);
}

// How many times the closed polygon winds around the origin, counter-clockwise positive.
int windingAroundOrigin(const QList<QPointF> &points)
{
    double turned = 0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF &a = points[i];
        const QPointF &b = points[(i + 1) % points.size()];
        double d = std::atan2(b.y(), b.x()) - std::atan2(a.y(), a.x());
        if (d > std::numbers::pi)
            d -= 2 * std::numbers::pi;
        else if (d <= -std::numbers::pi)
            d += 2 * std::numbers::pi;
        turned += d;
    }
    return int(std::lround(turned / (2 * std::numbers::pi)));
}

// Whether the land of the ring lies to the left of its course. Land rings
// are smaller than a hemisphere, so the smaller side is the land.
bool landOnTheLeft(const LandRing &ring)
{
    GeographicLib::PolygonArea polygon(GeographicLib::Geodesic::WGS84());
    for (const QPointF &p : ring)
        polygon.AddPoint(p.y(), p.x());
    double perimeter = 0, area = 0;
    // Signed: positive when the smaller side is on the left.
    polygon.Compute(false, true, perimeter, area);
    return area > 0;
}

} // namespace

LandOutlines decodeLandOutlines(QByteArrayView bytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype at = 0;
    const auto has = [&](qsizetype n) { return n >= 0 && size - at >= n; };
    if (!has(12) || bytes.first(4) != QByteArrayView("TLND") || qFromLittleEndian<quint16>(data + 4) != 1)
        return {};
    const double unit = qFromLittleEndian<quint16>(data + 6);
    const quint32 rings = qFromLittleEndian<quint32>(data + 8);
    at = 12;
    if (unit <= 0)
        return {};
    LandOutlines land;
    for (quint32 r = 0; r < rings; ++r) {
        if (!has(4))
            return {};
        const quint32 count = qFromLittleEndian<quint32>(data + at);
        at += 4;
        if (!has(qsizetype(count) * 4))
            return {};
        LandRing ring;
        ring.reserve(count);
        for (quint32 i = 0; i < count; ++i, at += 4) {
            const double lon = qFromLittleEndian<qint16>(data + at) / unit;
            const double lat = qFromLittleEndian<qint16>(data + at + 2) / unit;
            if (std::abs(lon) > 180 || std::abs(lat) > 90)
                return {};
            ring.append(QPointF(lon, lat));
        }
        if (ring.size() >= 3)
            land.append(ring);
    }
    return at == size ? land : LandOutlines();
}

const LandOutlines &naturalEarthLand()
{
    static const LandOutlines land = [] {
        QFile file(QStringLiteral(":/reach/land-110m.bin"));
        return file.open(QIODevice::ReadOnly) ? decodeLandOutlines(file.readAll()) : LandOutlines();
    }();
    return land;
}

QList<MapRing> projectLand(const LandOutlines &land, const AzimuthalProjection &projection, double maxStepKm)
{
    QList<MapRing> rings;
    rings.reserve(land.size());
    for (const LandRing &ring : land) {
        MapRing out;
        out.points.reserve(ring.size());
        QList<QPointF> vertices;
        vertices.reserve(ring.size());
        for (const QPointF &p : ring)
            vertices.append(projection.toMap(geo(p)));
        for (qsizetype i = 0; i < ring.size(); ++i) {
            const qsizetype next = (i + 1) % ring.size();
            addEdge(out.points, projection, ring[i], vertices[i], ring[next], vertices[next], maxStepKm, 12);
        }
        // A ring around the centre holds the centre or its antipode; which
        // one, the side the land lies on tells.
        if (const int winding = windingAroundOrigin(out.points); winding != 0)
            out.aroundAntipode = (winding > 0) != landOnTheLeft(ring);
        rings.append(std::move(out));
    }
    return rings;
}

QList<QList<QPointF>> worldLand(const LandOutlines &land)
{
    QList<QList<QPointF>> out;
    for (const LandRing &ring : land) {
        // Longitudes made continuous, so a ring across the 180th meridian
        // runs past it instead of jumping back.
        QList<QPointF> flat;
        flat.reserve(ring.size() + 3);
        flat.append(ring.first());
        for (qsizetype i = 1; i < ring.size(); ++i)
            flat.append(QPointF(flat.last().x() + lonStep(ring[i - 1].x(), ring[i].x()), ring[i].y()));
        const double closing = flat.last().x() + lonStep(ring.last().x(), ring.first().x());
        const double turned = closing - flat.first().x();
        if (std::abs(turned) > 180) {
            // Once around a pole: close the ring along it.
            double latitudes = 0;
            for (const QPointF &p : ring)
                latitudes += p.y();
            const double pole = latitudes < 0 ? -90 : 90;
            flat.append(QPointF(closing, ring.first().y()));
            flat.append(QPointF(closing, pole));
            flat.append(QPointF(flat.first().x(), pole));
        }
        double west = flat.first().x(), east = west;
        for (const QPointF &p : std::as_const(flat)) {
            west = std::min(west, p.x());
            east = std::max(east, p.x());
        }
        for (const double shift : {-360.0, 0.0, 360.0}) {
            if (west + shift >= 180 || east + shift <= -180)
                continue;
            QList<QPointF> copy = flat;
            for (QPointF &p : copy)
                p.rx() += shift;
            out.append(std::move(copy));
        }
    }
    return out;
}
