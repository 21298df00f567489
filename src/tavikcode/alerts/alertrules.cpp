#include "alertrules.h"

#include "archive/bandplan.h"
#include "geo/locator.h"
#include "geo/distancetext.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kHour = 3600;

QString plural(qint64 n, const char16_t *one, const char16_t *many)
{
    return QString::number(n) + u' ' + QString::fromUtf16(n == 1 ? one : many);
}

QString utcClock(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("HH:mm")) + QStringLiteral(" UTC");
}

// The text, then ", 16,990 km (61°)" when the distance is known.
QString withPath(const QString &text, const std::optional<GeoPath> &path)
{
    if (!path)
        return text;
    return text + QStringLiteral(", ") + kmText(path->distanceKm) + QStringLiteral(" (")
           + bearingText(path->bearingDegrees) + u')';
}

// Only the bands of the plan have records and openings: not "Other", not a
// band text of an old history line that names no band.
bool isPlanBand(const QString &band)
{
    return bandPlanEdges(band).has_value();
}

// One pass at work: its distances, and the alerts it may tell.
class PassJudge
{
public:
    PassJudge(const AlertSettings &settings, AlertState &state, const PassInput &pass)
        : m_s(settings), m_state(state), m_pass(pass), m_distances(pass.home, pass.reports.size()),
          m_tx(pass.transmissions)
    {
    }

    Judgement run()
    {
        const bool firstRun = m_state.lastJudged == 0;
        const bool learning = m_pass.learnOnly;
        const bool catchUp = !learning
                             && (firstRun || m_pass.afterStart
                                 || (m_state.lastPass > 0 && m_pass.now - m_state.lastPass > kLongOfflineSeconds));
        m_silent = firstRun || learning;

        QList<const ArchivedReport *> reports;
        reports.reserve(m_pass.reports.size());
        for (const ArchivedReport &r : m_pass.reports) {
            // A pass that catches up brings again what an earlier one judged.
            if (!catchUp || firstRun || r.flowStartSeconds > m_state.lastJudged)
                reports << &r;
        }
        std::stable_sort(reports.begin(), reports.end(), [](const ArchivedReport *a, const ArchivedReport *b) {
            return a->flowStartSeconds < b->flowStartSeconds;
        });

        pruneRecent();
        for (const ArchivedReport *r : reports)
            judge(*r);
        tellRecords();
        tellOpenings();
        judgeSilence(catchUp);
        if (!learning) {
            markHeard(reports);
            tellUnheard(settle());
        }
        if (firstRun && !learning && !reports.isEmpty())
            firstLook(reports);

        for (const ArchivedReport *r : reports)
            m_state.lastJudged = std::max(m_state.lastJudged, r->flowStartSeconds);
        m_state.lastPass = m_pass.now;
        std::stable_sort(m_alerts.begin(), m_alerts.end(),
                         [](const Alert &a, const Alert &b) { return a.time < b.time; });
        return {m_alerts, catchUp, std::move(m_state), std::move(m_distances), std::move(m_tx)};
    }

private:
    // The farthest receiver of a band in the pass, once it beats the band's record.
    struct PassBest
    {
        double km = 0; // the record until beaten
        double bearing = 0;
        QString receiver;
        qint64 time = 0;
        bool beaten = false;
    };

    PassBest &bestOn(const QString &band)
    {
        auto it = m_best.find(band);
        if (it == m_best.end())
            it = m_best.insert(band, {m_state.records.value(band).km, 0, {}, 0, false});
        return *it;
    }

    std::optional<GeoPath> pathTo(int place)
    {
        return place < 0 ? std::nullopt : std::optional<GeoPath>(m_distances.path(place));
    }

    void tell(bool ruleOn, Alert alert)
    {
        if (m_silent || !ruleOn)
            return;
        const QString key = recentKey(alert.rule, alert.band, alert.subject);
        if (m_state.recent.contains(key))
            return;
        m_state.recent.insert(key, m_pass.now);
        m_alerts << std::move(alert);
    }

    void pruneRecent()
    {
        for (auto it = m_state.recent.begin(); it != m_state.recent.end();) {
            if (it.value() <= m_pass.now - kHour)
                it = m_state.recent.erase(it);
            else
                ++it;
        }
    }

    void judge(const ArchivedReport &r)
    {
        const QString band = alertBand(r);
        const int place = m_distances.place(r.locator);
        const qint64 t = r.flowStartSeconds;

        if (!r.dxcc.isEmpty()) {
            const QString bandKey = entityBandKey(band, r.dxcc);
            if (!m_state.entities.contains(r.dxcc)) {
                tell(m_s.newEntity, {t, AlertRule::NewEntity, band, r.dxcc,
                                     withPath(QStringLiteral("New DXCC entity: ") + r.dxcc + QStringLiteral(", ")
                                                  + r.receiver + QStringLiteral(" on ") + band,
                                              pathTo(place))});
            } else if (!m_state.entityBands.contains(bandKey)) {
                tell(m_s.newEntity && m_s.entityPerBand,
                     {t, AlertRule::EntityOnBand, band, r.dxcc,
                      withPath(r.dxcc + QStringLiteral(" on ") + band + QStringLiteral(" for the first time: ")
                                   + r.receiver,
                               pathTo(place))});
            }
            m_state.entities.insert(r.dxcc);
            m_state.entityBands.insert(bandKey);
        }

        if (m_s.watch) {
            for (const QString &pattern : m_s.watchList) {
                if (matchesWatch(r.receiver, pattern)) {
                    QString text = r.receiver + QStringLiteral(" hears you on ") + band;
                    if (!r.snrText.isEmpty())
                        text += QStringLiteral(": ") + r.snrText + QStringLiteral(" dB");
                    tell(true, {t, AlertRule::WatchedStation, band, r.receiver, withPath(text, pathTo(place))});
                    break;
                }
            }
        }

        if (place >= 0 && isPlanBand(band)) {
            PassBest &best = bestOn(band);
            if (m_distances.farther(place, best.km)) {
                const GeoPath path = m_distances.path(place);
                best = {path.distanceKm, path.bearingDegrees, r.receiver, t, true};
            }
            if (m_distances.farther(place, m_s.openingKm))
                farReport(band, r.receiver, t, place);
        }

        if (t > m_state.lastReport) {
            if (m_state.lastReport > 0)
                m_state.reportBefore = m_state.lastReport;
            m_state.lastReport = t;
        } else if (t < m_state.lastReport && t > m_state.reportBefore) {
            m_state.reportBefore = t;
        }
    }

    void farReport(const QString &band, const QString &receiver, qint64 t, int place)
    {
        OpeningRun &run = m_state.openings[band];
        if (run.lastFar == 0 || t - run.lastFar >= m_s.openingHours * kHour)
            run = {t, t, {}, false, 0, 0, {}};
        run.lastFar = std::max(run.lastFar, t);
        if (m_distances.farther(place, run.farthestKm)) {
            const GeoPath path = m_distances.path(place);
            run.farthestKm = path.distanceKm;
            run.farthestBearing = path.bearingDegrees;
            run.farthest = receiver;
        }
        // Counted on to the end of the pass that tells the run, for its text.
        if ((!run.told || m_opened.contains(band)) && !run.receivers.contains(receiver))
            run.receivers << receiver;
        if (!run.told && run.receivers.size() >= m_s.openingReceivers) {
            run.told = true;
            m_opened.insert(band, t);
        }
    }

    void tellRecords()
    {
        for (auto it = m_best.cbegin(); it != m_best.cend(); ++it) {
            const PassBest &best = it.value();
            if (!best.beaten)
                continue;
            BandRecord &record = m_state.records[it.key()];
            // The first report of a band sets its record; only a later one beats it.
            if (record.km > 0) {
                tell(m_s.record, {best.time, AlertRule::DistanceRecord, it.key(), best.receiver,
                                  it.key() + QStringLiteral(" distance record: ") + best.receiver + u' '
                                      + kmText(best.km) + QStringLiteral(" (") + bearingText(best.bearing)
                                      + QStringLiteral("), before ") + kmText(record.km) + QStringLiteral(" (")
                                      + record.receiver + u')'});
            }
            record = {best.km, best.receiver};
        }
    }

    void tellOpenings()
    {
        for (auto it = m_opened.cbegin(); it != m_opened.cend(); ++it) {
            OpeningRun &run = m_state.openings[it.key()];
            tell(m_s.opening,
                 {it.value(), AlertRule::BandOpening, it.key(), run.farthest,
                  it.key() + QStringLiteral(" open: ")
                      + plural(run.receivers.size(), u"receiver beyond ", u"receivers beyond ")
                      + kmText(m_s.openingKm) + QStringLiteral(", farthest ") + run.farthest + u' '
                      + kmText(run.farthestKm) + QStringLiteral(" (") + bearingText(run.farthestBearing) + u')'});
            run.receivers.clear(); // a told run needs no names
        }
    }

    // Seconds spent transmitting from the given time to now.
    qint64 transmittingSince(qint64 from) const
    {
        qint64 sum = 0;
        for (const FollowedTransmission &f : m_tx) {
            if (!f.transmission.end.isValid())
                continue;
            const qint64 start = std::max(from, f.transmission.start.toSecsSinceEpoch());
            const qint64 end = std::min(m_pass.now, f.transmission.end.toSecsSinceEpoch());
            sum += std::max<qint64>(0, end - start);
        }
        if (m_pass.transmittingSince)
            sum += std::max<qint64>(0, m_pass.now - std::max(from, *m_pass.transmittingSince));
        return sum;
    }

    void judgeSilence(bool catchUp)
    {
        const qint64 span = qint64(m_s.silenceMinutes) * 60;
        const qint64 last = m_state.lastReport;
        if (last == 0 || m_state.silenceTold == last)
            return;
        // With the link live only time on the air counts, and it shows the
        // station at work; without it, reports shortly before the last one do.
        const bool live = m_pass.linkLive;
        if (live ? transmittingSince(last) < span
                 : m_pass.now - last < span || m_state.reportBefore == 0 || last - m_state.reportBefore > span)
            return;
        m_state.silenceTold = last;
        // A silence that began while the program was not looking is no news.
        if (!catchUp) {
            tell(m_s.silence,
                 {m_pass.now, AlertRule::Silence, QString(), QString(),
                  QStringLiteral("No report for %1 minutes%2: the last was at ")
                          .arg(QString::number(m_s.silenceMinutes),
                               live ? QStringLiteral(" of transmitting") : QString())
                      + utcClock(last)});
        }
    }

    // The operator's reports of the pass mark the transmissions they belong to.
    void markHeard(const QList<const ArchivedReport *> &reports)
    {
        if (m_tx.isEmpty())
            return;
        // No mode's half period is longer than a minute: only transmissions
        // that began before the report and a minute are looked at.
        constexpr qint64 kWidest = 60;
        for (const ArchivedReport *r : reports) {
            if (r->reference)
                continue;
            const qint64 t = r->flowStartSeconds;
            const QDateTime heard = QDateTime::fromSecsSinceEpoch(t, Qt::UTC);
            const QString band = alertBand(*r);
            const auto startsAfter = [](qint64 v, const FollowedTransmission &f) {
                return v < f.transmission.start.toSecsSinceEpoch();
            };
            auto it = std::upper_bound(m_tx.begin(), m_tx.end(), t + kWidest, startsAfter);
            while (it != m_tx.begin()) {
                --it;
                if (it->transmission.end.isValid() && it->transmission.end.toSecsSinceEpoch() + kWidest < t)
                    break;
                if (!it->heard && reportBelongsTo(it->transmission, heard, band, r->mode))
                    it->heard = true;
            }
        }
    }

    // Settles the transmissions that ended long enough ago; returns the bands
    // of those settled now, in the order of their transmissions.
    QStringList settle()
    {
        QStringList bands;
        for (FollowedTransmission &f : m_tx) {
            if (f.settled || !f.transmission.end.isValid()
                || m_pass.now < f.transmission.end.toSecsSinceEpoch() + kSettleSeconds)
                continue;
            f.settled = true;
            if (!bands.contains(f.transmission.band))
                bands << f.transmission.band;
        }
        return bands;
    }

    // Only newly settled transmissions raise the rule: a run told once is
    // told again only when more of it settles, and the flood rule allows.
    void tellUnheard(const QStringList &bands)
    {
        const qint64 span = qint64(m_s.unheardMinutes) * 60;
        for (const QString &band : bands) {
            qint64 count = 0, first = 0, last = 0;
            for (qsizetype i = m_tx.size() - 1; i >= 0; --i) {
                const FollowedTransmission &f = m_tx[i];
                if (f.transmission.band != band || !f.settled)
                    continue;
                if (last == 0)
                    last = f.transmission.end.toSecsSinceEpoch();
                if (f.heard || f.transmission.start.toSecsSinceEpoch() < last - span)
                    break;
                ++count;
                first = f.transmission.start.toSecsSinceEpoch();
            }
            if (count < m_s.unheardCount)
                continue;
            QString text = band + QStringLiteral(": ") + plural(count, u"transmission", u"transmissions")
                           + QStringLiteral(" since ") + utcClock(first) + QStringLiteral(", nobody heard you");
            if (const auto [reference, receivers] = bestReference(band, first, last); receivers > 0) {
                text += QStringLiteral("; ") + reference + QStringLiteral(" was heard by ")
                        + plural(receivers, u"receiver", u"receivers");
            }
            tell(m_s.unheard, {m_pass.now, AlertRule::Unheard, band, QString(), text});
        }
    }

    // The reference with most distinct receivers on the band over the span.
    std::pair<QString, qint64> bestReference(const QString &band, qint64 from, qint64 to) const
    {
        QHash<QString, QSet<QString>> receivers;
        for (const ReferenceHeard &r : m_pass.references) {
            if (r.band == band && r.time >= from && r.time <= to)
                receivers[r.reference].insert(r.receiver);
        }
        std::pair<QString, qint64> best;
        for (auto it = receivers.cbegin(); it != receivers.cend(); ++it) {
            const qint64 n = it.value().size();
            if (n > best.second || (n == best.second && it.key() < best.first))
                best = {it.key(), n};
        }
        return best;
    }

    void firstLook(const QList<const ArchivedReport *> &reports)
    {
        QSet<QString> receivers, entities, bands;
        const ArchivedReport *farthest = nullptr;
        double farthestKm = 0;
        for (const ArchivedReport *r : reports) {
            receivers.insert(r->receiver);
            if (!r->dxcc.isEmpty())
                entities.insert(r->dxcc);
            bands.insert(alertBand(*r));
            if (const int place = m_distances.place(r->locator); place >= 0 && m_distances.farther(place, farthestKm)) {
                farthestKm = m_distances.path(place).distanceKm;
                farthest = r;
            }
        }
        QString text = QStringLiteral("First look: ") + plural(reports.size(), u"report", u"reports")
                       + QStringLiteral(" from ") + plural(receivers.size(), u"receiver", u"receivers")
                       + QStringLiteral(" in ") + plural(entities.size(), u"DXCC entity", u"DXCC entities")
                       + QStringLiteral(" on ") + plural(bands.size(), u"band", u"bands");
        if (farthest) {
            text += QStringLiteral("; farthest ") + farthest->receiver + u' ' + kmText(farthestKm)
                    + QStringLiteral(" on ") + alertBand(*farthest);
        }
        m_alerts << Alert{reports.last()->flowStartSeconds, AlertRule::FirstLook, QString(), QString(), text};
    }

    const AlertSettings &m_s;
    AlertState &m_state;
    const PassInput &m_pass;
    bool m_silent = false;
    QList<Alert> m_alerts;
    LocatorDistances m_distances;
    QHash<QString, PassBest> m_best;
    QHash<QString, qint64> m_opened; // bands whose run was told in this pass, and when
    QList<FollowedTransmission> m_tx;
};

} // namespace

Judgement judgePass(const AlertSettings &settings, AlertState state, const PassInput &pass)
{
    return PassJudge(settings, state, pass).run();
}

QString alertBand(const ArchivedReport &report)
{
    return report.frequency ? bandOfFrequency(*report.frequency) : report.band;
}

bool matchesWatch(QStringView callsign, QStringView pattern)
{
    // Greedy matching with one point to go back to: '*' is the only wildcard.
    qsizetype c = 0, p = 0, star = -1, resume = 0;
    while (c < callsign.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = c;
        } else if (p < pattern.size() && pattern[p].toUpper() == callsign[c].toUpper()) {
            ++p;
            ++c;
        } else if (star >= 0) {
            p = star + 1;
            c = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size() && !pattern.isEmpty();
}

QString kmText(double km)
{
    static const QLocale grouped(QLocale::English, QLocale::UnitedKingdom);
    return grouped.toString(qint64(std::llround(km))) + QStringLiteral(" km");
}

ReachPeriod reachPeriodFor(qint64 time, qint64 now)
{
    for (ReachPeriod p : reachPeriods()) {
        if (p != ReachPeriod::All && archivePeriod(p, now).fromSeconds <= time)
            return p;
    }
    return ReachPeriod::All;
}
