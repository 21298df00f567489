#pragma once

#include "archive/archivereader.h"

#include <QList>
#include <QString>
#include <QStringList>

// The band by UTC-hour chart: one row per band in band order, 24 cells of
// distinct receivers each.
struct BandHourChart
{
    QStringList bands;
    QList<qint64> receivers; // bands.size() * 24, row by row

    qint64 at(qsizetype row, int hour) const { return receivers.value(row * 24 + hour); }
    qint64 maximum() const;
    // The chart of one band alone (a row of zeros when it has none); an empty
    // band name gives the whole chart.
    BandHourChart onlyBand(const QString &band) const;
};

// Rows for every band of the snapshot, and for a band that has hours but no
// counts (none should), in band order. Hours outside 0 to 23 and reports
// without a band are left out.
BandHourChart bandHourChart(const ReachSnapshot &snapshot);

// How dark a cell is, from 0 (no receiver) to 1 (the most of the chart): by
// the square root of the share, so that a band that opened to a few
// receivers still shows beside a busy one.
double cellShade(qint64 receivers, qint64 maximum);
