#include "demoday.h"

#include "splitmix.h"

#include <GeographicLib/Geodesic.hpp>

#include <QByteArrayList>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace demo {

namespace {

using splitmix::mix;
using splitmix::Random;
using splitmix::seedOf;

// Dial frequencies in hertz, by band and mode; 0 where the mode has none.
constexpr std::array<std::array<qint64, ModeCount>, BandCount> dials { {
    { 1'840'000, 0, 1'836'600, 1'820'000 },
    { 3'573'000, 3'575'000, 3'568'600, 3'520'000 },
    { 5'357'000, 0, 0, 0 },
    { 7'074'000, 7'047'500, 7'038'600, 7'010'000 },
    { 10'136'000, 10'140'000, 10'138'700, 10'110'000 },
    { 14'074'000, 14'080'000, 14'095'600, 14'010'000 },
    { 18'100'000, 18'104'000, 18'104'600, 18'070'000 },
    { 21'074'000, 21'140'000, 21'094'600, 21'010'000 },
    { 24'915'000, 24'919'000, 24'924'600, 24'890'000 },
    { 28'074'000, 28'180'000, 28'124'600, 28'010'000 },
    { 50'313'000, 50'318'000, 50'293'000, 50'090'000 },
    { 144'174'000, 0, 144'489'000, 0 },
    { 432'174'000, 0, 0, 0 },
} };

constexpr std::array<const char *, ModeCount> modeNames { "FT8", "FT4", "WSPR", "CW" };

qint64 floorDiv(qint64 a, qint64 b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// How much of the path's ionosphere is lit, from 0 at night to 1 by day,
// with an hour or so of twilight around 6 and 18 local solar time.
double daylight(double solarHour)
{
    return 0.5 + 0.5 * std::tanh(-4 * std::cos(2 * std::numbers::pi * solarHour / 24));
}

// The share of the station's reports on each band at that daylight.
double bandShare(Band band, double day)
{
    const double night = 1 - day;
    switch (band) {
    case B160m:
        return 0.002 + 0.06 * night;
    case B80m:
        return 0.008 + 0.12 * night;
    case B60m:
        return 0.01;
    case B40m:
        return 0.22 + 0.10 * night;
    case B30m:
        return 0.05;
    case B20m:
        return 0.30 + 0.06 * day;
    case B17m:
        return 0.02 + 0.05 * day;
    case B15m:
        return 0.01 + 0.07 * day;
    case B12m:
        return 0.005 + 0.025 * day;
    case B10m:
        return 0.01 + 0.08 * day;
    case B6m:
        return 0.005 + 0.03 * day;
    case B2m:
        return 0.008;
    case B70cm:
        return 0.002;
    case BandCount:
        break;
    }
    return 0;
}

double near(double km, double scaleKm)
{
    return std::exp(-km / scaleKm);
}

// A sky-wave band: weaker inside its skip distance, open out to hiKm, fading beyond.
double wide(double km, double loKm, double hiKm)
{
    const double rise = km < loKm ? 0.25 + 0.75 * km / loKm : 1;
    const double fall = km > hiKm ? std::exp(-(km - hiKm) / 3000) : 1;
    return rise * fall;
}

// How well a receiver that far away hears the station on that band, by day
// and by night.
double reach(Band band, double km, double day)
{
    if (isVhf(band) && km > vhfRangeKm(band))
        return 0;
    const auto mixed = [day](double byDay, double byNight) { return day * byDay + (1 - day) * byNight; };
    switch (band) {
    case B160m:
        return mixed(near(km, 150), near(km, 1500) + 0.05 * near(km, 5000));
    case B80m:
        return mixed(near(km, 400), near(km, 2500) + 0.1 * near(km, 6000));
    case B60m:
        return mixed(near(km, 600), near(km, 2000));
    case B40m:
        return mixed(near(km, 1500) + 0.1, 0.3 * near(km, 1500) + wide(km, 1000, 8000));
    case B30m:
        return mixed(near(km, 3000) + 0.2, wide(km, 800, 10000));
    case B20m:
        return mixed(wide(km, 800, 12000), 0.3 * wide(km, 1500, 9000) + 0.05);
    case B17m:
        return mixed(wide(km, 1000, 14000), 0.05 * near(km, 2000));
    case B15m:
    case B12m:
        return mixed(wide(km, 1000, 15000), 0.15 * near(km, 600));
    case B10m:
        return mixed(0.8 * wide(km, 1200, 15000) + 0.3 * near(km, 400), 0.2 * near(km, 400));
    case B6m:
        return mixed(near(km, 200), 0.5 * near(km, 150));
    case B2m:
        return near(km, 120);
    case B70cm:
        return near(km, 80);
    case BandCount:
        break;
    }
    return 0;
}

// An index drawn from running sums: each index as often as its own share.
int drawn(const std::vector<double> &sums, Random &r)
{
    const double x = r.unit() * sums.back();
    return int(std::upper_bound(sums.begin(), sums.end(), x) - sums.begin());
}

int snrOf(Mode mode, double km, Random &r)
{
    // Weaker with distance, and scattered by fading and the receivers' antennas.
    const double scatter = (r.unit() + r.unit() + r.unit() - 1.5) * 7;
    const double snr = 12 - 9 * std::log10(1 + km / 50) + scatter;
    switch (mode) {
    case WSPR:
        return std::clamp(int(std::lround(snr - 5)), -31, 15);
    case CW: // a skimmer's figure is decibels above its noise
        return std::clamp(int(std::lround(snr + 18)), 1, 45);
    default:
        return std::clamp(int(std::lround(snr)), -24, 20);
    }
}

// The lowest and highest figure each mode reports.
std::pair<int, int> snrRange(Mode mode)
{
    switch (mode) {
    case WSPR:
        return { -31, 15 };
    case CW:
        return { 1, 45 };
    default:
        return { -24, 20 };
    }
}

QByteArray attr(const char *name, const QByteArray &value)
{
    return QByteArray(" ") + name + "=\"" + value + '"';
}

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

std::optional<Day> Day::forLocator(const QString &locator)
{
    const std::optional<maidenhead::Position> centre = maidenhead::centreOf(locator);
    if (!centre || locator.size() < 4)
        return std::nullopt;
    return Day(maidenhead::locatorOf(*centre, int(locator.size())), *centre);
}

Day::Day(const QByteArray &locator, const maidenhead::Position &station)
    : m_locator(locator)
    , m_station(station)
    , m_receivers(receiversAround(station))
{
    for (const Receiver &receiver : std::as_const(m_receivers))
        m_bearings.push_back(bearingTo(receiver));
    const GeographicLib::Geodesic &earth = GeographicLib::Geodesic::WGS84();
    maidenhead::Position reference;
    earth.Direct(station.latitude, station.longitude, referenceBearing, referenceKm * 1000, reference.latitude,
        reference.longitude);
    m_referenceLocator = maidenhead::locatorOf(reference, 6);

    for (int band = 0; band < BandCount; ++band) {
        for (int hour = 0; hour < 24; ++hour) {
            const double day = daylight(hour + 0.5);
            std::vector<double> &sums = m_chances[size_t(band)][size_t(hour)];
            double sum = 0;
            for (const Receiver &receiver : std::as_const(m_receivers)) {
                if (receiver.bands & (1u << band))
                    sum += receiver.activity * reach(Band(band), receiver.distanceKm, day);
                sums.push_back(sum);
            }
        }
    }
}

void Day::setExpedition(qint64 fromSeconds)
{
    // Never drawn by the day's chances, which were summed before it came.
    if (m_expeditionFrom == 0) {
        m_receivers.append(expeditionReceiver(m_station));
        m_bearings.push_back(bearingTo(m_receivers.constLast()));
    }
    m_expeditionFrom = fromSeconds;
}

double Day::bearingTo(const Receiver &receiver) const
{
    double metres = 0, azimuth = 0, back = 0;
    GeographicLib::Geodesic::WGS84().Inverse(m_station.latitude, m_station.longitude, receiver.position.latitude,
        receiver.position.longitude, metres, azimuth, back);
    return azimuth;
}

double Day::localSolarHour(qint64 utcSeconds) const
{
    const double hour = std::fmod(double(utcSeconds % 86400) / 3600 + m_station.longitude / 15, 24);
    return std::fmod(hour + 24, 24); // west of Greenwich just after midnight UTC: the evening before
}

qint64 Day::lastSequenceAt(qint64 nowSeconds) const
{
    // The slots that are over by now.
    const qint64 slotsOver = std::max<qint64>(0, floorDiv(nowSeconds - firstSeconds, slotSeconds));
    return firstSequence + slotsOver * slotSequences - 1;
}

QList<Report> Day::reportsOfSlot(const QString &callsign, qint64 slot) const
{
    const quint64 seed = seedOf(callsign);
    Random r(mix(seed ^ mix(quint64(slot))));
    const qint64 start = firstSeconds + slot * slotSeconds;
    const double solarHour = localSolarHour(start);
    const double day = daylight(solarHour);
    const int hour = std::clamp(int(solarHour), 0, 23);

    // More reports by day, when more stations are on and more bands are open.
    const double mean = 1.5 + 6.5 * day;
    const int count = std::min<int>(slotSequences, int(mean * (0.3 + 1.4 * r.unit()) + r.unit()));

    std::vector<double> bandSums;
    for (int band = 0; band < BandCount; ++band)
        bandSums.push_back((bandSums.empty() ? 0 : bandSums.back()) + bandShare(Band(band), day));
    const bool wsprCycle = start % 120 == 0; // WSPR transmits for two minutes from an even minute

    QList<Report> reports;
    QSet<int> heard; // receiver * BandCount + band: once per slot
    for (int j = 0; j < count; ++j) {
        const Band band = Band(drawn(bandSums, r));
        const std::vector<double> &chances = m_chances[size_t(band)][size_t(hour)];
        if (chances.back() <= 0)
            continue;
        int receiver = -1;
        for (int attempt = 0; attempt < 4 && receiver < 0; ++attempt) {
            const int candidate = drawn(chances, r);
            if (!heard.contains(candidate * BandCount + band))
                receiver = candidate;
        }
        if (receiver < 0)
            continue;
        heard.insert(receiver * BandCount + band);
        const Receiver &rx = m_receivers.at(receiver);

        const std::array<double, ModeCount> modeShares { 0.80, 0.15, wsprCycle ? 6.0 : 0, 0.10 };
        std::vector<double> modeSums;
        for (int mode = 0; mode < ModeCount; ++mode) {
            const bool possible = (rx.modes & (1u << mode)) && dials[size_t(band)][size_t(mode)] != 0;
            const double share = possible ? modeShares[size_t(mode)] : 0;
            modeSums.push_back((modeSums.empty() ? 0 : modeSums.back()) + share);
        }
        const Mode mode = Mode(drawn(modeSums, r));

        // The station keeps its audio offset for half an hour on each band;
        // each receiver measures it a few hertz apart.
        const quint64 offsetSeed = mix(seed ^ quint64(band * 7919) ^ quint64(start / 1800));
        qint64 offset = 0;
        qint64 flowStart = start;
        switch (mode) {
        case FT8:
            offset = 300 + qint64(offsetSeed % 2400) + r.below(5) - 2;
            break;
        case FT4:
            offset = 300 + qint64(offsetSeed % 2400) + r.below(5) - 2;
            flowStart += r.chance(0.5) ? 7 : 0; // two FT4 cycles in a slot
            break;
        case WSPR:
            offset = 1400 + qint64(offsetSeed % 200) + r.below(3) - 1;
            break;
        case CW:
            offset = qint64(offsetSeed % 20000) + r.below(100) - 50;
            flowStart += r.below(slotSeconds);
            break;
        case ModeCount:
            break;
        }
        const qint64 sequence = firstSequence + slot * slotSequences + reports.size();
        reports.append(Report { sequence, flowStart, receiver, band, mode,
            dials[size_t(band)][size_t(mode)] + offset, snrOf(mode, rx.distanceKm, r) });
    }

    // The expedition on the first slot of each minute, after the day's own reports.
    const qint64 since = start - m_expeditionFrom;
    if (m_expeditionFrom > 0 && since >= 0 && start % 60 == 0) {
        const int receiver = int(m_receivers.size() - 1);
        const double km = m_receivers.constLast().distanceKm;
        for (const Band band : { B20m, B17m }) {
            if ((band == B17m && since < 360) || reports.size() >= slotSequences)
                continue;
            const qint64 sequence = firstSequence + slot * slotSequences + reports.size();
            reports.append(Report { sequence, start, receiver, band, FT8,
                dials[size_t(band)][FT8] + 1200 + r.below(5), snrOf(FT8, km, r) });
        }
    }
    if (m_onAir && start >= m_onAir->fromSeconds())
        followOnAir(reports, callsign, slot);
    return reports;
}

void Day::followOnAir(QList<Report> &reports, const QString &callsign, qint64 slot) const
{
    const qint64 start = firstSeconds + slot * slotSeconds;
    const std::optional<Band> on = m_onAir->transmissionAt(start);
    const qint64 dial = dials[B20m][FT8] + OnAir::txOffsetHz;
    const int expedition = m_expeditionFrom > 0 ? int(m_receivers.size() - 1) : -1;
    // Of the day's reports on the two bands only the expedition's stays, and
    // only while the station transmits on 20 m.
    reports.removeIf([&](const Report &report) {
        const bool kept = on == B20m && report.band == B20m && report.receiver == expedition;
        return (report.band == B20m || report.band == B40m) && !kept;
    });
    Random r(mix(seedOf(callsign) ^ mix(quint64(slot)) ^ 0x4F6E416972ULL));
    QSet<int> heard;
    for (Report &report : reports) {
        if (report.band == B20m) {
            report.frequency = dial + r.below(5) - 2;
            heard.insert(report.receiver);
        }
    }
    const double solarHour = localSolarHour(start);
    const std::vector<double> &chances = m_chances[B20m][size_t(std::clamp(int(solarHour), 0, 23))];
    if (on == B20m && chances.back() > 0) {
        // Several receivers, more by day.
        const qint64 wanted = 3 + r.below(3 + qint64(6 * daylight(solarHour)));
        for (int attempt = 0; attempt < 40 && reports.size() < slotSequences; ++attempt) {
            const int receiver = drawn(chances, r);
            const Receiver &rx = m_receivers.at(receiver);
            if (heard.contains(receiver) || !(rx.modes & (1u << FT8)))
                continue;
            heard.insert(receiver);
            reports.append(
                Report { 0, start, receiver, B20m, FT8, dial + r.below(5) - 2, snrOf(FT8, rx.distanceKm, r) });
            if (qint64(heard.size()) >= wanted + (heard.contains(expedition) ? 1 : 0))
                break;
        }
    }
    for (qsizetype i = 0; i < reports.size(); ++i)
        reports[i].sequence = firstSequence + slot * slotSequences + i;
}

QByteArray Day::answer(const QString &callsign, const QString &lastSeqNo, qint64 nowSeconds) const
{
    return answerOf(callsign, m_locator, [&](qint64 slot) { return reportsOfSlot(callsign, slot); }, lastSeqNo,
        nowSeconds);
}

QList<Report> Day::referenceReportsOfSlot(const QString &callsign, const QString &reference, qint64 slot) const
{
    const QList<Report> theirs = reportsOfSlot(callsign, slot);
    Random r(mix(seedOf(reference) ^ mix(quint64(slot) + 1)));
    const qint64 start = firstSeconds + slot * slotSeconds;
    const int hour = std::clamp(int(localSolarHour(start)), 0, 23);
    const quint64 offsetSeed = mix(seedOf(reference) ^ quint64(start / 1800));
    // Reference minus station: weaker to the east, stronger to the west,
    // and a little apart at every receiver by fading.
    const auto lean = [&](int receiver) {
        const double east = std::sin(m_bearings[size_t(receiver)] * std::numbers::pi / 180);
        return -3.0 * east + (r.unit() + r.unit() - 1) * 2;
    };
    QList<Report> reports;
    const auto add = [&](const Report &like, int receiver, double snr) {
        const auto [lowest, highest] = snrRange(like.mode);
        if (snr < lowest - 0.5 || reports.size() >= slotSequences)
            return; // too weak to decode
        const qint64 dial = dials[size_t(like.band)][size_t(like.mode)];
        const qint64 offset = like.mode == WSPR ? 1400 + qint64(offsetSeed % 200) : 300 + qint64(offsetSeed % 2400);
        reports.append(Report { firstSequence + slot * slotSequences + reports.size(), like.flowStartSeconds,
            receiver, like.band, like.mode, dial + offset, std::clamp(int(std::lround(snr)), lowest, highest) });
    };
    QSet<int> heard;
    for (const Report &report : theirs) {
        heard.insert(report.receiver * BandCount + report.band);
        if (!r.chance(0.12))
            add(report, report.receiver, report.snr + lean(report.receiver));
    }
    // Now and then a receiver hears only the reference, in the same cycle as
    // the station's other reports.
    if (!theirs.isEmpty() && r.chance(0.3)) {
        const Report &like = theirs.at(r.below(theirs.size()));
        const std::vector<double> &chances = m_chances[size_t(like.band)][size_t(hour)];
        const int receiver = chances.back() > 0 ? drawn(chances, r) : -1;
        const Receiver *rx = receiver >= 0 ? &m_receivers.at(receiver) : nullptr;
        if (rx && !heard.contains(receiver * BandCount + like.band) && (rx->modes & (1u << like.mode)))
            add(like, receiver, snrOf(like.mode, rx->distanceKm, r) + lean(receiver));
    }
    return reports;
}

QByteArray Day::referenceAnswer(
    const QString &callsign, const QString &reference, const QString &lastSeqNo, qint64 nowSeconds) const
{
    return answerOf(reference, m_referenceLocator,
        [&](qint64 slot) { return referenceReportsOfSlot(callsign, reference, slot); }, lastSeqNo, nowSeconds);
}

QByteArray Day::answerOf(const QString &callsign, const QByteArray &senderLocator, const SlotReports &reportsOf,
    const QString &lastSeqNo, qint64 nowSeconds) const
{
    const qint64 last = lastSequenceAt(nowSeconds);
    const qint64 lastSlot = floorDiv(last - firstSequence, slotSequences);
    bool known = false;
    // Numbers beyond either end ask for everything or for nothing.
    const qint64 after = std::clamp(lastSeqNo.toLongLong(&known), firstSequence - 1, last);
    // The first slot after that sequence number, or the first that began in the window.
    qint64 fromSlot = known
        ? floorDiv(after + 1 - firstSequence, slotSequences)
        : floorDiv(nowSeconds - firstWindowSeconds - firstSeconds + slotSeconds - 1, slotSeconds);
    fromSlot = std::max({ fromSlot, lastSlot - lookbackSeconds / slotSeconds + 1, qint64(0) });

    // From the newest slot back, until the answer is full.
    QList<QList<Report>> newestFirst;
    qsizetype total = 0;
    for (qint64 slot = lastSlot; slot >= fromSlot && total < mostReports; --slot) {
        QList<Report> reports = reportsOf(slot);
        if (known)
            reports.removeIf([after](const Report &report) { return report.sequence <= after; });
        if (total + reports.size() > mostReports)
            reports.remove(0, total + reports.size() - mostReports);
        total += reports.size();
        newestFirst += reports;
    }

    const QByteArray sender = escaped(callsign);
    QByteArrayList reportLines;
    QList<int> heard;
    QHash<int, const Report *> lastHeard;
    const Report *newest = nullptr;
    for (auto slot = newestFirst.crbegin(); slot != newestFirst.crend(); ++slot) {
        for (const Report &report : *slot) {
            const Receiver &rx = m_receivers.at(report.receiver);
            reportLines += "<receptionReport" + attr("receiverCallsign", rx.callsign)
                + attr("receiverLocator", rx.locator) + attr("senderCallsign", sender)
                + attr("senderLocator", senderLocator) + attr("frequency", QByteArray::number(report.frequency))
                + attr("flowStartSeconds", QByteArray::number(report.flowStartSeconds))
                + attr("mode", modeNames[size_t(report.mode)]) + attr("isSender", "1")
                + attr("receiverDXCC", rx.dxcc) + attr("receiverDXCCCode", rx.dxccCode)
                + attr("sNR", QByteArray::number(report.snr)) + " />";
            if (!lastHeard.contains(report.receiver))
                heard += report.receiver;
            lastHeard.insert(report.receiver, &report);
            newest = &report;
        }
    }
    if (heard.isEmpty()) {
        const qint64 start = qint64(seedOf(callsign) % quint64(m_receivers.size()));
        for (qint64 i = 0; i < 5; ++i)
            heard += int((start + i) % m_receivers.size());
    }

    QByteArrayList lines;
    lines += R"(<?xml version="1.0" encoding="UTF-8"?>)";
    lines += "<receptionReports currentSeconds=\"" + QByteArray::number(nowSeconds) + "\">";
    for (const int index : std::as_const(heard)) {
        const Receiver &rx = m_receivers.at(index);
        const Report *report = lastHeard.value(index);
        lines += "<activeReceiver" + attr("callsign", rx.callsign) + attr("locator", rx.locator)
            + attr("frequency", QByteArray::number(report ? report->frequency : dials[B20m][FT8] + 1500))
            + attr("region", rx.continent) + attr("DXCC", rx.dxcc) + attr("decoderSoftware", rx.decoder)
            + attr("antennaInformation", rx.antenna) + attr("mode", modeNames[report ? report->mode : FT8])
            + " />";
    }
    lines += "<lastSequenceNumber value=\"" + QByteArray::number(last) + "\" />";
    lines += "<maxFlowStartSeconds value=\""
        + QByteArray::number(firstSeconds + (lastSlot + 1) * slotSeconds - 1) + "\" />";
    lines += reportLines;
    lines += "<activeCallsign" + attr("callsign", sender)
        + attr("reports", QByteArray::number(reportLines.size())) + attr("DXCC", "") + attr("DXCCcode", "")
        + attr("frequency", QByteArray::number(newest ? newest->frequency : dials[B20m][FT8]))
        + attr("mode", modeNames[newest ? newest->mode : FT8]) + " />";
    lines += "</receptionReports>";
    return lines.join('\n');
}

} // namespace demo
