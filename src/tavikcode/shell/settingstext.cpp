#include "settingstext.h"

#include "base/regional.h"
#include "base/tavikerror.h"

namespace settingstext {

namespace {

QString twoDigits(int n)
{
    return QString::number(n).rightJustified(2, u'0').right(2);
}

// A small cursor over the text: numbers, separators and blanks.
struct Reader
{
    const QString &text;
    qsizetype at = 0;

    bool atEnd() const { return at >= text.size(); }
    void skipBlanks()
    {
        while (!atEnd() && text.at(at) == u' ')
            ++at;
    }
    // Reads decimal digits; returns the number of digits read (0: none).
    int number(int &value)
    {
        int digits = 0;
        value = 0;
        while (!atEnd() && text.at(at) >= u'0' && text.at(at) <= u'9' && digits < 9) {
            value = value * 10 + (text.at(at).unicode() - u'0');
            ++at;
            ++digits;
        }
        return digits;
    }
    bool separator(const QString &sep)
    {
        if (!sep.isEmpty() && QStringView(text).mid(at).startsWith(sep)) {
            at += sep.size();
            return true;
        }
        return false;
    }
};

} // namespace

QString formatStoredDateTime(const QDateTime &dt)
{
    const RegionalSettings &r = regional();
    const QDate d = dt.date();
    const QTime t = dt.time();
    return twoDigits(d.day()) + r.dateSeparator + twoDigits(d.month()) + r.dateSeparator
        + twoDigits(d.year() % 100) + u' ' + twoDigits(t.hour()) + r.timeSeparator + twoDigits(t.minute())
        + r.timeSeparator + twoDigits(t.second());
}

QDateTime parseStoredDateTime(const QString &text, const QDate &today)
{
    const auto invalid = [&text]() {
        return TavikError(QStringLiteral("'%1' is not a valid date and time").arg(text));
    };
    const RegionalSettings &r = regional();
    Reader in{text};
    in.skipBlanks();

    int day = 0, month = 0, year = today.year();
    if (!in.number(day) || !in.separator(r.dateSeparator) || !in.number(month))
        throw invalid();
    if (in.separator(r.dateSeparator)) {
        const int digits = in.number(year);
        if (digits == 0)
            throw invalid();
        if (digits <= 2) {
            const int windowStart = today.year() - 50;
            year += (windowStart / 100) * 100;
            if (year < windowStart)
                year += 100;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        throw invalid();

    in.skipBlanks();
    QTime time(0, 0);
    if (!in.atEnd()) {
        int hour = 0, minute = 0, second = 0;
        if (!in.number(hour) || !in.separator(r.timeSeparator) || !in.number(minute))
            throw invalid();
        if (in.separator(r.timeSeparator) && !in.number(second))
            throw invalid();
        in.skipBlanks();
        if (!in.atEnd() || !QTime::isValid(hour, minute, second))
            throw invalid();
        time = QTime(hour, minute, second);
    }
    QDateTime result(date, time, Qt::LocalTime);
    // A time that the clocks skip when summer time begins is the instant as
    // many seconds after the day began.
    if (!result.isValid())
        result = date.startOfDay(Qt::LocalTime).addSecs(time.msecsSinceStartOfDay() / 1000);
    // A year beyond any date-time (a nine-digit year) would leave the last
    // query time unset, and no query would ever fall due.
    if (!result.isValid())
        throw invalid();
    return result;
}

} // namespace settingstext
