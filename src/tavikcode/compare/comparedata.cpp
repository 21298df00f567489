#include "comparedata.h"

#include "archive/bandplan.h"
#include "geo/locator.h"
#include "base/tavikerror.h"

#include <QHash>

#include <QtMath>

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>
#include <tuple>

namespace {

// What one receiver did on one band, or on all bands.
struct Slot
{
    int operatorHeard = 0;
    int referenceHeard = 0;
    qint64 latest = std::numeric_limits<qint64>::min();
    int locator = 0;
    std::vector<double> differences;

    void heard(qint64 time, int atLocator, bool reference)
    {
        ++(reference ? referenceHeard : operatorHeard);
        if (time >= latest) {
            latest = time;
            locator = atLocator;
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

// The positions of a station's reports by time: none when they are in
// time order already (as the archive gives them).
std::vector<int> timeOrder(const std::vector<StationReport> &list)
{
    const auto earlier = [](const StationReport &a, const StationReport &b) {
        return a.flowStartSeconds < b.flowStartSeconds;
    };
    if (std::is_sorted(list.begin(), list.end(), earlier))
        return {};
    std::vector<int> order(list.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return earlier(list[size_t(a)], list[size_t(b)]); });
    return order;
}

struct Place
{
    std::optional<GeoPosition> position;
    std::optional<GeoPath> path;
    QPointF mapPoint;
};

// The figures of one row, gathered receiver by receiver.
class RowBuilder
{
public:
    explicit RowBuilder(QString band) { m_row.band = std::move(band); }

    void add(const ComparedReceiver &c, const std::optional<GeoPath> &path)
    {
        ++(c.heard == HeardBy::Both ? m_row.heardBoth
                                    : c.heard == HeardBy::OnlyOperator ? m_row.onlyOperator : m_row.onlyReference);
        const std::optional<float> median = c.medianDifference();
        if (!median)
            return;
        m_medians.push_back(*median);
        m_pairs += c.pairs;
        if (!path)
            return;
        const size_t sector = size_t(sectorOf(path->bearingDegrees));
        m_sectorMedians[sector].push_back(*median);
        m_sectorPairs[sector] += c.pairs;
        const size_t ring = size_t(ringOf(path->distanceKm));
        m_ringMedians[ring].push_back(*median);
        m_ringPairs[ring] += c.pairs;
    }

    const QString &band() const { return m_row.band; }
    // The receivers' medians, for the interval (after finish()).
    std::vector<double> medians() { return std::move(m_medians); }

    CompareRow finish()
    {
        m_row.difference = summarizeDifferences(m_medians, m_pairs, false);
        for (size_t s = 0; s < size_t(kSectors); ++s)
            m_row.sectors[s] = summarizeDifferences(std::move(m_sectorMedians[s]), m_sectorPairs[s], false);
        for (size_t r = 0; r < size_t(kRings); ++r)
            m_row.rings[r] = summarizeDifferences(std::move(m_ringMedians[r]), m_ringPairs[r], false);
        return std::move(m_row);
    }

private:
    CompareRow m_row;
    std::vector<double> m_medians;
    qint64 m_pairs = 0;
    std::array<std::vector<double>, kSectors> m_sectorMedians;
    std::array<qint64, kSectors> m_sectorPairs{};
    std::array<std::vector<double>, kRings> m_ringMedians;
    std::array<qint64, kRings> m_ringPairs{};
};

// Each id's place when the texts are sorted by compare.
template<class Before>
std::vector<int> ranksOf(int count, Before before)
{
    std::vector<int> order(size_t(count), 0);
    for (int i = 0; i < count; ++i)
        order[size_t(i)] = i;
    std::sort(order.begin(), order.end(), before);
    std::vector<int> rank(size_t(count), 0);
    for (int i = 0; i < count; ++i)
        rank[size_t(order[size_t(i)])] = i;
    return rank;
}

} // namespace

CompareData prepareComparison(std::shared_ptr<const ComparisonReports> reports, PairingWindow window,
                              const std::optional<GeoPosition> &home, KeepPairs keep,
                              const CancelFlag *cancel)
{
    const auto check = [cancel] {
        if (cancel)
            cancel->check();
    };
    const ComparisonReports &in = *reports;
    CompareData data;
    data.home = home;
    data.locators = in.locators;
    data.bandNames = in.bands;

    // Receivers by callsign and bands in band order: numbered so, the sort
    // below leaves every list in the order it is shown.
    QStringList names;
    const std::vector<int> folded = foldedIds(in.receivers, &names);
    const std::vector<int> nameRank = ranksOf(int(names.size()), [&](int a, int b) { return names[a] < names[b]; });
    std::vector<int> receiverOf(folded.size());
    QStringList &receiverNames = data.callsigns;
    receiverNames.resize(names.size());
    for (size_t i = 0; i < folded.size(); ++i) {
        receiverOf[i] = nameRank[size_t(folded[i])];
        receiverNames[receiverOf[i]] = names[folded[i]];
    }
    const int bandCount = int(in.bands.size());
    const std::vector<int> bandRank =
        ranksOf(bandCount, [&in](int a, int b) { return bandPlanBefore(in.bands[a], in.bands[b]); });
    std::vector<int> bandOfRank(size_t(bandCount), 0);
    for (int b = 0; b < bandCount; ++b)
        bandOfRank[size_t(bandRank[size_t(b)])] = b;
    const std::vector<int> modeOf = foldedIds(in.modes);
    // Each mode's limit, by its folded number.
    std::vector<PairingLimit> limits;
    for (qsizetype m = 0; m < in.modes.size(); ++m) {
        if (size_t(modeOf[size_t(m)]) == limits.size())
            limits.emplace_back(window, in.modes[m]);
    }

    // Which reports were heard while the other station was on the air (on
    // the band, in the mode): both stations' reports walked in time order,
    // forward and back, each against the other station's last one seen on
    // its band and mode. A bit a report, nothing a time.
    const int modeCount = modeOf.empty() ? 0 : *std::max_element(modeOf.begin(), modeOf.end()) + 1;
    const auto onAir = [modeCount, &modeOf](const StationReport &r) {
        return size_t(r.band * modeCount + modeOf[size_t(r.mode)]);
    };
    const std::vector<StationReport> *lists[2] = {&in.ofOperator, &in.ofReference};
    const std::vector<int> orders[2] = {timeOrder(in.ofOperator), timeOrder(in.ofReference)};
    std::vector<bool> counts[2] = {std::vector<bool>(in.ofOperator.size()), std::vector<bool>(in.ofReference.size())};
    const auto at = [&](int station, size_t k) -> size_t {
        return orders[station].empty() ? k : size_t(orders[station][k]);
    };
    for (const bool forward : {true, false}) {
        constexpr qint64 kNever = std::numeric_limits<qint64>::min();
        std::vector<qint64> last[2];
        for (std::vector<qint64> &l : last)
            l.assign(size_t(bandCount) * size_t(modeCount), kNever);
        const size_t sizes[2] = {lists[0]->size(), lists[1]->size()};
        size_t done[2] = {0, 0};
        while (done[0] < sizes[0] || done[1] < sizes[1]) {
            // The next report in time (backward: from the last), of either station.
            const auto position = [&](int station) {
                return at(station, forward ? done[station] : sizes[station] - 1 - done[station]);
            };
            int station = done[0] < sizes[0] ? 0 : 1;
            if (station == 0 && done[1] < sizes[1]) {
                const qint64 a = (*lists[0])[position(0)].flowStartSeconds;
                const qint64 b = (*lists[1])[position(1)].flowStartSeconds;
                // In one second the operator's go first forward and last
                // backward: each station then meets the other's of that second.
                station = (forward ? b < a : b >= a) ? 1 : 0;
            }
            const size_t i = position(station);
            const StationReport &r = (*lists[station])[i];
            const size_t key = onAir(r);
            const qint64 other = last[1 - station][key];
            if (other != kNever && limits[size_t(modeOf[size_t(r.mode)])].within(r.flowStartSeconds - other))
                counts[station][i] = true;
            last[station][key] = r.flowStartSeconds;
            ++done[station];
        }
    }

    // The reports that count, in groups of one band, receiver and mode. In
    // one second the n-th report of the operator (in the order given) goes
    // with the n-th of the reference: rank, then station, orders them; their
    // signals play no part.
    constexpr int kNoSnr = std::numeric_limits<int>::min();
    struct Entry // 32 bytes: a month of two busy stations is 300,000 of them
    {
        qint16 band, mode;
        int receiver;
        qint64 time;
        int snr, index, locator;
        qint16 rank; // among the station's reports of the group in that second
        bool reference;
        auto order() const { return std::tie(band, receiver, mode, time, rank, reference, index); }
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(std::count(counts[0].begin(), counts[0].end(), true)
                           + std::count(counts[1].begin(), counts[1].end(), true)));
    for (const bool reference : {false, true}) {
        const std::vector<StationReport> &list = reference ? in.ofReference : in.ofOperator;
        for (size_t i = 0; i < list.size(); ++i) {
            const StationReport &r = list[i];
            if (counts[reference ? 1 : 0][i])
                entries.push_back({qint16(bandRank[size_t(r.band)]), qint16(modeOf[size_t(r.mode)]),
                                   receiverOf[size_t(r.receiver)], r.flowStartSeconds, r.snr.value_or(kNoSnr), int(i),
                                   r.locator, 0, reference});
        }
    }
    // Without an export the reports are done with: given back now when the
    // caller handed them over.
    const QStringList bandTexts = in.bands;
    const QStringList locatorTexts = in.locators;
    if (keep == KeepPairs::No)
        reports.reset();
    const auto sameSecond = [](const Entry &a, const Entry &b) {
        return std::tie(a.band, a.receiver, a.mode, a.time, a.reference)
            == std::tie(b.band, b.receiver, b.mode, b.time, b.reference);
    };
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return std::tie(a.band, a.receiver, a.mode, a.time, a.reference, a.index)
            < std::tie(b.band, b.receiver, b.mode, b.time, b.reference, b.index);
    });
    bool ranked = false;
    for (size_t i = 1; i < entries.size(); ++i) {
        if (sameSecond(entries[i], entries[i - 1])) {
            entries[i].rank = qint16(entries[i - 1].rank + 1);
            ranked = true;
        }
    }
    if (ranked)
        std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.order() < b.order(); });
    check();

    // Where each locator lies, worked out once.
    std::vector<std::optional<Place>> places(static_cast<size_t>(locatorTexts.size()));
    const auto placeOf = [&](int locator) -> const Place & {
        std::optional<Place> &place = places[size_t(locator)];
        if (!place) {
            place.emplace();
            place->position = locatorPosition(locatorTexts[locator]);
            if (place->position && home) {
                // On the azimuthal equidistant map a place lies at its
                // distance in the direction of its bearing.
                place->path = geodesicPath(*home, *place->position);
                const double bearing = qDegreesToRadians(place->path->bearingDegrees);
                place->mapPoint = QPointF(place->path->distanceKm * std::sin(bearing),
                                          place->path->distanceKm * std::cos(bearing));
            } else if (place->position) {
                place->mapPoint = QPointF(place->position->longitude, place->position->latitude);
            }
        }
        return *place;
    };
    const auto compared = [&](int receiver, int band, const Slot &slot) {
        ComparedReceiver c;
        c.callsign = receiver;
        c.locator = slot.locator;
        c.band = qint16(band);
        c.heard = slot.heardBy();
        c.pairs = int(slot.differences.size());
        if (const std::optional<double> median = groupedMedian(slot.differences))
            c.median = float(*median);
        return c;
    };

    // One pass: each receiver on each band heard, paired and placed, band by
    // band; all bands together gathered per receiver on the way.
    // Held for as long as the window shows them: made to measure.
    size_t groups = 0;
    std::vector<char> heard(static_cast<size_t>(receiverNames.size()), 0);
    for (size_t i = 0; i < entries.size(); ++i) {
        groups += i == 0 || entries[i].band != entries[i - 1].band || entries[i].receiver != entries[i - 1].receiver;
        heard[size_t(entries[i].receiver)] = 1;
    }
    data.receivers.reserve(groups + size_t(std::count(heard.begin(), heard.end(), 1)));
    std::vector<Slot> allBands(static_cast<size_t>(receiverNames.size()));
    std::vector<PairingItem> items;
    std::vector<int> itemEntries;
    std::optional<RowBuilder> row;
    // The rows' intervals are worked out last, the costliest part.
    std::vector<std::vector<double>> intervalsOf; // the receivers' medians of each row, the total's last
    const auto finish = [&](RowBuilder &builder) {
        data.bands.append(builder.finish());
        intervalsOf.push_back(builder.medians());
    };
    for (size_t from = 0; from < entries.size();) {
        const int band = entries[from].band, receiver = entries[from].receiver;
        const QString &bandName = bandTexts[bandOfRank[size_t(band)]];
        if (!row || row->band() != bandName) {
            if (row && !row->band().isEmpty())
                finish(*row);
            row.emplace(bandName);
            check();
        }
        Slot slot;
        size_t to = from;
        for (; to < entries.size() && entries[to].band == band && entries[to].receiver == receiver; ++to) {
            const Entry &e = entries[to];
            slot.heard(e.time, e.locator, e.reference);
            allBands[size_t(receiver)].heard(e.time, e.locator, e.reference);
        }
        for (size_t m = from; m < to;) {
            // A report without a number for its signal cannot pair.
            items.clear();
            itemEntries.clear();
            size_t end = m;
            for (; end < to && entries[end].mode == entries[m].mode; ++end) {
                if (entries[end].snr != kNoSnr) {
                    items.push_back({entries[end].time, entries[end].reference});
                    itemEntries.push_back(int(end));
                }
            }
            for (const auto &[o, r] : pairNearest(items, limits[size_t(entries[m].mode)])) {
                const Entry &a = entries[size_t(itemEntries[size_t(o)])];
                const Entry &b = entries[size_t(itemEntries[size_t(r)])];
                if (keep != KeepPairs::No)
                    data.pairs.push_back({a.index, b.index});
                slot.differences.push_back(a.snr - b.snr);
                allBands[size_t(receiver)].differences.push_back(a.snr - b.snr);
            }
            m = end;
        }
        if (!bandName.isEmpty()) {
            data.receivers.push_back(compared(receiver, bandOfRank[size_t(band)], slot));
            row->add(data.receivers.back(), placeOf(slot.locator).path);
        }
        from = to;
    }
    // A report whose frequency was no number has no band: it counts in all bands only.
    if (row && !row->band().isEmpty())
        finish(*row);
    check();

    RowBuilder total{QString()};
    for (size_t receiver = 0; receiver < allBands.size(); ++receiver) {
        if (allBands[receiver].operatorHeard + allBands[receiver].referenceHeard == 0)
            continue;
        data.receivers.push_back(compared(int(receiver), -1, allBands[receiver]));
        total.add(data.receivers.back(), placeOf(allBands[receiver].locator).path);
    }
    data.total = total.finish();
    intervalsOf.push_back(total.medians());
    check();

    // Only the texts of the receivers shown stay.
    // Returns the ids the kept texts had.
    const auto keepUsed = [&data](QStringList &texts, qint32 ComparedReceiver::*id) {
        std::vector<int> kept(static_cast<size_t>(texts.size()), -1);
        std::vector<int> was;
        QStringList used;
        for (ComparedReceiver &r : data.receivers) {
            int &now = kept[size_t(r.*id)];
            if (now < 0) {
                now = int(used.size());
                used << texts[r.*id];
                was.push_back(r.*id);
            }
            r.*id = now;
        }
        texts = used;
        return was;
    };
    keepUsed(data.callsigns, &ComparedReceiver::callsign);
    const std::vector<int> locatorWas = keepUsed(data.locators, &ComparedReceiver::locator);
    data.places.reserve(locatorWas.size());
    for (const int locator : locatorWas) {
        const Place &place = placeOf(locator);
        ComparedPlace &p = data.places.emplace_back();
        p.placed = place.position.has_value();
        p.hasPath = place.path.has_value();
        if (place.path) {
            p.distanceKm = float(place.path->distanceKm);
            p.bearingDegrees = float(place.path->bearingDegrees);
        }
        p.mapX = float(place.mapPoint.x());
        p.mapY = float(place.mapPoint.y());
    }
    places = {};

    // On two threads, each taking the next row that needs one.
    std::atomic<size_t> next = keep == KeepPairs::ForExport ? intervalsOf.size() : 0;
    const auto work = [&] {
        for (size_t i = next++; i < intervalsOf.size(); i = next++) {
            DifferenceSummary &d = i + 1 < intervalsOf.size() ? data.bands[qsizetype(i)].difference : data.total.difference;
            if (d.median && !d.tooFew() && !(cancel && cancel->isSet()))
                d.interval = bootstrapMedianInterval(std::move(intervalsOf[i]));
        }
    };
    std::thread helper;
    if (next < intervalsOf.size())
        helper = std::thread(work);
    work();
    if (helper.joinable())
        helper.join();
    check();

    if (keep != KeepPairs::No)
        data.reports = reports;
    std::sort(data.pairs.begin(), data.pairs.end(), [&reports](const ReportPair &a, const ReportPair &b) {
        const StationReport &x = reports->ofOperator[size_t(a.operatorReport)];
        const StationReport &y = reports->ofOperator[size_t(b.operatorReport)];
        return std::tie(x.flowStartSeconds, x.receiver, x.band, a.referenceReport)
            < std::tie(y.flowStartSeconds, y.receiver, y.band, b.referenceReport);
    });
    return data;
}
