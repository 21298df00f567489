#include "maidenhead.h"

#include <QString>

#include <gtest/gtest.h>

TEST(Maidenhead, LocatorsOfEveryLengthNameTheCentreOfTheirSquare)
{
    const struct
    {
        const char *locator;
        double latitude;
        double longitude;
    } valid[] = {
        { "JO", 55.0, 10.0 },
        { "FN20", 40.5, -75.0 },
        { "IO91wm", 51.5208333, -0.125 },
        { "io91WM", 51.5208333, -0.125 },
        { "RE78ir", -41.2708333, 174.7083333 },
        { "JO62qm45", 52 + 12 * 2.5 / 60 + 5.5 * 0.25 / 60, 12 + 16 * 5.0 / 60 + 4.5 * 0.5 / 60 },
        { "AA00aa00aa", -90 + 1.25 / 60 / 240, -180 + 2.5 / 60 / 240 },
        { "RR99xx99xx", 90 - 1.25 / 60 / 240, 180 - 2.5 / 60 / 240 },
    };
    for (const auto &v : valid) {
        const auto centre = maidenhead::centreOf(QString::fromLatin1(v.locator));
        ASSERT_TRUE(centre) << v.locator;
        EXPECT_NEAR(centre->latitude, v.latitude, 1e-7) << v.locator;
        EXPECT_NEAR(centre->longitude, v.longitude, 1e-7) << v.locator;
        const QByteArray written = maidenhead::locatorOf(*centre, int(qstrlen(v.locator)));
        EXPECT_EQ(written.toLower(), QByteArray(v.locator).toLower()) << "back to the same square";
    }
    EXPECT_EQ(maidenhead::locatorOf({ 51.52, -0.12 }, 6), "IO91wm");
    EXPECT_EQ(maidenhead::locatorOf({ 90, 180 }, 4), "RR99") << "the edges stay in the last square";

    for (const char *junk : { "", "I", "IO9", "IO91w", "SS00", "IOA1", "IO91zz", "IO91wm4", "IO91wmz",
             "n/a", "IO91wm00aaa", "JO62qm4x" })
        EXPECT_FALSE(maidenhead::centreOf(QString::fromLatin1(junk))) << junk;
}
