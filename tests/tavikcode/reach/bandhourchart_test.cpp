#include "reach/bandhourchart.h"

#include "../../testsupport.h"
#include "reachfixture.h"

TEST(BandHourChart, OneRowPerBandInBandOrderWithTheReceiversOfEachHour)
{
    ReachSnapshot s = reachfixture::snapshot();
    // A band with hours but no counts still gets its row, in its place;
    // an hour outside the day is left out.
    s.hours.append({"15m"_qs, 11, 2});
    s.hours.append({"20m"_qs, 24, 99});
    s.hours.append({"20m"_qs, -1, 99});

    const BandHourChart chart = bandHourChart(s);
    EXPECT_EQ(chart.bands, (QStringList{"40m"_qs, "20m"_qs, "15m"_qs, "10m"_qs}));
    ASSERT_EQ(chart.receivers.size(), 4 * 24);
    EXPECT_EQ(chart.at(1, 9), 4);
    EXPECT_EQ(chart.at(1, 10), 5);
    EXPECT_EQ(chart.at(0, 10), 3);
    EXPECT_EQ(chart.at(2, 11), 2);
    EXPECT_EQ(chart.at(3, 10), 1);
    EXPECT_EQ(chart.at(1, 23), 0);
    EXPECT_EQ(chart.at(0, 0), 0);
    EXPECT_EQ(chart.maximum(), 5);
    qint64 sum = 0;
    for (qint64 n : chart.receivers)
        sum += n;
    EXPECT_EQ(sum, 4 + 5 + 3 + 1 + 2);
}

TEST(BandHourChart, OneBandAloneOrAllOfThem)
{
    const BandHourChart chart = bandHourChart(reachfixture::snapshot());
    const BandHourChart ten = chart.onlyBand("10m"_qs);
    EXPECT_EQ(ten.bands, QStringList{"10m"_qs});
    EXPECT_EQ(ten.at(0, 10), 1);
    EXPECT_EQ(ten.maximum(), 1);
    const BandHourChart absent = chart.onlyBand("6m"_qs);
    EXPECT_EQ(absent.bands, QStringList{"6m"_qs});
    EXPECT_EQ(absent.receivers, QList<qint64>(24, 0));
    EXPECT_EQ(chart.onlyBand(QString()).bands, chart.bands);
}

TEST(BandHourChart, CellsDarkenWithTheSquareRootOfTheirShare)
{
    struct Case { qint64 receivers, maximum; double shade; };
    for (const Case &c : {Case{0, 10, 0}, Case{10, 10, 1}, Case{25, 100, 0.5}, Case{1, 100, 0.1}, Case{3, 0, 0},
                          Case{12, 10, 1}}) {
        EXPECT_DOUBLE_EQ(cellShade(c.receivers, c.maximum), c.shade) << c.receivers << "/" << c.maximum;
    }
}
