#include "views/csvgrid.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString qs(const char *s)
{
    return QString::fromUtf8(s);
}

// The cutting of one line, step by step as the table fills a row: every field
// up to the field count is cut off the front of the line.
QStringList cutStepByStep(QString line, qsizetype fieldCount)
{
    if (line.isEmpty() || line.back() != u',')
        line += u',';
    line.remove(u'"');
    QStringList cells;
    for (qsizetype c = 0; c < fieldCount; ++c) {
        const qsizetype comma = line.indexOf(u',');
        const QString field = comma < 0 ? QString() : line.left(comma);
        if (c < 7)
            cells << field;
        line.remove(0, field.size() + 1);
    }
    return cells;
}

} // namespace

TEST(CsvGridTest, TheSecondLineDecidesTheFieldCount)
{
    EXPECT_EQ(csvgrid::fieldCount({qs("a,b,c,d,e"), qs("a,b"), qs("a,b,c")}), 2);
    EXPECT_EQ(csvgrid::fieldCount({qs("a"), qs("")}), 1);
    // A single line decides for itself; no line gives no field.
    EXPECT_EQ(csvgrid::fieldCount({qs("a,b,c,")}), 4);
    EXPECT_EQ(csvgrid::fieldCount({}), 0);
}

TEST(CsvGridTest, LinesAreCutIntoCells)
{
    struct Case {
        const char *line;
        qsizetype fields;
        QStringList cells;
    };
    const Case cases[] = {
        // Quotes go; a comma inside quotes still separates.
        {"\"07Dec2026\",\"G4ABC\",\"a,b\",", 5, {qs("07Dec2026"), qs("G4ABC"), qs("a"), qs("b"), qs("")}},
        // A line without its closing comma gives the same cells.
        {"x,y,z", 3, {qs("x"), qs("y"), qs("z")}},
        {"x,y,z,", 3, {qs("x"), qs("y"), qs("z")}},
        // A line with fewer fields than the count: the rest are empty.
        {"x", 3, {qs("x"), qs(""), qs("")}},
        {"", 2, {qs(""), qs("")}},
        // Fields past the seventh are not shown.
        {"1,2,3,4,5,6,7,8,9", 9, {qs("1"), qs("2"), qs("3"), qs("4"), qs("5"), qs("6"), qs("7")}},
        // Fewer fields than columns: only the counted ones.
        {"1,2,3,4", 2, {qs("1"), qs("2")}},
        // Blanks and tabs after a comma belong to the next cell.
        {"07Dec2026 13:45:12,  G4ABC,    \t-12,\t20m, FT8, IO91, England, ", 8,
         {qs("07Dec2026 13:45:12"), qs("  G4ABC"), qs("    \t-12"), qs("\t20m"), qs(" FT8"), qs(" IO91"),
          qs(" England")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(csvgrid::cells(qs(c.line), c.fields, 7), c.cells) << c.line;
}

TEST(CsvGridTest, AnyLineIsCutAsTheStepByStepCutDoes)
{
    QRandomGenerator random(20261207);
    const char16_t alphabet[] = {u',', u'"', u'a', u' ', u'\t', u'9'};
    for (int round = 0; round < 3000; ++round) {
        QString line;
        const int length = random.bounded(24);
        for (int i = 0; i < length; ++i)
            line += QChar(alphabet[random.bounded(int(std::size(alphabet)))]);
        const qsizetype fields = random.bounded(12);
        ASSERT_EQ(csvgrid::cells(line, fields, 7), cutStepByStep(line, fields)) << qPrintable(line) << fields;
    }
}
