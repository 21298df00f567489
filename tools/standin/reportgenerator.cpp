#include "reportgenerator.h"

#include "splitmix.h"

#include <QByteArrayList>
#include <QList>

#include <algorithm>
#include <array>

namespace {

using splitmix::mix;
using splitmix::Random;
using splitmix::seedOf;

struct Receiver
{
    const char *callsign;
    const char *locator;
    const char *dxcc;
    const char *dxccCode;
    const char *region;
};

constexpr std::array<Receiver, 26> receivers { {
    { "K1JT", "FN20qi", "United States", "K", "North America" },
    { "DL1ABC", "JO62qm", "Fed. Rep. of Germany", "DL", "Europe" },
    { "G0ABC", "IO91wm", "England", "G", "Europe" },
    { "VK2XYZ", "QF56od", "Australia", "VK", "Oceania" },
    { "JA1ABC", "PM95vq", "Japan", "JA", "Asia" },
    { "F5ABC", "JN18eu", "France", "F", "Europe" },
    { "EA4XYZ", "IN80do", "Spain", "EA", "Europe" },
    { "I2ABC", "JN45on", "Italy", "I", "Europe" },
    { "OH2ABC", "KP20le", "Finland", "OH", "Europe" },
    { "SM5ABC", "JO89xh", "Sweden", "SM", "Europe" },
    { "PY2ABC", "GG66pw", "Brazil", "PY", "South America" },
    { "ZS6ABC", "KG44dc", "South Africa", "ZS", "Africa" },
    { "VE3ABC", "FN03gq", "Canada", "VE", "North America" },
    { "W6ABC", "CM87wj", "United States", "K", "North America" },
    { "LU1ABC", "GF05to", "Argentina", "LU", "South America" },
    { "ZL2ABC", "RE78ir", "New Zealand", "ZL", "Oceania" },
    { "OK1ABC", "JO70fc", "Czech Republic", "OK", "Europe" },
    { "SP5ABC", "KO02md", "Poland", "SP", "Europe" },
    { "PA3ABC", "JO22hd", "Netherlands", "PA", "Europe" },
    { "ON4ABC", "JO20ft", "Belgium", "ON", "Europe" },
    { "HB9ABC", "JN47pi", "Switzerland", "HB", "Europe" },
    { "EI5ABC", "IO63ui", "Ireland", "EI", "Europe" },
    { "GM4ABC", "IO85jx", "Scotland", "GM", "Europe" },
    { "KH6ABC", "BL11bh", "Hawaii", "KH6", "Oceania" },
    { "OE3ABC", "JN88ee", "Austria", "OE", "Europe" },
    { "YO3ABC", "KN34bk", "Romania", "YO", "Europe" },
} };

// Dial frequencies from 2200 m to 3 cm.
constexpr std::array<qint64, 20> dials {
    136'000,
    474'200,
    1'840'000,
    3'573'000,
    5'357'000,
    7'074'000,
    10'136'000,
    14'074'000,
    18'100'000,
    21'074'000,
    24'915'000,
    28'074'000,
    50'313'000,
    144'174'000,
    432'065'000,
    1'296'500'000,
    2'320'000'000,
    3'400'000'000,
    5'760'000'000,
    10'368'000'000,
};

constexpr std::array<const char *, 6> modes { "FT8", "FT4", "WSPR", "JT65", "PSK31", "CW" };
constexpr std::array<const char *, 4> decoders { "WSJT-X v2.6.1", "JTDX v2.2.159", "MSHV v2.69",
    "CW Skimmer 2.1" };
constexpr std::array<const char *, 5> antennas { "Dipole", "EFHW 20m", "Vertical", "3 el Yagi", "Loop" };

QByteArray attr(const char *name, const QByteArray &value)
{
    return QByteArray(" ") + name + "=\"" + value + '"';
}

QByteArray escaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// A made-up six-character locator of the sending station.
QByteArray senderLocator(const QString &callsign)
{
    Random r(seedOf(callsign));
    QByteArray loc;
    loc += char('A' + r.below(18));
    loc += char('A' + r.below(18));
    loc += char('0' + r.below(10));
    loc += char('0' + r.below(10));
    loc += char('a' + r.below(24));
    loc += char('a' + r.below(24));
    return loc;
}

struct Report
{
    const Receiver *receiver;
    qint64 frequency;
    const char *mode;
};

Report reportOf(const QString &callsign, qint64 k)
{
    Random r(seedOf(callsign) ^ mix(quint64(k)));
    const Receiver *receiver = &receivers[size_t(r.below(receivers.size()))];
    const qint64 frequency = dials[size_t(r.below(dials.size()))] + 200 + r.below(2800);
    return { receiver, frequency, modes[size_t(r.below(modes.size()))] };
}

} // namespace

namespace ReportGenerator {

qint64 lastSequenceAt(qint64 nowSeconds)
{
    return firstSequence + std::max<qint64>(0, (nowSeconds - firstSeconds) / interval);
}

QByteArray reportLine(const QString &callsign, qint64 k)
{
    const Report report = reportOf(callsign, k);
    Random r(mix(seedOf(callsign) + quint64(k)));
    return "<receptionReport" + attr("receiverCallsign", report.receiver->callsign)
        + attr("receiverLocator", report.receiver->locator) + attr("senderCallsign", escaped(callsign))
        + attr("senderLocator", senderLocator(callsign))
        + attr("frequency", QByteArray::number(report.frequency))
        + attr("flowStartSeconds", QByteArray::number(firstSeconds + k * interval))
        + attr("mode", report.mode) + attr("isSender", "1") + attr("receiverDXCC", report.receiver->dxcc)
        + attr("receiverDXCCCode", report.receiver->dxccCode)
        + attr("sNR", QByteArray::number(r.below(41) - 25)) + " />";
}

QByteArray answer(const QString &callsign, const QString &lastSeqNo, qint64 nowSeconds)
{
    const qint64 last = lastSequenceAt(nowSeconds);
    qint64 first = last - newestReports + 1;
    bool known = false;
    const qint64 after = lastSeqNo.toLongLong(&known);
    if (known)
        first = std::max(after + 1, last - mostReports + 1);
    first = std::max(first, firstSequence);

    QByteArrayList reports;
    QList<const Receiver *> heard;
    QByteArray lastMode = "FT8";
    qint64 lastFrequency = dials[7];
    for (qint64 seq = first; seq <= last; ++seq) {
        const Report report = reportOf(callsign, seq - firstSequence);
        reports += reportLine(callsign, seq - firstSequence);
        if (!heard.contains(report.receiver))
            heard += report.receiver;
        lastMode = report.mode;
        lastFrequency = report.frequency;
    }
    if (heard.isEmpty()) {
        const qint64 start = qint64(seedOf(callsign) % receivers.size());
        for (qint64 i = 0; i < 5; ++i)
            heard += &receivers[size_t((start + i) % qint64(receivers.size()))];
    }

    QByteArrayList lines;
    lines += R"(<?xml version="1.0" encoding="UTF-8"?>)";
    lines += "<receptionReports currentSeconds=\"" + QByteArray::number(nowSeconds) + "\">";
    for (const Receiver *receiver : heard) {
        Random r(seedOf(QString::fromLatin1(receiver->callsign)));
        lines += "<activeReceiver" + attr("callsign", receiver->callsign) + attr("locator", receiver->locator)
            + attr("frequency", QByteArray::number(dials[size_t(r.below(dials.size()))] + 1500))
            + attr("region", receiver->region) + attr("DXCC", receiver->dxcc)
            + attr("decoderSoftware", decoders[size_t(r.below(decoders.size()))])
            + attr("antennaInformation", antennas[size_t(r.below(antennas.size()))]) + attr("mode", "FT8")
            + " />";
    }
    lines += "<lastSequenceNumber value=\"" + QByteArray::number(last) + "\" />";
    lines += "<maxFlowStartSeconds value=\""
        + QByteArray::number(firstSeconds + (last - firstSequence) * interval) + "\" />";
    lines += reports;
    lines += "<activeCallsign" + attr("callsign", escaped(callsign))
        + attr("reports", QByteArray::number(reports.size())) + attr("DXCC", "") + attr("DXCCcode", "")
        + attr("frequency", QByteArray::number(lastFrequency)) + attr("mode", lastMode) + " />";
    lines += "</receptionReports>";
    return lines.join('\n');
}

} // namespace ReportGenerator
