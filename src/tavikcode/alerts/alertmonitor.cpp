#include "alertmonitor.h"

#include <QMetaObject>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <utility>

// Where the archive's thread posts what a store brought; emptied when the
// monitor goes.
struct AlertMonitor::Mailbox
{
    QMutex mutex;
    AlertMonitor *monitor = nullptr;

    void post(PassOutcome outcome)
    {
        QMutexLocker lock(&mutex);
        if (monitor) {
            QMetaObject::invokeMethod(
                monitor, [m = monitor, outcome = std::move(outcome)] { emit m->judged(outcome); },
                Qt::QueuedConnection);
        }
    }
};

// The transmissions and reference reports the Unheard and Silence rules
// look at: written on the monitor's thread, read and marked on the
// archive's.
struct AlertMonitor::TransmitLog
{
    static constexpr qint64 kKeptSeconds = 6 * 3600;
    static constexpr qsizetype kMostKept = 5000;

    QMutex mutex;
    QList<FollowedTransmission> transmissions; // ended ones, oldest first
    QList<quint64> ids;                        // one for each, to find it again after a pass
    quint64 nextId = 0;
    std::optional<qint64> runningSince;
    QList<ReferenceHeard> references;
    bool live = false;

    struct Snapshot
    {
        QList<FollowedTransmission> transmissions;
        QList<quint64> ids;
        QList<ReferenceHeard> references;
        bool live = false;
        std::optional<qint64> runningSince;
    };

    Snapshot snapshot()
    {
        QMutexLocker lock(&mutex);
        return {transmissions, ids, references, live, runningSince};
    }

    // What a committed pass learnt: flags only ever go from false to true.
    void learnt(const QList<quint64> &passIds, const QList<FollowedTransmission> &passed)
    {
        QMutexLocker lock(&mutex);
        QHash<quint64, qsizetype> place;
        for (qsizetype i = 0; i < ids.size(); ++i)
            place.insert(ids[i], i);
        for (qsizetype i = 0; i < passIds.size() && i < passed.size(); ++i) {
            if (const auto it = place.constFind(passIds[i]); it != place.cend()) {
                transmissions[*it].heard |= passed[i].heard;
                transmissions[*it].settled |= passed[i].settled;
            }
        }
    }

    void prune(qint64 newest)
    {
        qsizetype drop = 0;
        while (drop < transmissions.size()
               && (transmissions.size() - drop > kMostKept
                   || transmissions[drop].transmission.end.toSecsSinceEpoch() < newest - kKeptSeconds))
            ++drop;
        transmissions.remove(0, drop);
        ids.remove(0, drop);
        drop = 0;
        while (drop < references.size()
               && (references.size() - drop > kMostKept || references[drop].time < newest - kKeptSeconds))
            ++drop;
        references.remove(0, drop);
    }
};

namespace {

// The rules as one pass hands them to the archive. Used on the archive's
// thread only, after the hand-over.
class RulesJudge final : public AlertJudge
{
public:
    RulesJudge(AlertSettings settings, std::optional<GeoPosition> home, bool catchUp,
               std::shared_ptr<AlertMonitor::Mailbox> mailbox, std::shared_ptr<AlertMonitor::TransmitLog> log)
        : m_settings(std::move(settings)), m_home(home), m_catchUp(catchUp), m_mailbox(std::move(mailbox)),
          m_log(std::move(log))
    {
    }

    QList<Alert> judge(AlertState &state, const JudgedStore &store) override
    {
        AlertMonitor::TransmitLog::Snapshot log = m_log->snapshot();
        PassInput pass{store.added, m_home, store.now, m_catchUp || m_replaying, false};
        pass.transmissions = std::move(log.transmissions);
        pass.references = std::move(log.references);
        pass.linkLive = log.live;
        pass.transmittingSince = log.runningSince;
        Judgement j = judgePass(m_settings, std::move(state), pass);
        state = std::move(j.state);
        m_passIds = std::move(log.ids);
        m_passed = std::move(j.transmissions);
        m_outcome = {j.alerts, j.backlog, store.served, heard(store, j.distances), store.now};
        return j.alerts;
    }

    void committed() override
    {
        // Later stores with these rules (waiting reports stored on a retry) are no longer the first.
        m_catchUp = false;
        m_log->learnt(std::exchange(m_passIds, {}), std::exchange(m_passed, {}));
        if (!m_replaying) {
            m_mailbox->post(std::exchange(m_outcome, {}));
            return;
        }
        // Told once the replay ends, as one pass that caught up.
        PassOutcome done = std::exchange(m_outcome, {});
        m_replayed.alerts += done.alerts;
        m_replayed.heard += done.heard;
        m_replayed.reports = done.reports;
        m_replayed.now = done.now;
        m_replayedAny = true;
    }

    void beginCatchUp() override
    {
        m_replaying = true;
    }

    void endCatchUp() override
    {
        m_replaying = false;
        if (!std::exchange(m_replayedAny, false))
            return;
        PassOutcome replayed = std::exchange(m_replayed, {});
        std::stable_sort(replayed.alerts.begin(), replayed.alerts.end(),
                         [](const Alert &a, const Alert &b) { return a.time < b.time; });
        replayed.backlog = true;
        m_mailbox->post(std::move(replayed));
    }

    void learn(AlertState &state, const QList<ArchivedReport> &reports) override
    {
        if (reports.isEmpty())
            return;
        const qint64 newest = reports.constLast().flowStartSeconds;
        state = judgePass(m_settings, std::move(state), {reports, m_home, newest, false, true}).state;
    }

private:
    // The tray's "Now", with the distances the rules worked out: only the
    // farthest of each band is shown, so only those that may be it need
    // their true distance.
    QList<HeardReport> heard(const JudgedStore &store, LocatorDistances &distances) const
    {
        QList<HeardReport> heard;
        QList<int> places;
        QHash<QString, double> farthest; // quick distance, by band
        for (const ArchivedReport &r : store.added) {
            if (r.flowStartSeconds <= store.now - RecentHeard::kSpanSeconds)
                continue;
            heard << HeardReport{alertBand(r), r.receiver, r.flowStartSeconds, std::nullopt};
            places << distances.place(r.locator);
            if (places.constLast() >= 0) {
                double &km = farthest[heard.constLast().band];
                km = std::max(km, distances.sphereKm(places.constLast()));
            }
        }
        for (qsizetype i = 0; i < heard.size(); ++i) {
            if (places[i] < 0)
                continue;
            const double sphere = distances.sphereKm(places[i]);
            const bool mayBeFarthest = sphere / (1 - kSphereError) >= farthest.value(heard[i].band) / (1 + kSphereError);
            heard[i].km = mayBeFarthest ? distances.path(places[i]).distanceKm : sphere;
        }
        return heard;
    }

    const AlertSettings m_settings;
    const std::optional<GeoPosition> m_home;
    bool m_catchUp;
    std::shared_ptr<AlertMonitor::Mailbox> m_mailbox;
    std::shared_ptr<AlertMonitor::TransmitLog> m_log;
    QList<quint64> m_passIds; // the transmissions of the store judged last, until it is committed
    QList<FollowedTransmission> m_passed;
    PassOutcome m_outcome; // of the store judged last, until it is committed
    bool m_replaying = false;
    bool m_replayedAny = false;
    PassOutcome m_replayed; // of the replay's committed stores, until it ends
};

} // namespace

AlertMonitor::AlertMonitor(QObject *parent)
    : QObject(parent), m_mailbox(std::make_shared<Mailbox>()), m_log(std::make_shared<TransmitLog>())
{
    m_mailbox->monitor = this;
}

AlertMonitor::~AlertMonitor()
{
    QMutexLocker lock(&m_mailbox->mutex);
    m_mailbox->monitor = nullptr;
}

std::shared_ptr<AlertJudge> AlertMonitor::judge(const AlertSettings &settings,
                                                const std::optional<GeoPosition> &home, bool catchUp)
{
    return std::make_shared<RulesJudge>(settings, home, catchUp, m_mailbox, m_log);
}

void AlertMonitor::transmissionStarted(const Transmission &transmission)
{
    QMutexLocker lock(&m_log->mutex);
    m_log->runningSince = transmission.start.toSecsSinceEpoch();
}

void AlertMonitor::transmissionEnded(const Transmission &transmission)
{
    if (!transmission.start.isValid() || !transmission.end.isValid())
        return;
    QMutexLocker lock(&m_log->mutex);
    m_log->runningSince.reset();
    // Kept in the order of their starts, which the rules search by.
    qsizetype at = m_log->transmissions.size();
    while (at > 0 && m_log->transmissions[at - 1].transmission.start > transmission.start)
        --at;
    if (at > 0 && m_log->transmissions[at - 1].transmission.start == transmission.start)
        return; // told twice
    m_log->transmissions.insert(at, {transmission, false, false});
    m_log->ids.insert(at, m_log->nextId++);
    m_log->prune(transmission.end.toSecsSinceEpoch());
}

void AlertMonitor::referenceHeard(const QString &reference, const QString &band, const QString &receiver,
                                  qint64 time)
{
    QMutexLocker lock(&m_log->mutex);
    m_log->references << ReferenceHeard{reference, band, receiver, time};
    m_log->prune(time);
}

void AlertMonitor::setLinkLive(bool live)
{
    QMutexLocker lock(&m_log->mutex);
    m_log->live = live;
    if (!live)
        m_log->runningSince.reset();
}
