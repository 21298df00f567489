#include "bandhourchart.h"

#include "archive/bandplan.h"

#include <algorithm>
#include <cmath>

qint64 BandHourChart::maximum() const
{
    return receivers.isEmpty() ? 0 : *std::max_element(receivers.cbegin(), receivers.cend());
}

BandHourChart BandHourChart::onlyBand(const QString &band) const
{
    if (band.isEmpty())
        return *this;
    BandHourChart one;
    one.bands = {band};
    const qsizetype row = bands.indexOf(band);
    one.receivers = row < 0 ? QList<qint64>(24, 0) : receivers.mid(row * 24, 24);
    return one;
}

BandHourChart bandHourChart(const ReachSnapshot &snapshot)
{
    // Reports without a band (their frequency was no number) count in the
    // total alone: no row without a name.
    BandHourChart chart;
    for (const BandCounts &counts : snapshot.bands) {
        if (!counts.band.isEmpty() && !chart.bands.contains(counts.band))
            chart.bands << counts.band;
    }
    for (const HourCount &cell : snapshot.hours) {
        if (!cell.band.isEmpty() && !chart.bands.contains(cell.band))
            chart.bands << cell.band;
    }
    std::stable_sort(chart.bands.begin(), chart.bands.end(),
                     [](const QString &a, const QString &b) { return bandPlanBefore(a, b); });
    chart.receivers = QList<qint64>(chart.bands.size() * 24, 0);
    for (const HourCount &cell : snapshot.hours) {
        if (cell.hour < 0 || cell.hour > 23 || cell.band.isEmpty())
            continue;
        chart.receivers[chart.bands.indexOf(cell.band) * 24 + cell.hour] += cell.receivers;
    }
    return chart;
}

double cellShade(qint64 receivers, qint64 maximum)
{
    if (receivers <= 0 || maximum <= 0)
        return 0;
    return std::sqrt(double(std::min(receivers, maximum)) / double(maximum));
}
