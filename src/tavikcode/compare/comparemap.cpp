#include "comparemap.h"

#include "comparecolours.h"
#include "geo/distancetext.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMarkerHoverPixels = 3;

// In half pixels, so that markers of a few sizes are drawn once each.
double radiusOf(const ComparedReceiver &r)
{
    if (r.pairs == 0)
        return 3.5;
    return std::round(2 * std::min(9.0, 3.0 + 1.2 * std::sqrt(double(r.pairs)))) / 2;
}

} // namespace

QString comparedReceiverText(const CompareData &data, const ComparedReceiver &r, const QString &operatorCallsign,
                             const QString &referenceCallsign)
{
    QStringList lines;
    lines << data.callsigns[r.callsign] + QStringLiteral("  ") + data.locators[r.locator];
    if (const ComparedPlace &place = data.place(r); place.hasPath)
        lines << distanceText(place.distanceKm, DistanceUnit::Kilometres) + QStringLiteral(", ")
                + bearingText(place.bearingDegrees);
    switch (r.heard) {
    case HeardBy::OnlyOperator:
        lines << QStringLiteral("Heard only ") + operatorCallsign;
        break;
    case HeardBy::OnlyReference:
        lines << QStringLiteral("Heard only ") + referenceCallsign;
        break;
    case HeardBy::Both:
        if (const std::optional<float> median = r.medianDifference())
            lines << QStringLiteral("%1 %2, median difference %3 dB")
                         .arg(r.pairs)
                         .arg(r.pairs == 1 ? QStringLiteral("pair") : QStringLiteral("pairs"),
                              decibelText(*median));
        else
            lines << QStringLiteral("Heard both, never within one pairing window");
        break;
    }
    return lines.join(u'\n');
}

CompareMap::CompareMap(QWidget *parent) : PictureWidget(parent)
{
    setObjectName(QStringLiteral("CompareMap"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Compare map"));
}

void CompareMap::setData(std::shared_ptr<const CompareData> data, const QString &operatorCallsign,
                         const QString &referenceCallsign)
{
    m_data = std::move(data);
    m_operator = operatorCallsign;
    m_reference = referenceCallsign;
    m_markers.clear();
    listItems();
}

void CompareMap::setBand(const QString &band)
{
    if (band == m_band)
        return;
    m_band = band;
    m_markers.clear();
    listItems();
}

void CompareMap::listItems()
{
    m_items.clear();
    if (m_data) {
        m_backdrop.setCentre(m_data->home);
        const int band = m_data->bandIndex(m_band);
        for (const ComparedReceiver &r : m_data->receivers) {
            if (r.band == band && m_data->place(r).placed)
                m_items.push_back(&r);
        }
    }
    contentChanged();
}

QString CompareMap::summary() const
{
    QString text = QStringLiteral("Compare map of ") + m_operator + QStringLiteral(" and ") + m_reference
        + QStringLiteral(", ") + (m_band.isEmpty() ? QStringLiteral("all bands") : m_band) + QStringLiteral(": ");
    if (!m_data)
        return text + QStringLiteral("no figures yet.");
    qsizetype both = 0, louder = 0, onlyOperator = 0, onlyReference = 0;
    for (const ComparedReceiver *r : m_items) {
        both += r->heard == HeardBy::Both;
        louder += r->medianDifference().value_or(0) > 0;
        onlyOperator += r->heard == HeardBy::OnlyOperator;
        onlyReference += r->heard == HeardBy::OnlyReference;
    }
    return text
        + QStringLiteral("%1 receivers on the map; %2 heard both, %3 of them louder from %4; %5 heard only %4, %6 only %7.")
              .arg(m_items.size())
              .arg(both)
              .arg(louder)
              .arg(m_operator)
              .arg(onlyOperator)
              .arg(onlyReference)
              .arg(m_reference);
}

QString CompareMap::itemText(qsizetype item) const
{
    if (!m_data || item < 0 || item >= itemCount())
        return {};
    return comparedReceiverText(*m_data, *m_items[size_t(item)], m_operator, m_reference)
        .replace(u'\n', QStringLiteral("; "));
}

QRectF CompareMap::itemRect(qsizetype item) const
{
    if (!m_data || item < 0 || item >= itemCount())
        return {};
    const ComparedReceiver &r = *m_items[size_t(item)];
    const QPointF at = m_backdrop.toPixels(QSizeF(size())).map(m_data->place(r).mapPoint());
    const double radius = radiusOf(r) + 1;
    return {at - QPointF(radius, radius), QSizeF(2 * radius, 2 * radius)};
}

void CompareMap::drawPicture(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF area(size());
    m_backdrop.setCentre(m_data ? m_data->home : std::nullopt);
    m_backdrop.paintGround(painter, area);
    m_backdrop.paintRings(painter, area, font(), {1000, 3000, 8000}, DistanceUnit::Kilometres);

    m_markers.clear();
    if (m_data) {
        const QTransform toPixels = m_backdrop.toPixels(area);
        const int band = m_data->bandIndex(m_band);
        for (const ComparedReceiver &r : m_data->receivers) {
            if (r.band == band && m_data->place(r).placed)
                m_markers.push_back({toPixels.map(m_data->place(r).mapPoint()), radiusOf(r), &r});
        }
    }
    // The hollow ones first, then the larger under the smaller.
    std::stable_sort(m_markers.begin(), m_markers.end(), [](const Marker &a, const Marker &b) {
        const bool hollowA = std::isnan(a.receiver->median), hollowB = std::isnan(b.receiver->median);
        return hollowA != hollowB ? hollowA : a.radius > b.radius;
    });
    // Each a copy of its look drawn once: twenty thousand of them stay quick.
    if (m_picturesRatio != devicePixelRatioF()) {
        m_pictures.clear();
        m_picturesRatio = devicePixelRatioF();
    }
    for (const Marker &m : m_markers) {
        const QPixmap &picture = markerPicture(*m.receiver, m.radius);
        const double half = picture.deviceIndependentSize().width() / 2;
        painter.drawPixmap(m.pixel - QPointF(half, half), picture);
    }
    m_backdrop.paintCentre(painter, area);
    paintLegend(painter);
}

const QPixmap &CompareMap::markerPicture(const ComparedReceiver &r, double radius)
{
    // Medians come in quarter decibels; beyond the scale's ends the colour stays.
    const std::optional<float> median = r.medianDifference();
    const int quarters =
        median ? int(std::lround(std::clamp(double(*median), -kFullColourDecibels, kFullColourDecibels) * 4)) : 0;
    const quint64 key = (quint64(median.has_value()) << 40) | (quint64(r.heard) << 36)
        | (quint64(quint32(quarters + 1000)) << 8) | quint64(radius * 2);
    auto it = m_pictures.find(key);
    if (it != m_pictures.end())
        return *it;
    const qreal ratio = devicePixelRatioF();
    const double side = 2 * (radius + 2);
    QPixmap picture((QSizeF(side, side) * ratio).toSize());
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    if (median) {
        painter.setPen(QPen(QColor(60, 60, 60, 170), 0.7));
        painter.setBrush(differenceColour(quarters / 4.0));
    } else {
        const QColor colour = r.heard == HeardBy::OnlyOperator    ? operatorColour()
                              : r.heard == HeardBy::OnlyReference ? referenceColour()
                                                                  : QColor(0x80, 0x80, 0x80);
        painter.setPen(QPen(colour, 1.6));
        painter.setBrush(Qt::NoBrush);
    }
    painter.drawEllipse(QPointF(side / 2, side / 2), radius, radius);
    return *m_pictures.insert(key, picture);
}

void CompareMap::paintLegend(QPainter &painter) const
{
    if (!m_data)
        return;
    const QFontMetricsF metrics(font());
    const double line = metrics.height() + 2;
    const QString louder = QStringLiteral(" louder");
    const QString texts[] = {m_operator + louder, m_reference + louder, QStringLiteral("Heard only ") + m_operator,
                             QStringLiteral("Heard only ") + m_reference};
    double widest = 0;
    for (const QString &t : texts)
        widest = std::max(widest, metrics.horizontalAdvance(t));
    const QRectF box(4, 4, widest + 30, line * 4 + 8);
    painter.setPen(QColor(0xB0, 0xB0, 0xB0));
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRoundedRect(box, 3, 3);
    for (int i = 0; i < 4; ++i) {
        const QPointF dot(box.left() + 12, box.top() + 4 + (i + 0.5) * line);
        if (i < 2) {
            painter.setPen(QPen(QColor(60, 60, 60, 170), 0.7));
            painter.setBrush(differenceColour(i == 0 ? 6 : -6));
        } else {
            painter.setPen(QPen(i == 2 ? operatorColour() : referenceColour(), 1.6));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawEllipse(dot, 4.5, 4.5);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(box.left() + 22, dot.y() - line / 2, widest + 4, line), Qt::AlignVCenter, texts[i]);
    }
}

QString CompareMap::textAt(QPointF position) const
{
    if (!m_data || !pictureValid())
        return {};
    // The topmost marker under the mouse, and every receiver at its place.
    const Marker *hit = nullptr;
    for (const Marker &m : m_markers) {
        const QPointF d = m.pixel - position;
        if (std::hypot(d.x(), d.y()) <= m.radius + kMarkerHoverPixels)
            hit = &m;
    }
    if (!hit)
        return {};
    QStringList blocks;
    int more = 0;
    for (auto m = m_markers.rbegin(); m != m_markers.rend(); ++m) {
        if (m->pixel != hit->pixel)
            continue;
        if (blocks.size() == 6)
            ++more;
        else
            blocks << comparedReceiverText(*m_data, *m->receiver, m_operator, m_reference);
    }
    if (more > 0)
        blocks << QStringLiteral("and %1 more").arg(more);
    return blocks.join(QStringLiteral("\n\n"));
}
