#pragma once

#include <QString>
#include <QStringList>

// Cutting the lines of a comma-separated history into table cells, the way
// the table view fills its rows.
namespace csvgrid {

// Number of fields each row is cut into: the commas of the second line plus
// one. A single line decides for itself; no line gives no fields.
qsizetype fieldCount(const QStringList &lines);

// The first min(fieldCount, columns) cells of a line. The line is closed with
// a comma when it does not end in one, every double quote is removed, and the
// cells are the texts between commas, blanks and tabs kept; cells past the
// line's last comma are empty.
QStringList cells(const QString &line, qsizetype fieldCount, qsizetype columns);

} // namespace csvgrid
