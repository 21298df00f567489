#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The program's four version numbers: from the version resource of the
// program file on Windows, compiled in from the project version elsewhere.
// Leaves the numbers unchanged when there is no version information.
void GetVersionNumbers(quint16 &major, quint16 &minor, quint16 &release, quint16 &build);

// The four numbers joined by ".", starting from four zeros (so 0.0.0.0 when
// the program file has no version information).
QString GetVersionText();

// The modification time of the program file, local time, held to two seconds.
QDateTime programFileTime(const QString &programFile);
