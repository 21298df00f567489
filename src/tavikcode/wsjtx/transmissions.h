#pragma once

#include "archive/transmission.h"
#include "wsjtxmessage.h"

#include <optional>

// Builds transmissions from the successive statuses of the followed copy.
// A change of dial frequency or mode while transmitting ends one and starts
// the next, so that each lies on one band in one mode.
class TransmissionTracker
{
public:
    // Returns the transmission this status ends, if any.
    std::optional<Transmission> take(const WsjtxStatus &status, const QDateTime &at);

    // The followed copy closed, fell silent or changed: ends the one running.
    std::optional<Transmission> stop(const QDateTime &at);

    // The transmission running now, if any.
    const std::optional<Transmission> &running() const { return m_running; }

private:
    std::optional<Transmission> m_running;
};
