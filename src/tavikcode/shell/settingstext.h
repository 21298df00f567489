#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The stored text of the last query time: "dd/mm/yy hh:nn:ss", where "/" and
// ":" stand for the regional date and time separators. It is always read
// day first, whatever the regional date order.
namespace settingstext {

QString formatStoredDateTime(const QDateTime &dt);

// Reads the stored text back as a local date-time. A one- or two-digit year
// falls in the hundred years that begin fifty years before today's year; two
// numbers alone are day and month of this year; the time may be left out or
// carry no seconds. Anything else throws "'<text>' is not a valid date and time".
QDateTime parseStoredDateTime(const QString &text, const QDate &today);

} // namespace settingstext
