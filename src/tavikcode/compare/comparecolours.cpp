#include "comparecolours.h"

#include <algorithm>
#include <cmath>

QColor operatorColour()
{
    return QColor(0x21, 0x66, 0xAC);
}

QColor referenceColour()
{
    return QColor(0xD9, 0x5F, 0x02);
}

QColor differenceColour(double decibels)
{
    const QColor neutral(0xE8, 0xE8, 0xE8);
    const QColor hue = decibels >= 0 ? operatorColour() : referenceColour();
    // A gentle start, so that a decibel or two already shows its side.
    const double t = std::pow(std::clamp(std::abs(decibels) / kFullColourDecibels, 0.0, 1.0), 0.7);
    const auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
    return QColor(mix(neutral.red(), hue.red()), mix(neutral.green(), hue.green()), mix(neutral.blue(), hue.blue()));
}
