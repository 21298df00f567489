#pragma once

#include "archivereader.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// What the report archive keeps for the alert rules beside the reports: the
// rules' state and the alerts they told (alerttables.h). The rules
// themselves are the alerts' (alerts/alertrules.h); the archive runs them
// through an AlertJudge, on its own thread, inside the transaction of every
// store, so that a store and what it taught the rules are kept together or
// not at all.

enum class AlertRule {
    NewEntity,
    EntityOnBand,
    DistanceRecord,
    BandOpening,
    WatchedStation,
    Silence,
    FirstLook,
    Unheard,
};

// The stored form of a rule ("entity"), and back.
QString ruleKey(AlertRule rule);
std::optional<AlertRule> ruleFromKey(const QString &key);
QString ruleName(AlertRule rule); // "New DXCC entity", as the Alerts window shows it

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

    bool operator==(const BandRecord &) const = default;
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

    bool operator==(const OpeningRun &) const = default;
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

// The key of entityBands, and of recent (rule key, band, subject).
QString entityBandKey(const QString &band, const QString &entity);
QString recentKey(AlertRule rule, const QString &band, const QString &subject);

// What a store gives its judge.
struct JudgedStore
{
    QList<ArchivedReport> added; // the reports the store added, in any order; none on a pass that added none
    qsizetype served = 0;        // the reports the store was given, those it had already among them
    qint64 now = 0;              // when the pass ran, seconds since 1970 UTC
};

// The alert rules as the archive runs them: on the archive's thread only,
// one call at a time.
class AlertJudge
{
public:
    virtual ~AlertJudge() = default;

    // Inside the store's transaction: judges the reports it added with the
    // rules' state, which it changes, and returns the alerts for the alert
    // list, oldest first. Nothing of it counts unless committed() follows.
    virtual QList<Alert> judge(AlertState &state, const JudgedStore &store) = 0;
    // The store judged last is committed: tells what it found.
    virtual void committed() = 0;
    // The stores between these (the journal's, and what waited with it) are
    // one catch-up: each is judged as one, and what the committed ones found
    // is told once, at the end.
    virtual void beginCatchUp() {}
    virtual void endCatchUp() {}
    // Learns from reports the archive held before it kept the rules' state
    // (an archive brought up to date) or that an open imported from the
    // history, oldest first, telling nothing.
    virtual void learn(AlertState &state, const QList<ArchivedReport> &reports) = 0;
};
