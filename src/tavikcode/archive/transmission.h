#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// One transmission of the operator's, as the digital-mode program told it:
// from the status that says Transmitting to the one that says it stopped.
// End is invalid while it runs.
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

// A transmission with what the archive knows of who heard it: the
// operator's reports that belong to it (reportBelongsTo).
struct TransmissionSummary
{
    Transmission transmission;
    qint64 receivers = 0;          // distinct receivers that heard it
    QString farthestCallsign;      // empty when none heard it from a locator
    QString farthestLocator;
    std::optional<double> farthestKm;  // from the home locator given; none without one
    std::optional<double> medianSnr;   // of the reports with a whole-number SNR
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
