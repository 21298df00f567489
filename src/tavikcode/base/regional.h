#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>

// The user's regional settings as the program uses them: the date and time
// separators and the abbreviated month names that every date text carries,
// and the locale whose collation orders the history lists.
struct RegionalSettings
{
    QLocale locale = QLocale::c();
    QString dateSeparator = QStringLiteral("/");
    QString timeSeparator = QStringLiteral(":");
    QStringList shortMonthNames; // 12 names, January first
};

// Reads the settings of a locale; the C locale, which has no regional
// conventions of its own, gives "/", ":" and the English month names.
RegionalSettings regionalFromLocale(const QLocale &locale);

// The settings of the user's regional settings: the separators of
// QLocale::system() and the platform's own abbreviated month names, which
// every date text of the program carries (Qt's differ: see monthnames.h).
RegionalSettings regionalFromSystem();

// The settings in force: regionalFromSystem() unless replaced.
const RegionalSettings &regional();
void setRegional(const RegionalSettings &settings);

// Collators of the settings in force. Not thread-safe: the program uses them
// on the user-interface thread only.
const QCollator &collatorIgnoringCase();
const QCollator &collatorWithCase();
