#include "archiverecords.h"

#include "numbertext.h"
#include "processing/reportline.h"
#include "processing/reportorder.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Hertz as a whole number, rounded; nothing for text that is no finite
// number or lies beyond 64 bits.
std::optional<qint64> hertz(QStringView text)
{
    const std::optional<double> value = decimalNumberText(text);
    if (!value || std::fabs(*value) >= 9.2e18)
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
    const std::optional<qint64> value = wholeNumberText(text);
    if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(*value);
}

std::optional<ArchivedReport> reportFromAnswerLine(const QString &line, qint64 storedAt,
                                                   const ArchivedReport *previous)
{
    const LineAttributes attributes(line);
    const std::optional<qint64> seconds = wholeNumberText(attributes.value(search::kFlowStartSeconds));
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
