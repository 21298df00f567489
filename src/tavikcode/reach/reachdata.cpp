#include "reachdata.h"

#include "geo/locator.h"

#include <algorithm>
#include <vector>

namespace {

ReachPlace place(QStringView locator, const std::optional<GeoPosition> &home,
                 const std::optional<AzimuthalProjection> &projection)
{
    ReachPlace p;
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
bool fartherThan(const GeoPath &path, qint64 lastHeard, QStringView callsign, const FarthestReceiver &best)
{
    if (path.distanceKm != best.path.distanceKm)
        return path.distanceKm > best.path.distanceKm;
    if (lastHeard != best.lastHeard)
        return lastHeard > best.lastHeard;
    return callsign < best.callsign;
}

void consider(BandRow &row, const ReachSnapshot &snapshot, const HeardRow &r, const ReachPlace &place)
{
    if (!place.path)
        return;
    const QStringView callsign = snapshot.texts.at(r.callsign);
    if (!row.farthest || fartherThan(*place.path, r.lastHeard, callsign, *row.farthest))
        row.farthest = FarthestReceiver{callsign.toString(), snapshot.texts.at(r.locator).toString(), *place.path,
                                        r.lastHeard};
}

// Whether a receiver was heard on a band (or any) with and without a locator.
enum HeardWith : quint8 { Placed = 1, Unplaced = 2 };

qint64 nowhereOnTheMap(const std::vector<quint8> &heard)
{
    return std::count(heard.begin(), heard.end(), quint8(Unplaced));
}

} // namespace

PlacedReceiver ReachData::receiver(qsizetype receiver) const
{
    const ReachPlace &p = place(receiver);
    return {snapshot.receiver(receiver), p.position, p.path, p.mapPoint};
}

QList<PlacedReceiver> ReachData::receivers() const
{
    QList<PlacedReceiver> list;
    list.reserve(receiverCount());
    for (qsizetype i = 0; i < receiverCount(); ++i)
        list.append(receiver(i));
    return list;
}

ReachData prepareReach(ReachSnapshot snapshot, const std::optional<GeoPosition> &home, const CancelFlag *cancel)
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

    // Many receivers share a locator (one row per band): each is placed once.
    data.placeOfText = QList<qint32>(snapshot.texts.size(), -1);
    for (const HeardRow &r : std::as_const(snapshot.rows)) {
        checkCancelled();
        if (qint32 &at = data.placeOfText[r.locator]; at < 0) {
            at = qint32(data.places.size());
            data.places.append(place(snapshot.texts.at(r.locator), home, projection));
        }
    }

    for (const BandCounts &counts : std::as_const(snapshot.bands))
        data.bands.append({counts, std::nullopt, 0});
    data.total.counts = snapshot.total;
    // The table's row of a row's band text, looked up once per text; -1: none (no band).
    std::vector<qsizetype> rowOfText(size_t(snapshot.texts.size()), -2);
    const auto bandRow = [&](qint32 text) {
        qsizetype &row = rowOfText[size_t(text)];
        if (row == -2) {
            const QStringView band = snapshot.texts.at(text);
            const auto same = [&](const BandRow &b) { return b.counts.band == band; };
            row = std::find_if(data.bands.cbegin(), data.bands.cend(), same) - data.bands.cbegin();
            if (row == data.bands.size())
                row = -1;
        }
        return row;
    };

    // "No locator" counts the receivers that are nowhere on the map: on a
    // band, those without a placed row on it; in the total, those without one
    // on any band. By callsign text, for each band row and for all.
    std::vector<std::vector<quint8>> heardOnBand(size_t(data.bands.size()));
    std::vector<quint8> heardAtAll(size_t(snapshot.texts.size()));
    for (const HeardRow &r : std::as_const(snapshot.rows)) {
        checkCancelled();
        const ReachPlace &p = data.places.at(data.placeOfText.at(r.locator));
        const bool noBand = snapshot.texts.at(r.band).isEmpty();
        // Heard without a band (its frequency was no number): in the total's
        // counts alone, no dot on the map, never the farthest.
        if (p.position && noBand)
            continue;
        const quint8 heard = p.position ? Placed : Unplaced;
        heardAtAll[size_t(r.callsign)] |= heard;
        const qsizetype row = bandRow(r.band);
        if (row >= 0) {
            std::vector<quint8> &onBand = heardOnBand[size_t(row)];
            if (onBand.empty())
                onBand.resize(size_t(snapshot.texts.size()));
            onBand[size_t(r.callsign)] |= heard;
        }
        if (!p.position)
            continue;
        consider(data.total, snapshot, r, p);
        if (row >= 0)
            consider(data.bands[row], snapshot, r, p);
    }
    for (qsizetype row = 0; row < data.bands.size(); ++row)
        data.bands[row].withoutLocator = nowhereOnTheMap(heardOnBand[size_t(row)]);
    data.total.withoutLocator = nowhereOnTheMap(heardAtAll);

    data.chart = bandHourChart(snapshot);
    data.snapshot = std::move(snapshot);
    return data;
}
