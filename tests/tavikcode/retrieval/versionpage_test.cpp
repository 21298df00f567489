#include "retrieval/versionpage.h"

#include "../../testsupport.h"

using namespace versionpage;

TEST(VersionPage, ExtractFieldCountsFromOneAndNeedsEnoughDelimiters)
{
    struct Case { const char *text; int n; const char *field; };
    const Case cases[] = {
        {"a,b,c", 1, "a"}, {"a,b,c", 2, "b"}, {"a,b,c", 3, "c"}, {"a,b,c", 4, ""},
        {"abc", 1, "abc"}, {"abc", 2, ""},    {"", 1, ""},        {"a,b,", 3, ""},
        {"a,b,", 2, "b"},  {",x", 1, ""},     {",x", 2, "x"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ExtractField(QString::fromUtf8(c.text), u',', c.n), QString::fromUtf8(c.field)) << c.text << c.n;
}

TEST(VersionPage, VersionAndBuildComeFromTheirWindowsAfterTheFirstColon)
{
    const QString line = "TavikRepView Version: 1.0.0.28, Build: 02Jan2027 09:15:40"_qs;
    EXPECT_EQ(latestVersion(line), "1.0.0.28"_qs);
    EXPECT_EQ(latestBuild(line), "02Jan2027 09:15:40"_qs);
    EXPECT_EQ(latestVersion("no colon or comma at all in this line"_qs), "no colon or comma at"_qs);
    EXPECT_EQ(latestBuild("no colon or comma at all in this line"_qs), ""_qs);
    // The window includes the blank after the colon: 20 characters hold 19 of the version.
    EXPECT_EQ(latestVersion("V: 1234567890123456789012"_qs), "1234567890123456789"_qs);
}

TEST(VersionPage, BuildTailTakesUpToThreeCharactersAfterTheFirstDotOfTheLastFour)
{
    struct Case { const char *version; const char *tail; };
    const Case cases[] = {{"1.0.0.27", "27"}, {"2.3.1.135", "135"}, {"1.2.3.4", "3.4"},
                          {"1.0.0.1234", "123"}, {"0.0.0.0", "0.0"}};
    for (const Case &c : cases)
        EXPECT_EQ(BuildTail(QString::fromUtf8(c.version)), QString::fromUtf8(c.tail)) << c.version;
}

TEST(VersionPage, NoticeTextIsExactWithCarriageReturns)
{
    EXPECT_EQ(noticeText("WWW.ORLIX.NET"_qs, "1.0.0.27"_qs, "05Dec2026 14:22:10"_qs, "PAGE"_qs),
              "A later version of this software is available for download from WWW.ORLIX.NET. \r\r"
              "YOUR version is: \rTavikRepView Version: 1.0.0.27, Build: 05Dec2026 14:22:10\r"
              "while the website LATEST version detail is: \rPAGE. \r\r"
              "Use the bold link in red at the bottom of the main program to download. \r"
              "Close this software before installing."_qs);
}
