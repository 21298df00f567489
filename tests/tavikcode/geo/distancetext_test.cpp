#include "geo/distancetext.h"

#include "../../testsupport.h"

TEST(DistanceText, WholeUnitsAndDegrees)
{
    struct Case { double km; DistanceUnit unit; const char *text; };
    const Case distances[] = {
        {5429.609736, DistanceUnit::Kilometres, "5430 km"},
        {5429.609736, DistanceUnit::Miles, "3374 mi"},
        {0.3, DistanceUnit::Miles, "0 mi"},
    };
    for (const Case &c : distances)
        EXPECT_EQ(distanceText(c.km, c.unit), QString::fromUtf8(c.text)) << c.text;
    EXPECT_EQ(bearingText(288.61), "289\u00B0"_qs);
    EXPECT_EQ(bearingText(359.6), "0\u00B0"_qs);
}

TEST(DistanceText, UnitKeysReadBackAndAnythingElseIsKilometres)
{
    EXPECT_EQ(unitKey(DistanceUnit::Miles), "mi"_qs);
    EXPECT_EQ(unitFromKey(unitKey(DistanceUnit::Kilometres)), DistanceUnit::Kilometres);
    EXPECT_EQ(unitFromKey("mi"_qs), DistanceUnit::Miles);
    EXPECT_EQ(unitFromKey("miles"_qs), DistanceUnit::Kilometres);
}
