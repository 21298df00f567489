#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The tray's "Now": the bands heard in the last 15 minutes, with their
// receivers and the farthest of them. Fed from what the passes bring, so
// that it never reads the archive.

struct HeardReport
{
    QString band;
    QString receiver;
    qint64 time = 0;               // reception, seconds since 1970 UTC
    std::optional<double> km;      // from the operator's locator
};

class RecentHeard
{
public:
    static constexpr qint64 kSpanSeconds = 15 * 60;

    void add(const QList<HeardReport> &reports, qint64 now);
    // "Now: 20m 37 receivers, 8,912 km; 40m 12; 10m 5": the busiest band in
    // full, the others by their receivers.
    QString nowText(qint64 now);

private:
    void prune(qint64 now);

    struct Heard
    {
        qint64 time = 0;
        double km = -1; // no distance
    };
    QHash<QString, QHash<QString, Heard>> m_bands; // band, receiver
};
