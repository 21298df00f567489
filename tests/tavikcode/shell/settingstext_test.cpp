#include "shell/settingstext.h"
#include "base/tavikerror.h"

#include "../../testsupport.h"

namespace {
const QDate kToday(2026, 12, 7);

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}
} // namespace

class StoredDateTime : public ::testing::Test
{
protected:
    void SetUp() override { setRegional(regionalFromLocale(QLocale::c())); }
    void TearDown() override { setRegional(regionalFromLocale(QLocale::c())); }
};

TEST_F(StoredDateTime, WritesDayFirstWithTwoDigitYearAndKeepsMidnight)
{
    EXPECT_EQ(settingstext::formatStoredDateTime(at(2026, 12, 6)), "06/12/26 00:00:00"_qs);
    EXPECT_EQ(settingstext::formatStoredDateTime(at(2026, 12, 7, 9, 5, 3)), "07/12/26 09:05:03"_qs);
}

TEST_F(StoredDateTime, ReadsBackTheWindowOfAHundredYears)
{
    struct Case { const char *text; QDateTime expected; };
    const Case cases[] = {
        {"06/12/26 00:00:00", at(2026, 12, 6)},
        {"01/01/75 10:20:30", at(2075, 1, 1, 10, 20, 30)},
        {"01/01/76 10:20", at(1976, 1, 1, 10, 20)},
        {"1/2/2030 1:02:03", at(2030, 2, 1, 1, 2, 3)},
        {"3/4", at(2026, 4, 3)},
        {"31/12/99 23:59:59", at(1999, 12, 31, 23, 59, 59)},
    };
    for (const Case &c : cases)
        EXPECT_EQ(settingstext::parseStoredDateTime(QString::fromUtf8(c.text), kToday), c.expected) << c.text;
}

TEST_F(StoredDateTime, RoundTripKeepsTheSecond)
{
    const QDateTime t = at(2026, 12, 7, 23, 59, 58);
    EXPECT_EQ(settingstext::parseStoredDateTime(settingstext::formatStoredDateTime(t), kToday), t);
}

TEST_F(StoredDateTime, RegionalSeparatorsAreWrittenAndRead)
{
    RegionalSettings r = regionalFromLocale(QLocale::c());
    r.dateSeparator = "."_qs;
    setRegional(r);
    EXPECT_EQ(settingstext::formatStoredDateTime(at(2026, 12, 6)), "06.12.26 00:00:00"_qs);
    EXPECT_EQ(settingstext::parseStoredDateTime("06.12.26 00:00:00"_qs, kToday), at(2026, 12, 6));
    // A separator changed between two runs makes the stored text unreadable.
    EXPECT_THROW(settingstext::parseStoredDateTime("06/12/26 00:00:00"_qs, kToday), TavikError);
}

TEST_F(StoredDateTime, AnythingElseIsNotAValidDateAndTime)
{
    for (const char *bad : {"", "garbage", "32/12/26 00:00:00", "06/13/26", "06/12/26 24:00:00", "06/12/26 10:61",
                            "06/12/26 10:00:00 x", "06//26", "06/12/26 10"}) {
        try {
            settingstext::parseStoredDateTime(QString::fromUtf8(bad), kToday);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const TavikError &e) {
            EXPECT_EQ(e.message(), "'"_qs + QString::fromUtf8(bad) + "' is not a valid date and time"_qs);
        }
    }
}

// Found by fuzzing: a year of nine digits is a valid date but no date-time,
// and the last query time it gave was unset, so that no query ever fell due.
TEST_F(StoredDateTime, AYearBeyondAnyDateTimeIsNotValid)
{
    EXPECT_THROW(settingstext::parseStoredDateTime("31/12/311112075 "_qs, kToday), TavikError);
    EXPECT_TRUE(settingstext::parseStoredDateTime("31/12/99999 10:00"_qs, kToday).isValid());
}

// The clocks skip an hour when summer time begins; a stored time inside that
// hour is the instant as long after the day began, never an unset time. Runs
// where the local time has that gap (ctest runs it once more with
// TZ=Europe/London).
TEST_F(StoredDateTime, ATimeTheClocksSkipIsReadAsTheInstantAfterIt)
{
    if (QDateTime(QDate(2026, 3, 29), QTime(1, 30), Qt::LocalTime).isValid())
        GTEST_SKIP() << "the local time has no gap on 29 March 2026";
    const QDateTime read = settingstext::parseStoredDateTime("29/03/26 01:30:00"_qs, kToday);
    ASSERT_TRUE(read.isValid());
    EXPECT_EQ(QDateTime(QDate(2026, 3, 29), QTime(0, 59), Qt::LocalTime).secsTo(read), 31 * 60);
}
