#include "tavikerror.h"
#include "textlines.h"

#include "../testsupport.h"

using TextLinesTest = InTempFolder;

TEST(TextLinesSplit, BreaksAtCrLfAndPairsWithoutTrailingEmptyLine)
{
    struct Case { const char *text; QStringList lines; };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"_qs}},
        {"a\r\n", {"a"_qs}},
        {"a\rb\nc\r\nd", {"a"_qs, "b"_qs, "c"_qs, "d"_qs}},
        {"a\n\rb", {"a"_qs, ""_qs, "b"_qs}},
        {"\n", {""_qs}},
        {"a\r\n\r\n", {"a"_qs, ""_qs}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TextLines::splitLines(QString::fromUtf8(c.text)), c.lines) << c.text;
}

TEST_F(TextLinesTest, SavesEveryLineWithCrLfAndLoadsItBack)
{
    TextLines list;
    list.setLines({"b"_qs, "a"_qs, "b"_qs, "Grüße"_qs});
    list.saveToFile("x.txt"_qs);
    EXPECT_EQ(readBytes("x.txt"_qs), QByteArray("b\r\na\r\nb\r\nGr\xC3\xBC\xC3\x9F" "e\r\n"));

    TextLines back;
    back.loadFromFile("x.txt"_qs);
    EXPECT_EQ(back.lines(), list.lines());
}

TEST_F(TextLinesTest, LatinOneBytesAndByteOrderMarkAreRead)
{
    writeBytes("l.txt"_qs, QByteArray("\xEF\xBB\xBF" "abc\n"));
    TextLines a;
    a.loadFromFile("l.txt"_qs);
    EXPECT_EQ(a.lines(), QStringList{"abc"_qs});

    writeBytes("l.txt"_qs, QByteArray("caf\xE9\r\n"));
    a.loadFromFile("l.txt"_qs);
    EXPECT_EQ(a.lines(), QStringList{"café"_qs});
}

TEST_F(TextLinesTest, MissingFileAndOutOfRangeIndexAreErrors)
{
    TextLines list;
    EXPECT_THROW(list.loadFromFile("none.txt"_qs), TavikError);
    list.add("x"_qs);
    EXPECT_THROW(list.at(1), TavikError);
    EXPECT_THROW(list.at(-1), TavikError);
    EXPECT_EQ(list.at(0), "x"_qs);
}

TEST(TextLinesSorted, KeepsAscendingOrderIgnoringCaseAndFirstOfEqualLines)
{
    TextLines list(TextLines::Sorted);
    list.setLines({"delta"_qs, "Bravo"_qs, "alpha"_qs, "BRAVO"_qs, "charlie"_qs});
    EXPECT_EQ(list.lines(), (QStringList{"alpha"_qs, "Bravo"_qs, "charlie"_qs, "delta"_qs}));

    list.add("ALPHA"_qs);
    list.add("echo"_qs);
    list.add("Able"_qs);
    list.add("ECHO"_qs);
    EXPECT_EQ(list.lines(), (QStringList{"Able"_qs, "alpha"_qs, "Bravo"_qs, "charlie"_qs, "delta"_qs, "echo"_qs}));
}

TEST(TextLinesSorted, UsesTheRegionalCollation)
{
    setRegional(regionalFromLocale(QLocale(QLocale::German, QLocale::Germany)));
    TextLines list(TextLines::Sorted);
    list.setLines({"Zebra"_qs, "Äpfel"_qs, "apfel"_qs, "Birne"_qs});
    EXPECT_EQ(list.lines(), (QStringList{"apfel"_qs, "Äpfel"_qs, "Birne"_qs, "Zebra"_qs}));
    setRegional(regionalFromLocale(QLocale::c()));
}

TEST(TextLinesUnsorted, SortsStablyWithTheCallersComparison)
{
    TextLines list;
    list.setLines({"b1"_qs, "a1"_qs, "b2"_qs, "a2"_qs});
    list.sort([](const TextLines &l, qsizetype i, qsizetype j) {
        return l.at(i).left(1).compare(l.at(j).left(1));
    });
    EXPECT_EQ(list.lines(), (QStringList{"a1"_qs, "a2"_qs, "b1"_qs, "b2"_qs}));
}
