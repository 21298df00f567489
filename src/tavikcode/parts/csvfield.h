#pragma once

#include <QString>

// One field of a CSV file (RFC 4180) that a spreadsheet may open: every
// export of the archive's reports writes its texts through here.
//
// Texts from the network (callsigns, locators, modes, entity names) are data,
// never a formula: one that begins with '=', '+', '-', '@', a tab or a
// carriage return and is not a plain number ("-5" stays a number) gets a
// leading apostrophe, so that LibreOffice and Excel open it as text. Then the
// field is quoted when it holds a comma, a double quote, CR or LF, with its
// double quotes doubled; otherwise it stays as it is.
QString csvField(const QString &text);
