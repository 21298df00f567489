#pragma once

#include "archive/archivereader.h"
#include "bandhourchart.h"
#include "geo/geodesy.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

// What the Reach window shows of one period, worked out from the archive's
// snapshot and the operator's locator, away from the user-interface thread.

// Where a locator lies: one for each locator of the period.
struct ReachPlace
{
    std::optional<GeoPosition> position; // none: it is no locator, its receivers stay off the map
    std::optional<GeoPath> path;         // from the operator's locator, when there is one
    QPointF mapPoint;                    // km east and north on the map around the operator,
                                         // else longitude and latitude
};

// One receiver of the snapshot with its place on the map, made when asked for.
struct PlacedReceiver
{
    HeardReceiver heard;
    std::optional<GeoPosition> position; // none: its locator is no locator, it stays off the map
                                         // (as a receiver without a band does)
    std::optional<GeoPath> path;
    QPointF mapPoint;
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

// The snapshot's rows stay as they came, each text once, with one place per
// locator: a month of a busy station takes a few megabytes.
struct ReachData
{
    std::optional<GeoPosition> home;
    QList<BandRow> bands; // in the snapshot's band order
    BandRow total;
    ReachSnapshot snapshot;
    QList<qint32> placeOfText; // by text of the snapshot: its place in places when it is a row's locator
    QList<ReachPlace> places;
    BandHourChart chart;

    qsizetype receiverCount() const { return snapshot.rows.size(); }
    const HeardRow &row(qsizetype receiver) const { return snapshot.rows.at(receiver); }
    QStringView text(qint32 place) const { return snapshot.texts.at(place); }
    const ReachPlace &place(qsizetype receiver) const { return places.at(placeOfText.at(row(receiver).locator)); }
    PlacedReceiver receiver(qsizetype receiver) const;
    QList<PlacedReceiver> receivers() const;
};

// Throws QueryCancelled soon after cancel, when given, is set.
ReachData prepareReach(ReachSnapshot snapshot, const std::optional<GeoPosition> &home,
                       const CancelFlag *cancel = nullptr);
