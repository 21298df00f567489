#pragma once

#include "archive/archivereader.h"
#include "base/utctext.h"
#include "geo/distancetext.h"

#include <QString>

#include <optional>

// How the Reach window writes signal reports and frequencies; distances,
// bearings and times as everywhere.

// "-12 dB"; empty without a value.
QString snrText(const std::optional<int> &snr);
// Where reports outside the band plan were heard: "40.68 MHz", or
// "40.68 MHz to 222.1 MHz" for several frequencies.
QString frequencyRangeText(const FrequencyRange &range);
