#include "noticeplan.h"

#include <algorithm>

namespace {

constexpr int kTextsShown = 3;

// Alerts told together, as one notification would tell them.
struct Group
{
    QList<Alert> alerts;
    Notice notice;
};

QString countText(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 alert") : QStringLiteral("%1 alerts").arg(n);
}

QString moreText(qsizetype n)
{
    return QStringLiteral("and %1 more %2").arg(n).arg(n == 1 ? QStringLiteral("alert") : QStringLiteral("alerts"));
}

qint64 oldest(const QList<Alert> &alerts)
{
    qint64 t = alerts.first().time;
    for (const Alert &a : alerts)
        t = std::min(t, a.time);
    return t;
}

// The first few texts, then how many more.
QString listBody(const QList<Alert> &alerts)
{
    QStringList lines;
    for (qsizetype i = 0; i < alerts.size() && i < kTextsShown; ++i)
        lines << alerts[i].text;
    if (alerts.size() > kTextsShown)
        lines << moreText(alerts.size() - kTextsShown);
    return lines.join(u'\n');
}

Group single(const Alert &a)
{
    return {{a}, noticeOf(a)};
}

Group together(const QList<Alert> &alerts, const QString &summary)
{
    if (alerts.size() == 1)
        return single(alerts.first());
    return {alerts, {summary, listBody(alerts), QString(), oldest(alerts), false}};
}

Notice foldNotice(const NoticeState &s)
{
    QStringList lines = s.foldTexts;
    return {moreText(s.folded), lines.join(u'\n'), QString(), s.foldTime, true};
}

void addToFold(NoticeState &s, const QList<Alert> &alerts, qint64 now)
{
    if (s.folded == 0) {
        s.foldShown = now;
        s.foldTime = oldest(alerts);
    }
    s.folded += int(alerts.size());
    s.foldTime = std::min(s.foldTime, oldest(alerts));
    for (const Alert &a : alerts) {
        if (s.foldTexts.size() < kTextsShown)
            s.foldTexts << a.text;
    }
}

// The next end of the quiet hours after now.
qint64 quietEnds(const AlertSettings &settings, const QDateTime &now)
{
    const QDateTime local = now.toLocalTime();
    QDateTime end(local.date(), settings.quietTo, Qt::LocalTime);
    if (end <= local)
        end = end.addDays(1);
    return end.toSecsSinceEpoch();
}

} // namespace

Notice noticeOf(const Alert &alert)
{
    QString summary = ruleName(alert.rule);
    if (!alert.band.isEmpty())
        summary += QStringLiteral(" on ") + alert.band;
    return {summary, alert.text, alert.band, alert.time, false};
}

NoticePlan planNotices(const AlertSettings &settings, NoticeState &s, const QList<Alert> &alerts, bool backlog,
                       const QDateTime &now)
{
    const qint64 t = now.toSecsSinceEpoch();
    s.shown.removeIf([t](qint64 shown) { return shown <= t - kNoticeWindowSeconds; });
    if (s.foldShown > 0 && s.foldShown <= t - kNoticeWindowSeconds) {
        s.foldShown = 0;
        s.folded = 0;
        s.foldTexts.clear();
    }
    NoticePlan plan;
    if (!settings.notify) {
        s.waiting.clear();
        return plan;
    }
    if (settings.isQuietAt(now.toLocalTime().time())) {
        s.waiting << alerts;
        s.heldQuiet = s.heldQuiet || !alerts.isEmpty();
        if (!s.waiting.isEmpty())
            plan.wakeAt = quietEnds(settings, now);
        return plan;
    }

    QList<Group> groups;
    if (!s.waiting.isEmpty()) {
        groups << together(s.waiting, s.heldQuiet ? countText(s.waiting.size()) + QStringLiteral(" during quiet hours")
                                                  : moreText(s.waiting.size()));
        s.waiting.clear();
        s.heldQuiet = false;
    }
    if (backlog && alerts.size() > 1) {
        groups << together(alerts, countText(alerts.size()) + QStringLiteral(" since ")
                                       + QDateTime::fromSecsSinceEpoch(oldest(alerts), Qt::UTC)
                                             .toString(QStringLiteral("HH:mm"))
                                       + QStringLiteral(" UTC"));
    } else {
        for (const Alert &a : alerts)
            groups << single(a);
    }

    bool foldChanged = false;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const qsizetype free = kNoticesPerWindow - s.shown.size();
        const bool last = i == groups.size() - 1;
        if (s.folded > 0) {
            // This window's last notification tells of the rest.
            addToFold(s, groups[i].alerts, t);
            foldChanged = true;
        } else if (free >= 2 || (free == 1 && last)) {
            plan.notices << groups[i].notice;
            s.shown << t;
        } else if (free == 1) {
            for (qsizetype j = i; j < groups.size(); ++j)
                addToFold(s, groups[j].alerts, t);
            s.shown << t;
            plan.notices << foldNotice(s);
            break;
        } else {
            // Six shown and none of them a fold: the rest wait for a place.
            for (qsizetype j = i; j < groups.size(); ++j)
                s.waiting << groups[j].alerts;
            break;
        }
    }
    if (foldChanged)
        plan.notices << foldNotice(s);
    if (!s.waiting.isEmpty())
        plan.wakeAt = s.shown.first() + kNoticeWindowSeconds;
    return plan;
}
