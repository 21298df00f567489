// FormatReport over any line of an answer: the report line is the seven
// fields read one by one as the line format describes them, whatever the
// line holds; the time and band fields agree with plain reckonings of their
// own.
#include "fuzzsupport.h"

#include "processing/reportline.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

namespace {

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

// "ddmmmyyyy hh:nn:ss" in English, the time left out at midnight; empty
// outside the years 1 to 9999.
QString plainFlowTime(qint64 seconds)
{
    static const QStringList months = {u"Jan"_s, u"Feb"_s, u"Mar"_s, u"Apr"_s, u"May"_s, u"Jun"_s,
                                       u"Jul"_s, u"Aug"_s, u"Sep"_s, u"Oct"_s, u"Nov"_s, u"Dec"_s};
    if (seconds < -100'000'000'000'000LL || seconds > 100'000'000'000'000LL)
        return {};
    const QDateTime t = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    const QDate d = t.date();
    if (!t.isValid() || d.year() < 1 || d.year() > 9999)
        return {};
    QString text = twoDigits(d.day()) + months.at(d.month() - 1) + QString::number(d.year()).rightJustified(4, u'0');
    const QTime c = t.time();
    if (c.msecsSinceStartOfDay() != 0)
        text += u' ' + twoDigits(c.hour()) + u':' + twoDigits(c.minute()) + u':' + twoDigits(c.second());
    return text;
}

QString plainBand(qint64 megahertz)
{
    struct Row { qint64 low, high; const char16_t *name; };
    static const Row rows[] = {
        {0, 0, u"630m"},      {1, 1, u"160m"},      {3, 3, u"80m"},           {5, 5, u"60m"},
        {7, 7, u"40m"},       {10, 10, u"30m"},     {14, 14, u"20m"},         {18, 18, u"17m"},
        {21, 21, u"15m"},     {24, 24, u"12m"},     {28, 30, u"10m"},         {49, 60, u"6m"},
        {140, 150, u"2m"},    {420, 450, u"70cm"},  {1200, 1390, u"23cm"},    {2200, 2500, u"13cm"},
        {3300, 3600, u"9cm"}, {5600, 5900, u"6cm"}, {10000, 10500, u"3cm"},
    };
    for (const Row &r : rows) {
        if (megahertz >= r.low && megahertz <= r.high)
            return QString::fromUtf16(r.name);
    }
    return u"0m"_s;
}

bool isBandName(const QString &band)
{
    static const QStringList names = {u"630m"_s, u"160m"_s, u"80m"_s,  u"60m"_s,  u"40m"_s,  u"30m"_s,
                                      u"20m"_s,  u"17m"_s,  u"15m"_s,  u"12m"_s,  u"10m"_s,  u"6m"_s,
                                      u"2m"_s,   u"70cm"_s, u"23cm"_s, u"13cm"_s, u"9cm"_s,  u"6cm"_s,
                                      u"3cm"_s,  u"0m"_s};
    return names.contains(band);
}

void checkConversions(const QString &value)
{
    static const QRegularExpression whole(u"\\A[+-]?[0-9]{1,15}\\z"_s);
    static const QRegularExpression hertz(u"\\A[0-9]{1,15}\\z"_s);
    const QString time = FormatFlowTime(value);
    if (whole.match(value).hasMatch())
        FUZZ_CHECK(time == plainFlowTime(value.toLongLong()));
    const QString band = FrequencyToBand(value);
    FUZZ_CHECK(band.isEmpty() || isBandName(band));
    if (hertz.match(value).hasMatch())
        FUZZ_CHECK(band == plainBand(value.toLongLong() / 1'000'000));
}

// The report line, field by field, through the public readers.
QString fieldByField(const QString &line)
{
    QString result;
    const auto field = [&result](const QString &value, const QString &ending) {
        result += value.isEmpty() ? u", "_s : value + ending;
    };
    const QString seconds = ReadAttribute(line, search::kFlowStartSeconds);
    field(seconds.isEmpty() ? QString() : FormatFlowTime(seconds), u",  "_s);
    field(ReadAttribute(line, search::kReceiverCallsign), u",    \t"_s);
    QString snr = ReadAttribute(line, search::kSnr);
    if (!snr.isEmpty() && !snr.contains(u'-'))
        snr.prepend(u'+');
    field(snr, u",\t"_s);
    const QString hertz = ReadAttribute(line, search::kFrequency);
    field(hertz.isEmpty() ? QString() : FrequencyToBand(hertz), u", "_s);
    field(ReadAttribute(line, search::kMode), u", "_s);
    field(ReadAttribute(line, search::kReceiverLocator).left(4), u", "_s);
    field(ReadAttribute(line, search::kDxcc), u", "_s);
    return result;
}

void checkLine(const QString &line)
{
    const QString report = FormatReport(line);
    FUZZ_CHECK(report == fieldByField(line));
    FUZZ_CHECK(report.endsWith(u", "_s));
    FUZZ_CHECK(report.count(u',') >= 7);
    for (const QString &text : {search::kFlowStartSeconds, search::kFrequency, search::kSnr})
        checkConversions(ReadAttribute(line, text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzsupport::textOf(fuzzsupport::bytesOf(data, size));
    const QStringList lines = TextLines::splitLines(text);
    for (const QString &line : lines)
        checkLine(line);
    // The conversions on their own, over the whole input as one value.
    checkConversions(text);
    return 0;
}
