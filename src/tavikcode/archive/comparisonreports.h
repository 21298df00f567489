#pragma once

#include <QStringList>

#include <optional>
#include <vector>

// The reports of two stations over one period, for comparing them at the
// same receivers: compact, with each text numbered once for both stations,
// so that a month of two busy stations fits in a few megabytes.

struct StationReport
{
    qint64 flowStartSeconds = 0;
    int receiver = 0;       // index into ComparisonReports::receivers
    int locator = 0;        // index into locators: the receiver's locator as served
    int band = 0;           // index into bands: the band as the archive names it
    int mode = 0;           // index into modes
    std::optional<int> snr; // when the served value was a whole number
};

struct ComparisonReports
{
    QStringList receivers;
    QStringList locators;
    QStringList bands;
    QStringList modes;
    std::vector<StationReport> ofOperator;  // oldest first
    std::vector<StationReport> ofReference; // oldest first
};
