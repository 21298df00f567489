#include "locator.h"

namespace {

// How one pair of characters divides the cell of the pair before it.
struct Pair
{
    char16_t first;   // 'A' or '0'
    int steps;        // 18, 10 or 24
    bool letters;
};

constexpr Pair kPairs[] = {{u'A', 18, true}, {u'0', 10, false}, {u'A', 24, true}, {u'0', 10, false}, {u'A', 24, true}};

// The step of one character of a pair, or -1.
int stepOf(QChar c, const Pair &pair)
{
    char16_t u = c.unicode();
    if (pair.letters && u >= u'a' && u <= u'z')
        u = char16_t(u - u'a' + u'A');
    const int step = int(u) - int(pair.first);
    return step >= 0 && step < pair.steps ? step : -1;
}

} // namespace

std::optional<GeoPosition> locatorPosition(QStringView locator)
{
    const qsizetype pairs = locator.size() / 2;
    if (locator.size() % 2 != 0 || pairs < 1 || pairs > qsizetype(std::size(kPairs)))
        return std::nullopt;
    // The first cell is the whole earth: 360 degrees of longitude by 180 of latitude.
    double longitude = -180, latitude = -90, width = 360, height = 180;
    for (qsizetype i = 0; i < pairs; ++i) {
        const Pair &pair = kPairs[i];
        const int east = stepOf(locator[2 * i], pair);
        const int north = stepOf(locator[2 * i + 1], pair);
        if (east < 0 || north < 0)
            return std::nullopt;
        width /= pair.steps;
        height /= pair.steps;
        longitude += east * width;
        latitude += north * height;
    }
    return GeoPosition{latitude + height / 2, longitude + width / 2};
}

QString locatorText(QStringView locator)
{
    if (!locatorPosition(locator))
        return {};
    QString text = locator.toString();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool capitals = i < 2;
        text[i] = capitals ? text[i].toUpper() : text[i].toLower();
    }
    return text;
}
