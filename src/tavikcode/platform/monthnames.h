#pragma once

#include <QStringList>

// The abbreviated month names of the platform's regional settings, January
// first, as the platform itself writes dates: on Windows those of the user's
// locale (GetLocaleInfoEx, LOCALE_SABBREVMONTHNAME1 to 12), elsewhere the C
// library's LC_TIME names of the process (what `date +%b` prints). Qt's own
// names come from CLDR and differ from both ("Sept" for English (United
// Kingdom) where Windows and the C library write "Sep"). Empty when the
// platform gives no twelve names.
QStringList platformShortMonthNames();

#ifndef Q_OS_WIN
// The LC_TIME names of a C library locale by its name ("en_GB.UTF-8");
// empty when that locale is not installed.
QStringList cLibraryShortMonthNames(const char *localeName);
#endif
