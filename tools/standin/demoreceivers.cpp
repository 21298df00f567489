#include "demoreceivers.h"

#include "splitmix.h"

#include <GeographicLib/Geodesic.hpp>

#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>

namespace demo {

namespace {

using splitmix::Random;

// Where amateurs live, roughly: a centre, how far they spread around it, how
// many receivers the pool takes from there, the callsign prefixes (the first
// the most common) and the call-area digits that follow them.
struct Area
{
    const char *dxcc;
    const char *dxccCode;
    const char *continent;
    double latitude;
    double longitude;
    double spreadKm;
    int receivers;
    const char *prefixes; // comma-separated
    const char *digits; // empty where the prefix ends in its digit
};

constexpr const char *usPrefixes = "K,W,N,KB,KC,KD,KE,KF,KG,KI,KJ,KK,AA,AB,AC,AD,AE,AF,AG,AI,AJ";
constexpr const char *jaPrefixes = "JA,JH,JR,JE,JF,JG,JI,JJ,JK,JL,JM,JN,JO,JP,JQ,JS";

constexpr std::array<Area, 93> areas { {
    // Europe
    { "England", "G", "Europe", 52.6, -1.6, 220, 22, "G,M,2E", "0345678" },
    { "Scotland", "GM", "Europe", 56.4, -4.0, 150, 5, "GM,MM", "0345678" },
    { "Wales", "GW", "Europe", 52.3, -3.5, 80, 3, "GW,MW", "0345678" },
    { "Northern Ireland", "GI", "Europe", 54.6, -6.5, 50, 2, "GI,MI", "03478" },
    { "Ireland", "EI", "Europe", 53.2, -7.8, 120, 4, "EI", "2345789" },
    { "Fed. Rep. of Germany", "DL", "Europe", 51.0, 10.0, 300, 28, "DL,DK,DJ,DF,DG,DH,DO,DM,DB,DC,DD",
        "123456789" },
    { "France", "F", "Europe", 46.8, 2.5, 350, 10, "F", "123456789" },
    { "Netherlands", "PA", "Europe", 52.2, 5.4, 80, 8, "PA,PD,PE,PH", "0123456789" },
    { "Belgium", "ON", "Europe", 50.7, 4.6, 70, 5, "ON", "345678" },
    { "Luxembourg", "LX", "Europe", 49.7, 6.1, 20, 1, "LX", "12" },
    { "Spain", "EA", "Europe", 40.2, -3.7, 350, 7, "EA,EB,EC", "1234567" },
    { "Portugal", "CT", "Europe", 39.6, -8.3, 150, 3, "CT,CS", "1247" },
    { "Italy", "I", "Europe", 42.8, 12.3, 350, 9, "I,IK,IZ,IU,IW", "0123456789" },
    { "Switzerland", "HB", "Europe", 46.8, 8.2, 80, 4, "HB9", "" },
    { "Austria", "OE", "Europe", 47.6, 14.2, 150, 4, "OE", "123456789" },
    { "Czech Republic", "OK", "Europe", 49.8, 15.5, 150, 5, "OK,OL", "12" },
    { "Slovak Republic", "OM", "Europe", 48.7, 19.5, 100, 2, "OM", "12345678" },
    { "Poland", "SP", "Europe", 52.0, 19.4, 250, 7, "SP,SQ,SO", "123456789" },
    { "Denmark", "OZ", "Europe", 55.9, 9.8, 120, 5, "OZ,OU", "1234579" },
    { "Sweden", "SM", "Europe", 59.4, 16.0, 300, 6, "SM,SA,SK", "01234567" },
    { "Norway", "LA", "Europe", 60.4, 9.5, 250, 4, "LA,LB", "1234569" },
    { "Finland", "OH", "Europe", 61.8, 25.0, 250, 5, "OH,OG", "0123456789" },
    { "Estonia", "ES", "Europe", 58.8, 25.5, 80, 1, "ES", "12345" },
    { "Latvia", "YL", "Europe", 56.9, 24.5, 80, 1, "YL", "23" },
    { "Lithuania", "LY", "Europe", 55.2, 23.9, 80, 2, "LY", "12345" },
    { "Hungary", "HA", "Europe", 47.3, 19.3, 150, 3, "HA,HG", "1234567" },
    { "Slovenia", "S5", "Europe", 46.1, 14.8, 40, 2, "S5", "0123456789" },
    { "Croatia", "9A", "Europe", 45.3, 16.0, 120, 2, "9A", "1234567" },
    { "Serbia", "YU", "Europe", 44.3, 20.6, 100, 2, "YU,YT", "1234" },
    { "Romania", "YO", "Europe", 45.8, 25.0, 200, 3, "YO", "2345789" },
    { "Bulgaria", "LZ", "Europe", 42.7, 25.3, 150, 2, "LZ", "12345" },
    { "Greece", "SV", "Europe", 39.0, 22.5, 200, 2, "SV,SZ", "12345789" },
    { "European Russia", "UA", "Europe", 55.8, 37.6, 500, 7, "UA,RA,RU,RW,R", "1346" },
    { "Ukraine", "UR", "Europe", 49.2, 31.0, 350, 3, "UR,UT,US", "0123456789" },
    { "Belarus", "EW", "Europe", 53.8, 27.6, 150, 1, "EW", "12345678" },
    { "Iceland", "TF", "Europe", 64.1, -21.9, 60, 1, "TF", "1238" },
    { "Canary Islands", "EA8", "Africa", 28.3, -15.8, 100, 1, "EA8,EC8", "" },
    // North America
    { "United States", "K", "North America", 41.5, -73.5, 350, 18, usPrefixes, "12" },
    { "United States", "K", "North America", 33.5, -83.5, 450, 14, usPrefixes, "4" },
    { "United States", "K", "North America", 41.8, -88.5, 450, 14, usPrefixes, "89" },
    { "United States", "K", "North America", 31.5, -97.0, 400, 9, usPrefixes, "5" },
    { "United States", "K", "North America", 39.8, -105.5, 400, 7, usPrefixes, "07" },
    { "United States", "K", "North America", 36.5, -120.5, 350, 14, usPrefixes, "6" },
    { "United States", "K", "North America", 46.5, -122.0, 300, 7, usPrefixes, "7" },
    { "Alaska", "KL", "North America", 61.2, -149.9, 200, 1, "KL7,AL7,NL7,WL7", "" },
    { "Hawaii", "KH6", "Oceania", 21.3, -157.9, 60, 1, "KH6,AH6,NH6,WH6", "" },
    { "Canada", "VE", "North America", 44.0, -79.5, 300, 6, "VE,VA", "3" },
    { "Canada", "VE", "North America", 46.5, -72.5, 250, 2, "VE,VA", "2" },
    { "Canada", "VE", "North America", 49.4, -123.0, 200, 3, "VE,VA", "7" },
    { "Canada", "VE", "North America", 51.5, -114.0, 250, 2, "VE,VA", "6" },
    { "Mexico", "XE", "North America", 19.6, -99.2, 300, 2, "XE", "123" },
    { "Puerto Rico", "KP4", "North America", 18.3, -66.4, 40, 1, "KP4,WP4,NP4", "" },
    { "Cuba", "CM", "North America", 22.5, -80.0, 250, 1, "CO,CM", "2268" },
    { "Dominican Republic", "HI", "North America", 18.6, -70.0, 100, 1, "HI", "38" },
    { "Trinidad &amp; Tobago", "9Y", "South America", 10.6, -61.3, 30, 1, "9Y4,9Z4", "" },
    // Asia
    { "Japan", "JA", "Asia", 35.7, 139.6, 120, 14, jaPrefixes, "1" },
    { "Japan", "JA", "Asia", 34.7, 135.4, 120, 6, jaPrefixes, "3" },
    { "Japan", "JA", "Asia", 35.1, 137.0, 80, 3, jaPrefixes, "2" },
    { "Japan", "JA", "Asia", 43.1, 141.4, 150, 2, jaPrefixes, "8" },
    { "Japan", "JA", "Asia", 33.3, 130.6, 120, 2, jaPrefixes, "6" },
    { "Japan", "JA", "Asia", 38.3, 140.9, 150, 2, jaPrefixes, "7" },
    { "Republic of Korea", "HL", "Asia", 37.4, 127.0, 150, 3, "HL,DS,6K", "12345" },
    { "China", "BY", "Asia", 31.2, 121.4, 600, 3, "BG,BH,BD,BA", "1234567" },
    { "Taiwan", "BV", "Asia", 24.9, 121.3, 80, 1, "BV,BX,BM", "2" },
    { "Asiatic Russia", "UA9", "Asia", 55.0, 82.9, 900, 3, "UA9,RA9,R9,UA0", "" },
    { "Kazakhstan", "UN", "Asia", 43.2, 76.9, 500, 1, "UN,UP", "7" },
    { "Thailand", "HS", "Asia", 13.8, 100.5, 200, 1, "HS,E2", "0" },
    { "Philippines", "DU", "Oceania", 14.6, 121.0, 200, 1, "DU,4F", "1" },
    { "Indonesia", "YB", "Oceania", -6.3, 106.8, 300, 1, "YB,YC,YD", "0123" },
    { "India", "VU", "Asia", 19.1, 73.0, 800, 2, "VU2,VU3", "" },
    { "Israel", "4X", "Asia", 32.0, 34.8, 60, 2, "4X,4Z", "1456" },
    { "Asiatic Turkey", "TA", "Asia", 39.9, 32.8, 350, 1, "TA,YM", "1234" },
    { "United Arab Emirates", "A6", "Asia", 25.2, 55.3, 50, 1, "A6", "1" },
    // Oceania
    { "Australia", "VK", "Oceania", -33.8, 151.0, 200, 4, "VK", "2" },
    { "Australia", "VK", "Oceania", -37.8, 145.0, 150, 3, "VK", "3" },
    { "Australia", "VK", "Oceania", -27.5, 153.0, 200, 2, "VK", "4" },
    { "Australia", "VK", "Oceania", -31.9, 115.9, 150, 2, "VK", "6" },
    { "Australia", "VK", "Oceania", -34.9, 138.6, 100, 1, "VK", "5" },
    { "New Zealand", "ZL", "Oceania", -36.9, 174.8, 120, 2, "ZL,ZM", "1" },
    { "New Zealand", "ZL", "Oceania", -41.2, 174.8, 150, 1, "ZL,ZM", "2" },
    // South America
    { "Brazil", "PY", "South America", -23.5, -46.6, 300, 4, "PY,PU,PP", "2" },
    { "Brazil", "PY", "South America", -22.9, -43.2, 150, 1, "PY,PU", "1" },
    { "Brazil", "PY", "South America", -30.0, -51.2, 200, 1, "PY,PU", "3" },
    { "Argentina", "LU", "South America", -34.6, -58.5, 250, 2, "LU,LW", "1234579" },
    { "Chile", "CE", "South America", -33.4, -70.6, 200, 1, "CE,CA,XQ", "2345" },
    { "Uruguay", "CX", "South America", -34.9, -56.2, 80, 1, "CX", "1234789" },
    { "Colombia", "HK", "South America", 4.7, -74.1, 200, 1, "HK,HJ", "3" },
    { "Venezuela", "YV", "South America", 10.5, -66.9, 150, 1, "YV", "5" },
    // Africa
    { "South Africa", "ZS", "Africa", -26.1, 28.0, 200, 2, "ZS,ZR", "6" },
    { "South Africa", "ZS", "Africa", -33.9, 18.5, 100, 1, "ZS", "1" },
    { "Namibia", "V5", "Africa", -22.6, 17.1, 150, 1, "V51", "" },
    { "Kenya", "5Z", "Africa", -1.3, 36.8, 100, 1, "5Z4", "" },
    { "Morocco", "CN", "Africa", 33.6, -7.6, 200, 1, "CN8", "" },
} };

constexpr int localReceivers = 36; // placed within a few hundred kilometres of the station
constexpr double localRangeKm = 450;

// How many of the receivers listen on each band (the VHF bands counting
// only those near enough to the station to be heard there at all).
constexpr std::array<double, BandCount> listening { 0.15, 0.35, 0.10, 0.70, 0.30, 0.80, 0.30, 0.35, 0.15,
    0.40, 0.50, 0.35, 0.15 };

constexpr std::array<const char *, 5> decoders { "WSJT-X v2.6.1", "WSJT-X v2.7.0", "JTDX v2.2.159",
    "MSHV v2.69", "WSJT-X v2.5.4" };
constexpr std::array<int, 5> decoderShares { 50, 20, 15, 10, 5 }; // percent
constexpr std::array<const char *, 8> antennas { "Dipole", "EFHW 20m", "Vertical", "3 el Yagi", "Loop",
    "Hexbeam", "Random wire", "" };

const GeographicLib::Geodesic &earth()
{
    return GeographicLib::Geodesic::WGS84();
}

maidenhead::Position moved(const maidenhead::Position &from, double bearing, double km)
{
    maidenhead::Position to;
    earth().Direct(from.latitude, from.longitude, bearing, km * 1000, to.latitude, to.longitude);
    return to;
}

double kmBetween(const maidenhead::Position &a, const maidenhead::Position &b)
{
    double metres = 0;
    earth().Inverse(a.latitude, a.longitude, b.latitude, b.longitude, metres);
    return metres / 1000;
}

QByteArray callsignIn(const Area &area, Random &r)
{
    const QList<QByteArray> prefixes = QByteArray(area.prefixes).split(',');
    // The first prefix is the most common one.
    const qsizetype pick = r.below(prefixes.size() + 2) - 2;
    QByteArray call = prefixes.at(std::max<qsizetype>(0, pick));
    const QByteArray digits(area.digits);
    if (!digits.isEmpty())
        call += digits.at(r.below(digits.size()));
    const int letters = call.size() >= 3 || r.chance(0.7) ? 3 : 2;
    for (int i = 0; i < letters; ++i)
        call += char('A' + r.below(26));
    return call;
}

const Area &nearestArea(const maidenhead::Position &position)
{
    const Area *nearest = &areas[0];
    double best = 1e9;
    for (const Area &area : areas) {
        const double km = kmBetween(position, { area.latitude, area.longitude });
        if (km < best) {
            best = km;
            nearest = &area;
        }
    }
    return *nearest;
}

Receiver receiverIn(const Area &area, const maidenhead::Position &at, Random &r, QSet<QByteArray> &taken)
{
    Receiver receiver;
    do
        receiver.callsign = callsignIn(area, r);
    while (taken.contains(receiver.callsign));
    taken.insert(receiver.callsign);
    receiver.locator = maidenhead::locatorOf(at, 6);
    receiver.position = at;
    receiver.dxcc = area.dxcc;
    receiver.dxccCode = area.dxccCode;
    receiver.continent = area.continent;
    // A few stations report all day long; most now and then.
    receiver.activity = 0.2 + 2.5 * std::pow(r.unit(), 3);
    receiver.modes = 1u << FT8;
    if (r.chance(0.6))
        receiver.modes |= 1u << FT4;
    if (r.chance(0.3))
        receiver.modes |= 1u << WSPR;
    if (r.chance(0.12))
        receiver.modes |= 1u << CW;
    qint64 share = r.below(100);
    size_t d = 0;
    while (share >= decoderShares[d])
        share -= decoderShares[d++];
    receiver.decoder = decoders[d];
    receiver.antenna = antennas[size_t(r.below(antennas.size()))];
    return receiver;
}

} // namespace

QList<Receiver> receiversAround(const maidenhead::Position &station)
{
    Random r(0x7A1C'D3E0'5EED'0001ULL);
    QList<Receiver> pool;
    QSet<QByteArray> taken;
    for (const Area &area : areas) {
        for (int i = 0; i < area.receivers; ++i) {
            const maidenhead::Position at = moved(
                { area.latitude, area.longitude }, 360 * r.unit(), area.spreadKm * std::sqrt(r.unit()));
            pool += receiverIn(area, at, r, taken);
        }
    }
    // Some four-character locators among the six, as older programs send.
    for (qsizetype i = 7; i < pool.size(); i += 19)
        pool[i].locator.truncate(4);
    // One station each with a longer locator, none and one that is no locator.
    const auto firstOf = [&pool](const char *dxcc) -> Receiver & {
        for (Receiver &receiver : pool)
            if (receiver.dxcc == dxcc && receiver.locator.size() == 6)
                return receiver;
        return pool.first();
    };
    Receiver &eight = firstOf("Japan");
    eight.locator = maidenhead::locatorOf(eight.position, 8);
    Receiver &ten = firstOf("Fed. Rep. of Germany");
    ten.locator = maidenhead::locatorOf(ten.position, 10);
    firstOf("United States").locator.clear();
    firstOf("Brazil").locator = "n/a";

    for (int i = 0; i < localReceivers; ++i) {
        const maidenhead::Position at
            = moved(station, 360 * r.unit(), 10 + (localRangeKm - 10) * std::pow(r.unit(), 1.3));
        pool += receiverIn(nearestArea(at), at, r, taken);
    }

    for (Receiver &receiver : pool) {
        // Distances count from the centre of the square a receiver names,
        // as anyone reading its locator would reckon them.
        if (const auto centre = maidenhead::centreOf(QString::fromLatin1(receiver.locator)))
            receiver.position = *centre;
        receiver.distanceKm = kmBetween(station, receiver.position);

        for (int band = 0; band < BandCount; ++band) {
            const bool nearEnough = !isVhf(Band(band))
                || (receiver.distanceKm <= vhfRangeKm(Band(band))
                    && maidenhead::centreOf(QString::fromLatin1(receiver.locator)));
            if (nearEnough && r.chance(listening[size_t(band)]))
                receiver.bands |= 1u << band;
        }
        if (receiver.bands == 0)
            receiver.bands = 1u << B20m;
    }
    return pool;
}

Receiver expeditionReceiver(const maidenhead::Position &station)
{
    Receiver receiver;
    receiver.callsign = "ZL7X";
    receiver.locator = maidenhead::locatorOf({ -43.95, -176.56 }, 6); // Waitangi
    receiver.dxcc = "Chatham Islands";
    receiver.dxccCode = "ZL7";
    receiver.continent = "Oceania";
    receiver.decoder = decoders[0];
    receiver.antenna = "3 el Yagi";
    receiver.position = *maidenhead::centreOf(QString::fromLatin1(receiver.locator));
    receiver.distanceKm = kmBetween(station, receiver.position);
    receiver.modes = 1u << FT8;
    receiver.bands = (1u << B20m) | (1u << B17m);
    return receiver;
}

} // namespace demo
