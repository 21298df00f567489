#pragma once

#include <QByteArray>
#include <QString>

// Made-up answers of the report service, the same for the same arguments.
// Report number k of a callsign was received at firstSeconds + k * interval
// and carries the sequence number firstSequence + k, so the service's
// sequence grows with the clock and a later query with lastseqno gets only
// the reports made since.
namespace ReportGenerator {

inline constexpr qint64 firstSeconds = 1'600'000'000; // 13 September 2020
inline constexpr qint64 interval = 10; // seconds between two reports
inline constexpr qint64 firstSequence = 20'000'000'000;
inline constexpr int newestReports = 40; // what a query without lastseqno gets
inline constexpr int mostReports = 300; // the most one answer holds

// The service's last sequence number at that instant.
qint64 lastSequenceAt(qint64 nowSeconds);

// The whole answer to "/query?senderCallsign=" + callsign (+ "&lastseqno="
// + lastSeqNo) at the given instant (seconds since 1970, UTC): one element a
// line, the last line closing the document. A lastSeqNo that is not a number
// counts as none.
QByteArray answer(const QString &callsign, const QString &lastSeqNo, qint64 nowSeconds);

// The reception-report line of report number k (k >= 0).
QByteArray reportLine(const QString &callsign, qint64 k);

} // namespace ReportGenerator
