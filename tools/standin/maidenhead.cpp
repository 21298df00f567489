#include "maidenhead.h"

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
    const qsizetype length = locator.size();
    if (length < 2 || length > 10 || length % 2 != 0)
        return std::nullopt;
    // Longitude first: a field is 20 degrees wide and 10 high.
    double west = -180;
    double south = -90;
    double width = 360;
    double height = 180;
    for (qsizetype i = 0; i < length / 2; ++i) {
        const Pair pair = pairs[size_t(i)];
        width /= pair.count;
        height /= pair.count;
        const auto step = [&](QChar c) {
            const int value = pair.first == '0' ? c.unicode() - u'0' : c.toUpper().unicode() - u'A';
            return value >= 0 && value < pair.count ? value : -1;
        };
        const int x = step(locator[2 * i]);
        const int y = step(locator[2 * i + 1]);
        if (x < 0 || y < 0)
            return std::nullopt;
        west += x * width;
        south += y * height;
    }
    return Position { south + height / 2, west + width / 2 };
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
