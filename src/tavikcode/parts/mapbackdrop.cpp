#include "mapbackdrop.h"

#include "geo/landoutlines.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kMargin = 20; // room for the compass letters

const QColor kOcean(0xD4, 0xE5, 0xF3);
const QColor kLand(0xD6, 0xDB, 0xBC);
const QColor kCoast(0x95, 0xA0, 0x7E);
const QColor kRing(0x5A, 0x6E, 0x82);

bool samePlace(const std::optional<GeoPosition> &a, const std::optional<GeoPosition> &b)
{
    return a.has_value() == b.has_value() && (!a || (a->latitude == b->latitude && a->longitude == b->longitude));
}

} // namespace

void MapBackdrop::setCentre(const std::optional<GeoPosition> &centre)
{
    m_centre = centre;
}

double MapBackdrop::scale(QSizeF size) const
{
    const double w = std::max(1.0, size.width() - 2 * kMargin);
    const double h = std::max(1.0, size.height() - 2 * kMargin);
    if (centred())
        return std::min(w, h) / 2 / kMapRimKm;
    return std::min(w / 360, h / 180);
}

QTransform MapBackdrop::toPixels(QSizeF size) const
{
    const double s = scale(size);
    return QTransform::fromTranslate(size.width() / 2, size.height() / 2).scale(s, -s);
}

void MapBackdrop::buildLand()
{
    if (m_landBuilt && samePlace(m_centre, m_landCentre))
        return;
    m_land = QPainterPath();
    m_land.setFillRule(Qt::OddEvenFill);
    if (m_centre) {
        for (const MapRing &ring : projectLand(naturalEarthLand(), AzimuthalProjection(*m_centre))) {
            m_land.addPolygon(QPolygonF(ring.points));
            m_land.closeSubpath();
            if (ring.aroundAntipode)
                m_land.addEllipse(QPointF(), kMapRimKm, kMapRimKm);
        }
    } else {
        for (const QList<QPointF> &ring : worldLand(naturalEarthLand())) {
            m_land.addPolygon(QPolygonF(ring));
            m_land.closeSubpath();
        }
    }
    m_landBuilt = true;
    m_landCentre = m_centre;
}

void MapBackdrop::paintGround(QPainter &painter, QSizeF size)
{
    buildLand();
    const QTransform pixels = toPixels(size);
    // The sea, then the land clipped to it.
    QPainterPath sea;
    if (centred())
        sea.addEllipse(QPointF(), kMapRimKm, kMapRimKm);
    else
        sea.addRect(QRectF(-180, -90, 360, 180));
    const QPainterPath seaPixels = pixels.map(sea);
    painter.fillPath(seaPixels, kOcean);
    painter.save();
    painter.setClipPath(seaPixels);
    painter.setTransform(pixels);
    QPen coast(kCoast, 0.8);
    coast.setCosmetic(true);
    painter.setPen(coast);
    painter.setBrush(kLand);
    painter.drawPath(m_land);
    painter.restore();
}

void MapBackdrop::paintRings(QPainter &painter, QSizeF size, const QFont &font, const QList<double> &ringsKm,
                             DistanceUnit unit) const
{
    if (!centred())
        return;
    const double s = scale(size);
    const QPointF middle(size.width() / 2, size.height() / 2);
    const double rim = kMapRimKm * s;

    painter.save();
    QPen ringPen(kRing, 0.8, Qt::DashLine);
    painter.setBrush(Qt::NoBrush);
    QFont small = font;
    small.setPointSizeF(std::max(6.5, small.pointSizeF() - 1.5));
    painter.setFont(small);
    for (double km : ringsKm) {
        const double r = km * s;
        if (r < 14)
            continue; // too close to the centre to read
        painter.setPen(ringPen);
        painter.drawEllipse(middle, r, r);
        painter.setPen(kRing);
        painter.drawText(middle + QPointF(3, -r - 2), distanceText(km, unit));
    }
    painter.setPen(QPen(kRing, 1.2));
    painter.drawEllipse(middle, rim, rim);

    // Compass lines and letters, clockwise from north.
    static const char16_t *const points[] = {u"N", u"NE", u"E", u"SE", u"S", u"SW", u"W", u"NW"};
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    const QFontMetricsF metrics(bold);
    for (int i = 0; i < 8; ++i) {
        const double bearing = i * 45 * std::numbers::pi / 180;
        const QPointF direction(std::sin(bearing), -std::cos(bearing));
        painter.setPen(QPen(QColor(kRing.red(), kRing.green(), kRing.blue(), 90), 0.6));
        painter.drawLine(middle, middle + direction * rim);
        const QString letter = QString::fromUtf16(points[i]);
        const QPointF at = middle + direction * (rim + metrics.height() * 0.7);
        const QRectF box(at.x() - metrics.horizontalAdvance(letter) / 2, at.y() - metrics.height() / 2,
                         metrics.horizontalAdvance(letter), metrics.height());
        painter.setPen(kRing);
        painter.drawText(box, Qt::AlignCenter, letter);
    }
    painter.restore();
}

void MapBackdrop::paintCentre(QPainter &painter, QSizeF size) const
{
    if (!centred())
        return;
    const QPointF middle(size.width() / 2, size.height() / 2);
    painter.save();
    painter.setPen(QPen(Qt::black, 1.6));
    painter.drawLine(middle - QPointF(6, 0), middle + QPointF(6, 0));
    painter.drawLine(middle - QPointF(0, 6), middle + QPointF(0, 6));
    painter.restore();
}
