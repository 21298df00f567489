#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The text colours of the report table's date groups. Row 1 starts the first
// group with today's date as the reference; each later row whose first nine
// characters differ from the reference's starts the next group and becomes
// the reference. Groups take the colours 1, 2, 3, 1, ... (black, green, blue).
namespace dategroups {

struct Pass
{
    std::vector<int> colours; // colour index of rows 1..n, at [row - 1]
    int lastColour = 0;       // the colour the pass ends with (0 without rows)
    QString lastReference;    // the date text the pass ends with
};

// firstCells: the texts of the first column of rows 1..n; today: today's UTC
// date in the report lines' date format.
Pass colourRows(const QStringList &firstCells, const QString &today);

} // namespace dategroups
