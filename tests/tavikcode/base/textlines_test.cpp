#include "base/tavikerror.h"
#include "base/textlines.h"

#include "../../testsupport.h"

#include <algorithm>
#include <random>

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

// A history written as UTF-8 with one damaged byte: only that byte is read
// as Latin-1, and the other lines stay as they were written (once, the whole
// file was then read as Latin-1, and its next save garbled every accent).
TEST_F(TextLinesTest, ADamagedByteSpoilsNoOtherCharacter)
{
    writeBytes("h.txt"_qs, QByteArray("Cura\xC3\xA7" "ao\r\nbad \xFF byte\r\nR\xC3\xA9union \xF0\x9F\x93\xA1\r\n"));
    TextLines list;
    list.loadFromFile("h.txt"_qs);
    EXPECT_EQ(list.lines(), (QStringList{"Curaçao"_qs, "bad ÿ byte"_qs, "Réunion 📡"_qs}));
    // Overlong forms, surrogates and cut sequences are damaged bytes too.
    EXPECT_EQ(TextLines::decode("\xC0\xAF|\xED\xA0\x80|\xE2\x82"), "À¯|í\u00A0\u0080|â\u0082"_qs);
    // A U+FEFF right after a damaged byte is a character like any other.
    EXPECT_EQ(TextLines::decode("a\xFF\xEF\xBB\xBF" "b"), "aÿ"_qs + QChar(0xFEFF) + "b"_qs);
}

// Found by fuzzing: reading drops one byte order mark, so a first line that
// began with that character lost it at every save, and a history could then
// hold one line twice.
TEST_F(TextLinesTest, AFirstLineBeginningWithAByteOrderMarkReadsBackWhole)
{
    TextLines list;
    list.setLines({QString(QChar(0xFEFF)) + "x"_qs, ""_qs});
    list.saveToFile("b.txt"_qs);
    TextLines back;
    back.loadFromFile("b.txt"_qs);
    EXPECT_EQ(back.lines(), list.lines());
    EXPECT_EQ(TextLines::decode("\xEF\xBB\xBF\xEF\xBB\xBFy"), QString(QChar(0xFEFF)) + "y"_qs);
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

// The sorted list merges what was added since it was last read: a leading run
// already in order as it stands, the rest sorted. Whatever the mix, it must
// hold what adding the lines one by one to an ordered set would.
TEST(TextLinesSorted, MergesRunsAndScatteredLinesLikeOneByOneInsertion)
{
    std::mt19937 random(11);
    const auto word = [&random] {
        QString w;
        for (int n = 1 + int(random() % 3); n > 0; --n)
            w += QChar(char16_t((random() % 2 ? u'a' : u'A') + random() % 4));
        return w;
    };
    for (int round = 0; round < 200; ++round) {
        TextLines list(TextLines::Sorted);
        QStringList expected;
        const auto insert = [&expected](const QString &line) {
            const auto at = std::lower_bound(expected.begin(), expected.end(), line, [](const QString &a, const QString &b) {
                return a.compare(b, Qt::CaseInsensitive) < 0;
            });
            if (at == expected.end() || at->compare(line, Qt::CaseInsensitive) != 0)
                expected.insert(at, line);
        };
        for (int batch = int(random() % 3) + 1; batch > 0; --batch) {
            QStringList added;
            for (int n = int(random() % 12); n > 0; --n)
                added << word();
            if (random() % 2) // a run in order first, as a loaded file brings it
                std::sort(added.begin(), added.begin() + added.size() / 2,
                          [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
            list.addLines(added);
            for (const QString &line : std::as_const(added))
                insert(line);
            ASSERT_EQ(list.lines(), expected) << "round " << round;
        }
    }
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
