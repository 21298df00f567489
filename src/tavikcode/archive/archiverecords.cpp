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
QString shared(const QString &value, const QString *previous)
{
    if (previous && *previous == value)
        return *previous;
    return value;
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

std::optional<ArchivedReport> reportFromAnswer(const AnswerReport &served, qint64 storedAt,
                                               const ArchivedReport *previous)
{
    const std::optional<qint64> seconds = wholeNumberText(served.flowStartSeconds);
    if (!seconds)
        return std::nullopt;
    const auto same = [previous](QString ArchivedReport::*field) { return previous ? &(previous->*field) : nullptr; };
    ArchivedReport r;
    r.flowStartSeconds = *seconds;
    r.sender = shared(served.sender, same(&ArchivedReport::sender));
    r.receiver = served.receiver;
    r.locator = served.locator.left(kArchivedLocatorLength);
    r.frequency = hertz(served.frequency);
    // Named by the band plan; a frequency that is no number has no band.
    if (r.frequency)
        r.band = bandOfFrequency(*r.frequency);
    r.mode = shared(served.mode, same(&ArchivedReport::mode));
    r.snrText = shared(served.snr, same(&ArchivedReport::snrText));
    r.snr = wholeNumberOf(served.snr);
    r.dxcc = shared(served.dxcc, same(&ArchivedReport::dxcc));
    r.storedAt = storedAt;
    return r;
}

std::optional<ReceiverSighting> receiverFromAnswer(const AnswerReceiver &served, qint64 seenAt)
{
    if (served.callsign.isEmpty())
        return std::nullopt;
    return ReceiverSighting{served.callsign, served.locator.left(kArchivedLocatorLength), seenAt};
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
