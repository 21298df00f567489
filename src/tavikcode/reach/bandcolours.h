#pragma once

#include <QColor>
#include <QStringView>

// The colour of a band's dots and legend entry: neighbouring bands differ
// clearly, and each band keeps its colour from period to period.
QColor bandColour(QStringView band);
