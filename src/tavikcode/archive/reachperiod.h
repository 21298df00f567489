#pragma once

#include "archivereader.h"

#include <QList>
#include <QString>

#include <optional>

// The periods the Reach window offers, each ending now.
enum class ReachPeriod { LastHour, Last6Hours, Last24Hours, Last7Days, Last30Days, All };

QList<ReachPeriod> reachPeriods();
QString periodLabel(ReachPeriod period); // "Last 24 hours"
// The stored form ("24h"); an unknown key gives nothing.
QString periodKey(ReachPeriod period);
std::optional<ReachPeriod> periodFromKey(const QString &key);

// The archive's period: reception times up to and including the second
// nowSeconds (UTC seconds since 1970), back the period's length. "All" has no
// bound at either end: reports stamped ahead of a slow clock are in it too;
// its hour chart ends now.
ArchivePeriod archivePeriod(ReachPeriod period, qint64 nowSeconds);
