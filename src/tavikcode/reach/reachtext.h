#pragma once

#include "archive/archivereader.h"

#include <QString>

#include <optional>

// How the Reach window writes distances, bearings, signal reports and times.

enum class DistanceUnit { Kilometres, Miles };

inline constexpr double kKilometresPerMile = 1.609344;

double distanceIn(double km, DistanceUnit unit);
QString unitSymbol(DistanceUnit unit); // "km" or "mi"
// Whole units: "12345 km".
QString distanceText(double km, DistanceUnit unit);
// Whole degrees: "45°"; 359.6 reads as "0°".
QString bearingText(double degrees);
// "-12 dB"; empty without a value.
QString snrText(const std::optional<int> &snr);
// "2026-12-07 13:45" of seconds since 1970 UTC.
QString utcText(qint64 seconds);
// Where reports outside the band plan were heard: "40.68 MHz", or
// "40.68 MHz to 222.1 MHz" for several frequencies.
QString frequencyRangeText(const FrequencyRange &range);

// The stored forms of the unit choice: "km" and "mi"; anything else is km.
QString unitKey(DistanceUnit unit);
DistanceUnit unitFromKey(const QString &key);
