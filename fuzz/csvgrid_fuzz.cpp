// The table view's cutting of any history file into cells: the field count
// of the second line, and for every line the cells that the plain procedure
// gives (close with a comma, drop the double quotes, take the text before
// each comma and delete it with the comma).
#include "fuzzsupport.h"

#include "views/csvgrid.h"

namespace {

constexpr qsizetype kColumns = 7;

QStringList plainCells(const QString &line, qsizetype fieldCount)
{
    QString rest = line;
    if (!rest.endsWith(u','))
        rest += u',';
    rest.remove(u'"');
    QStringList cells;
    for (qsizetype c = 0; c < fieldCount && c < kColumns; ++c) {
        const qsizetype comma = rest.indexOf(u',');
        const QString field = comma < 0 ? QString() : rest.left(comma);
        cells << field;
        rest.remove(0, field.size() + 1);
    }
    return cells;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = TextLines::splitLines(fuzzsupport::textOf(fuzzsupport::bytesOf(data, size)));
    const qsizetype fields = csvgrid::fieldCount(lines);
    if (lines.isEmpty())
        FUZZ_CHECK(fields == 0);
    else
        FUZZ_CHECK(fields == lines.at(lines.size() >= 2 ? 1 : 0).count(u',') + 1);
    for (const QString &line : lines) {
        const QStringList cells = csvgrid::cells(line, fields, kColumns);
        FUZZ_CHECK(cells == plainCells(line, fields));
        FUZZ_CHECK(cells.size() == std::min(fields, kColumns));
        for (const QString &cell : cells)
            FUZZ_CHECK(!cell.contains(u'"') && !cell.contains(u','));
    }
    return 0;
}
