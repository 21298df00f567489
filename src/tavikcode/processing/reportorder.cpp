#include "reportorder.h"

#include "base/collationkey.h"
#include "base/regional.h"

#include <QDate>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// The value of count decimal digits at the start of text, or -1.
int digitsAt(QStringView text, qsizetype count)
{
    if (text.size() < count)
        return -1;
    int value = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// "hh:nn:ss" with the regional separator, nothing before or after.
std::optional<int> secondOfDay(QStringView text, const QString &separator)
{
    const qsizetype sep = separator.size();
    if (text.size() != 6 + 2 * sep || text.mid(2, sep) != separator || text.mid(4 + sep, sep) != separator)
        return std::nullopt;
    const int h = digitsAt(text, 2);
    const int n = digitsAt(text.mid(2 + sep), 2);
    const int s = digitsAt(text.mid(4 + 2 * sep), 2);
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59)
        return std::nullopt;
    return h * 3600 + n * 60 + s;
}

// Case-sensitive regional collation, then code units, so that identical
// text alone compares equal.
int compareText(const TextCollation &collation, const QString &a, const QString &b)
{
    if (const int c = collation.compare(a, b))
        return c;
    return a.compare(b);
}

struct SortEntry
{
    std::optional<qint64> instant;
    qsizetype index;
};

} // namespace

std::optional<qint64> reportInstant(const QString &line)
{
    const qsizetype comma = line.indexOf(u',');
    const QStringView field = comma < 0 ? QStringView(line) : QStringView(line).left(comma);
    const int day = digitsAt(field, 2);
    if (day < 0)
        return std::nullopt;
    const RegionalSettings &settings = regional();
    // Several month names may start the rest of the field (one the prefix of
    // another); the one after which a year and a valid date follow counts.
    for (int month = 1; month <= 12; ++month) {
        const QString &name = settings.shortMonthNames.at(month - 1);
        const QStringView rest = field.mid(2);
        if (name.isEmpty() || !rest.startsWith(name))
            continue;
        const QStringView tail = rest.mid(name.size());
        const int year = digitsAt(tail, 4);
        const QDate date(year, month, day);
        if (year < 1 || !date.isValid())
            continue;
        const QStringView clock = tail.mid(4);
        int second = 0;
        if (!clock.isEmpty()) {
            if (!clock.startsWith(u' '))
                continue;
            const std::optional<int> s = secondOfDay(clock.mid(1), settings.timeSeparator);
            if (!s)
                continue;
            second = *s;
        }
        return date.toJulianDay() * 86400 + second;
    }
    return std::nullopt;
}

int CompareDescending(const TextLines &list, qsizetype i, qsizetype j)
{
    const QString &a = list.at(i);
    const QString &b = list.at(j);
    const std::optional<qint64> ta = reportInstant(a);
    const std::optional<qint64> tb = reportInstant(b);
    if (ta.has_value() != tb.has_value())
        return ta ? -1 : 1;
    if (ta && *ta != *tb)
        return *ta > *tb ? -1 : 1;
    return compareText(TextCollation(collatorWithCase()), b, a);
}

void sortReportsDescending(TextLines &list)
{
    if (list.order() != TextLines::Unsorted)
        return;
    const QStringList &lines = list.lines();
    // Reports rarely share an instant, so the text is compared directly in
    // the few ties rather than through keys made for every line.
    const TextCollation collation(collatorWithCase());
    std::vector<SortEntry> entries;
    entries.reserve(size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i)
        entries.push_back({reportInstant(lines.at(i)), i});

    std::stable_sort(entries.begin(), entries.end(), [&](const SortEntry &a, const SortEntry &b) {
        if (a.instant.has_value() != b.instant.has_value())
            return a.instant.has_value();
        if (a.instant && *a.instant != *b.instant)
            return *a.instant > *b.instant;
        return compareText(collation, lines.at(b.index), lines.at(a.index)) < 0;
    });

    QStringList sorted;
    sorted.reserve(lines.size());
    for (const SortEntry &e : entries)
        sorted << lines.at(e.index);
    list.setLines(sorted);
}
