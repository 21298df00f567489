#pragma once

#include "archive/archivereader.h"
#include "bandhourchart.h"
#include "geodesy.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

// What the Reach window shows of one period, worked out from the archive's
// snapshot and the operator's locator, away from the user-interface thread.

// One receiver of the snapshot with its place on the map.
struct PlacedReceiver
{
    HeardReceiver heard;
    std::optional<GeoPosition> position; // none: its locator is no locator, it stays off the map
                                         // (as a receiver without a band does)
    std::optional<GeoPath> path;         // from the operator's locator, when there is one
    QPointF mapPoint;                    // km east and north on the map around the operator,
                                         // else longitude and latitude
};

struct FarthestReceiver
{
    QString callsign;
    QString locator;
    GeoPath path;
    qint64 lastHeard = 0;
};

// A row of the per-band table: the archive's counts, the farthest receiver
// (only with the operator's locator) and how many receivers gave no locator.
struct BandRow
{
    BandCounts counts;
    std::optional<FarthestReceiver> farthest;
    qint64 withoutLocator = 0; // distinct callsigns heard only from values that are no locator
};

struct ReachData
{
    std::optional<GeoPosition> home;
    QList<BandRow> bands; // in the snapshot's band order
    BandRow total;
    QList<PlacedReceiver> receivers;
    BandHourChart chart;
};

// Throws QueryCancelled soon after cancel, when given, is set.
ReachData prepareReach(const ReachSnapshot &snapshot, const std::optional<GeoPosition> &home,
                       const CancelFlag *cancel = nullptr);
