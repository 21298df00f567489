#include "geo/locator.h"

#include "../../testsupport.h"

// Centres worked out by hand: each pair divides the cell before it into
// 18 x 18 fields, 10 x 10 squares, 24 x 24 subsquares, 10 x 10 and 24 x 24.
TEST(Locator, PlacesEachLengthAtTheCentreOfItsSquareInAnyCase)
{
    struct Case { const char *locator; double latitude, longitude; };
    const Case cases[] = {
        {"JO", 55.0, 10.0},
        {"jo62", 52.5, 13.0},
        {"JO62qm", 52.520833333, 13.375},
        {"JO62QM47", 52.53125, 13.370833333},
        {"jo62qm47ab", 52.529427083, 13.366840278},
        {"AA00aa00aa", -89.999913194, -179.999826389},
        {"RR99XX99XX", 89.999913194, 179.999826389},
    };
    for (const Case &c : cases) {
        const auto p = locatorPosition(QString::fromLatin1(c.locator));
        ASSERT_TRUE(p) << c.locator;
        EXPECT_NEAR(p->latitude, c.latitude, 1e-8) << c.locator;
        EXPECT_NEAR(p->longitude, c.longitude, 1e-8) << c.locator;
    }
}

TEST(Locator, RejectsOddLengthsLettersOutOfRangeAndAnythingElse)
{
    for (const char *text : {"", "J", "JO6", "JO62q", "JO62qm47abc", "JO62qm47ab12", "JS", "SA", "JO6A", "J062",
                             "JO62qy", "JO62qm4x", "JO62qm47az", " JO62", "JO62 ", "JO-2", "\xc3\x85O"}) {
        EXPECT_FALSE(locatorPosition(QString::fromUtf8(text))) << text;
        EXPECT_TRUE(locatorText(QString::fromUtf8(text)).isEmpty()) << text;
    }
}

TEST(Locator, IsWrittenWithFieldsInCapitalsAndSubsquaresSmall)
{
    EXPECT_EQ(locatorText(u"io91WM47AB"), "IO91wm47ab"_qs);
    EXPECT_EQ(locatorText(u"fn31"), "FN31"_qs);
}
