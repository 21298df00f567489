#pragma once

#include <QString>

// Appends one line to Taviklog.txt in the working folder: the local date and
// time ("ddmmmyyyy hh:nn:ss", the date alone at 00:00:00), a blank, the
// message, CR LF. The file is opened and closed for every line. Callers decide
// whether to log; a file that cannot be written throws TavikError.
void LogLine(const QString &message);
