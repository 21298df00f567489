#pragma once

#include "wsjtxmessage.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// One transmission: from the status that says Transmitting to the one that
// says it stopped. End is invalid while it runs.
struct Transmission
{
    QDateTime start;
    QDateTime end;
    quint64 dialHz = 0;
    QString band;  // by the band plan; "Other" outside every band
    QString mode;
    quint32 txDf = 0;

    bool operator==(const Transmission &) const = default;
};

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

// Half the mode's transmit period in milliseconds: FT8 7.5 s, FT4 3.75 s,
// WSPR and FST4W 60 s, any other mode 30 s.
qint64 halfPeriodMs(QStringView mode);

// Whether a report heard at the given time on the band in the mode belongs
// to the transmission: same band and mode (letter case aside), and a time
// within its start and end widened by half the mode's period. A running
// transmission (no end yet) takes any later time.
bool reportBelongsTo(const Transmission &transmission, const QDateTime &heard, QStringView band,
                     QStringView mode);
