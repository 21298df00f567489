#include "reportline.h"

#include "datetime.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <charconv>
#include <cmath>
#include <optional>

namespace {

constexpr qsizetype kAttributeWindow = 50;

// Steps over a leading plus sign, which from_chars does not take; false when
// another sign follows it.
bool skipPlus(const char *&begin, const char *end)
{
    if (begin == end || *begin != '+')
        return true;
    ++begin;
    return begin == end || *begin != '-';
}

// Optional sign and decimal digits, nothing else; empty when the text is no
// such number or does not fit in 64 bits.
std::optional<qint64> wholeNumber(const QString &text)
{
    // Characters outside Latin-1 become '?', which no number holds.
    const QByteArray bytes = text.toLatin1();
    const char *begin = bytes.constData();
    const char *end = begin + bytes.size();
    if (!skipPlus(begin, end))
        return std::nullopt;
    qint64 value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, 10);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// A decimal number, with fraction and exponent allowed; empty for anything
// else, infinities and NaN included.
std::optional<double> decimalNumber(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    const char *begin = bytes.constData();
    const char *end = begin + bytes.size();
    if (!skipPlus(begin, end))
        return std::nullopt;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

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

} // namespace

QString ReadAttribute(const QString &line, const QString &searchText)
{
    if (searchText.isEmpty())
        return {};
    const qsizetype start = line.indexOf(searchText);
    if (start < 0)
        return {};
    const QStringView window = QStringView(line).mid(start, kAttributeWindow);
    const qsizetype open = window.indexOf(u'"');
    if (open < 0)
        return {};
    const QStringView rest = window.mid(open + 1);
    const qsizetype close = rest.indexOf(u'"');
    if (close < 0)
        return {};
    return rest.left(close).toString();
}

QString FormatFlowTime(const QString &seconds)
{
    const std::optional<qint64> value = wholeNumber(seconds);
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
    const QDateTime instant(epoch.addDays(day), QTime::fromMSecsSinceStartOfDay(int(second * 1000)), Qt::UTC);
    return datetime::dateTimeText(instant);
}

QString FrequencyToBand(const QString &hertz)
{
    const std::optional<double> value = decimalNumber(hertz);
    if (!value)
        return {};
    // A negative frequency lies in no band, also the few below one megahertz
    // that truncation would otherwise put on 630m.
    const double mhz = std::trunc(*value / 1000000.0);
    if (*value < 0 || mhz > kBands[std::size(kBands) - 1].highMHz)
        return QStringLiteral("0m");
    const int m = int(mhz);
    for (const Band &band : kBands) {
        if (m >= band.lowMHz && m <= band.highMHz)
            return QString::fromUtf16(band.name);
    }
    return QStringLiteral("0m");
}

QString FormatReport(const QString &line)
{
    const QString empty = QStringLiteral(", ");
    QString result;
    result.reserve(96);

    const QString time = FormatFlowTime(ReadAttribute(line, search::kFlowStartSeconds));
    result += time.isEmpty() ? empty : time + u",  ";

    const QString station = ReadAttribute(line, search::kReceiverCallsign);
    result += station.isEmpty() ? empty : station + u",    \t";

    const QString snr = ReadAttribute(line, search::kSnr);
    if (snr.isEmpty())
        result += empty;
    else
        result += (snr.contains(u'-') ? QString() : QStringLiteral("+")) + snr + u",\t";

    const QString band = FrequencyToBand(ReadAttribute(line, search::kFrequency));
    result += band.isEmpty() ? empty : band + u", ";

    const QString mode = ReadAttribute(line, search::kMode);
    result += mode.isEmpty() ? empty : mode + u", ";

    const QString locator = ReadAttribute(line, search::kReceiverLocator);
    result += locator.isEmpty() ? empty : locator.left(4) + u", ";

    const QString dxcc = ReadAttribute(line, search::kDxcc);
    result += dxcc.isEmpty() ? empty : dxcc + u", ";
    return result;
}
