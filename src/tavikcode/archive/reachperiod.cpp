#include "reachperiod.h"

#include <limits>

namespace {

struct PeriodInfo
{
    ReachPeriod period;
    const char16_t *key;
    const char16_t *label;
    qint64 seconds; // 0: no limit
};

constexpr qint64 kHour = 3600;
constexpr PeriodInfo kPeriods[] = {
    {ReachPeriod::LastHour, u"1h", u"Last hour", kHour},
    {ReachPeriod::Last6Hours, u"6h", u"Last 6 hours", 6 * kHour},
    {ReachPeriod::Last24Hours, u"24h", u"Last 24 hours", 24 * kHour},
    {ReachPeriod::Last7Days, u"7d", u"Last 7 days", 7 * 24 * kHour},
    {ReachPeriod::Last30Days, u"30d", u"Last 30 days", 30 * 24 * kHour},
    {ReachPeriod::All, u"all", u"All", 0},
};

const PeriodInfo &info(ReachPeriod period)
{
    for (const PeriodInfo &p : kPeriods) {
        if (p.period == period)
            return p;
    }
    return kPeriods[2];
}

} // namespace

QList<ReachPeriod> reachPeriods()
{
    QList<ReachPeriod> periods;
    for (const PeriodInfo &p : kPeriods)
        periods << p.period;
    return periods;
}

QString periodLabel(ReachPeriod period)
{
    return QString::fromUtf16(info(period).label);
}

QString periodKey(ReachPeriod period)
{
    return QString::fromUtf16(info(period).key);
}

std::optional<ReachPeriod> periodFromKey(const QString &key)
{
    for (const PeriodInfo &p : kPeriods) {
        if (key == QStringView(p.key))
            return p.period;
    }
    return std::nullopt;
}

ArchivePeriod archivePeriod(ReachPeriod period, qint64 nowSeconds)
{
    const qint64 to = nowSeconds + 1;
    const qint64 length = info(period).seconds;
    if (!length)
        return {std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(), to};
    return {to - length, to};
}
