#pragma once

#include "archive/archivereader.h"

// A snapshot of an evening heard from London (IO91wm): three bands, seven
// receivers, one of them without a locator and one with a value that is no
// locator.
namespace reachfixture {

inline const QString kHome = QStringLiteral("IO91wm");
inline constexpr qint64 kEvening = 1796637600; // 2026-12-07 10:00 UTC

inline HeardReceiver heard(const char *call, const char *locator, const char *band, qint64 reports,
                           std::optional<int> snr, qint64 lastHeard)
{
    return {QString::fromLatin1(call), QString::fromLatin1(locator), QString::fromLatin1(band), reports, snr, lastHeard};
}

inline ReachSnapshot snapshot()
{
    ReachSnapshot s;
    s.bands = {
        {QStringLiteral("40m"), 12, 3, 2, -5, kEvening + 600},
        {QStringLiteral("20m"), 30, 5, 4, 3, kEvening + 3000},
        {QStringLiteral("10m"), 2, 1, 1, std::nullopt, kEvening + 1200},
    };
    s.total = {QString(), 44, 7, 5, 3, kEvening + 3000};
    s.setReceivers({
        heard("G4ABC", "IO91wm", "40m", 5, -9, kEvening + 100),
        heard("DL1XYZ", "JO62qm", "40m", 4, -5, kEvening + 600),
        heard("F5NOL", "", "40m", 3, -20, kEvening + 300),
        heard("G4ABC", "IO91wm", "20m", 6, 1, kEvening + 200),
        heard("VK2DEF", "QF56od", "20m", 9, -15, kEvening + 2500),
        heard("JA1GHI", "PM95vq", "20m", 7, 3, kEvening + 3000),
        heard("W1JKL", "FN31pr", "20m", 5, -2, kEvening + 1800),
        heard("K1BAD", "XX99", "20m", 3, -11, kEvening + 900),
        heard("VK2DEF", "QF56od", "10m", 2, std::nullopt, kEvening + 1200),
    });
    s.hours = {
        {QStringLiteral("20m"), 9, 4}, {QStringLiteral("20m"), 10, 5}, {QStringLiteral("40m"), 10, 3},
        {QStringLiteral("10m"), 10, 1},
    };
    return s;
}

} // namespace reachfixture
