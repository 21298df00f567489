#pragma once

#include "base/textlines.h"

#include <QString>
#include <QStringList>

// Deterministic data of the size a busy station collects: an answer of
// 10,000 reports and 3,000 active receivers, and histories of 300 reports,
// 20,000 receivers and 100,000 grid entries.
namespace benchdata {

inline constexpr int kAnswerReports = 10000;
inline constexpr int kActiveReceivers = 3000;
inline constexpr int kHistoryReports = 300;
inline constexpr int kHistoryCalls = 20000;
inline constexpr int kHistoryGrids = 100000;

inline const QString kOperator = QStringLiteral("G4XYZ");

// Receiver callsigns, distinct ignoring case; the first kHistoryCalls are the
// calls history.
const QStringList &callsigns();

// Lines of the answer, header and closing line included.
QStringList answerLines();
TextLines reportsHistory();
TextLines callsHistory();
TextLines gridsHistory();

// Writes the three histories and the answer (as TavikRep.txt) into a folder.
void writeAll(const QString &folder);

} // namespace benchdata
