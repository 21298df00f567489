#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// Date-time helpers. The program's dates are counted in days with a fraction
// from 30 December 1899 (day 0) in its file formats; in memory it keeps
// QDateTime. Texts use the regional month names and time separator.
namespace datetime {

inline constexpr double kUnixEpochDay = 25569.0; // 1 January 1970 as a day count

// Wall-clock day count of a date-time (no time-zone conversion).
double toDayCount(const QDateTime &dt);
// The wall-clock date-time of a day count, as local time or UTC.
QDateTime fromDayCount(double days, Qt::TimeSpec timeSpec = Qt::LocalTime);

// "ddmmmyyyy": two-digit day, abbreviated month name, four-digit year.
QString dateText(const QDate &date);
// "hh:nn:ss" with the regional time separator.
QString timeText(const QTime &time);
// The date, then a blank and the time unless the time is exactly 00:00:00.
QString dateTimeText(const QDateTime &dt);

// Whole seconds between two instants, absolute, truncated.
qint64 secondsBetween(const QDateTime &a, const QDateTime &b);

// Today's local date minus one day, at 00:00.
QDateTime yesterdayMidnight();

} // namespace datetime
