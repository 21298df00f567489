#pragma once

#include "comparisonreports.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// What the Reach window reads from the report archive: plain data and one
// small interface, so that no SQL stands outside archive/.

// A period of reception times: flowStartSeconds in [fromSeconds, toSeconds),
// seconds since 1970 UTC.
struct ArchivePeriod
{
    qint64 fromSeconds = 0;
    qint64 toSeconds = 0;
};

// The counts of one band, or of every band together (band empty) for the
// total row.
struct BandCounts
{
    QString band;                // FrequencyToBand name, e.g. "20m"; empty for the total
    qint64 reports = 0;
    qint64 receivers = 0;        // distinct receiver callsigns
    qint64 dxcc = 0;             // distinct non-empty DXCC values
    std::optional<int> bestSnr;  // highest whole-number sNR; none when no report had one
    qint64 lastHeard = 0;        // latest flowStartSeconds
};

// One receiver heard on one band from one locator in the period.
struct HeardReceiver
{
    QString callsign;
    QString locator;             // as served (up to 10 characters), possibly no locator at all
    QString band;
    qint64 reports = 0;
    std::optional<int> bestSnr;
    qint64 lastHeard = 0;
};

// Distinct receivers of one band in one UTC hour of the day (0 to 23), over
// the last seven days of the period at most, folded onto 24 hours.
struct HourCount
{
    QString band;
    int hour = 0;
    qint64 receivers = 0;
};

struct ReachSnapshot
{
    QList<BandCounts> bands;          // every band with a report in the period, in band order
    BandCounts total;                 // all bands; receivers and dxcc distinct over all bands
    QList<HeardReceiver> receivers;   // every (callsign, locator, band) of the period
    QList<HourCount> hours;           // cells with at least one receiver
};

// One report as the archive keeps it.
struct ArchivedReport
{
    qint64 flowStartSeconds = 0;
    QString sender;
    QString receiver;
    QString locator;                  // as served
    std::optional<qint64> frequency;  // hertz; none when the served value was no number
    QString band;
    QString mode;
    std::optional<int> snr;           // when the served value was a whole number
    QString snrText;                  // as served
    QString dxcc;
    qint64 storedAt = 0;              // when the archive first stored it, seconds since 1970 UTC
};

// A read-only view of the archive with a connection of its own. One reader is
// used on one thread at a time; interrupt() may be called from any thread and
// ends a query that is running (it then throws TavikError).
class ArchiveReader
{
public:
    virtual ~ArchiveReader() = default;

    // Throws TavikError when the archive cannot be read.
    virtual ReachSnapshot reach(const ArchivePeriod &period) = 0;
    // Every report of the period, oldest first.
    virtual void forEachReport(const ArchivePeriod &period,
                               const std::function<void(const ArchivedReport &)> &visit) = 0;
    // The reports of the period sent by exactly operatorCallsign, and those
    // of the reference station, for the Compare window. A reader that keeps
    // no such reports throws TavikError.
    virtual ComparisonReports comparison(const ArchivePeriod &period, const QString &operatorCallsign,
                                         const QString &referenceCallsign);
    virtual void interrupt() = 0;
};

// Opens a reader on the archive file; throws TavikError when it cannot.
std::unique_ptr<ArchiveReader> openArchiveReader(const QString &fileName);
