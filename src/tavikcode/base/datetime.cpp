#include "datetime.h"

#include "clock.h"
#include "regional.h"

#include <cmath>

namespace datetime {

namespace {
const QDate kDayZero(1899, 12, 30);
}

double toDayCount(const QDateTime &dt)
{
    const qint64 days = kDayZero.daysTo(dt.date());
    const double fraction = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return double(days) + fraction;
}

QDateTime fromDayCount(double days, Qt::TimeSpec timeSpec)
{
    const double whole = std::floor(days);
    const qint64 msecs = qint64(std::llround((days - whole) * 86400000.0));
    QDate date = kDayZero.addDays(qint64(whole));
    if (msecs >= 86400000)
        return QDateTime(date.addDays(1), QTime(0, 0), timeSpec);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(msecs)), timeSpec);
}

// Appends n (0 to 99) as two digits.
static void appendTwoDigits(QString &text, int n)
{
    text += QChar(char16_t(u'0' + n / 10));
    text += QChar(char16_t(u'0' + n % 10));
}

QString dateText(const QDate &date)
{
    const QString month = regional().shortMonthNames.value(date.month() - 1);
    QString text;
    text.reserve(8 + month.size());
    appendTwoDigits(text, date.day());
    text += month;
    const int year = date.year();
    if (year >= 0 && year <= 9999) {
        appendTwoDigits(text, year / 100);
        appendTwoDigits(text, year % 100);
    } else {
        text += QString::number(year).rightJustified(4, u'0');
    }
    return text;
}

QString timeText(const QTime &time)
{
    const QString &sep = regional().timeSeparator;
    QString text;
    text.reserve(6 + 2 * sep.size());
    appendTwoDigits(text, time.hour());
    text += sep;
    appendTwoDigits(text, time.minute());
    text += sep;
    appendTwoDigits(text, time.second());
    return text;
}

QString dateTimeText(const QDateTime &dt)
{
    if (dt.time().msecsSinceStartOfDay() == 0)
        return dateText(dt.date());
    return dateText(dt.date()) + u' ' + timeText(dt.time());
}

qint64 secondsBetween(const QDateTime &a, const QDateTime &b)
{
    const qint64 ms = a.msecsTo(b);
    return (ms < 0 ? -ms : ms) / 1000;
}

QDateTime yesterdayMidnight()
{
    return QDateTime(Clock::nowLocal().date().addDays(-1), QTime(0, 0), Qt::LocalTime);
}

} // namespace datetime
