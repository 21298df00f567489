#pragma once

#include <QString>

// An archive of two million reports: a year of a busy station, made up the
// same way on every machine. About 20,000 receivers (some of them moving), a
// few heard often and most now and then, eleven bands and four modes mixed,
// spread evenly over the 365 days up to kBigArchiveEnd.
namespace bigarchive {

inline constexpr qint64 kReports = 2000000;
inline constexpr int kReceivers = 20000;
inline constexpr qint64 kBigArchiveEnd = 1796601600; // 7 December 2026, 00:00 UTC

// The file under /tmp, generated on first use (a minute or so) and reused
// after; its name carries the generator's and the schema's versions.
QString path();

} // namespace bigarchive
