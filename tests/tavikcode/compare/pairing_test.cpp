#include "compare/pairing.h"

#include "compare/comparestats.h"

#include "../../testsupport.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace {

// The pairing as its definition reads, by plain search: of the open pairs
// within the limit the nearest, then the earliest-ending, then the tightest.
std::vector<std::pair<int, int>> pairedByDefinition(const std::vector<PairingItem> &items, const PairingLimit &limit)
{
    std::vector<char> used(items.size(), 0);
    std::vector<std::pair<int, int>> pairs;
    for (;;) {
        std::optional<std::tuple<qint64, int, int>> best;
        for (int a = 0; a < int(items.size()); ++a) {
            for (int b = a + 1; b < int(items.size()); ++b) {
                if (used[size_t(a)] || used[size_t(b)] || items[size_t(a)].reference == items[size_t(b)].reference
                    || !limit.within(items[size_t(b)].time - items[size_t(a)].time))
                    continue;
                const std::tuple<qint64, int, int> key(items[size_t(b)].time - items[size_t(a)].time, b, -a);
                if (!best || key < *best)
                    best = key;
            }
        }
        if (!best)
            return pairs;
        const int a = -std::get<2>(*best), b = std::get<1>(*best);
        used[size_t(a)] = used[size_t(b)] = 1;
        pairs.emplace_back(items[size_t(a)].reference ? b : a, items[size_t(a)].reference ? a : b);
    }
}

std::vector<PairingItem> items(std::initializer_list<std::pair<qint64, char>> list)
{
    std::vector<PairingItem> result;
    for (const auto &[time, station] : list)
        result.push_back({time, station == 'R'});
    return result;
}

} // namespace

TEST(Pairing, EachWindowAndModeHasItsLimit)
{
    struct Case { PairingWindow window; const char *mode; qint64 inside, outside; };
    const Case cases[] = {
        // The same cycle: at most half the mode's period apart.
        {PairingWindow::SameCycle, "FT8", 7, 8},       {PairingWindow::SameCycle, "ft8", -7, -8},
        {PairingWindow::SameCycle, "FT4", 3, 4},       {PairingWindow::SameCycle, "WSPR", 60, 61},
        {PairingWindow::SameCycle, "FST4W", -60, -61}, {PairingWindow::SameCycle, "JT65", 30, 31},
        {PairingWindow::SameCycle, "JT9", 30, 31},     {PairingWindow::SameCycle, "CW", 30, 31},
        {PairingWindow::TwoMinutes, "FT8", 120, 121},  {PairingWindow::TenMinutes, "WSPR", 600, 601},
        {PairingWindow::ThirtyMinutes, "FT4", -1800, -1801},
    };
    for (const Case &c : cases) {
        const PairingLimit limit(c.window, QString::fromLatin1(c.mode));
        EXPECT_TRUE(limit.within(c.inside)) << c.mode << ' ' << c.inside;
        EXPECT_FALSE(limit.within(c.outside)) << c.mode << ' ' << c.outside;
    }
    EXPECT_EQ(modeCycleSeconds(u"FT4"), 7.5);
    for (PairingWindow w : pairingWindows())
        EXPECT_EQ(pairingWindowFromKey(pairingWindowKey(w)), w);
    EXPECT_FALSE(pairingWindowFromKey("5m"_qs).has_value());
}

TEST(Pairing, TheNearestInTimePairsAndEachReportOnce)
{
    const PairingLimit twoMinutes(PairingWindow::TwoMinutes, u"FT8");
    // The operator's report at 0 goes with the reference's at 10, not 100.
    EXPECT_EQ(pairNearest(items({{0, 'O'}, {10, 'R'}, {100, 'R'}}), twoMinutes),
              (std::vector<std::pair<int, int>>{{0, 1}}));
    // The reference's at 20 is nearer the operator's at 30; the one at 0 is left over.
    EXPECT_EQ(pairNearest(items({{0, 'O'}, {20, 'R'}, {30, 'O'}}), twoMinutes),
              (std::vector<std::pair<int, int>>{{2, 1}}));
    // Equally near both: the pair that ends first.
    EXPECT_EQ(pairNearest(items({{0, 'O'}, {10, 'R'}, {20, 'O'}}), twoMinutes),
              (std::vector<std::pair<int, int>>{{0, 1}}));
    // Two at once on one side: the later in the caller's order pairs.
    EXPECT_EQ(pairNearest(items({{0, 'O'}, {0, 'O'}, {5, 'R'}}), twoMinutes),
              (std::vector<std::pair<int, int>>{{1, 2}}));
    // Neighbouring FT8 cycles are not the same cycle, even a second short of 15 s apart.
    EXPECT_TRUE(pairNearest(items({{0, 'O'}, {14, 'R'}}), PairingLimit(PairingWindow::SameCycle, u"FT8")).empty());
}

TEST(Pairing, AgreesWithTheDefinitionOnRandomGroups)
{
    // Few distinct times, so that ties abound.
    SplitMix64 random(99);
    for (int trial = 0; trial < 3000; ++trial) {
        const int n = int(random.below(12));
        std::vector<PairingItem> group;
        for (int i = 0; i < n; ++i)
            group.push_back({qint64(random.below(8)) * 5, random.below(2) == 1});
        std::stable_sort(group.begin(), group.end(), [](const PairingItem &a, const PairingItem &b) {
            return a.time < b.time;
        });
        const PairingLimit limit(trial % 2 ? PairingWindow::SameCycle : PairingWindow::TwoMinutes,
                                 trial % 3 ? u"FT8" : u"FT4");
        const auto pairs = pairNearest(group, limit);
        ASSERT_EQ(pairs, pairedByDefinition(group, limit)) << "trial " << trial;
        std::set<int> seen;
        for (const auto &[o, r] : pairs) {
            EXPECT_TRUE(seen.insert(o).second && seen.insert(r).second);
            EXPECT_FALSE(group[size_t(o)].reference);
            EXPECT_TRUE(group[size_t(r)].reference);
        }
    }
}
