#include "processing/reportorder.h"

#include "../../testsupport.h"

#include <algorithm>
#include <random>

namespace {

QStringList sortedWithComparison(const QStringList &lines)
{
    TextLines list;
    list.setLines(lines);
    list.sort(CompareDescending);
    return list.lines();
}

QStringList sortedFast(const QStringList &lines)
{
    TextLines list;
    list.setLines(lines);
    sortReportsDescending(list);
    return list.lines();
}

} // namespace

using ReportOrderTest = InTempFolder;

TEST_F(ReportOrderTest, NewestReportComesFirstAcrossMonthsAndYears)
{
    const QStringList newestFirst = {
        "01Jan2027 00:00:05,  K1JT,    \t-3,\t20m, FT8, FN20, United States, "_qs,
        "01Jan2027,  K1JT,    \t-3,\t20m, FT8, FN20, United States, "_qs,
        "31Dec2026 23:59:59,  K1JT,    \t-3,\t20m, FT8, FN20, United States, "_qs,
        "07Dec2026 13:45:12,  K1JT,    \t-3,\t20m, FT8, FN20, United States, "_qs,
        "07Dec2026 13:45:12,  DL1ABC,    \t-12,\t20m, FT8, JO62, Fed. Rep. of Germany, "_qs,
        "30Nov2026 09:00:00,  G4ABC,    \t+1,\t40m, FT8, IO91, England, "_qs,
        "02Feb2025 09:00:00,  G4ABC,    \t+1,\t40m, FT8, IO91, England, "_qs,
        // No date: after every dated line, by text, descending.
        "31Feb2026 10:00:00,  G4ABC,    \t+1,\t40m, FT8, IO91, England, "_qs,
        "07Dec2026 25:00:00,  G4ABC,    \t+1,\t40m, FT8, IO91, England, "_qs,
        "07Dec2026 13:45,  G4ABC, "_qs,
        ", , , , , , , "_qs,
    };
    QStringList shuffled = newestFirst;
    std::mt19937 random(7);
    for (int round = 0; round < 5; ++round) {
        std::shuffle(shuffled.begin(), shuffled.end(), random);
        EXPECT_EQ(sortedWithComparison(shuffled), newestFirst);
        EXPECT_EQ(sortedFast(shuffled), newestFirst);
    }
}

TEST_F(ReportOrderTest, OnlyIdenticalLinesCompareEqualAndTheyStayNeighbours)
{
    TextLines list;
    list.setLines({"01Dec2026,  a"_qs, "01Dec2026,  A"_qs, "01Dec2026,  a"_qs, "01Dec2026,  B"_qs});
    EXPECT_EQ(CompareDescending(list, 0, 2), 0);
    EXPECT_NE(CompareDescending(list, 0, 1), 0);
    EXPECT_LT(CompareDescending(list, 3, 1), 0) << "B comes before A in descending order";
    const QStringList sorted = sortedFast(list.lines());
    EXPECT_EQ(sorted.indexOf("01Dec2026,  a"_qs) + 1, sorted.lastIndexOf("01Dec2026,  a"_qs));
}

TEST_F(ReportOrderTest, DatesAreReadWithTheRegionalMonthNamesAndTimeSeparator)
{
    RegionalSettings s = regionalFromLocale(QLocale(QLocale::German, QLocale::Germany));
    s.timeSeparator = "."_qs;
    setRegional(s);
    ASSERT_EQ(regional().shortMonthNames.at(11), "Dez"_qs);
    EXPECT_EQ(reportInstant("07Dez2026 13.45.12,  K1JT, "_qs), reportInstant("07Dez2026,  K1JT, "_qs).value() + 49512);
    EXPECT_FALSE(reportInstant("07Dec2026 13.45.12,  K1JT, "_qs));
    EXPECT_FALSE(reportInstant("07Dez2026 13:45:12,  K1JT, "_qs));

    const QStringList lines = {"01Jan2027,  Zürich, "_qs, "31Dez2026 23.59.59,  Äpfel, "_qs,
                               "31Dez2026 23.59.59,  apfel, "_qs, "xx, "_qs, "Zz, "_qs};
    EXPECT_EQ(sortedFast(lines), sortedWithComparison(lines));
    EXPECT_EQ(sortedFast(lines).constFirst(), "01Jan2027,  Zürich, "_qs);
}
