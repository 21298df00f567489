#pragma once

#include "geo/homelocator.h"

#include <QString>
#include <QStringList>

// The Reach window's values in the settings store, beside the main window's
// in section "Orlix".
namespace reachsettings {

inline const QString kSection = QStringLiteral("Orlix");
inline const QString kLeft = QStringLiteral("TavikReachLeft");
inline const QString kTop = QStringLiteral("TavikReachTop");
inline const QString kWidth = QStringLiteral("TavikReachWidth");
inline const QString kHeight = QStringLiteral("TavikReachHeight");
inline const QString kPeriod = QStringLiteral("TavikReachPeriod"); // "1h", "6h", "24h", "7d", "30d", "all"
inline const QString kUnits = QStringLiteral("TavikReachUnits");   // "km" or "mi"
inline const QString kGrid = kHomeGridName;                       // the locator typed into the window
inline const QString kBand = QStringLiteral("TavikReachBand");     // the band shown alone; empty: all
inline const QString kFollowBand = QStringLiteral("TavikReachFollowBand"); // "1": the band follows WSJT-X's

// Every value above, in the order "/RESET" deletes them.
inline QStringList allNames()
{
    return {kLeft, kTop, kWidth, kHeight, kPeriod, kUnits, kGrid, kBand, kFollowBand};
}

} // namespace reachsettings
