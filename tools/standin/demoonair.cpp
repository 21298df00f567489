#include "demoonair.h"

namespace demo {

namespace {

qint64 ceilTo(qint64 value, qint64 step)
{
    const qint64 rest = ((value % step) + step) % step;
    return rest == 0 ? value : value + step - rest;
}

} // namespace

OnAir OnAir::startingAt(qint64 seconds)
{
    return OnAir(ceilTo(seconds, 2 * cycleSeconds));
}

OnAirState OnAir::stateAt(qint64 msecs) const
{
    const qint64 since = msecs - m_from * 1000;
    if (since < 0)
        return {};
    const qint64 minute = (since / 60'000) % roundMinutes;
    OnAirState state;
    state.band = minute >= twentyMinutes && minute < 2 * twentyMinutes ? B40m : B20m;
    state.txEnabled = minute < 2 * twentyMinutes;
    // m_from is a multiple of 30 s, so the cycles on the air start at 0 and 30 s.
    state.transmitting = state.txEnabled && since % (2 * cycleSeconds * 1000) < txMilliseconds;
    return state;
}

std::optional<Band> OnAir::transmissionAt(qint64 seconds) const
{
    if (seconds < m_from || (seconds - m_from) % (2 * cycleSeconds) != 0)
        return std::nullopt;
    const OnAirState state = stateAt(seconds * 1000);
    return state.transmitting ? std::optional<Band>(state.band) : std::nullopt;
}

qint64 OnAir::nextChangeAfter(qint64 msecs) const
{
    const qint64 period = 2 * cycleSeconds * 1000;
    const qint64 from = m_from * 1000;
    if (msecs < from)
        return from;
    const qint64 start = from + (msecs - from) / period * period;
    return msecs < start + txMilliseconds ? start + txMilliseconds : start + period;
}

} // namespace demo
