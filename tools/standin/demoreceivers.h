#pragma once

#include "maidenhead.h"

#include <QByteArray>
#include <QList>

// The receiving stations of the demo: a few hundred around the world, more
// in Europe, North America and Japan, and a few dozen within a few hundred
// kilometres of the demo station, each with a callsign of its country's
// prefixes, the country's DXCC name and a locator as receivers send them.
namespace demo {

// The bands of the demo, from 160 m up to 70 cm.
enum Band { B160m, B80m, B60m, B40m, B30m, B20m, B17m, B15m, B12m, B10m, B6m, B2m, B70cm, BandCount };
enum Mode { FT8, FT4, WSPR, CW, ModeCount };

inline constexpr bool isVhf(Band band)
{
    return band >= B6m;
}

// How far a receiver may be to hear the demo station on 6 m and up: a few
// hundred kilometres (tropospheric paths and short sporadic-E hops).
inline constexpr double vhfRangeKm(Band band)
{
    return band == B6m ? 500 : 300;
}

struct Receiver
{
    QByteArray callsign;
    // As served: mostly six characters, some four, one eight, one ten, one
    // empty and one that is no locator at all.
    QByteArray locator;
    QByteArray dxcc; // as served, character references and all
    QByteArray dxccCode;
    QByteArray continent;
    QByteArray decoder;
    QByteArray antenna;
    // The centre of its locator's square, or where it is when it sends none.
    maidenhead::Position position;
    double distanceKm = 0; // from the demo station, on the WGS84 ellipsoid
    double activity = 1; // how often it reports, relative to the others
    unsigned bands = 0; // bit (1 << Band) for each band it listens on
    unsigned modes = 0; // bit (1 << Mode) for each mode it decodes
};

// The receivers for a demo station at that position, the same every time.
QList<Receiver> receiversAround(const maidenhead::Position &station);

// The receiver of a DXpedition to the Chatham Islands, an entity none of the
// others is in, on the far side of the earth from Europe: for the demo's
// alerts (Day::setExpedition).
Receiver expeditionReceiver(const maidenhead::Position &station);

} // namespace demo
