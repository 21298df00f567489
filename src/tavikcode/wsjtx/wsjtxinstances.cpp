#include "wsjtxinstances.h"

namespace {

bool isOwn(const WsjtxInstance &instance, const QString &callsign)
{
    return !callsign.isEmpty() && instance.status
           && instance.status->deCall.trimmed().compare(callsign, Qt::CaseInsensitive) == 0;
}

} // namespace

void WsjtxInstances::setOperatorCallsign(const QString &callsign)
{
    m_callsign = callsign.trimmed();
    chooseFollowed();
}

bool WsjtxInstances::take(const WsjtxMessage &message, const QDateTime &at)
{
    const QString id = wsjtxMessageId(message);
    // Every copy names itself; a message without a name cannot be told apart.
    if (id.isEmpty())
        return false;
    if (std::holds_alternative<WsjtxClose>(message)) {
        m_instances.removeIf([&](const WsjtxInstance &i) { return i.id == id; });
        return chooseFollowed();
    }
    WsjtxInstance *instance = find(id);
    if (!instance) {
        m_instances.append(WsjtxInstance{id, {}, at, at, std::nullopt});
        instance = &m_instances.last();
    }
    if (const auto *heartbeat = std::get_if<WsjtxHeartbeat>(&message)) {
        instance->lastHeartbeat = at;
        instance->version = heartbeat->version;
    } else if (const auto *status = std::get_if<WsjtxStatus>(&message)) {
        instance->status = *status;
    }
    return chooseFollowed();
}

QStringList WsjtxInstances::forgetSilent(const QDateTime &now)
{
    QStringList gone;
    m_instances.removeIf([&](const WsjtxInstance &i) {
        const bool silent = i.lastHeartbeat.secsTo(now) > kSilenceSeconds;
        if (silent)
            gone << i.id;
        return silent;
    });
    if (!gone.isEmpty())
        chooseFollowed();
    return gone;
}

const WsjtxInstance *WsjtxInstances::followed() const
{
    for (const WsjtxInstance &i : m_instances) {
        if (i.id == m_followed)
            return &i;
    }
    return nullptr;
}

QStringList WsjtxInstances::otherIds() const
{
    QStringList ids;
    for (const WsjtxInstance &i : m_instances) {
        if (i.id != m_followed)
            ids << i.id;
    }
    return ids;
}

WsjtxInstance *WsjtxInstances::find(const QString &id)
{
    for (WsjtxInstance &i : m_instances) {
        if (i.id == id)
            return &i;
    }
    return nullptr;
}

// The operator's own copy wins; otherwise the one followed stays followed,
// and when it is gone the first heard of the rest takes over.
bool WsjtxInstances::chooseFollowed()
{
    QString chosen;
    for (const WsjtxInstance &i : m_instances) {
        if (isOwn(i, m_callsign)) {
            chosen = i.id;
            break;
        }
    }
    if (chosen.isEmpty()) {
        const WsjtxInstance *current = followed();
        if (current)
            chosen = current->id;
        else if (!m_instances.isEmpty())
            chosen = m_instances.first().id;
    }
    const bool changed = chosen != m_followed;
    m_followed = chosen;
    return changed;
}
