#pragma once

#include "wsjtxmessage.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The copies of WSJT-X (or JTDX) heard, by Id. The program follows one: the
// copy whose DE call is the operator's callsign, else the first heard. Time
// is passed in, so that a test can drive it.
struct WsjtxInstance
{
    QString id;
    QString version;            // from the heartbeat, empty until one came
    QDateTime firstHeard;
    QDateTime lastHeartbeat;    // or when first heard, before any heartbeat
    std::optional<WsjtxStatus> status;  // the latest
};

class WsjtxInstances
{
public:
    // A copy that sends no heartbeat for this long is forgotten.
    static constexpr qint64 kSilenceSeconds = 60;

    void setOperatorCallsign(const QString &callsign);

    // Takes a decoded message heard at the given time; a Close forgets its
    // sender, a message without an Id is passed over. Returns true when the
    // followed copy changed.
    bool take(const WsjtxMessage &message, const QDateTime &at);

    // Forgets the copies silent for more than kSilenceSeconds; returns their
    // Ids. Whether the followed one changed shows in followedId().
    QStringList forgetSilent(const QDateTime &now);

    // Empty when none is heard.
    QString followedId() const { return m_followed; }
    const WsjtxInstance *followed() const;
    // Every copy heard, in the order first heard, the followed one included.
    const QList<WsjtxInstance> &all() const { return m_instances; }
    QStringList otherIds() const;

private:
    WsjtxInstance *find(const QString &id);
    bool chooseFollowed();

    QString m_callsign;
    QList<WsjtxInstance> m_instances;
    QString m_followed;
};
