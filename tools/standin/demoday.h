#pragma once

#include "demoonair.h"
#include "demoreceivers.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// Made-up answers of the report service that follow a plausible day of a
// demo station: most reports on 20 m and 40 m, 6 m and up only from near
// receivers, 10 m to 15 m from far away mainly in the station's daylight,
// 80 m and 160 m mostly at night and nearer, more reports by day than by
// night. FT8 is the usual mode, with some FT4, WSPR and a little CW.
//
// Time is cut into 15-second slots (an FT8 cycle). The reports of a slot are
// served once the slot is over; each slot owns a block of sequence numbers,
// so the service's sequence grows with the clock and a later query with
// lastseqno gets only the reports made since. Everything depends only on the
// station's locator, the callsign and the instant.
namespace demo {

// The first slot: 13 September 2020 12:28 UTC, an even minute, so that slots
// fall on the FT8 cycles and WSPR's two-minute ones.
inline constexpr qint64 firstSeconds = 1'600'000'080;
inline constexpr qint64 slotSeconds = 15;
inline constexpr qint64 slotSequences = 32; // sequence numbers a slot owns, more than it ever uses
inline constexpr qint64 firstSequence = 30'000'000'000;
inline constexpr qint64 firstWindowSeconds = 90 * 60; // what a query without lastseqno gets
inline constexpr qint64 lookbackSeconds = 24 * 3600; // the oldest reports any answer holds
inline constexpr int mostReports = 10'000; // the most one answer holds

struct Report
{
    qint64 sequence;
    qint64 flowStartSeconds;
    int receiver; // index into receivers()
    Band band;
    Mode mode;
    qint64 frequency; // hertz
    int snr;
};

class Day
{
public:
    // Nothing for text that is no locator of 4 to 10 characters.
    static std::optional<Day> forLocator(const QString &locator);

    QByteArray locator() const { return m_locator; } // as sent: "IO91wm"
    maidenhead::Position station() const { return m_station; }
    const QList<Receiver> &receivers() const { return m_receivers; }

    // The station's local solar time, 0 to 24 hours, worked out from its
    // longitude alone.
    double localSolarHour(qint64 utcSeconds) const;

    // From that instant on, a DXpedition's receiver (expeditionReceiver) hears
    // the station once a minute on 20 m, and from six minutes later on 17 m
    // too, whatever the hour: a new entity, and farther than most, for the
    // demo's first minutes. Answers of earlier instants stay as they were.
    void setExpedition(qint64 fromSeconds);

    // From the play's first cycle on, the station's reports on 20 m and 40 m
    // follow its digital-mode program (OnAir): on 20 m several receivers
    // hear each of its FT8 transmissions, on 40 m nobody does, and neither
    // band has any other report. Answers of earlier instants stay as they were.
    void setOnAir(const OnAir &onAir) { m_onAir = onAir; }

    // The service's last sequence number at that instant.
    qint64 lastSequenceAt(qint64 nowSeconds) const;

    // The reports of one slot (0 for the one starting at firstSeconds).
    QList<Report> reportsOfSlot(const QString &callsign, qint64 slot) const;

    // The whole answer to "/query?senderCallsign=" + callsign (+ "&lastseqno="
    // + lastSeqNo) at the given instant: without a sequence number the last
    // 90 minutes of reports, with one the reports made since it; at most
    // mostReports, the newest. A lastSeqNo that is not a number counts as none.
    QByteArray answer(const QString &callsign, const QString &lastSeqNo, qint64 nowSeconds) const;

    // A second station for the Compare window: referenceKm from the demo
    // station at referenceBearing, on the air in the same cycles and heard
    // by the same receivers. Against the demo station it is a few decibels
    // weaker to the east and stronger to the west; a receiver now and then
    // misses one of the two, most often the weaker.
    static constexpr double referenceKm = 30;
    static constexpr double referenceBearing = 250;
    QByteArray referenceLocator() const { return m_referenceLocator; }
    // The reference's reports of one slot, made from those of the demo
    // station's callsign in that slot.
    QList<Report> referenceReportsOfSlot(const QString &callsign, const QString &reference, qint64 slot) const;
    // The answer to a query for the reference, as answer() is for the station.
    QByteArray referenceAnswer(const QString &callsign, const QString &reference, const QString &lastSeqNo,
        qint64 nowSeconds) const;

private:
    Day(const QByteArray &locator, const maidenhead::Position &station);

    // The slot's reports on 20 m and 40 m made to follow m_onAir.
    void followOnAir(QList<Report> &reports, const QString &callsign, qint64 slot) const;

    // From the station, degrees.
    double bearingTo(const Receiver &receiver) const;

    using SlotReports = std::function<QList<Report>(qint64 slot)>;
    QByteArray answerOf(const QString &sender, const QByteArray &senderLocator, const SlotReports &reportsOf,
        const QString &lastSeqNo, qint64 nowSeconds) const;

    QByteArray m_locator;
    maidenhead::Position m_station;
    QList<Receiver> m_receivers;
    std::vector<double> m_bearings; // from the station to each receiver, degrees
    QByteArray m_referenceLocator;
    // For each band and hour of local solar time, the running sum of every
    // receiver's chance to be the one that hears the station.
    std::array<std::array<std::vector<double>, 24>, BandCount> m_chances;
    qint64 m_expeditionFrom = 0; // 0: none; its receiver is the last of m_receivers
    std::optional<OnAir> m_onAir;
};

} // namespace demo
