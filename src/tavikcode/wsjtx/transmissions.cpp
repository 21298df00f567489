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

qint64 halfPeriodMs(QStringView mode)
{
    const auto is = [&](QStringView name) { return mode.compare(name, Qt::CaseInsensitive) == 0; };
    if (is(u"FT8"))
        return 7'500;
    if (is(u"FT4"))
        return 3'750;
    if (is(u"WSPR") || is(u"FST4W"))
        return 60'000;
    return 30'000;
}

bool reportBelongsTo(const Transmission &transmission, const QDateTime &heard, QStringView band,
                     QStringView mode)
{
    if (band != transmission.band || mode.compare(transmission.mode, Qt::CaseInsensitive) != 0)
        return false;
    const qint64 half = halfPeriodMs(mode);
    return heard >= transmission.start.addMSecs(-half)
           && (!transmission.end.isValid() || heard <= transmission.end.addMSecs(half));
}
