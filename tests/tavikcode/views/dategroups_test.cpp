#include "views/dategroups.h"

#include <gtest/gtest.h>

namespace {

QStringList cells(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *t : texts)
        list << QString::fromUtf8(t);
    return list;
}

const QString kTodayText = QStringLiteral("07Dec2026");

} // namespace

TEST(DateGroupsTest, TodaysRowsAreBlackThenEachDateTakesTheNextColour)
{
    const dategroups::Pass pass = dategroups::colourRows(
        cells({"07Dec2026 13:00:00", "07Dec2026 12:00:00", "07Dec2026", "06Dec2026 23:59:59", "06Dec2026 01:00:00",
               "05Dec2026 10:00:00", "04Dec2026 10:00:00", "03Dec2026 10:00:00"}),
        kTodayText);
    EXPECT_EQ(pass.colours, (std::vector<int>{1, 1, 1, 2, 2, 3, 1, 2}));
    EXPECT_EQ(pass.lastColour, 2);
    EXPECT_EQ(pass.lastReference, QStringLiteral("03Dec2026 10:00:00"));
}

TEST(DateGroupsTest, RowOneIsBlackAndRowTwoIsComparedWithToday)
{
    struct Case {
        QStringList rows;
        std::vector<int> colours;
    };
    const Case cases[] = {
        // Rows 1 and 2 of one date other than today.
        {cells({"01Dec2026 10:00:00", "01Dec2026 09:00:00"}), {1, 2}},
        // Row 1 of another date, row 2 of today's.
        {cells({"01Dec2026 10:00:00", "07Dec2026 09:00:00"}), {1, 1}},
        // Empty cells and short texts are compared as they are.
        {cells({"", "", "07Dec2026", "0"}), {1, 2, 3, 1}},
        {{}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(dategroups::colourRows(c.rows, kTodayText).colours, c.colours) << qPrintable(c.rows.join(u'|'));
}
