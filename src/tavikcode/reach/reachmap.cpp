#include "reachmap.h"

#include "bandcolours.h"
#include "archive/bandplan.h"
#include "geo/distancetext.h"
#include "geo/locator.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace {

constexpr double kDotRadius = 3.2;
constexpr double kHoverPixels = 6;

// Rings of round distances in the operator's unit, within the map's rim.
QList<double> ringDistancesKm(DistanceUnit unit)
{
    const QList<double> km = {1000, 2500, 5000, 10000, 15000};
    const QList<double> miles = {500, 1500, 3000, 6000, 9000, 12000};
    QList<double> rings;
    for (double d : unit == DistanceUnit::Miles ? miles : km)
        rings << d / distanceIn(1, unit);
    return rings;
}

// One dot of a band, drawn once for the pixel ratio: the colour within a
// thin white rim, so that dots on dots stay apart.
QPixmap dotPicture(const QColor &colour, qreal ratio)
{
    const double side = 2 * (kDotRadius + 1);
    QPixmap dot((QSizeF(side, side) * ratio).toSize());
    dot.setDevicePixelRatio(ratio);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 0.8));
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(side / 2, side / 2), kDotRadius, kDotRadius);
    return dot;
}

} // namespace

ReachMap::ReachMap(QWidget *parent) : PictureWidget(parent)
{
    setObjectName(QStringLiteral("ReachMap"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Reach map"));
}

void ReachMap::setReach(std::shared_ptr<const ReachData> data)
{
    m_data = std::move(data);
    contentChanged();
}

void ReachMap::setBand(const QString &band)
{
    if (band == m_band)
        return;
    m_band = band;
    contentChanged();
}

void ReachMap::setUnit(DistanceUnit unit)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    contentChanged();
}

void ReachMap::setPeriodName(const QString &period)
{
    if (period == m_period)
        return;
    m_period = period;
    contentChanged();
}

namespace {

QString mapFarthestText(const FarthestReceiver &f, DistanceUnit unit)
{
    return f.callsign + QStringLiteral(" (") + f.locator + QStringLiteral("), ") + distanceText(f.path.distanceKm, unit)
        + QStringLiteral(", ") + bearingText(f.path.bearingDegrees);
}

QString mapReceiversText(qint64 n)
{
    return n == 1 ? QStringLiteral("1 receiver") : QStringLiteral("%1 receivers").arg(n);
}

} // namespace

QString ReachMap::summary() const
{
    QString text = QStringLiteral("Reach");
    if (!m_period.isEmpty())
        text += QStringLiteral(", ") + m_period.left(1).toLower() + m_period.mid(1);
    text += QStringLiteral(": ");
    if (!m_data)
        return text + QStringLiteral("reading the report archive.");
    if (m_data->bands.isEmpty())
        return text + QStringLiteral("no reports.");
    const qsizetype shown = itemCount();
    if (m_band.isEmpty())
        text += QStringLiteral("%1 %2, %3")
                    .arg(shown)
                    .arg(shown == 1 ? QStringLiteral("band") : QStringLiteral("bands"),
                         mapReceiversText(m_data->total.counts.receivers));
    else
        text += m_band + QStringLiteral(" alone");
    // The farthest of the bands shown.
    const BandRow *farthest = nullptr;
    for (qsizetype i = 0; i < shown; ++i) {
        const BandRow *row = shownBand(i);
        if (row->farthest && (!farthest || row->farthest->path.distanceKm > farthest->farthest->path.distanceKm))
            farthest = row;
    }
    if (farthest)
        text += QStringLiteral("; farthest on ") + farthest->counts.band + u' '
            + mapFarthestText(*farthest->farthest, m_unit);
    else if (!m_data->home)
        text += QStringLiteral("; no locator of yours, so a plain world map without distances");
    return text + u'.';
}

const BandRow *ReachMap::shownBand(qsizetype item) const
{
    if (!m_data)
        return nullptr;
    if (m_band.isEmpty())
        return item >= 0 && item < m_data->bands.size() ? &m_data->bands[item] : nullptr;
    for (const BandRow &row : m_data->bands) {
        if (row.counts.band == m_band)
            return item == 0 ? &row : nullptr;
    }
    return nullptr;
}

qsizetype ReachMap::itemCount() const
{
    if (!m_data)
        return 0;
    return m_band.isEmpty() ? m_data->bands.size() : (shownBand(0) ? 1 : 0);
}

QString ReachMap::itemText(qsizetype item) const
{
    const BandRow *row = shownBand(item);
    if (!row)
        return {};
    QString text = row->counts.band + QStringLiteral(": ") + mapReceiversText(row->counts.receivers);
    if (row->farthest)
        text += QStringLiteral(", farthest ") + mapFarthestText(*row->farthest, m_unit);
    if (row->withoutLocator > 0)
        text += QStringLiteral(", %1 without a locator").arg(row->withoutLocator);
    return text;
}

QRectF ReachMap::itemRect(qsizetype item) const
{
    const BandRow *row = shownBand(item);
    if (!row || !row->farthest || !m_data->home)
        return {};
    const std::optional<GeoPosition> at = locatorPosition(row->farthest->locator);
    if (!at)
        return {};
    const QPointF pixel = pixelOf(AzimuthalProjection(*m_data->home).toMap(*at));
    return {pixel - QPointF(kHoverPixels, kHoverPixels), QSizeF(2 * kHoverPixels, 2 * kHoverPixels)};
}

QPointF ReachMap::pixelOf(QPointF mapPoint) const
{
    MapBackdrop backdrop;
    backdrop.setCentre(m_data ? m_data->home : std::nullopt);
    return backdrop.toPixels(QSizeF(size())).map(mapPoint);
}

void ReachMap::drawPicture(QPainter &painter)
{
    ++m_pictureBuilds;
    painter.setRenderHint(QPainter::Antialiasing);
    m_backdrop.setCentre(m_data ? m_data->home : std::nullopt);
    m_backdrop.paintGround(painter, QSizeF(size()));
    m_backdrop.paintRings(painter, QSizeF(size()), font(), ringDistancesKm(m_unit), m_unit);
    const QTransform toPixels = m_backdrop.toPixels(QSizeF(size()));

    // Dots, band by band in band order, so that the colours stack alike
    // every time; each a copy of its band's drawn dot, which keeps twenty
    // thousand of them quick.
    m_dots.clear();
    std::map<std::pair<int, QString>, std::vector<QPointF>> byBand;
    std::unordered_map<qint32, std::vector<QPointF> *> byBandText; // the same lists, by the band's text
    if (m_data) {
        m_dots.reserve(size_t(m_data->receiverCount()));
        for (qsizetype i = 0; i < m_data->receiverCount(); ++i) {
            const HeardRow &row = m_data->row(i);
            const ReachPlace &place = m_data->place(i);
            const QStringView band = m_data->text(row.band);
            if (!place.position || band.isEmpty() || (!m_band.isEmpty() && band != m_band))
                continue;
            const QPointF pixel = toPixels.map(place.mapPoint);
            m_dots.push_back({float(pixel.x()), float(pixel.y()), qint32(i)});
            std::vector<QPointF> *&pixels = byBandText[row.band];
            if (!pixels)
                pixels = &byBand[{bandPlanRank(band), band.toString()}];
            pixels->push_back(m_dots.back().pixel());
        }
    }
    QStringList shown;
    const double half = kDotRadius + 1;
    for (const auto &[band, pixels] : byBand) {
        const QPixmap dot = dotPicture(bandColour(band.second), devicePixelRatioF());
        for (const QPointF &pixel : pixels)
            painter.drawPixmap(pixel - QPointF(half, half), dot);
        shown << band.second;
    }
    m_backdrop.paintCentre(painter, QSizeF(size()));
    paintLegend(painter, shown);
}

void ReachMap::paintLegend(QPainter &painter, const QStringList &bands) const
{
    if (bands.isEmpty())
        return;
    const QFontMetricsF metrics(font());
    const double line = metrics.height() + 2;
    double widest = 0;
    for (const QString &band : bands)
        widest = std::max(widest, metrics.horizontalAdvance(band));
    const QRectF box(4, 4, widest + 26, line * bands.size() + 6);
    painter.setPen(QColor(0xB0, 0xB0, 0xB0));
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRoundedRect(box, 3, 3);
    for (qsizetype i = 0; i < bands.size(); ++i) {
        const double y = box.top() + 3 + i * line;
        painter.setPen(Qt::NoPen);
        painter.setBrush(bandColour(bands[i]));
        painter.drawEllipse(QPointF(box.left() + 10, y + line / 2), 4, 4);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRectF(box.left() + 19, y, widest + 4, line), Qt::AlignVCenter, bands[i]);
    }
}

QString ReachMap::textAt(QPointF position) const
{
    if (!m_data || !pictureValid())
        return {};
    const Dot *nearest = nullptr;
    double best = kHoverPixels * kHoverPixels;
    for (const Dot &dot : m_dots) {
        const QPointF d = dot.pixel() - position;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance <= best) {
            best = distance;
            nearest = &dot;
        }
    }
    if (!nearest)
        return {};
    // Every receiver at that place: a station heard on several bands, or
    // several stations in one square.
    const qint32 locator = m_data->row(nearest->receiver).locator;
    QList<qint32> callsigns;
    std::map<qint32, QList<qsizetype>> byCall;
    for (const Dot &dot : m_dots) {
        const HeardRow &row = m_data->row(dot.receiver);
        if (dot.x == nearest->x && dot.y == nearest->y && row.locator == locator) {
            if (!byCall.count(row.callsign))
                callsigns << row.callsign;
            byCall[row.callsign].append(dot.receiver);
        }
    }
    QStringList lines;
    const int shownAtMost = 6;
    for (qsizetype c = 0; c < std::min<qsizetype>(callsigns.size(), shownAtMost); ++c) {
        const QList<qsizetype> &heard = byCall[callsigns[c]];
        const PlacedReceiver first = m_data->receiver(heard.first());
        if (c > 0)
            lines << QString();
        lines << first.heard.callsign + QStringLiteral("  ") + first.heard.locator;
        if (first.path)
            lines << distanceText(first.path->distanceKm, m_unit) + QStringLiteral(", ")
                    + bearingText(first.path->bearingDegrees);
        for (const qsizetype receiver : heard) {
            const HeardReceiver r = m_data->snapshot.receiver(receiver);
            // Outside the band plan the band's name tells nothing: the frequency does.
            QString line = r.band;
            if (r.frequencies)
                line += QStringLiteral(" (") + frequencyRangeText(*r.frequencies) + u')';
            line += QStringLiteral(": ");
            if (r.bestSnr)
                line += QStringLiteral("best ") + snrText(r.bestSnr) + QStringLiteral(", ");
            lines << line + QStringLiteral("last heard ") + utcText(r.lastHeard) + QStringLiteral(" UTC");
        }
    }
    if (callsigns.size() > shownAtMost)
        lines << QStringLiteral("and %1 more").arg(callsigns.size() - shownAtMost);
    return lines.join(u'\n');
}
