#pragma once

#include "alertrules.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Which alerts become notifications, and when: never a flood. Plain
// functions over a small state; the caller passes the clock.

// One notification to show.
struct Notice
{
    QString summary;   // plain text
    QString body;      // plain text, network text in it as it came
    QString band;      // the Reach window's band; empty: every band
    qint64 time = 0;   // the oldest alert it tells of, seconds since 1970 UTC
    bool fold = false; // "and N more alerts": shown again in the place of the one before
};

struct NoticeState
{
    QList<qint64> shown;      // when the notifications of the last ten minutes were shown
    qint64 foldShown = 0;     // when this window's "and N more alerts" was first shown; 0: none
    int folded = 0;           // the alerts it tells of
    QStringList foldTexts;    // the first few of them
    qint64 foldTime = 0;
    QList<Alert> waiting;     // held back by quiet hours or a full window
    bool heldQuiet = false;   // some of them by quiet hours
};

struct NoticePlan
{
    QList<Notice> notices;
    qint64 wakeAt = 0;        // plan again then (seconds since 1970 UTC) to tell what waits; 0: nothing waits
};

inline constexpr int kNoticesPerWindow = 6;
inline constexpr qint64 kNoticeWindowSeconds = 10 * 60;

// Plans the notifications of a pass's alerts (none: only what waits).
// At most six notifications in any ten minutes, the rest folded into one
// "and N more alerts"; the alerts of a pass that caught up (backlog) in one
// notification; during quiet hours (by the local time of now) nothing, and
// what was held back in one notification when they end.
NoticePlan planNotices(const AlertSettings &settings, NoticeState &state, const QList<Alert> &alerts, bool backlog,
                       const QDateTime &now);

// The notification of one alert.
Notice noticeOf(const Alert &alert);
