#include "comparedata.h"

#include "archive/bandplan.h"
#include "reach/locator.h"
#include "tavikerror.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <tuple>
#include <unordered_map>

namespace {

// What one receiver did on one band, or on all bands.
struct Slot
{
    int operatorHeard = 0;
    int referenceHeard = 0;
    qint64 latest = std::numeric_limits<qint64>::min();
    int locator = 0;
    std::vector<double> differences;

    void heard(const StationReport &r, bool reference)
    {
        ++(reference ? referenceHeard : operatorHeard);
        if (r.flowStartSeconds >= latest) {
            latest = r.flowStartSeconds;
            locator = r.locator;
        }
    }
    HeardBy heardBy() const
    {
        if (operatorHeard > 0 && referenceHeard > 0)
            return HeardBy::Both;
        return operatorHeard > 0 ? HeardBy::OnlyOperator : HeardBy::OnlyReference;
    }
};

// Texts that differ only in letter case name one receiver, one mode; the
// first text seen names it.
std::vector<int> foldedIds(const QStringList &texts, QStringList *names = nullptr)
{
    QHash<QString, int> ids;
    std::vector<int> folded;
    folded.reserve(size_t(texts.size()));
    for (const QString &text : texts) {
        auto it = ids.constFind(text.toUpper());
        if (it == ids.constEnd()) {
            it = ids.insert(text.toUpper(), int(ids.size()));
            if (names)
                names->append(text);
        }
        folded.push_back(*it);
    }
    return folded;
}

// Whether the other station was heard within the limit of a time: its
// nearest report lies on one side or the other.
bool otherNear(const std::vector<qint64> &otherTimes, qint64 time, const PairingLimit &limit)
{
    const auto after = std::lower_bound(otherTimes.begin(), otherTimes.end(), time);
    if (after != otherTimes.end() && limit.within(*after - time))
        return true;
    return after != otherTimes.begin() && limit.within(time - *std::prev(after));
}

struct Place
{
    std::optional<GeoPosition> position;
    std::optional<GeoPath> path;
    QPointF mapPoint;
};

} // namespace

CompareData prepareComparison(std::shared_ptr<const ComparisonReports> reports, PairingWindow window,
                              const std::optional<GeoPosition> &home, const std::function<bool()> &cancelled)
{
    const auto check = [&cancelled] {
        if (cancelled && cancelled())
            throw TavikError(QStringLiteral("A newer comparison was asked for"));
    };
    const ComparisonReports &in = *reports;
    CompareData data;
    data.home = home;
    data.reports = reports;

    QStringList receiverNames;
    const std::vector<int> receiverOf = foldedIds(in.receivers, &receiverNames);
    const std::vector<int> modeOf = foldedIds(in.modes);
    std::vector<PairingLimit> limits;
    for (const QString &mode : in.modes)
        limits.emplace_back(window, mode);
    const int bandCount = int(in.bands.size());
    const int allBands = bandCount; // the slot of every band together

    std::vector<std::vector<qint64>> operatorTimes(static_cast<size_t>(bandCount)), referenceTimes(static_cast<size_t>(bandCount));
    for (const StationReport &r : in.ofOperator)
        operatorTimes[size_t(r.band)].push_back(r.flowStartSeconds);
    for (const StationReport &r : in.ofReference)
        referenceTimes[size_t(r.band)].push_back(r.flowStartSeconds);
    for (auto *times : {&operatorTimes, &referenceTimes}) {
        for (std::vector<qint64> &t : *times)
            std::sort(t.begin(), t.end());
    }

    std::unordered_map<quint64, Slot> perReceiver;
    const auto slotOf = [&perReceiver](int receiver, int band) -> Slot & {
        return perReceiver[(quint64(quint32(receiver)) << 32) | quint32(band)];
    };
    const auto note = [&](const std::vector<StationReport> &list, bool reference) {
        const auto &others = reference ? operatorTimes : referenceTimes;
        for (const StationReport &r : list) {
            if (!otherNear(others[size_t(r.band)], r.flowStartSeconds, limits[size_t(r.mode)]))
                continue;
            const int receiver = receiverOf[size_t(r.receiver)];
            slotOf(receiver, r.band).heard(r, reference);
            slotOf(receiver, allBands).heard(r, reference);
        }
    };
    note(in.ofOperator, false);
    note(in.ofReference, true);
    check();

    // Pairs, group by group of one receiver, band and mode; a report without
    // a number for its signal cannot pair.
    struct Entry
    {
        int band, receiver, mode, rawMode;
        qint64 time;
        bool reference;
        int snr, index;
        auto order() const { return std::tie(band, receiver, mode, time, reference, snr, index); }
    };
    std::vector<Entry> entries;
    entries.reserve(in.ofOperator.size() + in.ofReference.size());
    for (const bool reference : {false, true}) {
        const std::vector<StationReport> &list = reference ? in.ofReference : in.ofOperator;
        for (size_t i = 0; i < list.size(); ++i) {
            const StationReport &r = list[i];
            if (r.snr)
                entries.push_back({r.band, receiverOf[size_t(r.receiver)], modeOf[size_t(r.mode)], r.mode,
                                   r.flowStartSeconds, reference, *r.snr, int(i)});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.order() < b.order(); });
    check();
    std::vector<PairingItem> items;
    for (size_t from = 0; from < entries.size();) {
        const Entry &first = entries[from];
        size_t to = from;
        while (to < entries.size() && entries[to].band == first.band && entries[to].receiver == first.receiver
               && entries[to].mode == first.mode)
            ++to;
        items.clear();
        for (size_t k = from; k < to; ++k)
            items.push_back({entries[k].time, entries[k].reference});
        for (const auto &[o, r] : pairNearest(items, limits[size_t(first.rawMode)])) {
            const Entry &a = entries[from + size_t(o)];
            const Entry &b = entries[from + size_t(r)];
            data.pairs.push_back({a.index, b.index});
            const double difference = a.snr - b.snr;
            slotOf(a.receiver, a.band).differences.push_back(difference);
            slotOf(a.receiver, allBands).differences.push_back(difference);
        }
        from = to;
    }
    std::sort(data.pairs.begin(), data.pairs.end(), [&in](const ReportPair &a, const ReportPair &b) {
        const StationReport &x = in.ofOperator[size_t(a.operatorReport)];
        const StationReport &y = in.ofOperator[size_t(b.operatorReport)];
        return std::tie(x.flowStartSeconds, x.receiver, x.band, a.referenceReport)
            < std::tie(y.flowStartSeconds, y.receiver, y.band, b.referenceReport);
    });
    check();

    // Where each locator lies, worked out once.
    std::optional<AzimuthalProjection> projection;
    if (home)
        projection.emplace(*home);
    std::vector<std::optional<Place>> places(static_cast<size_t>(in.locators.size()));
    const auto placeOf = [&](int locator) -> const Place & {
        std::optional<Place> &place = places[size_t(locator)];
        if (!place) {
            place.emplace();
            place->position = locatorPosition(in.locators[locator]);
            if (place->position && home) {
                place->path = geodesicPath(*home, *place->position);
                place->mapPoint = projection->toMap(*place->position);
            } else if (place->position) {
                place->mapPoint = QPointF(place->position->longitude, place->position->latitude);
            }
        }
        return *place;
    };

    std::vector<std::vector<std::pair<int, const Slot *>>> byBand(size_t(bandCount) + 1);
    for (const auto &[key, slot] : perReceiver)
        byBand[size_t(key & 0xFFFFFFFFu)].emplace_back(int(key >> 32), &slot);

    const auto rowOf = [&](int band) {
        CompareRow row;
        row.band = band < bandCount ? in.bands[band] : QString();
        auto &list = byBand[size_t(band)];
        std::sort(list.begin(), list.end(),
                  [&](const auto &a, const auto &b) { return receiverNames[a.first] < receiverNames[b.first]; });
        std::vector<double> medians;
        qint64 pairs = 0;
        std::array<std::vector<double>, kSectors> sectorMedians;
        std::array<qint64, kSectors> sectorPairs{};
        std::array<std::vector<double>, kRings> ringMedians;
        std::array<qint64, kRings> ringPairs{};
        for (const auto &[receiver, slot] : list) {
            ComparedReceiver c;
            c.callsign = receiverNames[receiver];
            c.locator = in.locators[slot->locator];
            c.band = row.band;
            c.heard = slot->heardBy();
            c.pairs = int(slot->differences.size());
            c.medianDifference = medianOf(slot->differences);
            const Place &place = placeOf(slot->locator);
            c.position = place.position;
            c.path = place.path;
            c.mapPoint = place.mapPoint;
            ++(c.heard == HeardBy::Both ? row.heardBoth
                                        : c.heard == HeardBy::OnlyOperator ? row.onlyOperator : row.onlyReference);
            if (c.medianDifference) {
                medians.push_back(*c.medianDifference);
                pairs += c.pairs;
                if (c.path) {
                    const int sector = sectorOf(c.path->bearingDegrees);
                    sectorMedians[size_t(sector)].push_back(*c.medianDifference);
                    sectorPairs[size_t(sector)] += c.pairs;
                    const int ring = ringOf(c.path->distanceKm);
                    ringMedians[size_t(ring)].push_back(*c.medianDifference);
                    ringPairs[size_t(ring)] += c.pairs;
                }
            }
            data.receivers.append(std::move(c));
        }
        row.difference = summarizeDifferences(std::move(medians), pairs, true);
        for (int s = 0; s < kSectors; ++s)
            row.sectors[size_t(s)] = summarizeDifferences(std::move(sectorMedians[size_t(s)]), sectorPairs[size_t(s)], false);
        for (int r = 0; r < kRings; ++r)
            row.rings[size_t(r)] = summarizeDifferences(std::move(ringMedians[size_t(r)]), ringPairs[size_t(r)], false);
        return row;
    };

    // A report whose frequency was no number has no band: it counts in all bands only.
    std::vector<int> bandOrder;
    for (int band = 0; band < bandCount; ++band) {
        if (!byBand[size_t(band)].empty() && !in.bands[band].isEmpty())
            bandOrder.push_back(band);
    }
    std::sort(bandOrder.begin(), bandOrder.end(),
              [&in](int a, int b) { return bandPlanBefore(in.bands[a], in.bands[b]); });
    for (const int band : bandOrder) {
        data.bands.append(rowOf(band));
        check();
    }
    data.total = rowOf(allBands);
    return data;
}
