#pragma once

#include "archivereader.h"
#include "processing/reportline.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the archive makes of what the response pass read: one
// record per report of the operator, one per active receiver. Plain
// functions over text, safe on any thread, except the reading of history
// lines, which follows the regional settings in force.

// One active receiver as an answer named it, seen when the answer arrived.
struct ReceiverSighting
{
    QString callsign;
    QString locator;   // as served, up to 10 characters
    qint64 seenAt = 0; // seconds since 1970 UTC
};

inline constexpr qsizetype kArchivedLocatorLength = 10;

// A report of the answer (one that the pass took for the operator's) as a
// record; nothing when its flowStartSeconds is no whole number. The band is
// named by the band plan from the frequency (none when the frequency is no
// number). Texts equal to those of the previous record are shared with it.
std::optional<ArchivedReport> reportFromAnswer(const AnswerReport &served, qint64 storedAt,
                                               const ArchivedReport *previous = nullptr);

// An active receiver of the answer; nothing when it names no callsign.
std::optional<ReceiverSighting> receiverFromAnswer(const AnswerReceiver &served, qint64 seenAt);

// A line of the report history read back: its time (with the regional month
// names in force), receiver, sNR (the "+" the history put in front taken
// off again), band, mode, four locator characters and DXCC value. There is
// no frequency; the sender is the given callsign. Nothing when the time
// field is no date.
std::optional<ArchivedReport> reportFromHistoryLine(const QString &line, const QString &sender, qint64 storedAt);

// A whole number with an optional sign and nothing else, within int range.
std::optional<int> wholeNumberOf(QStringView text);
