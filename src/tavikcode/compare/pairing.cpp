#include "pairing.h"

#include <functional>
#include <queue>
#include <tuple>

namespace {

struct WindowInfo
{
    PairingWindow window;
    const char16_t *key;
    const char16_t *label;
    int minutes; // 0: the mode's cycle
};

constexpr WindowInfo kWindows[] = {
    {PairingWindow::SameCycle, u"cycle", u"Same cycle", 0},
    {PairingWindow::TwoMinutes, u"2m", u"2 minutes", 2},
    {PairingWindow::TenMinutes, u"10m", u"10 minutes", 10},
    {PairingWindow::ThirtyMinutes, u"30m", u"30 minutes", 30},
};

const WindowInfo &info(PairingWindow window)
{
    for (const WindowInfo &w : kWindows) {
        if (w.window == window)
            return w;
    }
    return kWindows[0];
}

} // namespace

QList<PairingWindow> pairingWindows()
{
    QList<PairingWindow> windows;
    for (const WindowInfo &w : kWindows)
        windows << w.window;
    return windows;
}

QString pairingWindowLabel(PairingWindow window)
{
    return QString::fromUtf16(info(window).label);
}

QString pairingWindowKey(PairingWindow window)
{
    return QString::fromUtf16(info(window).key);
}

std::optional<PairingWindow> pairingWindowFromKey(const QString &key)
{
    for (const WindowInfo &w : kWindows) {
        if (key == QStringView(w.key))
            return w.window;
    }
    return std::nullopt;
}

double modeCycleSeconds(QStringView mode)
{
    static const std::pair<const char16_t *, double> cycles[] = {
        {u"FT8", 15}, {u"FT4", 7.5}, {u"WSPR", 120}, {u"FST4W", 120}, {u"JT65", 60}, {u"JT9", 60},
    };
    for (const auto &[name, seconds] : cycles) {
        if (mode.compare(QStringView(name), Qt::CaseInsensitive) == 0)
            return seconds;
    }
    return 60;
}

qint64 pairingReachSeconds(PairingWindow window)
{
    const int minutes = info(window).minutes;
    return minutes > 0 ? qint64(minutes) * 60 : 60; // half of WSPR's two minutes, the longest cycle
}

PairingLimit::PairingLimit(PairingWindow window, QStringView mode)
{
    const int minutes = info(window).minutes;
    m_seconds = minutes > 0 ? minutes * 60.0 : modeCycleSeconds(mode) / 2;
}

bool PairingLimit::within(qint64 secondsApart) const
{
    return double(secondsApart < 0 ? -secondsApart : secondsApart) <= m_seconds;
}

std::vector<std::pair<int, int>> pairNearest(const std::vector<PairingItem> &items, const PairingLimit &limit)
{
    // The nearest open pair is always one of neighbours among the reports not
    // yet paired (anything between two reports is at least as near to one of
    // them), and the tie rule picks a neighbouring pair too. So only
    // neighbours wait in the queue, and pairing two joins their neighbours.
    const int n = int(items.size());
    std::vector<int> previous(static_cast<size_t>(n)), next(static_cast<size_t>(n));
    std::vector<char> paired(size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        previous[size_t(i)] = i - 1;
        next[size_t(i)] = i + 1;
    }
    using Candidate = std::tuple<qint64, int, int>; // time apart, later position, earlier position
    std::priority_queue<Candidate, std::vector<Candidate>, std::greater<>> open;
    const auto consider = [&](int earlier, int later) {
        if (earlier < 0 || later >= n)
            return;
        const PairingItem &a = items[size_t(earlier)];
        const PairingItem &b = items[size_t(later)];
        if (a.reference != b.reference && limit.within(b.time - a.time))
            open.emplace(b.time - a.time, later, earlier);
    };
    for (int i = 0; i + 1 < n; ++i)
        consider(i, i + 1);

    std::vector<std::pair<int, int>> pairs;
    while (!open.empty()) {
        const auto [apart, later, earlier] = open.top();
        open.pop();
        // Neighbours that are both still open are still neighbours.
        if (paired[size_t(earlier)] || paired[size_t(later)])
            continue;
        paired[size_t(earlier)] = paired[size_t(later)] = 1;
        pairs.emplace_back(items[size_t(earlier)].reference ? later : earlier,
                           items[size_t(earlier)].reference ? earlier : later);
        const int before = previous[size_t(earlier)];
        const int after = next[size_t(later)];
        if (before >= 0)
            next[size_t(before)] = after;
        if (after < n)
            previous[size_t(after)] = before;
        consider(before, after);
    }
    return pairs;
}
