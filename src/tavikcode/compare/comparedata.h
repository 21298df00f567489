#pragma once

#include "archive/cancelflag.h"
#include "archive/comparisonreports.h"
#include "comparestats.h"
#include "pairing.h"
#include "geo/geodesy.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

// What the Compare window shows of one period, worked out from the reports
// of both stations away from the user-interface thread.
//
// A report counts only while both stations were on the air: when the other
// station was heard on the same band in the same mode, by any receiver, within the pairing
// window of it. A receiver that reported either station so on a band heard
// both, only the operator or only the reference there; over all bands, both
// when it did on any band or on two bands one each.

enum class HeardBy : quint8 { Both, OnlyOperator, OnlyReference };

// One receiver on one band, or on all bands together: twenty bytes, as a
// month of a busy station has a hundred thousand of them. Where it lies is
// its locator's place.
struct ComparedReceiver
{
    qint32 callsign = 0;  // index into CompareData::callsigns
    qint32 locator = 0;   // index into CompareData::locators and places: of its latest report that counted
    qint32 pairs = 0;
    float median = std::numeric_limits<float>::quiet_NaN(); // see medianDifference
    qint16 band = -1;     // index into CompareData::bandNames; -1 for all bands together
    HeardBy heard = HeardBy::Both;

    // Operator minus reference over its pairs (grouped median); none without a pair.
    std::optional<float> medianDifference() const
    {
        return std::isnan(median) ? std::nullopt : std::optional<float>(median);
    }
};

// Where a locator lies, once for every receiver there.
struct ComparedPlace
{
    bool placed = false;   // the locator is one: it has a place on the map
    bool hasPath = false;  // and a distance and bearing from the operator's locator
    float distanceKm = 0;
    float bearingDegrees = 0;
    float mapX = 0;        // km east and north of the operator, else longitude and latitude
    float mapY = 0;

    QPointF mapPoint() const { return {mapX, mapY}; }
};

// A row of the per-band table, or the row of all bands (band empty).
struct CompareRow
{
    QString band;
    int heardBoth = 0;
    int onlyOperator = 0;
    int onlyReference = 0;
    DifferenceSummary difference; // with its bootstrap interval
    // By direction and distance from the operator's locator: receivers with
    // a pair and a locator only, medians without an interval.
    std::array<DifferenceSummary, kSectors> sectors;
    std::array<DifferenceSummary, kRings> rings;
};

// Positions in ComparisonReports::ofOperator and ofReference.
struct ReportPair
{
    int operatorReport = 0;
    int referenceReport = 0;
};

struct CompareData
{
    std::optional<GeoPosition> home;
    QList<CompareRow> bands;            // bands on which both stations were heard, in band order
    CompareRow total;
    std::vector<ComparedReceiver> receivers; // those of each band, then those of all bands
    QStringList callsigns;              // the receivers' (letter case folded), in order
    QStringList locators;
    std::vector<ComparedPlace> places;  // of each locator
    QStringList bandNames;

    const ComparedPlace &place(const ComparedReceiver &r) const { return places[size_t(r.locator)]; }

    // Only when asked for: the reports and the pairs, for an export.
    std::shared_ptr<const ComparisonReports> reports;
    std::vector<ReportPair> pairs;      // by the operator's reception time

    // The pair's difference in dB, operator minus reference.
    int difference(const ReportPair &pair) const
    {
        return *reports->ofOperator[size_t(pair.operatorReport)].snr
            - *reports->ofReference[size_t(pair.referenceReport)].snr;
    }
    // The index of a band's name, -1 for one not heard (or empty).
    int bandIndex(const QString &band) const { return band.isEmpty() ? -1 : int(bandNames.indexOf(band)); }
};

// Pairs the reports and works out every figure; keeps the reports and the
// pairs when asked to, for an export without the intervals (it writes
// none). Without them, the reports are let go of once paired: a caller that
// hands its pointer over gives them back then. Throws QueryCancelled soon
// after cancel, when given, is set.
enum class KeepPairs { No, Yes, ForExport };
CompareData prepareComparison(std::shared_ptr<const ComparisonReports> reports, PairingWindow window,
                              const std::optional<GeoPosition> &home, KeepPairs keep = KeepPairs::Yes,
                              const CancelFlag *cancel = nullptr);
