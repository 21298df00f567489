#pragma once

#include "cancelflag.h"
#include "comparisonreports.h"
#include "transmission.h"

#include <QList>
#include <QString>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

// What the Reach window reads from the report archive: plain data and one
// small interface, so that no SQL stands outside archive/.

// A period of reception times: flowStartSeconds in [fromSeconds, toSeconds),
// seconds since 1970 UTC. The hour chart holds the period's last seven days
// before toSeconds or chartEndSeconds, whichever is earlier: a period without
// an upper bound still has its chart end now.
struct ArchivePeriod
{
    qint64 fromSeconds = 0;
    qint64 toSeconds = 0;
    qint64 chartEndSeconds = std::numeric_limits<qint64>::max();
};

// The lowest and the highest frequency of some reports, in hertz.
struct FrequencyRange
{
    qint64 lowHz = 0;
    qint64 highHz = 0;

    void add(qint64 hertz)
    {
        lowHz = std::min(lowHz, hertz);
        highHz = std::max(highHz, hertz);
    }
};

// The counts of one band, or of every band together (band empty) for the
// total row.
struct BandCounts
{
    QString band;                // the band plan's name, e.g. "20m" or "Other"; empty for the total
    qint64 reports = 0;
    qint64 receivers = 0;        // distinct receiver callsigns
    qint64 dxcc = 0;             // distinct non-empty DXCC values
    std::optional<int> bestSnr;  // highest whole-number sNR; none when no report had one
    qint64 lastHeard = 0;        // latest flowStartSeconds
    // Where the reports of a band outside the plan ("Other") were heard;
    // none for the bands of the plan, which their name tells.
    std::optional<FrequencyRange> frequencies = std::nullopt;
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
    std::optional<FrequencyRange> frequencies = std::nullopt; // as in BandCounts
};

// Texts end to end in one buffer: a month's 40,000 callsigns and locators
// are one block of memory, not 40,000 (which would also pin the pages of
// everything freed around them).
class PackedTexts
{
public:
    // Appends a text; returns its place.
    qint32 append(QStringView text)
    {
        m_chars.append(text);
        m_ends.append(qint32(m_chars.size()));
        return qint32(m_ends.size() - 1);
    }
    QStringView at(qint32 place) const
    {
        const qint32 begin = place > 0 ? m_ends.at(place - 1) : 0;
        return QStringView(m_chars).mid(begin, m_ends.at(place) - begin);
    }
    qsizetype size() const { return m_ends.size(); }
    void reserve(qsizetype texts, qsizetype chars)
    {
        m_ends.reserve(texts);
        m_chars.reserve(chars);
    }
    void clear()
    {
        m_chars.clear();
        m_ends.clear();
    }

private:
    QString m_chars;
    QList<qint32> m_ends; // where each text ends in m_chars
};

// The same as a snapshot keeps it: its texts as places in the snapshot's
// table of texts, so that a month of a busy station (90,000 rows) takes a few
// megabytes.
struct HeardRow
{
    static constexpr qint32 kNoSnr = std::numeric_limits<qint32>::min();

    qint32 callsign = 0;    // places in ReachSnapshot::texts
    qint32 locator = 0;
    qint32 band = 0;
    qint32 frequencies = -1; // place in ReachSnapshot::frequencies; -1: none
    qint32 reports = 0;
    qint32 bestSnr = kNoSnr;
    qint64 lastHeard = 0;

    std::optional<int> snr() const { return bestSnr == kNoSnr ? std::nullopt : std::optional<int>(bestSnr); }
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
    QList<BandCounts> bands;           // every band with a report in the period, in band order
    BandCounts total;                  // all bands; receivers and dxcc distinct over all bands
    PackedTexts texts;                 // the callsigns, locators and bands of the rows, each once
    QList<HeardRow> rows;              // every (callsign, locator, band) of the period, by band order,
                                       // then callsign and locator
    QList<FrequencyRange> frequencies; // of the rows on bands outside the plan
    QList<HourCount> hours;            // cells with at least one receiver

    // A row with its texts.
    HeardReceiver receiver(qsizetype row) const;
    QList<HeardReceiver> receivers() const;
    // Makes the rows (and texts, frequencies) of these receivers, in their
    // order (fakes, tests, benchmarks).
    void setReceivers(const QList<HeardReceiver> &receivers);
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
    bool reference = false;           // a reference station's report (reference_report), not the operator's
};

struct Alert;

// A read-only view of the archive with a connection of its own. One reader is
// used on one thread at a time.
class ArchiveReader
{
public:
    virtual ~ArchiveReader() = default;

    // Throws TavikError when the archive cannot be read.
    virtual ReachSnapshot reach(const ArchivePeriod &period) = 0;
    // Every report of the period, oldest first.
    virtual void forEachReport(const ArchivePeriod &period,
                               const std::function<void(const ArchivedReport &)> &visit) = 0;
    // The reports of the reference station in the period (reference_report),
    // and of the operator's sent by exactly operatorCallsign (report) only
    // those that can pair: within reachSeconds of the reference's first and
    // last report; for the Compare window. Each list is counted before it is
    // read, and held at its size. A reader that keeps no such reports throws
    // TavikError.
    virtual ComparisonReports comparison(const ArchivePeriod &period, const QString &operatorCallsign,
                                         const QString &referenceCallsign, qint64 reachSeconds);
    // The alert list, newest first, at most limit alerts. A reader that
    // keeps no alerts throws TavikError.
    virtual QList<Alert> alerts(qsizetype limit);
    // The newest transmissions first, at most limit, each with who heard it
    // (the operator's reports that belong to it); farthestKm from
    // homeLocator when it is one. A reader that keeps no transmissions
    // throws TavikError.
    virtual QList<TransmissionSummary> transmissions(qsizetype limit, const QString &homeLocator);
    // From now on every query of this reader stops soon after the flag is set
    // (from any thread), also one that has not begun yet, and throws
    // QueryCancelled; nullptr: no flag. The flag outlives its use here.
    virtual void setCancelFlag(const CancelFlag *flag) = 0;
};

// Opens a reader on the archive file; throws TavikError when it cannot.
std::unique_ptr<ArchiveReader> openArchiveReader(const QString &fileName);
