#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

// The figures of a comparison: medians, a bootstrap interval over receivers,
// and the sectors and rings of direction and distance. Reported SNRs come in
// whole decibels, are skewed and flatten near the decoders' limits, so the
// figures are medians, each receiver weighed once. A plain median of whole
// decibels sticks to the grid and a bootstrap of it claims a certainty it
// has not ("+3.0 dB (+3.0 to +3.0)"), so the medians are those of grouped
// data, interpolated within the decibel each value stands for.

// SplitMix64: a small generator that gives the same numbers on every
// platform and standard library (tools/compare/statistics.py has its twin).
class SplitMix64
{
public:
    explicit SplitMix64(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number from 0 to n - 1: the next number modulo n (its bias, below
    // n / 2^64, does not matter here).
    qsizetype below(qsizetype n) { return qsizetype(next() % quint64(n)); }

private:
    quint64 m_state;
};

inline constexpr int kBootstrapResamples = 2000;
inline constexpr quint64 kBootstrapSeed = 0x5441564B434D5052ULL; // "TAVKCMPR"

// The middle value, or the mean of the two middle values; none when empty.
std::optional<double> medianOf(std::vector<double> values);

// The median of the values as grouped data: each value stands for an even
// spread over the decibel around it (value - 0.5 to value + 0.5), and the
// median is where that spread reaches half the count, in the middle of the
// stretch where it stays at half (so {0, 3} gives 1.5). For whole values
// this is the interpolated median of grouped data, L + (n/2 - cf) / f. None
// when empty.
std::optional<double> groupedMedian(std::vector<double> values);

// The q-quantile of sorted values, interpolated linearly between the two
// nearest ranks (position (n - 1) q), as numpy's percentile does by default.
double quantileOfSorted(const std::vector<double> &sorted, double q);

struct Interval
{
    double low = 0;
    double high = 0;
};

// The share of the resamples left out below (and above) the 95% interval for
// n values: the expanded percentile interval, 2.5% widened for small counts
// as Student's t widens the normal one: Phi(-sqrt(n / (n - 1)) t(0.975, n - 1)),
// t by its Cornish-Fisher expansion (0.86% for 10 values, 2.31% for 100).
double expandedTail(qsizetype n);

// The 95% interval of the grouped median of the values by the bootstrap
// over them: the values sorted ascending; each resample draws as many
// indices into them as there are values (fewer than 2^32), from one
// SplitMix64 seeded with seed, two from each number: its high 32 bits h,
// then its low 32 bits l, giving (h * n) >> 32 and (l * n) >> 32 (the last
// number of an odd count gives its high index only); the interval's ends are
// the expandedTail(n) and 1 - expandedTail(n) quantiles of the resamples'
// grouped medians. Values must not be empty.
Interval bootstrapMedianInterval(std::vector<double> values, int resamples = kBootstrapResamples,
                                 quint64 seed = kBootstrapSeed);

// What the receivers of one slice (a band, all bands, a sector, a ring) say
// about the difference operator minus reference, in dB.
struct DifferenceSummary
{
    int receivers = 0;               // receivers with at least one pair
    qint64 pairs = 0;
    std::optional<double> median;    // grouped, over receivers of each receiver's grouped median pair difference
    std::optional<Interval> interval;

    // Below 10 receivers or 30 pairs, a number says too little.
    bool tooFew() const { return receivers < 10 || pairs < 30; }
};

// The summary (grouped median) of the receivers' own medians; the interval only when asked
// for and not too few.
DifferenceSummary summarizeDifferences(std::vector<double> receiverMedians, qint64 pairs, bool withInterval);

// "+3.5 dB (+2.0 to +5.0)", "+3.5 dB" without an interval, "too few" (and
// empty without any pair). Decibels are rounded to tenths, halves away from
// zero.
QString differenceText(const DifferenceSummary &summary);
// "+3.5", "-2.0", "0.0".
QString decibelText(double decibels);

// Eight sectors of 45 degrees of bearing, each centred on its compass point:
// 0 is north (337.5 up to 22.5), 1 north-east, and so on clockwise.
inline constexpr int kSectors = 8;
int sectorOf(double bearingDegrees);
QString sectorName(int sector); // "N", "NE", ...

// Rings of distance: 0 to 1,000 km, 1,000 to 3,000, 3,000 to 8,000 and
// beyond 8,000 (each including its lower edge).
inline constexpr int kRings = 4;
int ringOf(double distanceKm);
QString ringName(int ring); // "0–1,000 km"
