#pragma once

#include <QColor>

// The Compare window's diverging scale: the operator louder in blue, the
// reference louder in orange (apart also for the common colour
// blindnesses), no difference in light grey; full colour at 10 dB.
QColor operatorColour();
QColor referenceColour();
QColor differenceColour(double decibels);

inline constexpr double kFullColourDecibels = 10;
