#pragma once

#include <QString>
#include <QStringList>

// Reads the callsign from the lines of a settings file in the form WSJT-X
// uses: every line that begins with "MyCall=" (exactly so, at its first
// character) gives the up to 20 characters after its first "=", trimmed and
// in capitals; the last such line wins, even when it gives empty text.
QString callsignFromLines(const QStringList &lines);

// The operator's locator from the "MyGrid=" lines, by the same rules.
QString gridFromLines(const QStringList &lines);

// The one line the program writes to its own callsign file.
QString callsignFileLine(const QString &callsign);
