#pragma once

#include <QString>

// Starting the program at login, in its data folder ("/DATAFOLDER"): on
// Linux a freedesktop autostart entry, $XDG_CONFIG_HOME/autostart/
// TavikRepView.desktop (else under ~/.config); on Windows the current user's
// Run value "TavikRepView".

// Whether the program starts at login now.
bool autostartEnabled();

// Writes or removes the entry for the program file given; throws TavikError
// naming what could not be written or removed.
void setAutostart(bool enabled, const QString &programFile);

#ifndef Q_OS_WIN
// Where the autostart entry is.
QString autostartEntryPath();
// The entry's text: Exec= names the program file, quoted as the desktop entry
// format asks.
QByteArray autostartEntry(const QString &programFile);
#endif
