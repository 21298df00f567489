#include "reachdata.h"

#include "locator.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

struct Placement
{
    std::optional<GeoPosition> position;
    std::optional<GeoPath> path;
    QPointF mapPoint;
};

Placement place(const QString &locator, const std::optional<GeoPosition> &home,
                const std::optional<AzimuthalProjection> &projection)
{
    Placement p;
    p.position = locatorPosition(locator);
    if (!p.position)
        return p;
    if (home) {
        p.path = geodesicPath(*home, *p.position);
        p.mapPoint = projection->toMap(*p.position);
    } else {
        p.mapPoint = QPointF(p.position->longitude, p.position->latitude);
    }
    return p;
}

// Farther wins; between equals the one heard last, then the first callsign.
bool fartherThan(const PlacedReceiver &r, const FarthestReceiver &best)
{
    if (r.path->distanceKm != best.path.distanceKm)
        return r.path->distanceKm > best.path.distanceKm;
    if (r.heard.lastHeard != best.lastHeard)
        return r.heard.lastHeard > best.lastHeard;
    return r.heard.callsign < best.callsign;
}

void consider(BandRow &row, const PlacedReceiver &r)
{
    if (!r.path)
        return;
    if (!row.farthest || fartherThan(r, *row.farthest))
        row.farthest = FarthestReceiver{r.heard.callsign, r.heard.locator, *r.path, r.heard.lastHeard};
}

} // namespace

ReachData prepareReach(const ReachSnapshot &snapshot, const std::optional<GeoPosition> &home,
                       const CancelFlag *cancel)
{
    // Looked at every few hundred rows: a month's are worked out in tens of milliseconds.
    qsizetype rows = 0;
    const auto checkCancelled = [&] {
        if (cancel && (rows++ & 255) == 0)
            cancel->check();
    };
    ReachData data;
    data.home = home;
    std::optional<AzimuthalProjection> projection;
    if (home)
        projection.emplace(*home);

    // Many receivers share a locator (one row per band): place each locator
    // once, and keep one copy of each locator and band text.
    QHash<QString, Placement> placements;
    QSet<QString> bandNames;
    data.receivers.reserve(snapshot.receivers.size());
    for (const HeardReceiver &heard : snapshot.receivers) {
        checkCancelled();
        auto it = placements.constFind(heard.locator);
        if (it == placements.constEnd())
            it = placements.insert(heard.locator, place(heard.locator, home, projection));
        auto band = bandNames.constFind(heard.band);
        if (band == bandNames.constEnd())
            band = bandNames.insert(heard.band);
        PlacedReceiver placed{heard, it->position, it->path, it->mapPoint};
        placed.heard.locator = it.key();
        placed.heard.band = *band;
        data.receivers.append(std::move(placed));
    }

    QHash<QString, qsizetype> rowOfBand;
    for (const BandCounts &counts : snapshot.bands) {
        rowOfBand.insert(counts.band, data.bands.size());
        data.bands.append({counts, std::nullopt, 0});
    }
    data.total.counts = snapshot.total;

    // "No locator" counts the receivers that are nowhere on the map: on a
    // band, those without a placed row on it; in the total, those without one
    // on any band.
    QHash<QString, QSet<QString>> placedByBand, unplacedByBand;
    QSet<QString> placed, unplaced;
    for (const PlacedReceiver &r : std::as_const(data.receivers)) {
        checkCancelled();
        const auto row = rowOfBand.constFind(r.heard.band);
        // Heard without a band (its frequency was no number): in the total's
        // counts alone, no dot on the map, never the farthest.
        if (r.position && r.heard.band.isEmpty())
            continue;
        if (!r.position) {
            unplaced.insert(r.heard.callsign);
            if (row != rowOfBand.constEnd())
                unplacedByBand[r.heard.band].insert(r.heard.callsign);
            continue;
        }
        placed.insert(r.heard.callsign);
        if (row != rowOfBand.constEnd())
            placedByBand[r.heard.band].insert(r.heard.callsign);
        consider(data.total, r);
        if (row != rowOfBand.constEnd())
            consider(data.bands[*row], r);
    }
    const auto nowhere = [](const QSet<QString> &without, const QSet<QString> &with) {
        return std::count_if(without.cbegin(), without.cend(), [&](const QString &c) { return !with.contains(c); });
    };
    for (BandRow &row : data.bands) {
        row.withoutLocator
            = nowhere(unplacedByBand.value(row.counts.band), placedByBand.value(row.counts.band));
    }
    data.total.withoutLocator = nowhere(unplaced, placed);

    data.chart = bandHourChart(snapshot);
    return data;
}
