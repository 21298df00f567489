#pragma once

#include "archive/comparisonreports.h"
#include "comparestats.h"
#include "pairing.h"
#include "reach/geodesy.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What the Compare window shows of one period, worked out from the reports
// of both stations away from the user-interface thread.
//
// A report counts only while both stations were on the air: when the other
// station was heard on the same band, by any receiver, within the pairing
// window of it. A receiver that reported either station so on a band heard
// both, only the operator or only the reference there; over all bands, both
// when it did on any band or on two bands one each.

enum class HeardBy { Both, OnlyOperator, OnlyReference };

// One receiver on one band, or on all bands together (band empty).
struct ComparedReceiver
{
    QString callsign;
    QString locator;                      // of its latest report that counted
    QString band;
    HeardBy heard = HeardBy::Both;
    int pairs = 0;
    std::optional<double> medianDifference; // operator minus reference, over its pairs
    std::optional<GeoPosition> position;    // none: its locator is no locator
    std::optional<GeoPath> path;            // from the operator's locator, when there is one
    QPointF mapPoint;                       // km east and north of the operator, else longitude and latitude
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
    std::shared_ptr<const ComparisonReports> reports;
    std::vector<ReportPair> pairs;      // by the operator's reception time

    // The pair's difference in dB, operator minus reference.
    int difference(const ReportPair &pair) const
    {
        return *reports->ofOperator[size_t(pair.operatorReport)].snr
            - *reports->ofReference[size_t(pair.referenceReport)].snr;
    }
};

// Pairs the reports and works out every figure. cancelled is asked now and
// then; when it says so, the work stops with a TavikError.
CompareData prepareComparison(std::shared_ptr<const ComparisonReports> reports, PairingWindow window,
                              const std::optional<GeoPosition> &home,
                              const std::function<bool()> &cancelled = {});
