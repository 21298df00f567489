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

TEST(ReferenceQueries, EachIsAskedInItsTurnAndNeverBesideTheOwnQuery)
{
    // The operator's own query at 1000, next due at 1300.
    const QueryMoment calm{1100, 1000, 1300, true, false, 15};
    struct Case { const char *what; QueryMoment moment; std::optional<qint64> firstAsked, secondAsked; std::optional<qsizetype> due; };
    const auto at = [&](qint64 now, bool online = true, bool busy = false, int interval = 15) {
        return QueryMoment{now, calm.ownLast, calm.ownNext, online, busy, interval};
    };
    const Case cases[] = {
        {"never asked: the first", at(1100), {}, {}, 0},
        {"the first asked: the second", at(1100), 1000 - 900, {}, 1},
        {"both asked: the one asked longer ago", at(1100), 200, 100, 1},
        {"equal: the first of the list", at(1100), 100, 100, 0},
        {"within the interval: none", at(1100), 1100 - 899, 1100 - 10, {}},
        {"a longer interval", at(1100, true, false, 60), 1100 - 3599, 1100 - 3600, 1},
        {"a clock gone back an hour", at(1100), 1100 + 3600, 1100 - 10, 0},
        {"59 s after the own query", at(1059), {}, {}, {}},
        {"60 s after it", at(1060), {}, {}, 0},
        {"59 s before the next", at(1241), {}, {}, {}},
        {"60 s before it", at(1240), {}, {}, 0},
        {"the own query overdue", at(1400), {}, {}, {}},
        {"offline", at(1100, false), {}, {}, {}},
        {"a request outstanding", at(1100, true, true), {}, {}, {}},
    };
    for (const Case &c : cases) {
        ReferenceQueries queries;
        queries.setCallsigns({"K1ABC"_qs, "K1ABC/P"_qs});
        if (c.firstAsked)
            queries.asked(0, *c.firstAsked);
        if (c.secondAsked)
            queries.asked(1, *c.secondAsked);
        EXPECT_EQ(queries.due(c.moment), c.due) << c.what;
    }
}

TEST(ReferenceQueries, EachKeepsItsOwnSequenceNumber)
{
    ReferenceQueries queries;
    queries.setCallsigns({"K1ABC"_qs, "G4XYZ"_qs});
    EXPECT_TRUE(queries.references()[0].lastSeqNo.isEmpty());
    queries.asked(0, 1000);
    queries.answered(0, "30000000031"_qs);
    queries.asked(1, 1200);
    queries.answered(1, "30000000095"_qs);
    queries.answered(1, QString()); // an answer without a number keeps the last
    EXPECT_EQ(queries.references()[0].lastSeqNo, "30000000031"_qs);
    EXPECT_EQ(queries.references()[1].lastSeqNo, "30000000095"_qs);
    // A reference kept keeps its state; a new one starts afresh.
    queries.setCallsigns({"G4XYZ"_qs, "M0NEW"_qs});
    EXPECT_EQ(queries.references()[0].lastSeqNo, "30000000095"_qs);
    EXPECT_EQ(queries.references()[0].lastAsked, 1200);
    EXPECT_TRUE(queries.references()[1].lastSeqNo.isEmpty());
    EXPECT_FALSE(queries.references()[1].lastAsked.has_value());
}
