#include "transmissions.h"

#include "archive/bandplan.h"

std::optional<Transmission> TransmissionTracker::take(const WsjtxStatus &status, const QDateTime &at)
{
    std::optional<Transmission> ended;
    if (m_running && (!status.transmitting || status.dialHz != m_running->dialHz || status.mode != m_running->mode))
        ended = stop(at);
    if (status.transmitting && !m_running) {
        m_running = Transmission{at, QDateTime(), status.dialHz, bandOfFrequency(qint64(status.dialHz)),
                                 status.mode, status.txDf};
    }
    return ended;
}

std::optional<Transmission> TransmissionTracker::stop(const QDateTime &at)
{
    std::optional<Transmission> ended = std::exchange(m_running, std::nullopt);
    if (ended)
        ended->end = at;
    return ended;
}
