#pragma once

#include "transmissions.h"
#include "wsjtxinstances.h"
#include "wsjtxlistener.h"

#include <QObject>

// What the program makes of WSJT-X: the listener's messages go to the
// copies heard, and the followed copy's statuses to its transmissions.
class WsjtxMonitor : public QObject
{
    Q_OBJECT

public:
    explicit WsjtxMonitor(QObject *parent = nullptr);

    WsjtxListener &listener() { return m_listener; }
    const WsjtxInstances &instances() const { return m_instances; }
    // The transmission running now, if any.
    const std::optional<Transmission> &running() const { return m_tracker.running(); }

    void setOperatorCallsign(const QString &callsign);
    // A message heard at the given time (the listener's messages come here).
    void take(const WsjtxMessage &message, const QDateTime &at);
    // From the one-second tick: forgets the copies that fell silent.
    void tick(const QDateTime &now);

signals:
    void transmissionStarted(const Transmission &transmission);
    void transmissionEnded(const Transmission &transmission);
    // A copy came or went, another is followed, or the followed one's
    // frequency, mode, DE call or DE grid changed.
    void instancesChanged();

private:
    void followedChanged(const QDateTime &at);
    void ended(const std::optional<Transmission> &transmission);

    WsjtxListener m_listener;
    WsjtxInstances m_instances;
    TransmissionTracker m_tracker;
};
