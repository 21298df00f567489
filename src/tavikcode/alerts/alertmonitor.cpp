#include "alertmonitor.h"

#include <QMetaObject>
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

namespace {

// The rules as one pass hands them to the archive. Used on the archive's
// thread only, after the hand-over.
class RulesJudge final : public AlertJudge
{
public:
    RulesJudge(AlertSettings settings, std::optional<GeoPosition> home, bool catchUp,
               std::shared_ptr<AlertMonitor::Mailbox> mailbox)
        : m_settings(std::move(settings)), m_home(home), m_catchUp(catchUp), m_mailbox(std::move(mailbox))
    {
    }

    QList<Alert> judge(AlertState &state, const JudgedStore &store) override
    {
        Judgement j = judgePass(m_settings, std::move(state),
                                {store.added, m_home, store.now, m_catchUp || m_replaying, false});
        state = std::move(j.state);
        m_outcome = {j.alerts, j.backlog, store.served, heard(store, j.distances), store.now};
        return j.alerts;
    }

    void committed() override
    {
        // Later stores with these rules (waiting reports stored on a retry) are no longer the first.
        m_catchUp = false;
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
    PassOutcome m_outcome; // of the store judged last, until it is committed
    bool m_replaying = false;
    bool m_replayedAny = false;
    PassOutcome m_replayed; // of the replay's committed stores, until it ends
};

} // namespace

AlertMonitor::AlertMonitor(QObject *parent) : QObject(parent), m_mailbox(std::make_shared<Mailbox>())
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
    return std::make_shared<RulesJudge>(settings, home, catchUp, m_mailbox);
}
