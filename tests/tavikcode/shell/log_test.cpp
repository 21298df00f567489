#include "base/filenames.h"
#include "shell/log.h"

#include "../../testsupport.h"

using LogTest = InTempFolder;

TEST_F(LogTest, CreatesThenAppendsLinesWithTheStamp)
{
    Clock::set(QDateTime(QDate(2026, 12, 7), QTime(1, 40, 46), Qt::LocalTime));
    LogLine("first"_qs);
    Clock::set(QDateTime(QDate(2026, 12, 7), QTime(0, 0, 0), Qt::LocalTime));
    LogLine("at midnight"_qs);
    EXPECT_EQ(readBytes(files::kLog), QByteArray("07Dec2026 01:40:46 first\r\n07Dec2026 at midnight\r\n"));
}
