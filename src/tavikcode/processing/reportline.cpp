#include "reportline.h"

#include "base/datetime.h"
#include "base/numbertext.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr qsizetype kAttributeWindow = 50;

struct Band
{
    int lowMHz;
    int highMHz;
    const char16_t *name;
};

// Whole megahertz, both ends included.
constexpr Band kBands[] = {
    {0, 0, u"630m"},         {1, 1, u"160m"},         {3, 3, u"80m"},          {5, 5, u"60m"},
    {7, 7, u"40m"},          {10, 10, u"30m"},        {14, 14, u"20m"},        {18, 18, u"17m"},
    {21, 21, u"15m"},        {24, 24, u"12m"},        {28, 30, u"10m"},        {49, 60, u"6m"},
    {140, 150, u"2m"},       {420, 450, u"70cm"},     {1200, 1390, u"23cm"},   {2200, 2500, u"13cm"},
    {3300, 3600, u"9cm"},    {5600, 5900, u"6cm"},    {10000, 10500, u"3cm"},
};

// The value of an attribute whose search text starts at index start of the
// line (-1: not on the line), as a view into the line.
QStringView valueAt(QStringView line, qsizetype start)
{
    if (start < 0)
        return {};
    const QStringView window = line.mid(start, kAttributeWindow);
    const qsizetype open = window.indexOf(u'"');
    if (open < 0)
        return {};
    const QStringView rest = window.sliced(open + 1);
    const qsizetype close = rest.indexOf(u'"');
    if (close < 0)
        return {};
    return rest.first(close);
}

QString flowTime(QStringView seconds)
{
    const std::optional<qint64> value = wholeNumberText(seconds);
    if (!value)
        return {};
    const QDate epoch(1970, 1, 1);
    const qint64 firstDay = QDate(1, 1, 1).toJulianDay() - epoch.toJulianDay();
    const qint64 lastDay = QDate(9999, 12, 31).toJulianDay() - epoch.toJulianDay();
    if (*value < firstDay * 86400 || *value > lastDay * 86400 + 86399)
        return {};

    // Floor division: instants before 1970 still fall on the right day.
    qint64 day = *value / 86400;
    qint64 second = *value % 86400;
    if (second < 0) {
        second += 86400;
        --day;
    }
    const QString date = datetime::dateText(epoch.addDays(day));
    if (second == 0)
        return date;
    return date + u' ' + datetime::timeText(QTime::fromMSecsSinceStartOfDay(int(second * 1000)));
}

QString band(QStringView hertz)
{
    const std::optional<double> value = decimalNumberText(hertz);
    if (!value)
        return {};
    // Truncated toward zero: -999,999 to -1 Hz give 0 MHz, "630m", as the
    // table says; only a negative number of megahertz lies in no band.
    const double mhz = std::trunc(*value / 1000000.0);
    if (mhz < 0 || mhz > kBands[std::size(kBands) - 1].highMHz)
        return QStringLiteral("0m");
    const int m = int(mhz);
    for (const Band &entry : kBands) {
        if (m >= entry.lowMHz && m <= entry.highMHz)
            return QString::fromUtf16(entry.name);
    }
    return QStringLiteral("0m");
}

} // namespace

LineAttributes::LineAttributes(QStringView line) : m_line(line)
{
    const char16_t *const text = line.utf16();
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (text[i] == u'=')
            m_at.append(i);
    }
}

// Every occurrence of a search text has its last '=' at one of the places.
qsizetype LineAttributes::find(QStringView searchText) const
{
    const qsizetype anchor = searchText.lastIndexOf(u'=');
    for (const qsizetype at : m_at) {
        const qsizetype start = at - anchor;
        if (start < 0)
            continue;
        if (start + searchText.size() > m_line.size())
            break;
        if (m_line.sliced(start, searchText.size()) == searchText)
            return start;
    }
    return -1;
}

QStringView LineAttributes::value(QStringView searchText) const
{
    return valueAt(m_line, find(searchText));
}

QStringView LineAttributes::wholeValue(QStringView searchText) const
{
    const qsizetype at = find(searchText);
    if (at < 0)
        return {};
    const qsizetype start = at + searchText.size();
    const qsizetype close = m_line.indexOf(u'"', start);
    if (close < 0)
        return {};
    return m_line.sliced(start, std::min(close - start, kMaxWholeValue));
}

qsizetype findSearchText(QStringView line, QStringView searchText)
{
    if (searchText.isEmpty() || searchText.size() > line.size())
        return -1;
    // Anchor on the search text's last '=', which a line holds once per
    // attribute, and look for it with the vectorised character search.
    qsizetype anchor = searchText.lastIndexOf(u'=');
    if (anchor < 0)
        anchor = 0;
    const QChar mark = searchText[anchor];
    const qsizetype lastStart = line.size() - searchText.size();
    qsizetype from = anchor;
    while (true) {
        const qsizetype hit = line.indexOf(mark, from);
        if (hit < 0 || hit - anchor > lastStart)
            return -1;
        const qsizetype start = hit - anchor;
        if (line.sliced(start, searchText.size()) == searchText)
            return start;
        from = hit + 1;
    }
}

QString ReadAttribute(const QString &line, const QString &searchText)
{
    return valueAt(line, findSearchText(line, searchText)).toString();
}

QString FormatFlowTime(const QString &seconds)
{
    return flowTime(seconds);
}

QString FrequencyToBand(const QString &hertz)
{
    return band(hertz);
}

int bandRank(QStringView bandName)
{
    for (qsizetype i = 0; i < qsizetype(std::size(kBands)); ++i) {
        if (bandName == QStringView(kBands[i].name))
            return int(i);
    }
    return int(std::size(kBands));
}

QString FormatReport(const QString &line)
{
    return FormatReport(LineAttributes(line));
}

QString FormatReport(const LineAttributes &attributes)
{
    QString result;
    result.reserve(128);
    const auto field = [&result](QStringView value, QStringView ending) {
        if (value.isEmpty()) {
            result += u", ";
        } else {
            result += value;
            result += ending;
        }
    };

    field(flowTime(attributes.value(search::kFlowStartSeconds)), u",  ");
    field(attributes.value(search::kReceiverCallsign), u",    \t");
    const QStringView snr = attributes.value(search::kSnr);
    if (!snr.isEmpty() && !snr.contains(u'-'))
        result += u'+';
    field(snr, u",\t");
    field(band(attributes.value(search::kFrequency)), u", ");
    field(attributes.value(search::kMode), u", ");
    field(attributes.value(search::kReceiverLocator).left(4), u", ");
    field(attributes.value(search::kDxcc), u", ");
    return result;
}

AnswerReport answerReportOf(const LineAttributes &attributes)
{
    const auto value = [&attributes](const QString &searchText) {
        return attributes.wholeValue(searchText).toString();
    };
    return {.flowStartSeconds = value(search::kFlowStartSeconds),
            .sender = value(search::kSenderMarker),
            .receiver = value(search::kReceiverCallsign),
            .locator = value(search::kReceiverLocator),
            .frequency = value(search::kFrequency),
            .mode = value(search::kMode),
            .snr = value(search::kSnr),
            .dxcc = value(search::kDxcc)};
}

AnswerReport answerReportOf(const QString &line)
{
    return answerReportOf(LineAttributes(line));
}

AnswerReceiver answerReceiverOf(const LineAttributes &attributes)
{
    return {.callsign = attributes.wholeValue(search::kActiveReceiverCallsign).toString(),
            .locator = attributes.wholeValue(search::kLocator).toString()};
}
