#include "archive/bandplan.h"

#include "../../testsupport.h"

TEST(BandPlan, NamesEachFrequencyByTheWidestEdgesBothIncluded)
{
    const struct
    {
        qint64 hertz;
        const char *band;
    } cases[] = {
        {135'699, "Other"},      {135'700, "2200m"},     {136'000, "2200m"},      {137'800, "2200m"},
        {137'801, "Other"},      {475'000, "630m"},      {1'999'999, "160m"},     {2'000'001, "Other"},
        {5'357'000, "60m"},      {7'074'000, "40m"},     {14'074'000, "20m"},     {14'350'001, "Other"},
        {28'000'000, "10m"},     {29'700'000, "10m"},    {29'700'001, "Other"},   {40'680'000, "8m"},
        {50'313'000, "6m"},      {54'000'000, "6m"},     {54'000'001, "5m"},      {69'900'000, "5m"},
        {69'900'001, "Other"},   {70'154'000, "4m"},     {144'174'000, "2m"},     {222'100'000, "1.25m"},
        {432'174'000, "70cm"},   {903'000'000, "33cm"},  {1'296'174'000, "23cm"}, {2'320'000'000, "13cm"},
        {3'400'000'000, "9cm"},  {5'760'000'000, "6cm"}, {10'368'000'000, "3cm"}, {10'500'000'001, "Other"},
        {0, "Other"},            {-14'074'000, "Other"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(bandOfFrequency(c.hertz), QString::fromUtf8(c.band)) << c.hertz;
}

TEST(BandPlan, OrdersTheBandsThenOtherThenNamesOffThePlan)
{
    const QStringList &names = bandPlanNames();
    ASSERT_EQ(names.size(), 25);
    EXPECT_EQ(names.first(), "2200m"_qs);
    EXPECT_EQ(names.last(), "3cm"_qs);
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_EQ(bandPlanRank(names[i]), i);
    EXPECT_EQ(bandPlanRank(u"Other"), 25);
    EXPECT_TRUE(bandPlanBefore(u"3cm", u"Other"));
    EXPECT_TRUE(bandPlanBefore(u"Other", u"0m"));
    EXPECT_TRUE(bandPlanBefore(u"0m", u"zz"));
    EXPECT_FALSE(bandPlanBefore(u"20m", u"20m"));
    EXPECT_EQ(bandPlanEdges(u"4m")->lowHz, 70'000'000);
    EXPECT_FALSE(bandPlanEdges(u"Other"));
}

TEST(BandPlan, WritesFrequenciesAsOperatorsReadThem)
{
    EXPECT_EQ(frequencyText(14'074'000), "14.074 MHz"_qs);
    EXPECT_EQ(frequencyText(40'680'000), "40.68 MHz"_qs);
    EXPECT_EQ(frequencyText(222'100'000), "222.1 MHz"_qs);
    EXPECT_EQ(frequencyText(136'000), "136.0 kHz"_qs);
    EXPECT_EQ(frequencyText(7'000'000), "7.0 MHz"_qs);
    EXPECT_EQ(frequencyText(14'074'123), "14.074123 MHz"_qs);
}
