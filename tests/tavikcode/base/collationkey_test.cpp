#include "base/collationkey.h"
#include "base/textlines.h"

#include "../../testsupport.h"

namespace {
int sign(int n)
{
    return (n > 0) - (n < 0);
}
} // namespace

class CollationTest : public InTempFolder
{
protected:
    void SetUp() override
    {
        InTempFolder::SetUp();
        setRegional(regionalFromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom)));
    }
};

// Found by fuzzing: QCollator put an empty text before one of characters the
// collation ignores, while the sort keys held the two equal, so a sorted
// history could drop one line as a duplicate and then miss it when merging.
TEST_F(CollationTest, KeysAndDirectComparisonAgreeAlsoOnEmptyTexts)
{
    const QCollator &collator = collatorIgnoringCase();
    const TextCollation direct(collator);
    const QString texts[] = {QString(), QString(QChar(0)), "\x01\x02"_qs, "a"_qs, "A"_qs, "a\x01"_qs, " "_qs};
    for (const QString &a : texts) {
        for (const QString &b : texts) {
            EXPECT_EQ(sign(direct.compare(a, b)), sign(CollationKey(collator, a).compare(CollationKey(collator, b))))
                << a.toUtf8().toHex().constData() << " against " << b.toUtf8().toHex().constData();
        }
    }
}
