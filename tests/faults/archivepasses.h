#pragma once

#include "processing/reportline.h"

#include <QString>
#include <QStringList>

// The passes that tavik_archive_helper stores in turn: pass n holds
// kArchivePassReports reports, all of its own, timed from n * kArchivePassSpan.
inline constexpr int kArchivePassReports = 10000;
inline constexpr qint64 kArchivePassSpan = 1000000;

inline QList<AnswerReport> archivePassReports(int n)
{
    QList<AnswerReport> lines;
    lines.reserve(kArchivePassReports);
    for (int i = 0; i < kArchivePassReports; ++i) {
        lines << answerReportOf(QStringLiteral("<receptionReport receiverCallsign=\"R%1\" receiverLocator=\"JO62qm\" "
                                "senderCallsign=\"G4XYZ\" frequency=\"%2\" flowStartSeconds=\"%3\" mode=\"FT8\" "
                                "receiverDXCC=\"Fed. Rep. of Germany\" sNR=\"%4\" />")
                     .arg(i)
                     .arg(14074000 + i % 3000)
                     .arg(n * kArchivePassSpan + i)
                     .arg(i % 37 - 24));
    }
    return lines;
}
