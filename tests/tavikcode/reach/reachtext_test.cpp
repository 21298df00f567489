#include "reach/reachtext.h"

#include "../../testsupport.h"

TEST(ReachText, SignalReportsTimesAndFrequencies)
{
    EXPECT_EQ(snrText(-12), "-12 dB"_qs);
    EXPECT_TRUE(snrText(std::nullopt).isEmpty());
    EXPECT_EQ(utcText(1796637600 + 59), "2026-12-07 10:00"_qs);
    EXPECT_EQ(frequencyRangeText({40'680'000, 40'680'000}), "40.68 MHz"_qs);
    EXPECT_EQ(frequencyRangeText({40'680'000, 222'100'000}), "40.68 MHz to 222.1 MHz"_qs);
}
