#pragma once

#include "geodesy.h"

#include <QString>
#include <QStringView>

#include <optional>

// Maidenhead locators of 2, 4, 6, 8 or 10 characters (field, square,
// subsquare, extended square, extended subsquare), in any letter case.
// Anything else, blanks included, is no locator.

// The centre of the locator's square.
std::optional<GeoPosition> locatorPosition(QStringView locator);

// The locator written as operators write it ("IO91wm47"): fields in
// capitals, subsquares in small letters. Empty for no locator.
QString locatorText(QStringView locator);
