#pragma once

#include "base/textlines.h"
#include "reportline.h"

#include <QString>
#include <QStringList>

// The pass over one answer of the report service: folds its reports, active
// receivers, grid entries and sequence number into the history files of the
// working folder.

struct ResponsePassResult
{
    bool sequenceNumberSeen = false; // a sequence-number line was examined
    QString lastSeqNo;               // its value (may be empty), when seen
    QList<AnswerReport> reports;     // of the lines taken for the operator's reports
    QList<AnswerReceiver> receivers; // of the lines naming an active receiver
};

// Runs the pass. responseLines are the lines of the answer; every line but
// the last is examined. A line counts as a report when it holds
// senderCallsign=" followed by matchedCallsign. gridList must be a sorted
// list; it is replaced by Tavikgrids.txt when that file is present and then
// receives the new grid entries. Writes Tavikgrids.txt, TavikRpts.txt (when
// the history holds at least one line) and TavikCalls.txt, in that order,
// each replaced atomically. Throws TavikError when a file cannot be read or
// written; files written before stay written.
// The result also holds what the examined lines that counted as reports and
// as active receivers say, read whole, for the report archive: each line is
// read once, for the history and the archive together.
ResponsePassResult runResponsePass(const TextLines &responseLines, const QString &matchedCallsign,
                                   TextLines &gridList);

// Adds the line's grid entry, the receiver's callsign, a comma and the first
// six characters of its locator, to the sorted gridList.
void AddGridEntry(const QString &line, TextLines &gridList);
void AddGridEntry(const LineAttributes &attributes, TextLines &gridList);

// For the sorted report history: drops repeated neighbouring lines (exact
// comparison) and keeps the first 300 lines.
void PruneReports(TextLines &reports);

// The sequence number of a line that holds <lastSequenceNumber value=": the
// text up to the next double quote within the 20 characters after the
// marker, trimmed; empty when no quote lies there or the marker is missing.
QString readSequenceNumber(const QString &line);

inline constexpr qsizetype kReportHistoryLimit = 300;
