#include "dategroups.h"

namespace dategroups {

Pass colourRows(const QStringList &firstCells, const QString &today)
{
    Pass pass;
    pass.colours.reserve(size_t(firstCells.size()));
    int colour = 0;
    QString reference;
    for (qsizetype i = 0; i < firstCells.size(); ++i) {
        if (i == 0) {
            reference = today;
            colour = 1;
        } else if (QStringView(firstCells.at(i)).left(9) != QStringView(reference).left(9)) {
            colour = colour >= 3 ? 1 : colour + 1;
            reference = firstCells.at(i);
        }
        pass.colours.push_back(colour);
    }
    pass.lastColour = colour;
    pass.lastReference = reference;
    return pass;
}

} // namespace dategroups
