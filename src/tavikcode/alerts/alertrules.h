#pragma once

#include "alertsettings.h"
#include "archive/alertstate.h"
#include "archive/transmission.h"
#include "geo/locatordistances.h"
#include "geo/geodesy.h"
#include "archive/reachperiod.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// The alert rules: plain functions over the rules' small state (which the
// report archive keeps, archive/alertstate.h) and a pass's new reports. No
// widget, no clock, no file: the caller passes "now".

// A transmission of the operator's as the Unheard rule follows it.
struct FollowedTransmission
{
    Transmission transmission;
    bool heard = false;    // a report judged since it began belongs to it
    bool settled = false;  // counted: a pass ran long enough after its end

    bool operator==(const FollowedTransmission &) const = default;
};

// A report of a Compare reference station, as the window got it.
struct ReferenceHeard
{
    QString reference;
    QString band;
    QString receiver;
    qint64 time = 0; // seconds since 1970 UTC

    bool operator==(const ReferenceHeard &) const = default;
};

// Reports reach the service late: a transmission counts as unheard only
// after a pass this long after its end.
inline constexpr qint64 kSettleSeconds = 6 * 60;

struct PassInput
{
    QList<ArchivedReport> reports;    // the pass's new reports, in any order
    std::optional<GeoPosition> home;  // the operator's locator; no distances without it
    qint64 now = 0;                   // seconds since 1970 UTC
    bool afterStart = false;          // the first pass after a start or after "Clr Files"
    bool learnOnly = false;           // learns from the reports, oldest first, and tells nothing
    // The operator's transmissions of the last hours, oldest first (those
    // still running aside), for the Unheard rule and, while the link to
    // WSJT-X is live, the Silence rule.
    QList<FollowedTransmission> transmissions = {};
    QList<ReferenceHeard> references = {};  // reference reports of the last hours
    bool linkLive = false;             // Silence counts time spent transmitting
    std::optional<qint64> transmittingSince = {}; // the running transmission's start
};

struct Judgement
{
    QList<Alert> alerts;   // oldest first
    bool backlog = false;  // a pass that caught up: its alerts are told together
    AlertState state;
    // The distances from home it worked out, by locator.
    LocatorDistances distances;
    // The pass's transmissions with what it learnt of them, in their order.
    QList<FollowedTransmission> transmissions = {};
};

// A pass after this long without one caught up after time offline.
inline constexpr qint64 kLongOfflineSeconds = 20 * 60;

// Judges one pass. The first pass of all (nothing judged yet) learns the
// entities and records silently and gives one "First look" alert. A pass
// that catches up (after a start, "Clr Files" or a long time offline) judges
// only receptions newer than the last judged one. The same rule, band and
// subject is told at most once an hour.
Judgement judgePass(const AlertSettings &settings, AlertState state, const PassInput &pass);

// The band an alert names: the band plan's by the frequency, else the band
// text kept with the report.
QString alertBand(const ArchivedReport &report);

// A watched pattern: a callsign, or a prefix with '*' standing for any
// characters ("VK*"); letter case does not matter.
bool matchesWatch(QStringView callsign, QStringView pattern);

// "16,990 km"
QString kmText(double km);

// The shortest period of the Reach window that holds the reception time.
ReachPeriod reachPeriodFor(qint64 time, qint64 now);
