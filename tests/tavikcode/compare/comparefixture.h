#pragma once

#include "archive/comparisonreports.h"

#include <QFile>
#include <QStringList>

#include <memory>

// tests/data/compare/reports.csv: two stations heard round London (IO91wm)
// on 20 m and 40 m. Its figures are those tools/compare/statistics.py works
// out apart from the program.
namespace comparefixture {

inline int idOf(QStringList &texts, const QString &text)
{
    const qsizetype at = texts.indexOf(text);
    if (at >= 0)
        return int(at);
    texts << text;
    return int(texts.size() - 1);
}

// The reports as the archive's reader gives them, each text numbered once.
inline ComparisonReports reports()
{
    ComparisonReports reports;
    QFile file(QStringLiteral(TAVIK_TEST_DATA "/compare/reports.csv"));
    if (!file.open(QIODevice::ReadOnly))
        return reports;
    file.readLine(); // the header
    while (!file.atEnd()) {
        const QStringList f = QString::fromUtf8(file.readLine().trimmed()).split(u',');
        StationReport r;
        r.receiver = idOf(reports.receivers, f[1]);
        r.locator = idOf(reports.locators, f[2]);
        r.band = idOf(reports.bands, f[3]);
        r.mode = idOf(reports.modes, f[4]);
        r.flowStartSeconds = f[5].toLongLong();
        r.snr = f[6].toInt();
        (f[0] == QStringLiteral("operator") ? reports.ofOperator : reports.ofReference).push_back(r);
    }
    return reports;
}

} // namespace comparefixture
