#include "comparestats.h"

#include <algorithm>
#include <cmath>

std::optional<double> medianOf(std::vector<double> values)
{
    if (values.empty())
        return std::nullopt;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + qsizetype(middle), values.end());
    const double upper = values[middle];
    if (values.size() % 2 != 0)
        return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + qsizetype(middle));
    return (lower + upper) / 2;
}

double quantileOfSorted(const std::vector<double> &sorted, double q)
{
    // Reckoned as numpy reckons it, to the last bit.
    const double n = double(sorted.size());
    const double position = n * q + (1 - q) - 1;
    const size_t below = size_t(std::clamp(std::floor(position), 0.0, n - 1));
    const size_t above = std::min(below + 1, sorted.size() - 1);
    const double t = position - double(below);
    const double a = sorted[below], b = sorted[above];
    return t >= 0.5 ? b - (b - a) * (1 - t) : a + (b - a) * t;
}

namespace {

// The grouped median of classes of equal values (ascending) with their
// counts: the spread of each class over the decibel around it, swept from
// below; F is the count spread below the point reached, rising by slope.
double groupedMedianOfClasses(const std::vector<double> &values, const std::vector<quint64> &counts, quint64 total)
{
    const double half = double(total) / 2;
    const double eps = 1e-9 * double(total);
    std::optional<double> low;
    double position = values.front() - 0.5, spread = 0, slope = 0;
    size_t starts = 0, ends = 0;
    while (ends < values.size()) {
        const bool isStart = starts < values.size() && values[starts] - 0.5 <= values[ends] + 0.5;
        const double next = isStart ? values[starts] - 0.5 : values[ends] + 0.5;
        const double reached = spread + slope * (next - position);
        const auto crossing = [&] {
            return slope > 0 ? std::clamp(position + (half - spread) / slope, position, next) : position;
        };
        if (!low && reached >= half - eps)
            low = crossing();
        if (reached > half + eps)
            return (*low + crossing()) / 2;
        spread = reached;
        position = next;
        slope += isStart ? double(counts[starts++]) : -double(counts[ends++]);
    }
    return (low.value_or(position) + position) / 2;
}

} // namespace

std::optional<double> groupedMedian(std::vector<double> values)
{
    if (values.empty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    std::vector<double> classValue;
    std::vector<quint64> count;
    for (const double v : values) {
        if (classValue.empty() || classValue.back() != v) {
            classValue.push_back(v);
            count.push_back(0);
        }
        ++count.back();
    }
    return groupedMedianOfClasses(classValue, count, values.size());
}

double expandedTail(qsizetype n)
{
    if (n < 2)
        return 0.025;
    const double nu = double(n - 1);
    const double z = 1.959963984540054; // the normal's 97.5% quantile
    const double z3 = z * z * z, z5 = z3 * z * z, z7 = z5 * z * z;
    const double t = z + (z3 + z) / (4 * nu) + (5 * z5 + 16 * z3 + 3 * z) / (96 * nu * nu)
        + (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / (384 * nu * nu * nu);
    return 0.5 * std::erfc(std::sqrt(double(n) / nu) * t / std::sqrt(2.0));
}

Interval bootstrapMedianInterval(std::vector<double> values, int resamples, quint64 seed)
{
    std::sort(values.begin(), values.end());
    const quint64 n = values.size();
    // Equal values are one class: a resample is its draws counted per class.
    std::vector<double> classValue;
    std::vector<int> classOf;
    classOf.reserve(n);
    for (const double v : values) {
        if (classValue.empty() || classValue.back() != v)
            classValue.push_back(v);
        classOf.push_back(int(classValue.size() - 1));
    }
    SplitMix64 generator(seed);
    std::vector<quint64> drawn(classValue.size());
    std::vector<double> medians;
    medians.reserve(size_t(resamples));
    for (int b = 0; b < resamples; ++b) {
        std::fill(drawn.begin(), drawn.end(), 0);
        for (quint64 i = 0; i < n; i += 2) {
            // Two indices from each number: its high and its low 32 bits, each
            // scaled to 0..n-1 by multiplying and keeping the high half.
            const quint64 x = generator.next();
            ++drawn[size_t(classOf[size_t(((x >> 32) * n) >> 32)])];
            if (i + 1 < n)
                ++drawn[size_t(classOf[size_t(((x & 0xFFFFFFFFu) * n) >> 32)])];
        }
        medians.push_back(groupedMedianOfClasses(classValue, drawn, n));
    }
    std::sort(medians.begin(), medians.end());
    const double tail = expandedTail(qsizetype(n));
    return {quantileOfSorted(medians, tail), quantileOfSorted(medians, 1 - tail)};
}

DifferenceSummary summarizeDifferences(std::vector<double> receiverMedians, qint64 pairs, bool withInterval)
{
    DifferenceSummary s;
    s.receivers = int(receiverMedians.size());
    s.pairs = pairs;
    s.median = groupedMedian(receiverMedians);
    if (withInterval && s.median && !s.tooFew())
        s.interval = bootstrapMedianInterval(std::move(receiverMedians));
    return s;
}

QString decibelText(double decibels)
{
    // Tenths, halves away from zero on every platform (printf rounds halves
    // to even on some and not on others).
    const long long tenths = std::llround(decibels * 10);
    const QString digits = QString::number(std::llabs(tenths) / 10) + u'.' + QString::number(std::llabs(tenths) % 10);
    return tenths > 0 ? u'+' + digits : tenths < 0 ? u'-' + digits : digits;
}

QString differenceText(const DifferenceSummary &summary)
{
    if (!summary.median)
        return {};
    if (summary.tooFew())
        return QStringLiteral("too few");
    QString text = decibelText(*summary.median) + QStringLiteral(" dB");
    if (summary.interval)
        text += QStringLiteral(" (") + decibelText(summary.interval->low) + QStringLiteral(" to ")
            + decibelText(summary.interval->high) + u')';
    return text;
}

int sectorOf(double bearingDegrees)
{
    const double turned = std::fmod(bearingDegrees + 22.5, 360.0);
    return int(std::floor((turned < 0 ? turned + 360.0 : turned) / 45.0)) % kSectors;
}

QString sectorName(int sector)
{
    static const char16_t *const names[kSectors] = {u"N", u"NE", u"E", u"SE", u"S", u"SW", u"W", u"NW"};
    return QString::fromUtf16(names[((sector % kSectors) + kSectors) % kSectors]);
}

int ringOf(double distanceKm)
{
    return distanceKm < 1000 ? 0 : distanceKm < 3000 ? 1 : distanceKm < 8000 ? 2 : 3;
}

QString ringName(int ring)
{
    static const char16_t *const names[kRings] = {u"0\u20131,000 km", u"1,000\u20133,000 km",
                                                  u"3,000\u20138,000 km", u"beyond 8,000 km"};
    return QString::fromUtf16(names[std::clamp(ring, 0, kRings - 1)]);
}
