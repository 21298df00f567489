#pragma once

#include <QString>
#include <QStringList>

// The Compare window's values and the reference stations in the settings
// store, beside the main window's in section "Orlix".
namespace comparesettings {

inline const QString kSection = QStringLiteral("Orlix");
inline const QString kCalls = QStringLiteral("TavikCompareCalls");       // up to three, comma-separated
inline const QString kInterval = QStringLiteral("TavikCompareInterval"); // minutes between queries of one, 15 to 60
inline const QString kReference = QStringLiteral("TavikCompareReference"); // the one compared with
// When each reference was last asked (seconds since 1970 UTC): "K1ABC=1796637600,G4XYZ/P=1796637900".
inline const QString kAsked = QStringLiteral("TavikCompareAsked");
inline const QString kWindow = QStringLiteral("TavikCompareWindow");     // "cycle", "2m", "10m", "30m"
inline const QString kPeriod = QStringLiteral("TavikComparePeriod");     // "6h", "24h", "7d", "30d", "all"
inline const QString kBand = QStringLiteral("TavikCompareBand");         // the band shown alone; empty: all
inline const QString kFollowBand = QStringLiteral("TavikCompareFollowBand"); // "1": the band follows WSJT-X's
inline const QString kLeft = QStringLiteral("TavikCompareLeft");
inline const QString kTop = QStringLiteral("TavikCompareTop");
inline const QString kWidth = QStringLiteral("TavikCompareWidth");
inline const QString kHeight = QStringLiteral("TavikCompareHeight");

// Every value above, in the order "/RESET" deletes them.
inline QStringList allNames()
{
    return {kCalls, kInterval, kAsked, kReference, kWindow, kPeriod, kBand, kFollowBand, kLeft, kTop, kWidth, kHeight};
}

} // namespace comparesettings
