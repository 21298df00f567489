#include "recentheard.h"

#include "alertrules.h"
#include "archive/bandplan.h"

#include <algorithm>

void RecentHeard::add(const QList<HeardReport> &reports, qint64 now)
{
    for (const HeardReport &r : reports) {
        if (r.time <= now - kSpanSeconds)
            continue;
        Heard &h = m_bands[r.band][r.receiver];
        h.time = std::max(h.time, r.time);
        if (r.km)
            h.km = std::max(h.km, *r.km);
    }
    prune(now);
}

void RecentHeard::prune(qint64 now)
{
    for (auto band = m_bands.begin(); band != m_bands.end();) {
        band->removeIf([now](QHash<QString, Heard>::iterator it) { return it->time <= now - kSpanSeconds; });
        band = band->isEmpty() ? m_bands.erase(band) : std::next(band);
    }
}

QString RecentHeard::nowText(qint64 now)
{
    prune(now);
    if (m_bands.isEmpty())
        return QStringLiteral("Now: nothing heard in the last 15 minutes");
    struct Line
    {
        QString band;
        qsizetype receivers;
        double km;
    };
    QList<Line> lines;
    for (auto band = m_bands.cbegin(); band != m_bands.cend(); ++band) {
        double km = -1;
        for (const Heard &h : band.value())
            km = std::max(km, h.km);
        lines << Line{band.key(), band->size(), km};
    }
    // Busiest first; bands alike in band order.
    std::sort(lines.begin(), lines.end(), [](const Line &a, const Line &b) {
        return a.receivers != b.receivers ? a.receivers > b.receivers : bandPlanBefore(a.band, b.band);
    });
    QString text = QStringLiteral("Now: ") + lines[0].band + u' ' + QString::number(lines[0].receivers)
                   + (lines[0].receivers == 1 ? QStringLiteral(" receiver") : QStringLiteral(" receivers"));
    if (lines[0].km >= 0)
        text += QStringLiteral(", ") + kmText(lines[0].km);
    for (qsizetype i = 1; i < lines.size(); ++i)
        text += QStringLiteral("; ") + lines[i].band + u' ' + QString::number(lines[i].receivers);
    return text;
}
