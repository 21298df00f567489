#pragma once

#include "base/textlines.h"

#include <QString>

#include <optional>

// The order of the report history: newest report first.
//
// A line's instant is read from its time field, the text before the first
// comma: "ddmmmyyyy", optionally a blank and "hh:nn:ss", with the regional
// month names and time separator that wrote it. Lines of equal instant follow
// by their text, descending (regional collation, case-sensitive, then code
// units, so that only identical lines compare equal and they stay
// neighbours). Lines whose time field reads as no date come after all dated
// lines, by text, descending.

// The instant of a report line's time field in seconds on a continuous UTC
// scale, or nothing when the field is not a date.
std::optional<qint64> reportInstant(const QString &line);

// Negative when line i comes before line j, positive when after, zero when
// the lines are identical.
int CompareDescending(const TextLines &list, qsizetype i, qsizetype j);

// Sorts an unsorted list in the order of CompareDescending (stable), reading
// each line's instant and collation key once.
void sortReportsDescending(TextLines &list);
