#include "compare/referencequeries.h"

#include "../../testsupport.h"

TEST(ReferenceQueries, CallsignsAreReadAsTyped)
{
    EXPECT_EQ(referenceCallsigns(" k1abc, K1ABC/P,,k1abc, G4XYZ, DL1AA "_qs),
              (QStringList{"K1ABC"_qs, "K1ABC/P"_qs, "G4XYZ"_qs}));
    EXPECT_EQ(referenceCallsigns("N0CALL, <b>X</b>, M0ABC"_qs, "n0call"_qs), QStringList{"M0ABC"_qs});
    EXPECT_EQ(referenceInterval(QString()), 15);
    EXPECT_EQ(referenceInterval("5"_qs), 15);
    EXPECT_EQ(referenceInterval("30"_qs), 30);
    EXPECT_EQ(referenceInterval("600"_qs), 60);
}

TEST(ReferenceQueries, EachIsAskedInItsTurn)
{
    struct Case { const char *what; int interval; std::optional<qint64> firstAsked, secondAsked; std::optional<qsizetype> due; };
    const Case cases[] = {
        {"never asked: the first", 15, {}, {}, 0},
        {"the first asked: the second", 15, 1000 - 900, {}, 1},
        {"both asked: the one asked longer ago", 15, 200, 100, 1},
        {"equal: the first of the list", 15, 100, 100, 0},
        {"within the interval: none", 15, 1100 - 899, 1100 - 10, {}},
        {"a longer interval", 60, 1100 - 3599, 1100 - 3600, 1},
        {"a clock gone back an hour", 15, 1100 + 3600, 1100 - 10, 0},
    };
    for (const Case &c : cases) {
        ReferenceQueries queries;
        queries.setCallsigns({"K1ABC"_qs, "K1ABC/P"_qs});
        if (c.firstAsked)
            queries.asked(0, *c.firstAsked);
        if (c.secondAsked)
            queries.asked(1, *c.secondAsked);
        EXPECT_EQ(queries.due(1100, c.interval), c.due) << c.what;
    }
}

TEST(ReferenceQueries, EachKeepsItsOwnSequenceNumber)
{
    ReferenceQueries queries;
    queries.setCallsigns({"K1ABC"_qs, "G4XYZ"_qs});
    EXPECT_TRUE(queries.references()[0].lastSeqNo.isEmpty());
    queries.asked(0, 1000);
    queries.answered("K1ABC"_qs, "30000000031"_qs, 12);
    queries.asked(1, 1200);
    queries.answered("G4XYZ"_qs, "30000000095"_qs, 12);
    queries.answered("G4XYZ"_qs, QString(), 0); // an answer without a number keeps the last
    EXPECT_EQ(queries.references()[0].lastSeqNo, "30000000031"_qs);
    EXPECT_EQ(queries.references()[1].lastSeqNo, "30000000095"_qs);
    // A reference kept keeps its state; a new one starts afresh.
    queries.setCallsigns({"G4XYZ"_qs, "M0NEW"_qs});
    EXPECT_EQ(queries.references()[0].lastSeqNo, "30000000095"_qs);
    EXPECT_EQ(queries.references()[0].lastAsked, 1200);
    EXPECT_TRUE(queries.references()[1].lastSeqNo.isEmpty());
    EXPECT_FALSE(queries.references()[1].lastAsked.has_value());
}

TEST(ReferenceQueries, TheLastAskedTimesOutliveARestart)
{
    ReferenceQueries before;
    before.setCallsigns({"K1ABC"_qs, "G4XYZ/P"_qs, "M0NEW"_qs});
    before.asked(0, 1000);
    before.asked(1, 1300);
    EXPECT_EQ(before.lastAskedText(), "K1ABC=1000,G4XYZ/P=1300"_qs);
    // The next run asks none of them before its interval is over, and reads
    // past what it cannot.
    ReferenceQueries after;
    after.restoreLastAsked(before.lastAskedText() + ",=5,DL1AA=soon,<b>=7,G4XYZ/P=1300=2"_qs);
    after.setCallsigns({"G4XYZ/P"_qs, "K1ABC"_qs, "DL1AA"_qs});
    EXPECT_EQ(after.references()[0].lastAsked, 1300);
    EXPECT_EQ(after.references()[1].lastAsked, 1000);
    EXPECT_FALSE(after.references()[2].lastAsked.has_value());
    EXPECT_EQ(after.due(1000 + 899, 15), 2);
    after.asked(2, 1000 + 899);
    EXPECT_FALSE(after.due(1000 + 899, 15).has_value());
    EXPECT_EQ(after.due(1000 + 900, 15), 1);
}

TEST(ReferenceQueries, ThreeEmptyAnswersInARowDropTheSequenceNumber)
{
    ReferenceQueries queries;
    queries.setCallsigns({"K1ABC"_qs});
    queries.asked(0, 0);
    queries.answered("K1ABC"_qs, "30000000031"_qs, 40);
    for (int empty = 1; empty <= 3; ++empty) {
        queries.asked(0, empty * 900);
        EXPECT_EQ(queries.references()[0].lastSeqNo, "30000000031"_qs) << empty;
        queries.answered("K1ABC"_qs, QString(), 1);
    }
    queries.asked(0, 4 * 900);
    EXPECT_TRUE(queries.references()[0].lastSeqNo.isEmpty());
    // An answer of more lines starts the count again.
    queries.answered("K1ABC"_qs, "30000000077"_qs, 3);
    queries.answered("K1ABC"_qs, QString(), 1);
    queries.asked(0, 5 * 900);
    EXPECT_EQ(queries.references()[0].lastSeqNo, "30000000077"_qs);
}
