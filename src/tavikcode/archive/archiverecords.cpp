#include "archiverecords.h"

#include "bandplan.h"
#include "base/numbertext.h"
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

// Longer values are cut to this: no callsign, locator, mode or entity name
// comes near it, and an answer gone wrong cannot fill the archive with rows
// of megabytes.
constexpr qsizetype kMaxArchivedValue = 256;

// The archive reads every value whole, up to its closing double quote (none:
// empty); the 50-character window of ReadAttribute belongs to the history's
// line and cut a 32-character callsign to nothing. The attribute found is
// the same: the first occurrence of the search text, which ends in its
// opening quote.
QStringView wholeValue(const LineAttributes &attributes, QStringView line, QStringView searchText)
{
    const qsizetype at = attributes.find(searchText);
    if (at < 0)
        return {};
    const qsizetype start = at + searchText.size();
    const qsizetype close = line.indexOf(u'"', start);
    if (close < 0)
        return {};
    return line.sliced(start, std::min(close - start, kMaxArchivedValue));
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
    const auto value = [&](const QString &searchText) { return wholeValue(attributes, line, searchText); };
    const std::optional<qint64> seconds = wholeNumberText(value(search::kFlowStartSeconds));
    if (!seconds)
        return std::nullopt;
    const auto same = [previous](QString ArchivedReport::*field) { return previous ? &(previous->*field) : nullptr; };
    ArchivedReport r;
    r.flowStartSeconds = *seconds;
    r.sender = shared(value(search::kSenderMarker), same(&ArchivedReport::sender));
    r.receiver = value(search::kReceiverCallsign).toString();
    r.locator = value(search::kReceiverLocator).left(kArchivedLocatorLength).toString();
    r.frequency = hertz(value(search::kFrequency));
    // Named by the band plan; a frequency that is no number has no band.
    if (r.frequency)
        r.band = bandOfFrequency(*r.frequency);
    r.mode = shared(value(search::kMode), same(&ArchivedReport::mode));
    const QStringView snr = value(search::kSnr);
    r.snrText = shared(snr, same(&ArchivedReport::snrText));
    r.snr = wholeNumberOf(snr);
    r.dxcc = shared(value(search::kDxcc), same(&ArchivedReport::dxcc));
    r.storedAt = storedAt;
    return r;
}

std::optional<ReceiverSighting> receiverFromAnswerLine(const QString &line, qint64 seenAt)
{
    const LineAttributes attributes(line);
    ReceiverSighting s;
    s.callsign = wholeValue(attributes, line, search::kActiveReceiverCallsign).toString();
    if (s.callsign.isEmpty())
        return std::nullopt;
    s.locator = wholeValue(attributes, line, search::kLocator).left(kArchivedLocatorLength).toString();
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
