#pragma once

#include "demoreceivers.h"

#include <QtGlobal>

#include <optional>

// The demo station's digital-mode program on the air, as the stand-in plays
// it over WSJT-X's UDP messages and as the demo's reports hear it: FT8 in
// every other cycle (from 0 and 30 s of each minute, 12.6 s long), in
// rounds of 15 minutes from the first cycle on: 6 minutes on 20 m, heard by
// several receivers; 6 minutes on 40 m, heard by nobody; 3 minutes back on
// 20 m with the transmitter off.
namespace demo {

struct OnAirState
{
    Band band = B20m;
    bool txEnabled = false;
    bool transmitting = false;

    bool operator==(const OnAirState &) const = default;
};

class OnAir
{
public:
    static constexpr qint64 cycleSeconds = 15;
    static constexpr qint64 txMilliseconds = 12'600;
    static constexpr qint64 roundMinutes = 15;
    static constexpr qint64 twentyMinutes = 6; // then 40 m as long, then the pause

    // From the first cycle at or after that instant (a multiple of 30 s).
    static OnAir startingAt(qint64 seconds);

    qint64 fromSeconds() const { return m_from; }

    // What the program shows at that instant (milliseconds since 1970):
    // before the first cycle tuned to 20 m with the transmitter off.
    OnAirState stateAt(qint64 msecs) const;

    // The band of the transmission that begins at that instant, if one does.
    std::optional<Band> transmissionAt(qint64 seconds) const;

    // The first instant after msecs at which stateAt may change.
    qint64 nextChangeAfter(qint64 msecs) const;

    // The audio offset of the station's transmissions, hertz.
    static constexpr qint64 txOffsetHz = 1'240;

private:
    explicit OnAir(qint64 from) : m_from(from) {}

    qint64 m_from = 0;
};

} // namespace demo
