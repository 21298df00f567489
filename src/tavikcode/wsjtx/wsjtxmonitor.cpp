#include "wsjtxmonitor.h"

#include "base/clock.h"

WsjtxMonitor::WsjtxMonitor(QObject *parent) : QObject(parent)
{
    connect(&m_listener, &WsjtxListener::messageReceived, this, &WsjtxMonitor::take);
}

void WsjtxMonitor::setOperatorCallsign(const QString &callsign)
{
    const QString before = m_instances.followedId();
    m_instances.setOperatorCallsign(callsign);
    if (m_instances.followedId() != before)
        followedChanged(Clock::nowUtc());
}

namespace {

// What the tray and the windows show of the followed copy: a status every
// second changes none of it most of the time.
QString shownOf(const WsjtxInstances &instances)
{
    const WsjtxInstance *followed = instances.followed();
    if (!followed || !followed->status)
        return {};
    const WsjtxStatus &s = *followed->status;
    return QString::number(s.dialHz) + u'\n' + s.mode + u'\n' + s.deCall + u'\n' + s.deGrid.value_or(QString());
}

} // namespace

void WsjtxMonitor::take(const WsjtxMessage &message, const QDateTime &at)
{
    const qsizetype countBefore = m_instances.all().size();
    const QString shownBefore = shownOf(m_instances);
    const bool changed = m_instances.take(message, at);
    if (changed)
        followedChanged(at);
    else if (m_instances.all().size() != countBefore || shownOf(m_instances) != shownBefore)
        emit instancesChanged();

    const auto *status = std::get_if<WsjtxStatus>(&message);
    if (!status || status->id != m_instances.followedId())
        return;
    const bool wasRunning = m_tracker.running().has_value();
    const std::optional<Transmission> finished = m_tracker.take(*status, at);
    ended(finished);
    // A change of band or mode while transmitting ends one and starts another.
    if (m_tracker.running() && (!wasRunning || finished))
        emit transmissionStarted(*m_tracker.running());
}

void WsjtxMonitor::tick(const QDateTime &now)
{
    const QString before = m_instances.followedId();
    if (m_instances.forgetSilent(now).isEmpty())
        return;
    if (m_instances.followedId() != before)
        followedChanged(now);
    else
        emit instancesChanged();
}

// Transmissions belong to one copy: another's statuses start afresh.
void WsjtxMonitor::followedChanged(const QDateTime &at)
{
    ended(m_tracker.stop(at));
    emit instancesChanged();
}

void WsjtxMonitor::ended(const std::optional<Transmission> &transmission)
{
    if (transmission)
        emit transmissionEnded(*transmission);
}
