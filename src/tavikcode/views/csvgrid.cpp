#include "csvgrid.h"

#include <algorithm>

namespace csvgrid {

qsizetype fieldCount(const QStringList &lines)
{
    if (lines.isEmpty())
        return 0;
    const QString &decisive = lines.size() >= 2 ? lines.at(1) : lines.at(0);
    return decisive.count(u',') + 1;
}

QStringList cells(const QString &line, qsizetype fieldCount, qsizetype columns)
{
    QString rest = line;
    if (!rest.endsWith(u','))
        rest += u',';
    rest.remove(u'"');

    // Fields past the last column only consume the line, so they need not be cut.
    const qsizetype wanted = std::min(fieldCount, columns);
    QStringList result;
    result.reserve(std::max<qsizetype>(wanted, 0));
    qsizetype start = 0;
    for (qsizetype c = 0; c < wanted; ++c) {
        const qsizetype comma = start < rest.size() ? rest.indexOf(u',', start) : -1;
        if (comma < 0) {
            result << QString();
            start = rest.size();
            continue;
        }
        result << rest.mid(start, comma - start);
        start = comma + 1;
    }
    return result;
}

} // namespace csvgrid
