#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// Reads the callsign from the lines of a settings file in the form WSJT-X
// uses: every line that begins with "MyCall=" (exactly so, at its first
// character) gives the up to 20 characters after its first "=", trimmed and
// in capitals; the last such line wins, even when it gives empty text.
QString callsignFromLines(const QStringList &lines);

// The operator's locator from the "MyGrid=" lines, by the same rules.
QString gridFromLines(const QStringList &lines);

// Where WSJT-X sends its UDP messages, from the "UDPServer=" and
// "UDPServerPort=" lines (the last of each wins, values trimmed): no server
// line means 127.0.0.1, no port line 2237; an empty server stays empty
// (WSJT-X then sends nothing); a port that is no number from 1
// to 65535 gives nothing.
std::optional<std::pair<QString, quint16>> udpServerFromLines(const QStringList &lines);

// The one line the program writes to its own callsign file.
QString callsignFileLine(const QString &callsign);
