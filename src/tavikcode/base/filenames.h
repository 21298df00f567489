#pragma once

#include <QString>

// The program's files, named relative to the working folder.
namespace files {

inline const QString kResponse = QStringLiteral("TavikRep.txt");        // last raw answer of the report service
inline const QString kReports = QStringLiteral("TavikRpts.txt");        // report history, at most 300 lines
inline const QString kCalls = QStringLiteral("TavikCalls.txt");         // active receivers ever seen
inline const QString kGrids = QStringLiteral("Tavikgrids.txt");         // callsign,locator entries
inline const QString kCallsignIni = QStringLiteral("TavikRepView.ini"); // the operator's callsign
inline const QString kWsjtxIni = QStringLiteral("WSJT-X.INI");          // copy of WSJT-X's settings
inline const QString kLog = QStringLiteral("Taviklog.txt");
inline const QString kLogFlag = QStringLiteral("logflag.txt");
inline const QString kVersion = QStringLiteral("TavikRepVersion.htm");
inline const QString kVersionRef = QStringLiteral("TavikRepVersionRef.txt");
inline const QString kArchive = QStringLiteral("TavikArchive.sqlite");   // every report ever served, SQLite

} // namespace files
