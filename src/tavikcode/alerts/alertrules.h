#pragma once

#include "alertsettings.h"
#include "archive/archivereader.h"
#include "reach/geodesy.h"
#include "reach/reachperiod.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// The alert rules: plain functions over the rules' small state and a pass's
// new reports. No widget, no clock, no file: the caller passes "now".

enum class AlertRule { NewEntity, EntityOnBand, DistanceRecord, BandOpening, WatchedStation, Silence, FirstLook };

QString ruleName(AlertRule rule); // "New DXCC entity", as the Alerts window shows it
QString ruleKey(AlertRule rule);  // the stored form, "entity"
std::optional<AlertRule> ruleFromKey(const QString &key);

struct Alert
{
    qint64 time = 0;    // seconds since 1970 UTC: the reception that raised it (silence: when it was told)
    AlertRule rule = AlertRule::NewEntity;
    QString band;       // the band plan's name; empty for none
    QString subject;    // the entity or receiver it is about; empty for none
    QString text;       // plain text, network text in it as it came

    bool operator==(const Alert &) const = default;
};

// The farthest receiver of a band so far.
struct BandRecord
{
    double km = 0;
    QString receiver;
};

// A run of reports from beyond the opening distance on one band: it begins
// with the first such report after H hours without any, and lasts while
// they keep coming.
struct OpeningRun
{
    qint64 start = 0;
    qint64 lastFar = 0;
    QStringList receivers;   // distinct far receivers, until the run is told
    bool told = false;
    double farthestKm = 0;
    double farthestBearing = 0;
    QString farthest;
};

// What the rules remember between passes. Small: a few entries per band and
// per entity, never a list of reports.
struct AlertState
{
    qint64 lastJudged = 0;   // newest reception judged; 0: nothing judged yet, a first run
    qint64 lastPass = 0;     // when the last pass was judged
    qint64 lastReport = 0;   // newest reception heard, and the newest one before it
    qint64 reportBefore = 0;
    qint64 silenceTold = 0;  // lastReport of the silence told (or let pass)
    QHash<QString, BandRecord> records;   // by band
    QSet<QString> entities;               // every DXCC entity that heard the operator
    QSet<QString> entityBands;            // band + '\n' + entity
    QHash<QString, OpeningRun> openings;  // by band
    QHash<QString, qint64> recent;        // rule, band and subject told in the last hour, and when

    bool operator==(const AlertState &) const = default;
};

struct PassInput
{
    QList<ArchivedReport> reports;    // the pass's new reports, in any order
    std::optional<GeoPosition> home;  // the operator's locator; no distances without it
    qint64 now = 0;                   // seconds since 1970 UTC
    bool afterStart = false;          // the first pass after a start or after "Clr Files"
};

struct Judgement
{
    QList<Alert> alerts;   // oldest first
    bool backlog = false;  // a pass that caught up: its alerts are told together
    AlertState state;
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
