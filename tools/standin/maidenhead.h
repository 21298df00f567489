#pragma once

#include <QByteArray>
#include <QStringView>

#include <optional>

// Maidenhead locators of the generated receivers and of the demo station.
namespace maidenhead {

struct Position
{
    double latitude = 0; // degrees north
    double longitude = 0; // degrees east
};

// The centre of the square a locator of 2, 4, 6, 8 or 10 characters names
// (letters in either case); nothing for any other text.
std::optional<Position> centreOf(QStringView locator);

// The locator of that length (2 to 10, even) of a position, the pairs
// written as "JO62qm45ab": fields and squares upper case, the rest lower.
QByteArray locatorOf(const Position &position, int length);

} // namespace maidenhead
