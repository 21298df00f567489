#pragma once

#include <QString>

// How distances and bearings read, in the maps and in the alerts.

enum class DistanceUnit { Kilometres, Miles };

inline constexpr double kKilometresPerMile = 1.609344;

double distanceIn(double km, DistanceUnit unit);
QString unitSymbol(DistanceUnit unit); // "km" or "mi"
// Whole units: "12345 km".
QString distanceText(double km, DistanceUnit unit);
// Whole degrees: "45°"; 359.6 reads as "0°".
QString bearingText(double degrees);

// The stored forms of the unit choice: "km" and "mi"; anything else is km.
QString unitKey(DistanceUnit unit);
DistanceUnit unitFromKey(const QString &key);
