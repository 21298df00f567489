#include "maidenhead.h"

#include "geo/locator.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace maidenhead {

namespace {

// The pairs from the largest square to the smallest: letters A to R, digits,
// letters A to X, digits, letters A to X.
struct Pair
{
    char first; // the lowest character ('A', '0' or 'a')
    int count;
};
constexpr std::array<Pair, 5> pairs { { { 'A', 18 }, { '0', 10 }, { 'a', 24 }, { '0', 10 }, { 'a', 24 } } };

} // namespace

std::optional<Position> centreOf(QStringView locator)
{
    // Read as the program reads a receiver's locator.
    const std::optional<GeoPosition> centre = locatorPosition(locator);
    if (!centre)
        return std::nullopt;
    return Position { centre->latitude, centre->longitude };
}

QByteArray locatorOf(const Position &position, int length)
{
    length = std::clamp(length - length % 2, 2, 10);
    // Just inside the edges, so 180 E and 90 N stay in the last square.
    double x = std::clamp(position.longitude + 180, 0.0, 360 - 1e-9) / 360;
    double y = std::clamp(position.latitude + 90, 0.0, 180 - 1e-9) / 180;
    QByteArray text;
    for (int i = 0; i < length / 2; ++i) {
        const Pair pair = pairs[size_t(i)];
        const char lowest = i == 0 ? 'A' : pair.first;
        x *= pair.count;
        y *= pair.count;
        const int cx = std::min(int(std::floor(x)), pair.count - 1);
        const int cy = std::min(int(std::floor(y)), pair.count - 1);
        text += char(lowest + cx);
        text += char(lowest + cy);
        x -= cx;
        y -= cy;
    }
    return text;
}

} // namespace maidenhead
