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

Interval bootstrapMedianInterval(std::vector<double> values, int resamples, quint64 seed)
{
    std::sort(values.begin(), values.end());
    const quint64 n = values.size();
    // With the values sorted, a resample's median is the value at the middle
    // rank of its drawn indices. Equal values (decibels come in halves and
    // quarters) are one class: counting the draws per class finds it.
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
    const quint64 lowerRank = (n - 1) / 2, upperRank = n / 2;
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
        double lower = 0, upper = 0;
        quint64 seen = 0;
        for (size_t c = 0; c < drawn.size(); ++c) {
            const quint64 before = seen;
            seen += drawn[c];
            if (before <= lowerRank && lowerRank < seen)
                lower = classValue[c];
            if (before <= upperRank && upperRank < seen) {
                upper = classValue[c];
                break;
            }
        }
        medians.push_back((lower + upper) / 2);
    }
    std::sort(medians.begin(), medians.end());
    return {quantileOfSorted(medians, 0.025), quantileOfSorted(medians, 0.975)};
}

DifferenceSummary summarizeDifferences(std::vector<double> receiverMedians, qint64 pairs, bool withInterval)
{
    DifferenceSummary s;
    s.receivers = int(receiverMedians.size());
    s.pairs = pairs;
    s.median = medianOf(receiverMedians);
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
