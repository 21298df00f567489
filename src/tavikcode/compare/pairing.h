#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>
#include <vector>

// Pairing a report of the operator with one of the reference station: the
// same receiver, band and mode, received close enough in time that the
// path and the receiver's own noise were alike for both.

// How close in time the two reports of a pair lie.
enum class PairingWindow {
    SameCycle,     // two transmitters on the air together
    TwoMinutes,    // stations that are not: within 2, 10 or 30 minutes
    TenMinutes,
    ThirtyMinutes,
};

QList<PairingWindow> pairingWindows();
QString pairingWindowLabel(PairingWindow window); // "Same cycle", "2 minutes"
// The stored form ("cycle", "2m", "10m", "30m"); an unknown key gives nothing.
QString pairingWindowKey(PairingWindow window);
std::optional<PairingWindow> pairingWindowFromKey(const QString &key);

// A mode's transmit period in seconds, in any letter case: FT8 15, FT4 7.5,
// WSPR and FST4W 120, JT65 and JT9 60. A mode without a cycle of its own
// (CW, or one not listed) counts as 60.
double modeCycleSeconds(QStringView mode);

// The farthest apart two reports of any mode may lie to pair in the window.
qint64 pairingReachSeconds(PairingWindow window);

// Whether two reception times lie within the window for one mode: in the
// same cycle when at most half the mode's period apart (FT8 7.5 s, FT4
// 3.75 s, WSPR and FST4W 60 s, others 30 s: a receiver stamps both reports
// by one clock, so its skew cancels, and reports of neighbouring cycles lie
// a whole period apart), otherwise at most the window's minutes.
class PairingLimit
{
public:
    PairingLimit(PairingWindow window, QStringView mode);
    bool within(qint64 secondsApart) const;

private:
    double m_seconds = 0;
};

// One report of a group to pair: the reports of one receiver, band and mode
// from both stations, in the group's order (time first; see pairNearest).
struct PairingItem
{
    qint64 time = 0;
    bool reference = false; // a report of the reference station, else the operator's
};

// Pairs the operator's reports of a group with the reference's, each report
// in at most one pair. Pairs form one at a time: of the pairs still open
// (one report of each station, neither paired yet, within the limit), the
// one whose reports lie nearest in time; among equally near ones, the one
// whose later report comes first in the group's order, and then the one
// whose earlier report comes last. Items must be ordered by time; the
// caller's order among equal times settles the ties. Returns the positions
// of each pair's operator and reference report, in the order they formed.
std::vector<std::pair<int, int>> pairNearest(const std::vector<PairingItem> &items, const PairingLimit &limit);
