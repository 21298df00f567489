#include "archiverecords.h"

#include "processing/reportline.h"
#include "processing/reportorder.h"

#include <QDate>
#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// The text as ASCII for the number parsers; other characters become '?',
// which no number holds.
QVarLengthArray<char, 64> ascii(QStringView text)
{
    QVarLengthArray<char, 64> bytes(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        bytes[i] = c < 0x80 ? char(c) : '?';
    }
    return bytes;
}

// from_chars takes no leading plus sign; steps over one unless another sign follows.
template<class T, class... Format>
std::optional<T> parse(QStringView text, Format... format)
{
    const auto bytes = ascii(text);
    const char *begin = bytes.constData();
    const char *end = begin + bytes.size();
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-')
            return std::nullopt;
    }
    T value{};
    const auto [stop, error] = std::from_chars(begin, end, value, format...);
    if (begin == end || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// Hertz as a whole number, rounded; nothing for text that is no finite
// number or lies beyond 64 bits.
std::optional<qint64> hertz(QStringView text)
{
    const std::optional<double> value = parse<double>(text, std::chars_format::general);
    if (!value || !std::isfinite(*value) || std::fabs(*value) >= 9.2e18)
        return std::nullopt;
    return qint64(std::llround(*value));
}

// The value as a QString, sharing the previous record's text when it is the
// same: most reports of an answer have the same sender, mode, band and DXCC.
QString shared(QStringView value, const QString *previous)
{
    if (previous && *previous == value)
        return *previous;
    return value.toString();
}

QStringView skipBlanks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    return text.sliced(i);
}

} // namespace

std::optional<int> wholeNumberOf(QStringView text)
{
    return parse<int>(text, 10);
}

std::optional<ArchivedReport> reportFromAnswerLine(const QString &line, qint64 storedAt,
                                                   const ArchivedReport *previous)
{
    const LineAttributes attributes(line);
    const std::optional<qint64> seconds = parse<qint64>(attributes.value(search::kFlowStartSeconds), 10);
    if (!seconds)
        return std::nullopt;
    const auto same = [previous](QString ArchivedReport::*field) { return previous ? &(previous->*field) : nullptr; };
    ArchivedReport r;
    r.flowStartSeconds = *seconds;
    r.sender = shared(attributes.value(search::kSenderMarker), same(&ArchivedReport::sender));
    r.receiver = attributes.value(search::kReceiverCallsign).toString();
    r.locator = attributes.value(search::kReceiverLocator).left(kArchivedLocatorLength).toString();
    const QStringView frequency = attributes.value(search::kFrequency);
    r.frequency = hertz(frequency);
    r.band = FrequencyToBand(frequency.toString());
    if (previous && previous->band == r.band)
        r.band = previous->band;
    r.mode = shared(attributes.value(search::kMode), same(&ArchivedReport::mode));
    const QStringView snr = attributes.value(search::kSnr);
    r.snrText = shared(snr, same(&ArchivedReport::snrText));
    r.snr = wholeNumberOf(snr);
    r.dxcc = shared(attributes.value(search::kDxcc), same(&ArchivedReport::dxcc));
    r.storedAt = storedAt;
    return r;
}

std::optional<ReceiverSighting> receiverFromAnswerLine(const QString &line, qint64 seenAt)
{
    ReceiverSighting s;
    s.callsign = ReadAttribute(line, search::kActiveReceiverCallsign);
    if (s.callsign.isEmpty())
        return std::nullopt;
    s.locator = ReadAttribute(line, search::kLocator).left(kArchivedLocatorLength);
    s.seenAt = seenAt;
    return s;
}

std::optional<ArchivedReport> reportFromHistoryLine(const QString &line, const QString &sender, qint64 storedAt)
{
    const std::optional<qint64> instant = reportInstant(line);
    if (!instant)
        return std::nullopt;

    // Six fields closed by a comma, then the DXCC value closed by ", ": the
    // value may hold commas itself. The blanks and tab after a comma belong
    // to the field's ending.
    QStringView rest(line);
    QStringView fields[6];
    for (QStringView &field : fields) {
        const qsizetype comma = rest.indexOf(u',');
        if (comma < 0)
            return std::nullopt;
        field = rest.first(comma);
        rest = skipBlanks(rest.sliced(comma + 1));
    }
    if (rest.endsWith(u", "))
        rest.chop(2);
    else if (rest.endsWith(u','))
        rest.chop(1);

    ArchivedReport r;
    r.flowStartSeconds = *instant - QDate(1970, 1, 1).toJulianDay() * 86400;
    r.sender = sender;
    r.receiver = fields[1].toString();
    QStringView snr = fields[2];
    if (snr.startsWith(u'+'))
        snr = snr.sliced(1);
    r.snrText = snr.toString();
    r.snr = wholeNumberOf(snr);
    r.band = fields[3].toString();
    r.mode = fields[4].toString();
    r.locator = fields[5].toString();
    r.dxcc = rest.toString();
    r.storedAt = storedAt;
    return r;
}
