#include "base/datetime.h"
#include "base/textops.h"

#include "../../testsupport.h"

TEST(DateTimeText, DateAloneAtMidnightAndFullTimeOtherwise)
{
    setRegional(regionalFromLocale(QLocale::c()));
    EXPECT_EQ(datetime::dateTimeText(QDateTime(QDate(2026, 12, 7), QTime(1, 40, 46))), "07Dec2026 01:40:46"_qs);
    EXPECT_EQ(datetime::dateTimeText(QDateTime(QDate(2026, 12, 7), QTime(0, 0, 0))), "07Dec2026"_qs);
    EXPECT_EQ(datetime::dateTimeText(QDateTime(QDate(2027, 1, 2), QTime(0, 0, 1))), "02Jan2027 00:00:01"_qs);
}

TEST(DateTimeText, UsesRegionalMonthNamesAndTimeSeparator)
{
    RegionalSettings r = regionalFromLocale(QLocale::c());
    r.timeSeparator = "."_qs;
    r.shortMonthNames[11] = "Dez"_qs;
    setRegional(r);
    EXPECT_EQ(datetime::dateTimeText(QDateTime(QDate(2026, 12, 7), QTime(13, 5, 9))), "07Dez2026 13.05.09"_qs);
    setRegional(regionalFromLocale(QLocale::c()));
}

TEST(DateTimeDayCount, CountsFromThirtiethDecember1899)
{
    EXPECT_DOUBLE_EQ(datetime::toDayCount(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(datetime::toDayCount(QDateTime(QDate(1970, 1, 1), QTime(12, 0))), 25569.5);
    EXPECT_EQ(datetime::fromDayCount(25569.5), QDateTime(QDate(1970, 1, 1), QTime(12, 0)));
    EXPECT_EQ(datetime::fromDayCount(-1.0), QDateTime(QDate(1899, 12, 29), QTime(0, 0)));
}

TEST(DateTimeSeconds, AbsoluteAndTruncated)
{
    const QDateTime a(QDate(2026, 12, 7), QTime(12, 0, 0));
    EXPECT_EQ(datetime::secondsBetween(a, a.addMSecs(299999)), 299);
    EXPECT_EQ(datetime::secondsBetween(a.addSecs(301), a), 301);
}

TEST(TextOps, PositionsAreOneBasedAndTrimRemovesControlCharacters)
{
    EXPECT_EQ(textops::pos(u"b", u"abc"), 2);
    EXPECT_EQ(textops::pos(u"x", u"abc"), 0);
    EXPECT_EQ(textops::pos(u"", u"abc"), 0);
    EXPECT_EQ(textops::copy("abcdef"_qs, 3, 2), "cd"_qs);
    EXPECT_EQ(textops::copy("abc"_qs, 5, 2), ""_qs);
    EXPECT_EQ(textops::trim(" \t\r ab c\x01\n"_qs), "ab c"_qs);
    EXPECT_EQ(textops::upperAscii("g4xyz/p é"_qs), "G4XYZ/P é"_qs);
}
